// ClsHookLifeCycle: checks before life-cycle operations and the relinking of documents after check-in.
// SPDX-License-Identifier: Apache-2.0
#include "ClsHookLifeCycle.h"

#include "ClsLock.h"
#include "MessageBox.h"
#include "Names.h"
#include "ObjectName.h"

#include <algorithm>
#include <cctype>

namespace quendra {

namespace {

std::string UpperCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

} // namespace

ClsHookLifeCycle::ClsHookLifeCycle(ui::WindowSystem& Windows) : windows_(Windows) {}

bool ClsHookLifeCycle::AfterCheckInDocuments(const Ptr<CvSession>& Session, const Ptr<CvRecList>& RecListIn) {
    auto store = Session->ObjectStore();
    auto document = store->ObjectFromRecord(RecListIn->RecordAt(0), false)->WorkingObject();
    document->Retrieve();
    const std::string partNumber = document->Data()->ValueAsText(names::CN_PART_NUMBER);

    auto options = store->DefaultUpdateOptions()->Copy();
    options->SetMode(2);

    auto metaInfo = Session->MetaInfo();
    const int16_t documentClassId = document->ClassId();
    const int16_t partsId = metaInfo->ClassByName(names::ClassParts)->ClassId();

    // The parts the document is linked to now.
    auto linkedQuery = store->NewQueryDef();
    auto linkedRequest = linkedQuery->Specification();
    auto linkedClasses = linkedRequest->Classes();
    linkedClasses->AddClass(documentClassId, "F");
    linkedClasses->AddClass(partsId, "S");
    auto linkClass = metaInfo->ClassById(documentClassId)->LinkClasses()->LinkClassesTo(partsId)->Item(0);
    linkedClasses->AddClass(linkClass->ClassId(), "L");
    auto linkedColumns = linkedRequest->Columns();
    linkedColumns->AddColumn(names::CLASS_ID, "S", 0);
    linkedColumns->AddColumn(names::OBJECT_ID, "S", 0);
    linkedRequest->Conditions()->AddCondition("", names::OBJECT_ID, "=", Value::Int32(document->ObjectId()), 0, "F");
    linkedQuery->Run();
    auto linkedParts = store->ObjectsFromRecList(linkedQuery->Result(), false);

    // A document belongs only to parts of its own part number, compared exactly.
    const int32_t linkedCount = linkedParts->Count();
    for (int32_t i = 0; i < linkedCount; ++i) {
        auto part = linkedParts->Item(i)->WorkingObject();
        part->Retrieve();
        if (part->Data()->ValueAsText(names::CN_PART_NUMBER) != partNumber) document->RemoveLink(0, part, options);
    }

    // The one released part of that part number, if there is exactly one.
    auto candidateQuery = store->NewQueryDef();
    auto candidateRequest = candidateQuery->Specification();
    candidateRequest->Classes()->AddClass(partsId, "F");
    auto candidateColumns = candidateRequest->Columns();
    candidateColumns->AddColumn(names::OBJECT_ID, "F", 0);
    candidateColumns->AddColumn(names::CLASS_ID, "F", 0);
    auto candidateConditions = candidateRequest->Conditions();
    candidateConditions->AddCondition("", names::CN_PART_NUMBER, "=", Value::Text(partNumber), 0, "F");
    candidateConditions->AddCondition("", names::STATE, "=", Value::Int16(5), 0, "F");
    candidateQuery->Run();
    auto candidates = candidateQuery->Result();
    if (candidates->RowCount() != 1) return false;

    auto part = store->ObjectFromRecord(candidates->RecordAt(0), false)->WorkingObject();
    part->Retrieve();

    const int16_t dependencyLinkId = metaInfo->ClassByName(names::LinkClassSpecification)->ClassId();
    auto existing = store->LinkByEnds(dependencyLinkId, part->ClassId(), part->ObjectId(), document->ClassId(),
                                      document->ObjectId());
    if (!existing) {
        auto link = part->NewLinkTo(dependencyLinkId, document);
        link->Insert(options);
        auto added = store->NewObjectList();
        added->Add(link);
        auto services = CreateAs<CvGUIServices>(*Session, names::GUIServices);
        services->ObjectViewNotifier()->NotifyObjects(0, added, true);
    }
    return true;
}

bool ClsHookLifeCycle::BeforeAddPartsTreeLink(const Ptr<CvSession>& Session, const Ptr<CvRecList>& RecListIn) {
    const int32_t parentObjectId = RecListIn->ValueAsInt32(names::OBJECT_ID1, 0);
    const int16_t parentClassId = RecListIn->ValueAsInt16(names::PAR_CLASS_ID, 0);
    auto parent = Session->ObjectStore()->ObjectById(parentClassId, parentObjectId);
    return ClsLock(windows_).LockMechanism(Session, parent);
}

bool ClsHookLifeCycle::BeforeCheckOutReleaseDocs(const Ptr<CvSession>& Session, const Ptr<CvObject>& Obj,
                                                 const std::string& SelectOp) {
    auto options = Session->ObjectStore()->DefaultUpdateOptions()->Copy();
    options->SetFirstSwitch(false);
    options->SetSecondSwitch(false);
    options->SetMode(2);

    if (!ClsLock(windows_).LockMechanism(Session, Obj)) return false;
    // Approval releases the component's lock on the document.
    if (UpperCase(SelectOp) == "APPROVE") {
        Obj->Data()->SetValueAsBool(names::CN_LOCKED, false);
        Obj->Update(options);
    }
    return true;
}

bool ClsHookLifeCycle::BeforeDeleteDocuments(const Ptr<CvSession>& Session, const Ptr<CvObject>& Obj) {
    if (Session->CurrentUser()->IsAdministrator()) return true;

    auto data = Obj->Data();
    const int32_t objectId = data->ValueAsInt32(names::OBJECT_ID);
    const int16_t classId = data->ValueAsInt16(names::CLASS_ID);
    const int16_t folderId = Session->MetaInfo()->ClassByName(names::ClassFolder)->ClassId();
    if (classId == folderId) return false;

    if (!ClsLock(windows_).LockMechanism(Session, Obj)) return false;

    // Links under folders do not count as references.
    auto query = Session->ObjectStore()->NewSqlQuery();
    query->SetSqlText(std::string("Select CLASS_ID1, OBJECT_ID2, CLASS_ID2 From TDM_LINKS_00092 Where OBJECT_ID2 = ") +
                      std::to_string(objectId) + " And " + " CLASS_ID2 = " + std::to_string(classId) +
                      " And not CLASS_ID1 = " + std::to_string(folderId));
    query->Run();
    if (query->Result()->RecordCount() <= 0) return true;

    return AskYesNo(windows_, "This Document is referenced by others.\r\nConfirm deletion of " + ObjectName(*Obj));
}

bool ClsHookLifeCycle::BeforeNewReleaseObj(const Ptr<CvSession>& /*Session*/, const Ptr<CvObject>& Obj) {
    if (!Obj->Data()->ValueAsBool(names::CN_STANDARD)) return true;
    ShowOk(windows_, ObjectName(*Obj) + " is standard", ui::Icon::Information);
    return false;
}

bool ClsHookLifeCycle::BeforeUpdate(const Ptr<CvSession>& Session, const Ptr<CvObject>& Obj,
                                    const std::string& /*SelectOp*/) {
    if (!ClsLock(windows_).LockMechanism(Session, Obj)) return false;
    auto data = Obj->Data();
    if (!data->Header()->ContainsColumn(names::CN_STANDARD)) return true;
    if (!data->ValueAsBool(names::CN_STANDARD)) return true;

    // A standard object stays standard only over standard children, read afresh.
    auto children = Obj->Children(nullptr);
    const int32_t count = children->Count();
    for (int32_t i = 0; i < count; ++i) {
        auto child = children->Item(i)->WorkingObject();
        child->Retrieve();
        if (child->Data()->ValueAsBool(names::CN_STANDARD)) continue;
        ShowOk(windows_, "Child " + ObjectName(*child) + " must be set to standard first", ui::Icon::Information);
        return false;
    }
    return true;
}

} // namespace quendra
