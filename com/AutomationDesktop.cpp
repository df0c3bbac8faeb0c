// The desktop services (notifier, views, dialogs, the new-object dialog) over automation.
// SPDX-License-Identifier: Apache-2.0
#include "AutomationAdapter.h"

#include <string>

namespace quendra::com {

Ptr<CvGUINotifier> Auto<CvGUIServices>::ObjectViewNotifier() {
    return Adapt<CvGUINotifier>(Call(CvOperation::CvGUIServices_ObjectViewNotifier), Answer::Required);
}

void Auto<CvGUINotifier>::NotifyObjects(int32_t code, const Ptr<CvObjects>& objects, bool flag) {
    Call(CvOperation::CvGUINotifier_NotifyObjects,
         {Variant::Int32(code), Variant::Object(DispatchOf(objects)), Variant::Bool(flag)});
}

Ptr<CvViewMaker> Auto<CvCommonGUI>::ViewMaker() {
    return Adapt<CvViewMaker>(Call(CvOperation::CvCommonGUI_ViewMaker), Answer::Required);
}

Ptr<CvDialogMaker> Auto<CvCommonGUI>::DialogMaker() {
    return Adapt<CvDialogMaker>(Call(CvOperation::CvCommonGUI_DialogMaker), Answer::Required);
}

Ptr<CvDesktopWindow> Auto<CvCommonGUI>::DesktopWindow() {
    return Adapt<CvDesktopWindow>(Call(CvOperation::CvCommonGUI_DesktopWindow), Answer::Required);
}

Ptr<CvGUIView> Auto<CvViewMaker>::MakeView(int32_t kind) {
    return Adapt<CvGUIView>(Call(CvOperation::CvViewMaker_MakeView, {Variant::Int32(kind)}), Answer::Required);
}

int32_t Auto<CvDialogMaker>::RunQueryDialog(Ptr<CvGUIDialog>& dialog) {
    Variant out = Variant::Object(DispatchOf(dialog));
    int32_t answer = Call(CvOperation::CvDialogMaker_RunQueryDialog, {Variant::RefTo(out.Raw())}).ToValue().AsInt32();
    // A confirmed query dialog hands over the dialog.
    dialog = Adapt<CvGUIDialog>(out, answer == 1 ? Answer::Required : Answer::NoneAllowed);
    return answer;
}

Ptr<CvGUIView> Auto<CvGUIDialog>::View() {
    return Adapt<CvGUIView>(Call(CvOperation::CvGUIDialog_View), Answer::Required);
}

void Auto<CvGUIDialog>::Close() {
    Call(CvOperation::CvGUIDialog_Close);
}

void Auto<CvGUIDialog>::SetOption(int32_t option) {
    Call(CvOperation::CvGUIDialog_SetOption, {Variant::Int32(option)});
}

void Auto<CvGUIDialog>::Prepare() {
    Call(CvOperation::CvGUIDialog_Prepare);
}

int32_t Auto<CvGUIDialog>::Show() {
    return Call(CvOperation::CvGUIDialog_Show).ToValue().AsInt32();
}

Ptr<CvGUISelection> Auto<CvGUIView>::Selection() {
    return Adapt<CvGUISelection>(Call(CvOperation::CvGUIView_Selection), Answer::Required);
}

Ptr<CvGUISelection> Auto<CvGUIView>::Contents() {
    return Adapt<CvGUISelection>(Call(CvOperation::CvGUIView_Contents), Answer::Required);
}

Ptr<CvGUIDialog> Auto<CvGUIView>::ResultDialog() {
    return Adapt<CvGUIDialog>(Call(CvOperation::CvGUIView_ResultDialog), Answer::Required);
}

void Auto<CvGUIView>::RefreshObjects(int32_t action, const Ptr<CvObjects>& objects, bool flag) {
    Call(CvOperation::CvGUIView_RefreshObjects,
         {Variant::Int32(action), Variant::Object(DispatchOf(objects)), Variant::Bool(flag)});
}

Ptr<CvGUIQuery> Auto<CvGUISelection>::Query() {
    return Adapt<CvGUIQuery>(Call(CvOperation::CvGUISelection_Query), Answer::Required);
}

void Auto<CvGUISelection>::SetQuery(const Ptr<CvGUIQuery>& query) {
    Call(CvOperation::CvGUISelection_SetQuery, {Variant::Object(DispatchOf(query))});
}

Ptr<CvObjects> Auto<CvGUISelection>::Objects() {
    return Adapt<CvObjects>(Call(CvOperation::CvGUISelection_Objects), Answer::Required);
}

Ptr<CvGUIView> Auto<CvDesktopWindow>::View() {
    return Adapt<CvGUIView>(Call(CvOperation::CvDesktopWindow_View), Answer::Required);
}

Ptr<CvNewObjectDialog> Auto<CvIntegrationStore>::NewObjectDialog() {
    return Adapt<CvNewObjectDialog>(Call(CvOperation::CvIntegrationStore_NewObjectDialog), Answer::Required);
}

void Auto<CvNewObjectDialog>::Show(const Ptr<CvObject>& object, const Ptr<CvObject>& templateObject, bool flag,
                                   bool& accepted) {
    Variant out = Variant::Bool(accepted);
    Call(CvOperation::CvNewObjectDialog_Show,
         {Variant::Object(DispatchOf(object)), Variant::Object(DispatchOf(templateObject)), Variant::Bool(flag),
          Variant::RefTo(out.Raw())});
    accepted = out.ToValue().AsBool();
}

void Auto<CvSessionUtil>::ShowObject(const Ptr<CvObject>& object, const Ptr<CvObject>& other, bool flag) {
    Call(CvOperation::CvSessionUtil_ShowObject,
         {Variant::Object(DispatchOf(object)), Variant::Object(DispatchOf(other)), Variant::Bool(flag)});
}

} // namespace quendra::com
