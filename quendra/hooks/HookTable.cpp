// The table of the eighteen hooks.
// SPDX-License-Identifier: Apache-2.0
#include "HookTable.h"

#include <algorithm>
#include <iterator>

namespace quendra {

namespace {

using Kind = HookParameterKind;
constexpr HookParameter RecListIn{"RecListIn", Kind::Rows};
constexpr HookParameter LinkAttributes{"LinkAttributes", Kind::Text};
constexpr HookParameter SelectOp{"SelectOp", Kind::Text};

// A hook over the rows alone.
template <int16_t (Application::*Member)(Ptr<CvSession>&, Ptr<CvRecList>&)>
constexpr Hook OnRows(std::string_view name, bool catches) {
    return {name, {RecListIn}, 1, catches, [](Application& application, Ptr<CvSession>& session, HookValues& values) {
                return (application.*Member)(session, values.rows);
            }};
}

// A hook over the rows and one text.
template <int16_t (Application::*Member)(Ptr<CvSession>&, Ptr<CvRecList>&, std::string&)>
constexpr Hook OnRowsAndText(std::string_view name, HookParameter text, bool catches) {
    return {
        name, {RecListIn, text}, 2, catches, [](Application& application, Ptr<CvSession>& session, HookValues& values) {
            return (application.*Member)(session, values.rows, values.texts[0]);
        }};
}

// Data table: one line per hook, in the order of the DISPIDs.
constexpr Hook hooks[] = {
    OnRowsAndText<&Application::AddExistingPart>("AddExistingPart", LinkAttributes, true),
    OnRows<&Application::AddMainPart>("AddMainPart", true),
    OnRowsAndText<&Application::AddNewPart>("AddNewPart", LinkAttributes, true),
    OnRows<&Application::AfterCheckInDocuments>("AfterCheckInDocuments", false),
    OnRows<&Application::BeforeAddPartsTreeLink>("BeforeAddPartsTreeLink", false),
    OnRowsAndText<&Application::BeforeCheckOutReleaseDocs>("BeforeCheckOutReleaseDocs", SelectOp, false),
    OnRows<&Application::BeforeDeleteDocuments>("BeforeDeleteDocuments", false),
    OnRows<&Application::BeforeNewReleaseObj>("BeforeNewReleaseObj", false),
    OnRowsAndText<&Application::BeforeUpdate>("BeforeUpdate", SelectOp, false),
    {"CopyTreeFrom",
     {HookParameter{"Obj", Kind::Object}, HookParameter{"FromObj", Kind::InOutObject}, LinkAttributes},
     3,
     false,
     [](Application& application, Ptr<CvSession>& session, HookValues& values) {
         return application.CopyTreeFrom(session, values.objects[0], values.objects[1], values.texts[0]);
     }},
    OnRows<&Application::DeleteLink>("DeleteLink", false),
    OnRowsAndText<&Application::LinkUpdate>("LinkUpdate", LinkAttributes, false),
    OnRows<&Application::LockObject>("LockObject", true),
    OnRowsAndText<&Application::ReplacePart>("ReplacePart", LinkAttributes, true),
    {"ReplacePartByNewPart",
     {RecListIn, LinkAttributes, HookParameter{"MyNewPart", Kind::InOutObject}},
     3,
     true,
     [](Application& application, Ptr<CvSession>& session, HookValues& values) {
         return application.ReplacePartByNewPart(session, values.rows, values.texts[0], values.objects[0]);
     }},
    OnRows<&Application::UnLockObject>("UnLockObject", true),
    {"UploadDocument",
     {RecListIn, HookParameter{"Extensions", Kind::Text}, HookParameter{"FileTypes", Kind::Text}},
     3,
     true,
     [](Application& application, Ptr<CvSession>& session, HookValues& values) {
         return application.UploadDocument(session, values.rows, values.texts[0], values.texts[1]);
     }},
    OnRows<&Application::IsLockedForUpdate>("IsLockedForUpdate", false),
};

} // namespace

std::span<const Hook> Hooks() {
    return hooks;
}

const Hook* FindHook(std::string_view name) {
    const auto* found = std::find_if(std::begin(hooks), std::end(hooks), [&](const Hook& h) { return h.name == name; });
    return found == std::end(hooks) ? nullptr : found;
}

} // namespace quendra
