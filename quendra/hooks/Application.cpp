// Application: the eighteen hooks, each a thin adapter from the script's arguments to one helper.
// SPDX-License-Identifier: Apache-2.0
#include "Application.h"

#include "ClsBOM.h"
#include "ClsHookLifeCycle.h"
#include "ClsLock.h"
#include "ClsUpload.h"
#include "ClsUtils.h"

#include <exception>
#include <utility>

namespace quendra {

namespace {

constexpr int16_t Succeeded = 0;
constexpr int16_t Refused = 1;

// A helper's Boolean: True lets the platform go on.
int16_t GoOnIf(bool answer) {
    return answer ? Succeeded : Refused;
}
// A helper's 16-bit answer: any non-zero value lets the platform go on.
int16_t GoOnIfNonZero(int16_t answer) {
    return answer != 0 ? Succeeded : Refused;
}
// A helper's "locked against this update": True refuses the update.
int16_t RefuseIf(bool lockedAgainstUpdate) {
    return lockedAgainstUpdate ? Refused : Succeeded;
}

// An empty argument from the script fails like any other call on it would.
template <typename T> const Ptr<T>& Required(const Ptr<T>& argument, const char* name) {
    if (!argument) throw CvError(std::string("the hook argument ") + name + " is empty");
    return argument;
}

// The working object of the record at row 0, retrieved unless the caller wants it as the record has it.
Ptr<CvObject> ObjectOfRow0(const Ptr<CvSession>& Session, const Ptr<CvRecList>& RecListIn, bool retrieve) {
    auto record = Required(RecListIn, "RecListIn")->RecordAt(0);
    auto store = Required(Session, "Session")->ObjectStore();
    auto object = store->ObjectFromRecord(record, true)->WorkingObject();
    if (retrieve) object->Retrieve();
    return object;
}

} // namespace

Application::Application(ui::WindowSystem& Windows) : windows_(Windows) {}

int16_t Application::Caught() {
    try {
        throw;
    } catch (const std::exception& error) {
        caught_ = error.what();
    } catch (...) {
        caught_ = "a failure without a text";
    }
    return Refused;
}

std::string Application::TakeCaughtFailure() {
    return std::exchange(caught_, std::string());
}

StringListPtr Application::CleanedLinkAttributes(const Ptr<CvSession>& Session, const std::string& LinkAttributes) {
    ClsUtils utils(windows_);
    auto collection = utils.GetAttributesFromScript(LinkAttributes);
    return utils.CleanLinkAttributes(Session, collection);
}

int16_t Application::AddExistingPart(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn, std::string& LinkAttributes) {
    try {
        auto obj = ObjectOfRow0(Session, RecListIn, true);
        auto collection = CleanedLinkAttributes(Session, LinkAttributes);
        ClsBOM bom(windows_);
        return GoOnIf(bom.AddExistingPart(Session, obj, collection));
    } catch (...) {
        return Caught();
    }
}

int16_t Application::AddMainPart(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn) {
    try {
        auto obj = ObjectOfRow0(Session, RecListIn, true);
        ClsBOM bom(windows_);
        return GoOnIf(bom.AddMainPart(Session, obj));
    } catch (...) {
        return Caught();
    }
}

int16_t Application::AddNewPart(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn, std::string& LinkAttributes) {
    try {
        auto obj = ObjectOfRow0(Session, RecListIn, true);
        auto collection = CleanedLinkAttributes(Session, LinkAttributes);
        ClsBOM bom(windows_);
        return GoOnIf(bom.AddNewPart(Session, obj, collection));
    } catch (...) {
        return Caught();
    }
}

int16_t Application::AfterCheckInDocuments(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn) {
    Required(Session, "Session");
    Required(RecListIn, "RecListIn");
    ClsHookLifeCycle lifeCycle(windows_);
    return GoOnIf(lifeCycle.AfterCheckInDocuments(Session, RecListIn));
}

int16_t Application::BeforeAddPartsTreeLink(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn) {
    Required(Session, "Session");
    Required(RecListIn, "RecListIn");
    ClsHookLifeCycle lifeCycle(windows_);
    return GoOnIf(lifeCycle.BeforeAddPartsTreeLink(Session, RecListIn));
}

int16_t Application::BeforeCheckOutReleaseDocs(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn,
                                               std::string& SelectOp) {
    auto obj = ObjectOfRow0(Session, RecListIn, true);
    ClsHookLifeCycle lifeCycle(windows_);
    return GoOnIf(lifeCycle.BeforeCheckOutReleaseDocs(Session, obj, SelectOp));
}

int16_t Application::BeforeDeleteDocuments(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn) {
    auto obj = ObjectOfRow0(Session, RecListIn, true);
    ClsHookLifeCycle lifeCycle(windows_);
    return GoOnIf(lifeCycle.BeforeDeleteDocuments(Session, obj));
}

int16_t Application::BeforeNewReleaseObj(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn) {
    auto obj = ObjectOfRow0(Session, RecListIn, true);
    ClsHookLifeCycle lifeCycle(windows_);
    return GoOnIf(lifeCycle.BeforeNewReleaseObj(Session, obj));
}

int16_t Application::BeforeUpdate(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn, std::string& SelectOp) {
    // The check sees the object exactly as the record describes it.
    auto obj = ObjectOfRow0(Session, RecListIn, false);
    ClsHookLifeCycle lifeCycle(windows_);
    return GoOnIf(lifeCycle.BeforeUpdate(Session, obj, SelectOp));
}

int16_t Application::CopyTreeFrom(Ptr<CvSession>& Session, Ptr<CvObject>& Obj, Ptr<CvObject>& FromObj,
                                  std::string& LinkAttributes) {
    Required(Session, "Session");
    auto collection = CleanedLinkAttributes(Session, LinkAttributes);
    ClsBOM bom(windows_);
    return GoOnIf(bom.CopyTreeFrom(Session, Obj, FromObj, collection));
}

int16_t Application::DeleteLink(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn) {
    Required(Session, "Session");
    Required(RecListIn, "RecListIn");
    ClsBOM bom(windows_);
    return GoOnIfNonZero(bom.DeleteLink(Session, RecListIn));
}

int16_t Application::LinkUpdate(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn, std::string& LinkAttributes) {
    Required(Session, "Session");
    Required(RecListIn, "RecListIn");
    auto collection = CleanedLinkAttributes(Session, LinkAttributes);
    ClsBOM bom(windows_);
    return GoOnIf(bom.LinkUpdate(Session, RecListIn, collection));
}

int16_t Application::LockObject(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn) {
    try {
        Required(Session, "Session");
        Required(RecListIn, "RecListIn");
        ClsLock lock(windows_);
        return GoOnIfNonZero(lock.LockObject(Session, RecListIn));
    } catch (...) {
        return Caught();
    }
}

int16_t Application::ReplacePart(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn, std::string& LinkAttributes) {
    try {
        Required(Session, "Session");
        Required(RecListIn, "RecListIn");
        auto collection = CleanedLinkAttributes(Session, LinkAttributes);
        Ptr<CvObject> noObject;
        ClsBOM bom(windows_);
        return GoOnIf(bom.ReplacePart(Session, RecListIn, collection, false, noObject));
    } catch (...) {
        return Caught();
    }
}

int16_t Application::ReplacePartByNewPart(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn,
                                          std::string& LinkAttributes, Ptr<CvObject>& MyNewPart) {
    try {
        Required(Session, "Session");
        Required(RecListIn, "RecListIn");
        auto collection = CleanedLinkAttributes(Session, LinkAttributes);
        ClsBOM bom(windows_);
        return GoOnIf(bom.ReplacePart(Session, RecListIn, collection, true, MyNewPart));
    } catch (...) {
        return Caught();
    }
}

int16_t Application::UnLockObject(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn) {
    try {
        Required(Session, "Session");
        Required(RecListIn, "RecListIn");
        ClsLock lock(windows_);
        return GoOnIfNonZero(lock.UnLockObject(Session, RecListIn));
    } catch (...) {
        return Caught();
    }
}

int16_t Application::UploadDocument(Ptr<CvSession>& Session, Ptr<CvRecList>& RecListIn, std::string& Extensions,
                                    std::string& FileTypes) {
    try {
        auto rootObject = ObjectOfRow0(Session, RecListIn, true);
        StringListPtr extensions;
        StringListPtr fileTypes;
        {
            ClsUtils utils(windows_);
            extensions = utils.GetAttributesFromScript(Extensions);
            fileTypes = utils.GetAttributesFromScript(FileTypes);
        }
        ClsUpload upload(windows_);
        return GoOnIf(upload.ShowOpenDialogBox(Session, rootObject, extensions, fileTypes));
    } catch (...) {
        return Caught();
    }
}

int16_t Application::IsLockedForUpdate(Ptr<CvSession>& CvSession, Ptr<CvRecList>& RecListIn) {
    Required(CvSession, "CvSession");
    Required(RecListIn, "RecListIn");
    ClsLock lock(windows_);
    return RefuseIf(lock.IsLockedForUpdate(CvSession, RecListIn));
}

} // namespace quendra
