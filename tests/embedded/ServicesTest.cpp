// The class directory, sequences and lookup tables, desktop services, workflow, faults and the read-only switch.
// SPDX-License-Identifier: Apache-2.0
#include "OnBothStorages.h"

#include "CvError.h"

#include <algorithm>
#include <functional>

namespace quendra::embedded {
namespace {

class ServicesTest : public test::OnBothStorages {};

// The numbers a sequence hands out and the codes of lookup entries are the scenarios' (adding-parts.json,
// upload.json); here what the model lacks.
TEST_P(ServicesTest, DirectoriesAnswerFamiliesAndRefuseWhatTheModelLacks) {
    auto parts = meta->ClassByName("Parts");
    auto part = meta->ClassByName("Part");
    auto drawing = meta->ClassByName("Drawing");
    EXPECT_TRUE(part->BelongsToClass(parts->ClassId()));
    EXPECT_FALSE(parts->BelongsToClass(part->ClassId()));
    EXPECT_TRUE(parts->IncludesClass(part->ClassId()));
    EXPECT_FALSE(parts->IncludesClass(drawing->ClassId()));
    EXPECT_FALSE(parts->HasAttribute("CN_ISSUED_FROM"));
    EXPECT_FALSE(part->HasAttribute(""));
    EXPECT_THROW(meta->ClassByName("Widgets"), CvError);
    EXPECT_THROW(meta->ClassById(-1), CvError);
    auto defs = meta->ClassByName("Parts Tree")->AttributeDefs();
    EXPECT_FALSE(defs->DefinitionByName("CN_QUANTITY")->IsPrimary("CN_QUANTITY"));
    EXPECT_TRUE(defs->DefinitionByName("CN_POSITION")->IsPrimary("CN_POSITION"));
    EXPECT_THROW(defs->DefinitionByName("NOPE"), CvError);
    EXPECT_THROW(meta->LinkClassBetween(drawing->ClassId(), part->ClassId()), CvError);
    EXPECT_EQ(meta->ClassByName("Folder")->LinkClasses()->LinkClassesTo(parts->ClassId())->Count(), 0);
    EXPECT_EQ(store->Sequences()->SequenceByName("part number"), nullptr);
    auto fileTypes = store->LookupTable(300);
    EXPECT_EQ(fileTypes->ItemByText("spreadsheet"), nullptr);
    EXPECT_THROW(fileTypes->Item(fileTypes->Count()), CvError);
    EXPECT_THROW(store->LookupTable(999), CvError);
}

TEST_P(ServicesTest, WorkflowForwardsTheNewProcessPastItsFirstStep) {
    auto flow = CreateAs<CvFlowStore>(*session, "CvFlow.CvFlowStore");
    auto workList = flow->WorkList();
    EXPECT_EQ(workList->Entries()->Count(), 0);
    auto process = flow->NewProcess(meta->ClassByName("New Part Development")->ClassId());
    int32_t processId = process->Object()->Data()->ValueAsInt32("OBJECT_ID");
    auto entries = workList->Entries();
    ASSERT_EQ(entries->Count(), 1);
    auto entry = entries->Entry(0);
    EXPECT_EQ(entry->Object()->Data()->ValueAsInt32("OBJECT_ID1"), processId);
    entry->Take();
    auto target = entry->Definition()->NextTargets()->Item(0);
    ASSERT_TRUE(entry->CanForwardTo(target));
    entry->CurrentStep()->Forward(target, "New Part Development auto initiated", std::chrono::system_clock::now());
    EXPECT_FALSE(entry->CanForwardTo(target));
    EXPECT_THROW(entry->CurrentStep()->Forward(target, "again", std::chrono::system_clock::now()), CvError);

    // The process now waits in its second step; the last step has no next target.
    auto next = workList->Entries();
    ASSERT_EQ(next->Count(), 1);
    auto second = next->Entry(0);
    auto last = second->Definition()->NextTargets()->Item(0);
    second->CurrentStep()->Forward(last, "", std::chrono::system_clock::now());
    EXPECT_THROW(workList->Entries()->Entry(0)->Definition()->NextTargets()->Item(0), CvError);
    EXPECT_THROW(flow->NewProcess(meta->ClassByName("Part")->ClassId()), CvError);
}

TEST_P(ServicesTest, SearchDialogsFindAndPickObjectsInOrder) {
    ObjectKey bracket = Part("P-10", "Part", {{"CN_DESCRIPTION", Value::Text("Bracket 50%")}});
    ObjectKey frame = Part("P-11", "Assembly", {{"CN_DESCRIPTION", Value::Text("Frame")}});
    ObjectKey third = Part("P-12", "Part", {{"CN_DESCRIPTION", Value::Text("Bracket 5")}});
    db->CreateObject("Document", {{"CN_PART_NUMBER", Value::Text("P-10")}});

    auto gui = CreateAs<CvCommonGUI>(*session, "CvGUISrv.CvCommonGUI");
    auto view = gui->ViewMaker()->MakeView(1);
    dialogs.nextQuery.classId = db->ClassId("Parts");
    dialogs.nextQuery.conditions = {{"CN_DESCRIPTION", "50%"}};
    dialogs.pick = {frame, bracket};
    Ptr<CvGUIDialog> dialog;
    ASSERT_EQ(gui->DialogMaker()->RunQueryDialog(dialog), 1);
    auto query = dialog->View()->Selection()->Query();
    dialog->Close();
    view->Selection()->SetQuery(query);
    auto results = view->ResultDialog();
    results->SetOption(0);
    results->Prepare();
    ASSERT_EQ(results->Show(), 1);
    ASSERT_EQ(dialogs.candidates.size(), 1u);
    EXPECT_EQ(dialogs.candidates[0].key, bracket);
    EXPECT_EQ(dialogs.candidates[0].className, "Part");
    EXPECT_EQ(dialogs.candidates[0].displayText, "P-10-Bracket 50%");
    auto picked = view->Contents()->Objects();
    ASSERT_EQ(picked->Count(), 2);
    EXPECT_EQ(picked->Item(0)->ObjectId(), frame.objectId);
    EXPECT_EQ(picked->Item(1)->ObjectId(), bracket.objectId);
    EXPECT_EQ(picked->Item(0)->Data()->ValueAsText("CN_DESCRIPTION"), "Frame");
    EXPECT_EQ(picked->Item(1)->Data()->ValueAsText("CN_DESCRIPTION"), "Bracket 50%");
    EXPECT_EQ(picked->Item(0)->Class()->Name(), "Assembly");

    // Every class: a document of the same number is found too.
    dialogs.nextQuery = SearchQuery{0, {{"CN_PART_NUMBER", "P-10"}}, {}};
    ASSERT_EQ(gui->DialogMaker()->RunQueryDialog(dialog), 1);
    view->Selection()->SetQuery(dialog->View()->Selection()->Query());
    ASSERT_EQ(view->ResultDialog()->Show(), 1);
    ASSERT_EQ(dialogs.candidates.size(), 2u);
    EXPECT_EQ(dialogs.candidates[0].key, bracket);
    EXPECT_EQ(dialogs.candidates[1].className, "Document");

    // A view whose contents are still held keeps what it shows; a view made after it starts empty, also when the
    // session hands out again one nobody holds any more.
    auto contents = view->Contents();
    view.reset();
    auto another = gui->ViewMaker()->MakeView(1);
    EXPECT_EQ(contents->Objects()->Count(), 2);
    EXPECT_EQ(another->Contents()->Objects()->Count(), 0);
    another->Selection()->SetQuery(query);
    another.reset();
    auto fresh = gui->ViewMaker()->MakeView(1);
    EXPECT_THROW(fresh->Selection()->Query(), CvError);
    EXPECT_EQ(fresh->Contents()->Objects()->Count(), 0);

    // A query dialog whose view is still held keeps its query; the next query dialog, made anew or handed out
    // again, shows what the user asked for this time.
    auto searchWith = [&](const Ptr<CvGUIQuery>& asked) {
        fresh->Selection()->SetQuery(asked);
        EXPECT_EQ(fresh->ResultDialog()->Show(), 1);
        std::vector<ObjectKey> found;
        for (const auto& candidate : dialogs.candidates) found.push_back(candidate.key);
        return found;
    };
    auto heldView = dialog->View();
    dialog.reset();
    dialogs.nextQuery = SearchQuery{0, {{"CN_PART_NUMBER", "P-11"}}, {}};
    ASSERT_EQ(gui->DialogMaker()->RunQueryDialog(dialog), 1);
    EXPECT_EQ(searchWith(heldView->Selection()->Query()).size(), 2u);
    EXPECT_EQ(searchWith(dialog->View()->Selection()->Query()), std::vector<ObjectKey>{frame});
    heldView.reset();
    dialog.reset();
    dialogs.nextQuery = SearchQuery{0, {{"CN_PART_NUMBER", "P-12"}}, {}};
    ASSERT_EQ(gui->DialogMaker()->RunQueryDialog(dialog), 1);
    auto asked = dialog->View()->Selection()->Query();
    EXPECT_EQ(searchWith(asked), std::vector<ObjectKey>{third});
    // A query still held keeps what it asked for when its dialog asks again.
    dialog.reset();
    dialogs.nextQuery = SearchQuery{0, {{"CN_PART_NUMBER", "P-10"}}, {}};
    ASSERT_EQ(gui->DialogMaker()->RunQueryDialog(dialog), 1);
    EXPECT_EQ(searchWith(asked), std::vector<ObjectKey>{third});
    EXPECT_EQ(searchWith(dialog->View()->Selection()->Query()).size(), 2u);
}

TEST_P(ServicesTest, AnObjectPickedEarlierStaysWhatItWasWhileItOrItsRecordIsHeld) {
    ObjectKey bracket = Part("P-10", "Part", {{"CN_DESCRIPTION", Value::Text("Bracket")}});
    ObjectKey frame = Part("P-11", "Assembly", {{"CN_DESCRIPTION", Value::Text("Frame")}});
    auto gui = CreateAs<CvCommonGUI>(*session, "CvGUISrv.CvCommonGUI");
    // A search as the component makes one: a view asked for anew, every part listed, one picked.
    auto pick = [&](ObjectKey key) {
        dialogs.nextQuery = SearchQuery{db->ClassId("Parts"), {}, {}};
        dialogs.pick = {key};
        auto view = gui->ViewMaker()->MakeView(1);
        Ptr<CvGUIDialog> dialog;
        EXPECT_EQ(gui->DialogMaker()->RunQueryDialog(dialog), 1);
        view->Selection()->SetQuery(dialog->View()->Selection()->Query());
        EXPECT_EQ(view->ResultDialog()->Show(), 1);
        return view->Contents()->Objects()->Item(0);
    };
    auto shows = [](const Ptr<CvObject>& object) {
        return object->Class()->Name() + " " + std::to_string(object->ObjectId()) + " " +
               object->Data()->ValueAsText("CN_DESCRIPTION");
    };
    const std::string frameShown = "Assembly " + std::to_string(frame.objectId) + " Frame";
    const std::string bracketShown = "Part " + std::to_string(bracket.objectId) + " Bracket";
    auto held = pick(frame);
    EXPECT_EQ(shows(pick(bracket)), bracketShown);
    EXPECT_EQ(shows(held), frameShown);
    held.reset();
    auto record = pick(frame)->Data();
    EXPECT_EQ(shows(pick(bracket)), bracketShown);
    EXPECT_EQ(record->ValueAsText("CN_DESCRIPTION"), "Frame");
    record.reset();
    // Held by nobody, each pick shows the object picked.
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(shows(pick(frame)), frameShown);
        EXPECT_EQ(shows(pick(bracket)), bracketShown);
    }
}

// A cancelled dialog stores nothing: upload.json and adding-parts.json.
TEST_P(ServicesTest, NewObjectDialogShowsTheFieldsAndWritesAcceptedValues) {
    auto document = store->NewObject(db->ClassId("Document"));
    document->InitialiseNew();
    document->Data()->SetValueAsText("FILE_NAME", "a.dwg");
    dialogs.fill = [](std::vector<NewObjectField>& fields) {
        for (auto& field : fields)
            if (field.name == "FILE_TYPE") field.value = Value::Text("12");
    };
    auto integration = CreateAs<CvIntegrationStore>(*session, "CvIntegrationTool.CvIntegrationStore");
    bool accepted = false;
    integration->NewObjectDialog()->Show(document, document, false, accepted);
    EXPECT_TRUE(accepted);
    EXPECT_EQ(dialogs.newObjectClass, "Document");
    auto fileType = std::find_if(dialogs.shownFields.begin(), dialogs.shownFields.end(),
                                 [](const NewObjectField& f) { return f.name == "FILE_TYPE"; });
    ASSERT_NE(fileType, dialogs.shownFields.end());
    EXPECT_EQ(fileType->displayName, "File Type");
    EXPECT_TRUE(fileType->mandatory);
    ASSERT_EQ(fileType->lookup.size(), 5u);
    EXPECT_EQ(fileType->lookup[0], (std::pair<std::string, int32_t>{"Drawing", 12}));
    auto fileName = std::find_if(dialogs.shownFields.begin(), dialogs.shownFields.end(),
                                 [](const NewObjectField& f) { return f.name == "FILE_NAME"; });
    EXPECT_EQ(fileName->value, Value::Text("a.dwg"));
    EXPECT_EQ(document->Data()->GetValue("FILE_TYPE"), Value::Int16(12));

    EXPECT_THROW(session->CreateObject("CvUnknown.Thing"), CvError);
}

// Faults of the operations of every other interface are the scenarios' and MidwayFailureTest's.
TEST_P(ServicesTest, InjectedFaultsFailTheNthCallOnlyAndEveryFailureIsRecordedOnce) {
    struct Case {
        std::string operation;
        int nth;
        std::function<void()> call;
    };
    ObjectKey key = Part("P-1");
    std::vector<Case> cases = {
        {"CvObjectStore.ObjectById", 2, [&] { store->ObjectById(key.classId, key.objectId); }},
        {"CvRecord.ValueAsText", 3, [&] { Object(key)->Data()->ValueAsText("CN_PART_NUMBER"); }},
    };
    auto errors = [&] {
        std::vector<std::pair<std::string, std::string>> found;
        for (const auto& event : db->Harness().Events())
            if (auto* error = std::get_if<events::Error>(&event)) found.emplace_back(error->operation, error->text);
        return found;
    };
    using Errors = std::vector<std::pair<std::string, std::string>>;
    for (const auto& c : cases) {
        db->Harness().ClearEvents();
        db->Harness().FailCall(c.operation, c.nth);
        EXPECT_EQ(db->Harness().UnfiredFaults(), (std::vector<std::pair<std::string, int>>{{c.operation, c.nth}}));
        for (int call = 1; call < c.nth; ++call) EXPECT_NO_THROW(c.call()) << c.operation << " call " << call;
        EXPECT_THROW(c.call(), CvError) << c.operation;
        EXPECT_NO_THROW(c.call()) << c.operation << " after the fault";
        EXPECT_EQ(errors(), (Errors{{c.operation, "the platform operation " + c.operation + " failed"}}));
        EXPECT_TRUE(db->Harness().UnfiredFaults().empty()) << c.operation;
    }

    db->Harness().FailCall("CvObject.Delete", 1);
    db->Harness().FailCall("CvObject.Delete", 3);
    EXPECT_THROW(db->Harness().FailCall("CvObject.Remove", 1), std::invalid_argument);
    EXPECT_EQ(db->Harness().UnfiredFaults(),
              (std::vector<std::pair<std::string, int>>{{"CvObject.Delete", 1}, {"CvObject.Delete", 3}}));
    db->Harness().ClearFaults();
    EXPECT_TRUE(db->Harness().UnfiredFaults().empty());
    EXPECT_NO_THROW(Object(key)->Delete(store->DefaultUpdateOptions()));
    const auto calls = FailableCalls();
    EXPECT_TRUE(std::is_sorted(calls.begin(), calls.end()));
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "CvObject.Update"), 1);
}

