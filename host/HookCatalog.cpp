// HookCatalog: dispatch of a hook call by name onto Application.
#include "HookCatalog.h"

#include <stdexcept>

namespace quendra::host {

const std::vector<HookInfo>& HookCatalog::All() {
    static const std::vector<HookInfo> hooks = {
        {"AddExistingPart", true, {"LinkAttributes"}, {}},
        {"AddMainPart", true, {}, {}},
        {"AddNewPart", true, {"LinkAttributes"}, {}},
        {"AfterCheckInDocuments", true, {}, {}},
        {"BeforeAddPartsTreeLink", true, {}, {}},
        {"BeforeCheckOutReleaseDocs", true, {"SelectOp"}, {}},
        {"BeforeDeleteDocuments", true, {}, {}},
        {"BeforeNewReleaseObj", true, {}, {}},
        {"BeforeUpdate", true, {"SelectOp"}, {}},
        {"CopyTreeFrom", false, {"LinkAttributes"}, {"Obj", "FromObj"}},
        {"DeleteLink", true, {}, {}},
        {"LinkUpdate", true, {"LinkAttributes"}, {}},
        {"LockObject", true, {}, {}},
        {"ReplacePart", true, {"LinkAttributes"}, {}},
        {"ReplacePartByNewPart", true, {"LinkAttributes"}, {"MyNewPart"}},
        {"UnLockObject", true, {}, {}},
        {"UploadDocument", true, {"Extensions", "FileTypes"}, {}},
        {"IsLockedForUpdate", true, {}, {}},
    };
    return hooks;
}

const HookInfo* HookCatalog::Find(const std::string& name) {
    for (const auto& hook : All())
        if (hook.name == name) return &hook;
    return nullptr;
}

std::string HookCatalog::Names() {
    std::string names;
    for (const auto& hook : All()) names += (names.empty() ? "" : ", ") + hook.name;
    return names;
}

int16_t HookCatalog::Call(Application& application, const std::string& name, Ptr<CvSession> session,
                          HookArguments& arguments) {
    auto& rows = arguments.rows;
    auto& texts = arguments.texts;
    auto& objects = arguments.objects;
    if (name == "AddExistingPart") return application.AddExistingPart(session, rows, texts["LinkAttributes"]);
    if (name == "AddMainPart") return application.AddMainPart(session, rows);
    if (name == "AddNewPart") return application.AddNewPart(session, rows, texts["LinkAttributes"]);
    if (name == "AfterCheckInDocuments") return application.AfterCheckInDocuments(session, rows);
    if (name == "BeforeAddPartsTreeLink") return application.BeforeAddPartsTreeLink(session, rows);
    if (name == "BeforeCheckOutReleaseDocs")
        return application.BeforeCheckOutReleaseDocs(session, rows, texts["SelectOp"]);
    if (name == "BeforeDeleteDocuments") return application.BeforeDeleteDocuments(session, rows);
    if (name == "BeforeNewReleaseObj") return application.BeforeNewReleaseObj(session, rows);
    if (name == "BeforeUpdate") return application.BeforeUpdate(session, rows, texts["SelectOp"]);
    if (name == "CopyTreeFrom")
        return application.CopyTreeFrom(session, objects["Obj"], objects["FromObj"], texts["LinkAttributes"]);
    if (name == "DeleteLink") return application.DeleteLink(session, rows);
    if (name == "LinkUpdate") return application.LinkUpdate(session, rows, texts["LinkAttributes"]);
    if (name == "LockObject") return application.LockObject(session, rows);
    if (name == "ReplacePart") return application.ReplacePart(session, rows, texts["LinkAttributes"]);
    if (name == "ReplacePartByNewPart")
        return application.ReplacePartByNewPart(session, rows, texts["LinkAttributes"], objects["MyNewPart"]);
    if (name == "UnLockObject") return application.UnLockObject(session, rows);
    if (name == "UploadDocument")
        return application.UploadDocument(session, rows, texts["Extensions"], texts["FileTypes"]);
    if (name == "IsLockedForUpdate") return application.IsLockedForUpdate(session, rows);
    throw std::invalid_argument("unknown hook " + name);
}

} // namespace quendra::host
