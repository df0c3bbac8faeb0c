// Life-cycle checks before linking, check-out, deletion, new release and update, and relinking after check-in.
#include "ClsHookLifeCycle.h"
#include "../services/PlantWorld.h"

namespace quendra::test {
namespace {

class ClsHookLifeCycleTest : public PlantWorld {
protected:
    ClsHookLifeCycle Hooks() { return ClsHookLifeCycle(user); }
    std::vector<scripted::Answer> Oks(size_t count) { return std::vector<scripted::Answer>(count, Press("OK")); }
    size_t DependencyLinks(ObjectKey part, ObjectKey document) {
        return db->FindLinks("Specification dependency Link", part, document).size();
    }
};

TEST_F(ClsHookLifeCycleTest, ANewLinksParentMustPassTheLockCheck) {
    const ObjectKey free = MakePart("P-1"), doras = MakePart("P-2", LockedBy("dora")), child = MakePart("C");
    for (const auto& [parent, passes] : {std::pair{free, true}, std::pair{doras, false}}) {
        embedded::HookRow row;
        row.kind = embedded::HookRow::Kind::PendingLink;
        row.linkClass = "Parts Tree";
        row.parent = parent, row.child = child;
        embedded::HookRow ignored = row;
        ignored.parent = passes ? doras : free;
        Answers(Oks(passes ? 0 : 1));
        EXPECT_EQ(Hooks().BeforeAddPartsTreeLink(session, db->MakeRecList({row, ignored})), passes);
        ExpectAllAnswered();
    }
}

TEST_F(ClsHookLifeCycleTest, ApprovalReleasesTheLockOfADocumentTheUserMayChange) {
    const struct {
        const char* selectOp;
        const char* lockedBy;
        bool passes;
        bool lockedAfter;
    } cases[] = {
        {"approve", "carl", true, false}, {"Approve", "carl", true, false}, {"APPROVE", "carl", true, false},
        {" APPROVE", "carl", true, true}, {"APPROVE ", "carl", true, true}, {"CheckOut", "carl", true, true},
        {"approve", "dora", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.selectOp);
        const ObjectKey document = MakeDocument("D-1", LockedBy(c.lockedBy));
        Answers(Oks(c.passes ? 0 : 1));
        EXPECT_EQ(Hooks().BeforeCheckOutReleaseDocs(session, Fetch(document), c.selectOp), c.passes);
        EXPECT_EQ(db->ReadValue(document, "CN_LOCKED").AsBool(), c.lockedAfter);
        EXPECT_EQ(Updated().size(), c.lockedAfter ? 0u : 1u);
        ExpectAllAnswered();
    }
}

TEST_F(ClsHookLifeCycleTest, DeletingAReferencedDocumentNeedsConfirmation) {
    const ObjectKey folder = db->CreateObject("Folder", {{"FOLDER_NAME", Value::Text("F")}});
    const ObjectKey underFolder = MakeDocument("D-1");
    db->CreateLink("Folder Contents", folder, underFolder, {});
    const ObjectKey underPart = MakeDocument("D-2");
    db->CreateLink("Specification dependency Link", MakePart("P-1"), underPart, {});
    const ObjectKey doras = MakeDocument("D-3", LockedBy("dora"));
    const std::string question =
        "This Document is referenced by others.\r\nConfirm deletion of Document " + db->DisplayText(underPart, "-");
    const struct {
        const char* login;
        ObjectKey key;
        std::vector<scripted::Answer> answers;
        bool passes;
        std::vector<Shown> shown;
    } cases[] = {
        {"admin", folder, {}, true, {}},
        {"admin", doras, {}, true, {}},
        {"carl", folder, {}, false, {}},
        {"carl",
         doras,
         Oks(1),
         false,
         {{"Document " + db->DisplayText(doras, "-") + " is locked by Dora Lind", "information"}}},
        {"carl", underFolder, {}, true, {}},
        {"carl", underPart, {Press("Yes")}, true, {{question, "question", "YesNo"}}},
        {"carl", underPart, {Press("No")}, false, {{question, "question", "YesNo"}}},
    };
    for (const auto& c : cases) {
        LoginAs(c.login);
        Answers(c.answers);
        EXPECT_EQ(Hooks().BeforeDeleteDocuments(session, Fetch(c.key)), c.passes);
        EXPECT_EQ(Boxes(), c.shown);
        ExpectAllAnswered();
    }
    Answers({});
    Hooks().BeforeDeleteDocuments(session, Fetch(underFolder));
    db->Harness().FailCall("CvQuery.Run", 1);
    EXPECT_THROW(Hooks().BeforeDeleteDocuments(session, Fetch(underFolder)), CvError);
    ASSERT_EQ(EventsOf(Event::Kind::Sql).size(), 1u);
    EXPECT_EQ(EventsOf(Event::Kind::Sql)[0].text,
              "Select CLASS_ID1, OBJECT_ID2, CLASS_ID2 From TDM_LINKS_00092 Where OBJECT_ID2 = " +
                  std::to_string(underFolder.objectId) + " And  CLASS_ID2 = 21 And not CLASS_ID1 = 30");
}

TEST_F(ClsHookLifeCycleTest, StandardObjectsGetNoNewReleaseAndNeedStandardChildrenToBeUpdated) {
    const Values standard = {{"CN_STANDARD", Value::Bool(true)}};
    const ObjectKey top = MakePart("TOP", Merge(standard, LockedBy("dora")));
    Answers(Oks(1));
    EXPECT_FALSE(Hooks().BeforeNewReleaseObj(session, Fetch(top)));
    EXPECT_EQ(Boxes(), (std::vector<Shown>{{"Part TOP-Desc is standard", "information"}}));
    Answers({});
    EXPECT_TRUE(Hooks().BeforeNewReleaseObj(session, Fetch(MakePart("P-1"))));
    EXPECT_THROW(
        Hooks().BeforeNewReleaseObj(session, Fetch(db->CreateObject("Folder", {{"FOLDER_NAME", Value::Text("F")}}))),
        CvError);

    const ObjectKey assembly = MakePart("A", standard);
    const ObjectKey first = MakePart("A1", standard), second = MakePart("A2"), third = MakePart("A3");
    for (const ObjectKey child : {first, second, third}) db->CreateLink("Parts Tree", assembly, child, {});
    const ObjectKey plain = MakePart("B");
    db->CreateLink("Parts Tree", plain, second, {});
    const std::vector<std::string> noStandard = {"CLASS_ID", "OBJECT_ID", "CN_PART_NUMBER", "CN_DESCRIPTION",
                                                 "STATE",    "CN_LOCKED", "USER_OBJECT_ID"};
    const struct {
        embedded::HookRow row;
        bool passes;
        std::vector<Shown> shown;
    } cases[] = {
        {Row(assembly), false, {{"Child Part A2-Desc must be set to standard first", "information"}}},
        {Row(plain), true, {}},
        {Row(first), true, {}},
        {Row(assembly, noStandard), true, {}},
        {Row(top), false, {{"Part TOP-Desc is locked by Dora Lind", "information"}}},
    };
    for (const auto& c : cases) {
        Answers(Oks(c.shown.size()));
        auto object = session->ObjectStore()->ObjectFromRecord(db->MakeRecList({c.row})->RecordAt(0), true);
        EXPECT_EQ(Hooks().BeforeUpdate(session, object->WorkingObject(), "Update"), c.passes);
        EXPECT_EQ(Boxes(), c.shown);
        ExpectAllAnswered();
    }
}

TEST_F(ClsHookLifeCycleTest, CheckInLinksTheDocumentToTheOneReleasedPartOfItsNumberOnly) {
    const ObjectKey document = MakeDocument("P-1");
    const ObjectKey released = MakePart("P-1");
    const ObjectKey draft = MakePart("P-1", {{"STATE", Value::Int16(1)}});
    const ObjectKey lower = MakePart("p-1"), blank = MakePart("P-1 "), other = MakePart("P-2");
    for (const ObjectKey part : {draft, lower, blank, other})
        db->CreateLink("Specification dependency Link", part, document, {});
    const ObjectKey otherDocument = MakeDocument("P-2");
    db->CreateLink("Specification dependency Link", other, otherDocument, {});

    Answers({});
    EXPECT_TRUE(Hooks().AfterCheckInDocuments(session, Rows({document, otherDocument})));
    EXPECT_EQ(DependencyLinks(draft, document), 1u);
    for (const ObjectKey part : {lower, blank, other}) EXPECT_EQ(DependencyLinks(part, document), 0u);
    EXPECT_EQ(DependencyLinks(other, otherDocument), 1u);
    ASSERT_EQ(DependencyLinks(released, document), 1u);
    const auto notified = EventsOf(Event::Kind::Notify);
    ASSERT_EQ(notified.size(), 1u);
    EXPECT_EQ(notified[0].code, 0);
    EXPECT_TRUE(notified[0].flag);

    Answers({});
    EXPECT_TRUE(Hooks().AfterCheckInDocuments(session, Rows({document})));
    EXPECT_EQ(DependencyLinks(released, document), 1u);
    EXPECT_TRUE(EventsOf(Event::Kind::Notify).empty());

    MakePart("P-1");
    EXPECT_FALSE(Hooks().AfterCheckInDocuments(session, Rows({document})));
    EXPECT_EQ(DependencyLinks(released, document), 1u);
    EXPECT_TRUE(user.Windows().empty());
}

TEST_F(ClsHookLifeCycleTest, CheckInOfADocumentWithoutNumberUnlinksNumberedPartsAndFailuresPass) {
    const ObjectKey document = MakeDocument("");
    const ObjectKey first = MakePart("P-1"), second = MakePart("P-2");
    db->CreateLink("Specification dependency Link", first, document, {});
    db->CreateLink("Specification dependency Link", second, document, {});
    db->Harness().FailCall("CvObject.RemoveLink", 2);
    EXPECT_THROW(Hooks().AfterCheckInDocuments(session, Rows({document})), CvError);
    EXPECT_EQ(DependencyLinks(first, document), 0u);
    EXPECT_EQ(DependencyLinks(second, document), 1u);

    EXPECT_FALSE(Hooks().AfterCheckInDocuments(session, Rows({document})));
    EXPECT_EQ(DependencyLinks(second, document), 0u);
}

} // namespace
} // namespace quendra::test