TEST_P(ServicesTest, AnOuterTransactionHoldsEveryWriteUntilItEnds) {
    ObjectKey key = Part("P-1");
    auto options = store->DefaultUpdateOptions();
    auto sequence = store->Sequences()->SequenceByName("Part Number");
    for (bool keep : {false, true}) {
        ObjectKey doomed = Part(keep ? "D-1" : "D-0");
        db->Harness().ClearEvents();
        db->BeginOuterTransaction();
        EXPECT_THROW(db->BeginOuterTransaction(), CvError);
        auto added = store->NewObject(key.classId);
        added->Data()->SetValueAsText("CN_PART_NUMBER", sequence->NextValue());
        added->Insert(options);
        added->LinkUnderParent(Object(key), 0, options);
        // A write that fails undoes only itself; the transaction goes on.
        auto stale = Object(doomed);
        Object(doomed)->Delete(options);
        stale->Data()->SetValueAsText("CN_DESCRIPTION", "Gone");
        EXPECT_THROW(stale->Update(options), CvError);
        auto part = Object(key);
        part->Data()->SetValueAsText("CN_DESCRIPTION", "Changed");
        part->Update(options);
        if (keep)
            db->CommitOuterTransaction();
        else
            db->RollbackOuterTransaction();
        EXPECT_EQ(db->Harness().Events().size(), 5u) << keep; // stay recorded: insert, link, delete, failure, update
        EXPECT_EQ(db->CountObjects("Part"), keep ? 3 : 2);
        EXPECT_EQ(Object(key)->Children(nullptr)->Count(), keep ? 1 : 0);
        EXPECT_EQ(db->ReadValue(key, "CN_DESCRIPTION"), keep ? Value::Text("Changed") : Value());
    }
    // A file's sequence is part of the transaction; a server's hands out every number once, undone or not.
    EXPECT_EQ(sequence->NextValue(), GetParam() == test::Storage::Sqlite ? "P-000002" : "P-000003");
    EXPECT_THROW(db->CommitOuterTransaction(), CvError);
}

