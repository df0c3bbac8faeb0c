// Objects, the object store, update options and sequences over automation.
// SPDX-License-Identifier: Apache-2.0
#include "AutomationAdapter.h"

#include <string>

namespace quendra::com {

Ptr<CvUpdateOptions> Auto<CvUpdateOptions>::Copy() {
    return Adapt<CvUpdateOptions>(Call(CvOperation::CvUpdateOptions_Copy), Answer::Required);
}

void Auto<CvUpdateOptions>::SetMode(int16_t mode) {
    Call(CvOperation::CvUpdateOptions_SetMode, {Variant::Int16(mode)});
}

void Auto<CvUpdateOptions>::SetFirstSwitch(bool on) {
    Call(CvOperation::CvUpdateOptions_SetFirstSwitch, {Variant::Bool(on)});
}

void Auto<CvUpdateOptions>::SetSecondSwitch(bool on) {
    Call(CvOperation::CvUpdateOptions_SetSecondSwitch, {Variant::Bool(on)});
}

void Auto<CvUpdateOptions>::SetThirdSetting(int16_t setting) {
    Call(CvOperation::CvUpdateOptions_SetThirdSetting, {Variant::Int16(setting)});
}

void Auto<CvUpdateOptions>::SetFourthSetting(int16_t setting) {
    Call(CvOperation::CvUpdateOptions_SetFourthSetting, {Variant::Int16(setting)});
}

Ptr<CvObject> Auto<CvObjectStore>::ObjectFromRecord(const Ptr<CvRecord>& record, bool flag) {
    return Adapt<CvObject>(
        Call(CvOperation::CvObjectStore_ObjectFromRecord, {Variant::Object(DispatchOf(record)), Variant::Bool(flag)}),
        Answer::Required);
}

Ptr<CvObjects> Auto<CvObjectStore>::ObjectsFromRecList(const Ptr<CvRecList>& recList, bool flag) {
    return Adapt<CvObjects>(Call(CvOperation::CvObjectStore_ObjectsFromRecList,
                                 {Variant::Object(DispatchOf(recList)), Variant::Bool(flag)}),
                            Answer::Required);
}

Ptr<CvObject> Auto<CvObjectStore>::ObjectById(int16_t classId, int32_t objectId) {
    return Adapt<CvObject>(
        Call(CvOperation::CvObjectStore_ObjectById, {Variant::Int16(classId), Variant::Int32(objectId)}),
        Answer::Required);
}

Ptr<CvObject> Auto<CvObjectStore>::NewObject(int16_t classId) {
    return Adapt<CvObject>(Call(CvOperation::CvObjectStore_NewObject, {Variant::Int16(classId)}), Answer::Required);
}

Ptr<CvObject> Auto<CvObjectStore>::LinkByEnds(int16_t linkClassId, int16_t parentClassId, int32_t parentObjectId,
                                              int16_t childClassId, int32_t childObjectId) {
    return Adapt<CvObject>(
        Call(CvOperation::CvObjectStore_LinkByEnds,
             {Variant::Int16(linkClassId), Variant::Int16(parentClassId), Variant::Int32(parentObjectId),
              Variant::Int16(childClassId), Variant::Int32(childObjectId)}),
        Answer::NoneAllowed);
}

Ptr<CvUpdateOptions> Auto<CvObjectStore>::DefaultUpdateOptions() {
    return Adapt<CvUpdateOptions>(Call(CvOperation::CvObjectStore_DefaultUpdateOptions), Answer::Required);
}

Ptr<CvObjects> Auto<CvObjectStore>::NewObjectList() {
    return Adapt<CvObjects>(Call(CvOperation::CvObjectStore_NewObjectList), Answer::Required);
}

Ptr<CvSequences> Auto<CvObjectStore>::Sequences() {
    return Adapt<CvSequences>(Call(CvOperation::CvObjectStore_Sequences), Answer::Required);
}

Ptr<CvQuery> Auto<CvObjectStore>::NewSqlQuery() {
    return Adapt<CvQuery>(Call(CvOperation::CvObjectStore_NewSqlQuery), Answer::Required);
}

Ptr<CvQueryDef> Auto<CvObjectStore>::NewQueryDef() {
    return Adapt<CvQueryDef>(Call(CvOperation::CvObjectStore_NewQueryDef), Answer::Required);
}

Ptr<CvLookupTable> Auto<CvObjectStore>::LookupTable(int16_t tableId) {
    return Adapt<CvLookupTable>(Call(CvOperation::CvObjectStore_LookupTable, {Variant::Int16(tableId)}),
                                Answer::Required);
}

Ptr<CvSession> Auto<CvObjectStore>::Session() {
    return Adapt<CvSession>(Call(CvOperation::CvObjectStore_Session), Answer::Required);
}

Ptr<CvObject> Auto<CvObject>::WorkingObject() {
    return Adapt<CvObject>(Call(CvOperation::CvObject_WorkingObject), Answer::Required);
}

void Auto<CvObject>::Retrieve() {
    Call(CvOperation::CvObject_Retrieve);
}

void Auto<CvObject>::AddAttributesToRetrieve(const std::string& namesJoinedBySemicolon) {
    Call(CvOperation::CvObject_AddAttributesToRetrieve, {Variant::Text(namesJoinedBySemicolon)});
}

Ptr<CvClass> Auto<CvObject>::Class() {
    return Adapt<CvClass>(Call(CvOperation::CvObject_Class), Answer::Required);
}

int16_t Auto<CvObject>::ClassId() {
    return Call(CvOperation::CvObject_ClassId).ToValue().AsInt16();
}

int32_t Auto<CvObject>::ObjectId() {
    return Call(CvOperation::CvObject_ObjectId).ToValue().AsInt32();
}

Ptr<CvRecord> Auto<CvObject>::Data() {
    return Adapt<CvRecord>(Call(CvOperation::CvObject_Data), Answer::Required);
}

std::string Auto<CvObject>::DisplayText(const std::string& separator) {
    return Call(CvOperation::CvObject_DisplayText, {Variant::Text(separator)}).ToValue().AsText();
}

void Auto<CvObject>::InitialiseNew() {
    Call(CvOperation::CvObject_InitialiseNew);
}

void Auto<CvObject>::PrepareNew() {
    Call(CvOperation::CvObject_PrepareNew);
}

void Auto<CvObject>::Store() {
    Call(CvOperation::CvObject_Store);
}

void Auto<CvObject>::Insert(const Ptr<CvUpdateOptions>& options) {
    Call(CvOperation::CvObject_Insert, {Variant::Object(DispatchOf(options))});
}

void Auto<CvObject>::Update(const Ptr<CvUpdateOptions>& options) {
    Call(CvOperation::CvObject_Update, {Variant::Object(DispatchOf(options))});
}

void Auto<CvObject>::Delete(const Ptr<CvUpdateOptions>& options) {
    Call(CvOperation::CvObject_Delete, {Variant::Object(DispatchOf(options))});
}

Ptr<CvObject> Auto<CvObject>::NewLink(int16_t linkClassId, const Ptr<CvObject>& child) {
    return Adapt<CvObject>(
        Call(CvOperation::CvObject_NewLink, {Variant::Int16(linkClassId), Variant::Object(DispatchOf(child))}),
        Answer::Required);
}

Ptr<CvObject> Auto<CvObject>::NewLinkTo(int16_t linkClassId, const Ptr<CvObject>& other) {
    return Adapt<CvObject>(
        Call(CvOperation::CvObject_NewLinkTo, {Variant::Int16(linkClassId), Variant::Object(DispatchOf(other))}),
        Answer::Required);
}

Ptr<CvObject> Auto<CvObject>::LinkUnderParent(const Ptr<CvObject>& parent, int32_t flag,
                                              const Ptr<CvUpdateOptions>& options) {
    return Adapt<CvObject>(
        Call(CvOperation::CvObject_LinkUnderParent,
             {Variant::Object(DispatchOf(parent)), Variant::Int32(flag), Variant::Object(DispatchOf(options))}),
        Answer::Required);
}

Ptr<CvObject> Auto<CvObject>::LinkToParent(int16_t linkClassId, const Ptr<CvObject>& parent, const Ptr<CvObject>& extra,
                                           const Ptr<CvUpdateOptions>& options) {
    return Adapt<CvObject>(Call(CvOperation::CvObject_LinkToParent,
                                {Variant::Int16(linkClassId), Variant::Object(DispatchOf(parent)),
                                 Variant::Object(DispatchOf(extra)), Variant::Object(DispatchOf(options))}),
                           Answer::Required);
}

void Auto<CvObject>::AttachToParent(int32_t flag, const Ptr<CvObject>& parent, const Ptr<CvObject>& extra,
                                    const Ptr<CvUpdateOptions>& options) {
    Call(CvOperation::CvObject_AttachToParent,
         {Variant::Int32(flag), Variant::Object(DispatchOf(parent)), Variant::Object(DispatchOf(extra)),
          Variant::Object(DispatchOf(options))});
}

void Auto<CvObject>::RemoveLink(int32_t flag, const Ptr<CvObject>& other, const Ptr<CvUpdateOptions>& options) {
    Call(CvOperation::CvObject_RemoveLink,
         {Variant::Int32(flag), Variant::Object(DispatchOf(other)), Variant::Object(DispatchOf(options))});
}

Ptr<CvObjects> Auto<CvObject>::Children(const Ptr<CvObject>& filter) {
    return Adapt<CvObjects>(Call(CvOperation::CvObject_Children, {Variant::Object(DispatchOf(filter))}),
                            Answer::Required);
}

Ptr<CvTreeLinks> Auto<CvObject>::TreeLinks(const Ptr<CvObject>& filter) {
    return Adapt<CvTreeLinks>(Call(CvOperation::CvObject_TreeLinks, {Variant::Object(DispatchOf(filter))}),
                              Answer::Required);
}

Ptr<CvObject> Auto<CvObject>::ReferencedObject(int32_t key) {
    return Adapt<CvObject>(Call(CvOperation::CvObject_ReferencedObject, {Variant::Int32(key)}), Answer::NoneAllowed);
}

Ptr<CvAttributeDefs> Auto<CvObject>::AttributeDefs() {
    return Adapt<CvAttributeDefs>(Call(CvOperation::CvObject_AttributeDefs), Answer::Required);
}

Ptr<CvObjectStore> Auto<CvObject>::ObjectStore() {
    return Adapt<CvObjectStore>(Call(CvOperation::CvObject_ObjectStore), Answer::Required);
}

void Auto<CvObjects>::Add(const Ptr<CvObject>& object) {
    Call(CvOperation::CvObjects_Add, {Variant::Object(DispatchOf(object))});
}

int32_t Auto<CvObjects>::Count() {
    return Call(CvOperation::CvObjects_Count).ToValue().AsInt32();
}

Ptr<CvObject> Auto<CvObjects>::Item(int32_t position) {
    return Adapt<CvObject>(Call(CvOperation::CvObjects_Item, {Variant::Int32(position)}), Answer::Required);
}

int32_t Auto<CvTreeLinks>::Count() {
    return Call(CvOperation::CvTreeLinks_Count).ToValue().AsInt32();
}

Ptr<CvTreeLink> Auto<CvTreeLinks>::Item(int32_t position) {
    return Adapt<CvTreeLink>(Call(CvOperation::CvTreeLinks_Item, {Variant::Int32(position)}), Answer::Required);
}

Ptr<CvTreeLink> Auto<CvTreeLink>::WorkingEntry() {
    return Adapt<CvTreeLink>(Call(CvOperation::CvTreeLink_WorkingEntry), Answer::Required);
}

Ptr<CvObject> Auto<CvTreeLink>::Element(int32_t index) {
    return Adapt<CvObject>(Call(CvOperation::CvTreeLink_Element, {Variant::Int32(index)}), Answer::Required);
}

Ptr<CvSequence> Auto<CvSequences>::SequenceByName(const std::string& name) {
    return Adapt<CvSequence>(Call(CvOperation::CvSequences_SequenceByName, {Variant::Text(name)}), Answer::NoneAllowed);
}

std::string Auto<CvSequence>::NextValue() {
    return Call(CvOperation::CvSequence_NextValue).ToValue().AsText();
}

} // namespace quendra::com
