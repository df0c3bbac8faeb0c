// ClsLock: the lock check, locking and unlocking with propagation, and the update guard.
// SPDX-License-Identifier: Apache-2.0
#include "ClsLock.h"

#include "ClsUtils.h"
#include "MessageBox.h"
#include "Names.h"
#include "ObjectName.h"

#include <limits>
#include <set>
#include <utility>
#include <vector>

namespace quendra {

namespace {

// Rows and children are counted with 16-bit counters; a list longer than that overflows them.
void CheckCounter(int32_t position) {
    if (position > std::numeric_limits<int16_t>::max()) throw CvError("overflow of the 16-bit position counter");
}

Ptr<CvUpdateOptions> MakeUpdateOptions(CvObjectStore& store) {
    auto options = store.DefaultUpdateOptions()->Copy();
    options->SetFirstSwitch(false);
    return options;
}

// The working object behind a record-list row, with its stored values.
Ptr<CvObject> RetrievedObjectAt(CvObjectStore& store, CvRecList& recList, int32_t row) {
    auto object = store.ObjectFromRecord(recList.RecordAt(row), true)->WorkingObject();
    object->Retrieve();
    return object;
}

void NotifyChanged(CvSession& session, CvObjectStore& store, const Ptr<CvObject>& object) {
    auto services = CreateAs<CvGUIServices>(session, names::GUIServices);
    auto changed = store.NewObjectList();
    changed->Add(object);
    services->ObjectViewNotifier()->NotifyObjects(1, changed, false);
}

// Sets the lock flag of each object of the list that the user may change to `locked`, with the user as
// its holder, where the flag is not so already. `before` sees each such object first and ends the
// walk by answering false.
template <typename Before>
void SetLockFlags(ClsLock& lock, const Ptr<CvSession>& session, CvRecList& recList, bool locked, Before before) {
    auto store = session->ObjectStore();
    auto options = MakeUpdateOptions(*store);
    const int32_t rowCount = recList.RowCount();
    for (int32_t row = 0; row < rowCount; ++row) {
        CheckCounter(row);
        auto object = RetrievedObjectAt(*store, recList, row);
        if (!lock.LockMechanism(session, object)) continue;
        if (!before(object)) return;
        if (object->Data()->ValueAsBool(names::CN_LOCKED) == locked) continue;
        auto data = object->Data();
        data->SetValueAsBool(names::CN_LOCKED, locked);
        data->SetValueAsInt32(names::USER_OBJECT_ID, session->CurrentUser()->UserObjectId());
        object->Update(options);
        NotifyChanged(*session, *store, object);
    }
}

// The life-cycle states in which a family's objects may be changed; a null state never refuses.
bool StateRefuses(const Value& state, bool isPart, bool isDocument) {
    if (state.IsNull()) return false;
    const double code = state.AsDouble();
    if (isPart && code != 5 && code != 6) return true;
    if (isDocument && code != 0 && code != 1 && code != 2 && code != 5) return true;
    return false;
}

} // namespace

ClsLock::ClsLock(ui::WindowSystem& Windows) : windows_(Windows) {}

bool ClsLock::LockMechanism(const Ptr<CvSession>& Session, const Ptr<CvObject>& Obj) {
    const Value state = Obj->Data()->GetValue(names::STATE);
    auto objectClass = Obj->Class();
    const int16_t superClassId = objectClass->SuperClassId();
    auto metaInfo = Session->MetaInfo();
    const bool isPart = superClassId == metaInfo->ClassByName(names::ClassParts)->ClassId();
    const bool isDocument = superClassId == metaInfo->ClassByName(names::ClassDocuments)->ClassId();
    if (StateRefuses(state, isPart, isDocument)) {
        ShowOk(windows_, ObjectName(*Obj) + " is locked by somebody else", ui::Icon::Information);
        return false;
    }

    auto data = Obj->Data();
    const int32_t holderId = data->ValueAsInt32(names::USER_OBJECT_ID);
    auto user = Session->CurrentUser();
    const int32_t userId = user->UserObjectId();
    const bool locked = data->ValueAsBool(names::CN_LOCKED);
    if (locked && holderId == userId) return true;
    if (!locked) return true;
    if (user->IsAdministrator()) return true;

    const std::string holderName = GetLockHolderName(Session, Obj);
    ShowOk(windows_, ObjectName(*Obj) + " is locked by " + holderName, ui::Icon::Information);
    return false;
}

std::string ClsLock::GetLockHolderName(const Ptr<CvSession>& /*Session*/, const Ptr<CvObject>& Obj) {
    // The holder's name is only for the message: whatever goes wrong gives a fixed text instead.
    try {
        std::string holderName;
        auto definitions = Obj->Class()->AttributeDefs();
        auto modifiedBy = definitions->DefinitionByName(names::USER_ID_MOD);
        auto reference = modifiedBy->Reference();
        if (reference) {
            const std::string separator = reference->ReferenceText().empty() ? " " : "";
            auto holder = Obj->ReferencedObject(definitions->KeyOf(modifiedBy));
            if (holder) {
                holder->Retrieve();
                auto displayAttributes = reference->DisplayAttributes();
                const int32_t count = displayAttributes->Count();
                for (int32_t i = 0; i < count; ++i) {
                    if (i > 0) holderName += separator;
                    holderName += holder->Data()->ValueAsText(displayAttributes->Item(i)->Name());
                }
            }
        }
        if (holderName.empty()) holderName = "somebody else (No Found)";
        return holderName;
    } catch (...) {
        return "somebody else (Undetermined)";
    }
}

int16_t ClsLock::LockObject(const Ptr<CvSession>& Session, const Ptr<CvRecList>& RecListIn) {
    // An object locked already keeps its holder, also when an administrator passed the check.
    SetLockFlags(*this, Session, *RecListIn, true, [](const Ptr<CvObject>&) { return true; });
    return 0;
}

int16_t ClsLock::UnLockObject(const Ptr<CvSession>& Session, const Ptr<CvRecList>& RecListIn) {
    // The unlocker's id is kept, not cleared.
    SetLockFlags(*this, Session, *RecListIn, false, [&](const Ptr<CvObject>& object) {
        auto children = object->Children(nullptr);
        if (children->Count() > 0 && AskYesNo(windows_, "Do You Want To Propagate Unlock To All Children ?"))
            return UnlockChildren(object, children);
        return true;
    });
    return 0;
}

bool ClsLock::UnlockChildren(const Ptr<CvObject>& Obj, const Ptr<CvObjects>& Children) {
    // Depth first, descendants before the object, siblings in list order. The walk keeps its own
    // stack so that a tree of any depth fits. A part below two parents is walked each time it is
    // reached; only an object already on the path from `Obj` down is not entered again, so a
    // cycle ends there.
    struct Level {
        Ptr<CvObjects> children;
        int32_t count = 0;
        int32_t next = 0;
        Ptr<CvObject> owner; // the child whose children this level walks; none for the first level
        std::pair<int16_t, int32_t> ownerIdentity;
        Ptr<CvSession> session;
        Ptr<CvUpdateOptions> options;
    };
    auto openLevel = [&Obj](Ptr<CvObjects> children, Ptr<CvObject> owner) {
        Level level;
        level.session = Obj->ObjectStore()->Session();
        level.options = MakeUpdateOptions(*level.session->ObjectStore());
        level.count = children->Count();
        level.children = std::move(children);
        level.owner = std::move(owner);
        return level;
    };
    using Identity = std::pair<int16_t, int32_t>;
    auto identityOf = [](CvObject& object) { return Identity{object.ClassId(), object.ObjectId()}; };

    std::set<Identity> onPath{identityOf(*Obj)};
    std::vector<Level> levels;
    levels.push_back(openLevel(Children, nullptr));
    while (!levels.empty()) {
        Level& level = levels.back();
        if (level.next < level.count) {
            CheckCounter(level.next);
            auto child = level.children->Item(level.next++)->WorkingObject();
            const Identity identity = identityOf(*child);
            if (onPath.count(identity) != 0) continue;
            child->Retrieve();
            // A child the user may not change is skipped with everything below it.
            if (!LockMechanism(level.session, child)) continue;
            auto grandChildren = child->Children(nullptr);
            onPath.insert(identity);
            levels.push_back(openLevel(std::move(grandChildren), std::move(child)));
            levels.back().ownerIdentity = identity;
            continue;
        }
        Ptr<CvObject> finished = std::move(level.owner);
        const Identity finishedIdentity = level.ownerIdentity;
        levels.pop_back();
        if (!finished) continue;
        onPath.erase(finishedIdentity);
        if (finished->Data()->ValueAsBool(names::CN_LOCKED)) {
            finished->Data()->SetValueAsBool(names::CN_LOCKED, false);
            finished->Update(levels.back().options);
        }
    }
    return true;
}

bool ClsLock::IsLockedForUpdate(const Ptr<CvSession>& CvSession, const Ptr<CvRecList>& RecListIn) {
    auto object = CvSession->ObjectStore()->ObjectFromRecord(RecListIn->RecordAt(0), true);

    std::string missing;
    auto header = object->Data()->Header();
    if (!header->ContainsColumn(names::CN_LOCKED)) missing = names::CN_LOCKED;
    if (!header->ContainsColumn(names::USER_OBJECT_ID))
        missing = missing.empty() ? std::string(names::USER_OBJECT_ID)
                                  : std::string(names::USER_OBJECT_ID) + ";" + names::CN_LOCKED;
    if (!missing.empty()) {
        object->AddAttributesToRetrieve(missing);
        object->Retrieve();
    }

    auto data = object->Data();
    if (!data->ValueAsBool(names::CN_LOCKED)) return false;
    const int32_t holderId = data->ValueAsInt32(names::USER_OBJECT_ID);
    if (holderId == CvSession->CurrentUser()->UserObjectId()) return false;

    const std::string objectName = ObjectName(*object);
    const std::string holderName = ClsUtils(windows_).GetUserName(CvSession, holderId);
    ShowOk(windows_,
           objectName + " has been locked by '" + holderName + "'" + "\r\r" +
               "You cannot update any atrribute in this situation",
           ui::Icon::Exclamation);
    return true;
}

} // namespace quendra
