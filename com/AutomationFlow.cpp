// The workflow (work list, entries, steps, processes) over automation.
// SPDX-License-Identifier: Apache-2.0
#include "AutomationAdapter.h"

#include <string>

namespace quendra::com {

Ptr<CvFlowWorkList> Auto<CvFlowStore>::WorkList() {
    return Adapt<CvFlowWorkList>(Call(CvOperation::CvFlowStore_WorkList), Answer::Required);
}

Ptr<CvFlowProcess> Auto<CvFlowStore>::NewProcess(int16_t processClassId) {
    return Adapt<CvFlowProcess>(Call(CvOperation::CvFlowStore_NewProcess, {Variant::Int16(processClassId)}),
                                Answer::Required);
}

Ptr<CvFlowEntries> Auto<CvFlowWorkList>::Entries() {
    return Adapt<CvFlowEntries>(Call(CvOperation::CvFlowWorkList_Entries), Answer::Required);
}

int32_t Auto<CvFlowEntries>::Count() {
    return Call(CvOperation::CvFlowEntries_Count).ToValue().AsInt32();
}

Ptr<CvFlowEntry> Auto<CvFlowEntries>::Entry(int32_t position) {
    return Adapt<CvFlowEntry>(Call(CvOperation::CvFlowEntries_Entry, {Variant::Int32(position)}), Answer::Required);
}

Ptr<CvObject> Auto<CvFlowEntry>::Object() {
    return Adapt<CvObject>(Call(CvOperation::CvFlowEntry_Object), Answer::Required);
}

void Auto<CvFlowEntry>::Take() {
    Call(CvOperation::CvFlowEntry_Take);
}

Ptr<CvFlowStep> Auto<CvFlowEntry>::CurrentStep() {
    return Adapt<CvFlowStep>(Call(CvOperation::CvFlowEntry_CurrentStep), Answer::Required);
}

Ptr<CvFlowNode> Auto<CvFlowEntry>::Definition() {
    return Adapt<CvFlowNode>(Call(CvOperation::CvFlowEntry_Definition), Answer::Required);
}

bool Auto<CvFlowEntry>::CanForwardTo(const Ptr<CvFlowTarget>& target) {
    return Call(CvOperation::CvFlowEntry_CanForwardTo, {Variant::Object(DispatchOf(target))}).ToValue().AsBool();
}

Ptr<CvFlowTargets> Auto<CvFlowNode>::NextTargets() {
    return Adapt<CvFlowTargets>(Call(CvOperation::CvFlowNode_NextTargets), Answer::Required);
}

Ptr<CvFlowTarget> Auto<CvFlowTargets>::Item(int32_t position) {
    return Adapt<CvFlowTarget>(Call(CvOperation::CvFlowTargets_Item, {Variant::Int32(position)}), Answer::Required);
}

void Auto<CvFlowStep>::Forward(const Ptr<CvFlowTarget>& target, const std::string& comment,
                               std::chrono::system_clock::time_point when) {
    Call(CvOperation::CvFlowStep_Forward,
         {Variant::Object(DispatchOf(target)), Variant::Text(comment), Variant::Date(when)});
}

Ptr<CvObject> Auto<CvFlowProcess>::Object() {
    return Adapt<CvObject>(Call(CvOperation::CvFlowProcess_Object), Answer::Required);
}

void Auto<CvFlowProcess>::Attach(const Ptr<CvObject>& object, const Ptr<CvRecord>& record) {
    Call(CvOperation::CvFlowProcess_Attach, {Variant::Object(DispatchOf(object)), Variant::Object(DispatchOf(record))});
}

} // namespace quendra::com