TEST_P(ServicesTest, ReadOnlyRefusesEveryWriteAndLeavesTheDataAsItWas) {
    ObjectKey parentKey = Part("P-1");
    ObjectKey childKey = Part("P-2");
    auto parent = Object(parentKey);
    auto child = Object(childKey);
    db->Harness().SetReadOnly(true);
    auto options = store->DefaultUpdateOptions();
    parent->Data()->SetValueAsBool("CN_LOCKED", true);
    std::vector<std::function<void()>> writes = {
        [&] { parent->Update(options); },
        [&] { parent->Store(); },
        [&] { parent->Delete(options); },
        [&] { child->LinkUnderParent(parent, 0, options); },
        [&] { store->NewObject(parentKey.classId)->Store(); },
        [&] { store->Sequences()->SequenceByName("Part Number")->NextValue(); },
        [&] {
            CreateAs<CvFlowStore>(*session, "CvFlow.CvFlowStore")
                ->NewProcess(meta->ClassByName("New Part Development")->ClassId());
        },
    };
    for (size_t i = 0; i < writes.size(); ++i) EXPECT_THROW(writes[i](), CvError) << "write " << i;
    EXPECT_FALSE(db->ReadValue(parentKey, "CN_LOCKED").AsBool());
    EXPECT_EQ(db->CountObjects("Part"), 2);
    EXPECT_EQ(Object(parentKey)->Children(nullptr)->Count(), 0);
    std::vector<std::string> failed;
    for (const auto& event : db->Harness().Events()) {
        const auto& error = std::get<events::Error>(event);
        EXPECT_EQ(error.text, "the database is read-only: nothing can be written") << error.operation;
        failed.push_back(error.operation);
    }
    EXPECT_EQ(failed, (std::vector<std::string>{"CvObject.Update", "CvObject.Store", "CvObject.Delete",
                                                "CvObject.LinkUnderParent", "CvObject.Store", "CvSequence.NextValue",
                                                "CvFlowStore.NewProcess"}));
    db->Harness().SetReadOnly(false);
    parent->Update(options);
    EXPECT_TRUE(db->ReadValue(parentKey, "CN_LOCKED").AsBool());
    EXPECT_EQ(store->Sequences()->SequenceByName("Part Number")->NextValue(), "P-000001");
}

QUENDRA_ON_BOTH_STORAGES(ServicesTest);

} // namespace
} // namespace quendra::embedded
