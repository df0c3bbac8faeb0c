// ClsBOM: adding, copying, deleting, updating and replacing links of the parts tree.
// SPDX-License-Identifier: Apache-2.0
#include "ClsBOM.h"

#include "ClsLock.h"
#include "ClsUtils.h"
#include "MessageBox.h"
#include "Names.h"

namespace quendra {

ClsBOM::ClsBOM(ui::WindowSystem& Windows) : windows_(Windows) {}

bool ClsBOM::AddExistingPart(const Ptr<CvSession>& Session, const Ptr<CvObject>& Obj,
                             const StringListPtr& LinkAttributesCollection) {
    ClsLock lock(windows_);
    if (!lock.LockMechanism(Session, Obj)) return false;

    ClsUtils utils(windows_);
    auto picked = utils.SearchObject(Session);
    if (!picked) return false;

    auto objClass = Obj->Class();
    if (picked->Class()->SuperClassId() != objClass->SuperClassId()) {
        ShowOk(windows_, "You must select " + objClass->Name() + " for such operation", ui::Icon::Information);
        return false;
    }
    utils.Link2Object(Session, Obj, picked, LinkAttributesCollection, nullptr, true);
    // The hook refuses the platform's own link in every case: the link, if any, is already made.
    return false;
}

bool ClsBOM::AddNewPart(const Ptr<CvSession>& Session, const Ptr<CvObject>& Obj, const StringListPtr& LinkAttributes) {
    ClsLock lock(windows_);
    if (!lock.LockMechanism(Session, Obj)) return false;

    auto newPart = CreateNewPart(Session);
    if (!newPart) return false;

    ClsUtils utils(windows_);
    utils.Link2Object(Session, Obj, newPart, LinkAttributes, nullptr, true);
    return false;
}

bool ClsBOM::AddMainPart(const Ptr<CvSession>& Session, const Ptr<CvObject>& Obj) {
    try {
        auto newPart = FillInNewPart(Session);
        if (!newPart) return false;
        newPart->Store();

        auto store = Session->ObjectStore();
        auto options = store->DefaultUpdateOptions()->Copy();
        options->SetMode(2);
        auto link = newPart->LinkUnderParent(Obj, 0, options);

        ClsUtils utils(windows_);
        utils.CreateProcess(Session, newPart, names::ProcessNewPart);

        auto added = store->NewObjectList();
        added->Add(link);
        auto services = CreateAs<CvGUIServices>(*Session, names::GUIServices);
        services->ObjectViewNotifier()->NotifyObjects(0, added, true);
        return true;
    } catch (...) {
        // Whatever was stored or linked before the failure stays; the hook only learns it failed.
        return false;
    }
}

Ptr<CvObject> ClsBOM::CreateNewPart(const Ptr<CvSession>& Session) {
    auto newPart = FillInNewPart(Session);
    if (!newPart) return nullptr;
    try {
        newPart->Store();
        ClsUtils utils(windows_);
        utils.CreateProcess(Session, newPart, names::ProcessNewPart);
    } catch (...) {
        // A part stored before the workflow failed stays stored but is not handed on to be linked.
        return nullptr;
    }
    return newPart;
}

Ptr<CvObject> ClsBOM::FillInNewPart(const Ptr<CvSession>& Session) {
    auto store = Session->ObjectStore();
    int16_t partClassId = Session->MetaInfo()->ClassByName(names::ClassPart)->ClassId();

    auto templateObject = store->NewObject(partClassId);
    templateObject->InitialiseNew();
    templateObject->PrepareNew();

    auto sequence = store->Sequences()->SequenceByName(names::SequencePartNumber);
    if (sequence) templateObject->Data()->SetValueAsText(names::CN_PART_NUMBER, sequence->NextValue());

    auto integration = CreateAs<CvIntegrationStore>(*Session, names::IntegrationStore);
    auto newPart = store->ObjectFromRecord(templateObject->Data(), true);

    ClsUtils utils(windows_);
    do {
        bool accepted = false;
        integration->NewObjectDialog()->Show(newPart, templateObject, false, accepted);
        if (!accepted) return nullptr;
    } while (!utils.MandatoryAttributesAreFilled(Session, newPart));
    return newPart;
}

bool ClsBOM::CopyTreeFrom(const Ptr<CvSession>& Session, const Ptr<CvObject>& Obj, Ptr<CvObject>& FromObj,
                          const StringListPtr& LinkAttributesCollection) {
    try {
        if (!Obj) throw CvError("no part to copy the tree to");
        ClsLock lock(windows_);
        if (!lock.LockMechanism(Session, Obj)) return false;

        ClsUtils utils(windows_);
        if (!FromObj) {
            FromObj = utils.SearchObject(Session);
            if (!FromObj) return false;
        }

        auto objClass = Obj->Class();
        if (FromObj->Class()->ClassId() != objClass->ClassId()) {
            ShowOk(windows_, "You must select " + objClass->Name() + " for such operation", ui::Icon::Information);
            return false;
        }

        auto store = Session->ObjectStore();
        auto fetch = [&store](const Ptr<CvObject>& element) {
            auto object = store->ObjectById(element->ClassId(), element->ObjectId())->WorkingObject();
            object->Retrieve();
            return object;
        };

        auto treeLinks = FromObj->TreeLinks(nullptr);
        const int32_t count = treeLinks->Count();
        for (int32_t position = 0; position < count; ++position) {
            auto entry = treeLinks->Item(position)->WorkingEntry();
            auto child = fetch(entry->Element(0));
            auto sourceLink = fetch(entry->Element(1));

            StringList values;
            auto sourceData = sourceLink->Data();
            for (const auto& name : Items(LinkAttributesCollection)) values.push_back(sourceData->ValueAsText(name));

            utils.Link2Object(Session, Obj, child, LinkAttributesCollection, &values, false);
        }
        utils.Refresh_Screen(Session, Obj, 1);
        return true;
    } catch (...) {
        // Links copied before the failure stay.
        return false;
    }
}

bool ClsBOM::JoinsTwoParts(const Ptr<CvSession>& Session, const Ptr<CvObject>& Link) {
    auto data = Link->Data();
    int16_t parentClassId = data->ValueAsInt16(names::CLASS_ID1);
    int16_t childClassId = data->ValueAsInt16(names::CLASS_ID2);
    auto meta = Session->MetaInfo();
    bool parentIsPart = meta->ClassByName(names::ClassParts)->IncludesClass(parentClassId);
    bool childIsPart = meta->ClassByName(names::ClassParts)->IncludesClass(childClassId);
    return parentIsPart && childIsPart;
}

Ptr<CvObject> ClsBOM::ParentOfLink(const Ptr<CvSession>& Session, const Ptr<CvObject>& Link) {
    int32_t parentId = Link->Data()->ValueAsInt32(names::PAR_OBJECT_ID);
    int16_t partsClassId = Session->MetaInfo()->ClassByName(names::ClassParts)->ClassId();
    return Session->ObjectStore()->ObjectById(partsClassId, parentId);
}

int16_t ClsBOM::DeleteLink(const Ptr<CvSession>& Session, const Ptr<CvRecList>& RecListIn) {
    ClsUtils utils(windows_);
    auto link = utils.GetLinkFromRecordList(Session, RecListIn);
    if (!link) return 0;

    if (!JoinsTwoParts(Session, link)) {
        ShowOk(windows_, "Delete Link must be done between 2 Parts Objects\r\nImpossible to Delete Link",
               ui::Icon::Exclamation);
        return 0;
    }

    ClsLock lock(windows_);
    if (!lock.LockMechanism(Session, ParentOfLink(Session, link))) return 0;

    utils.DeleteObject(Session, link);
    // The hook refuses the platform's own deletion in every case: the link is already gone.
    return 0;
}

bool ClsBOM::LinkUpdate(const Ptr<CvSession>& Session, const Ptr<CvRecList>& RecListIn,
                        const StringListPtr& LinkAttributesCollection) {
    try {
        auto options = Session->ObjectStore()->DefaultUpdateOptions()->Copy();
        options->SetMode(2);
        options->SetSecondSwitch(false);

        ClsUtils utils(windows_);
        auto link = utils.GetLinkFromRecordList(Session, RecListIn);
        if (!link) return false;

        if (!JoinsTwoParts(Session, link)) {
            ShowOk(windows_, "Update Link must be done between 2 Parts Objects\r\nImpossible to Update Link",
                   ui::Icon::Exclamation);
            return false;
        }

        ClsLock lock(windows_);
        if (!lock.LockMechanism(Session, ParentOfLink(Session, link))) return false;

        if (!utils.ManageLinkAttributes(link, LinkAttributesCollection)) return false;
        link->Update(options);

        utils.Refresh_Screen(Session, link, 1);
        return true;
    } catch (...) {
        return false;
    }
}

bool ClsBOM::ReplacePart(const Ptr<CvSession>& Session, const Ptr<CvRecList>& RecListIn,
                         const StringListPtr& LinkAttributes, bool ByNewPart, Ptr<CvObject>& MyNewPart) {
    try {
        auto store = Session->ObjectStore();
        auto options = store->DefaultUpdateOptions()->Copy();
        options->SetFirstSwitch(false);
        options->SetSecondSwitch(false);
        options->SetMode(2);

        ClsUtils utils(windows_);
        auto oldLink = utils.GetLinkFromRecordList(Session, RecListIn);
        if (!oldLink) return false;

        auto linkData = oldLink->Data();
        int32_t parentId = linkData->ValueAsInt32(names::PAR_OBJECT_ID);
        int32_t replacedId = linkData->ValueAsInt32(names::SON_OBJECT_ID);
        int16_t partsClassId = Session->MetaInfo()->ClassByName(names::ClassParts)->ClassId();
        auto parent = store->ObjectById(partsClassId, parentId);
        auto replaced = store->ObjectById(partsClassId, replacedId);
        parent->Retrieve();
        replaced->Retrieve();

        ClsLock lock(windows_);
        if (!lock.LockMechanism(Session, parent)) return false;

        auto replacement = ByNewPart ? CreateNewPart(Session) : utils.SearchObject(Session);
        if (!replacement) return false;

        // Recorded before the class check, so a refused replacement still carries it.
        auto replacementData = replacement->Data();
        auto replacedData = replaced->Data();
        if (replacementData->Header()->ContainsColumn(names::CN_ISSUED_FROM) &&
            replacedData->Header()->ContainsColumn(names::CN_ISSUED_FROM)) {
            replacementData->SetValueAsText(names::CN_ISSUED_FROM, replacedData->ValueAsText(names::CN_PART_NUMBER));
            replacement->Update(options);
        }

        auto parentClass = parent->Class();
        if (parentClass->SuperClassId() != partsClassId ||
            replacement->Class()->SuperClassId() != parentClass->SuperClassId()) {
            ShowOk(windows_, "You must select " + parentClass->Name() + " for such operation", ui::Icon::Information);
            return false;
        }

        StringList values;
        for (const auto& name : Items(LinkAttributes)) values.push_back(linkData->ValueAsText(name));

        auto outcome = utils.Link2ObjectWithOutcome(Session, parent, replacement, LinkAttributes, &values, false);
        // Without the new link, deleting the old one would leave the parent without the child.
        if (outcome == ClsUtils::LinkOutcome::Failed) return false;

        utils.DeleteObject(Session, oldLink);
        MyNewPart = replacement;
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace quendra
