// A platform failure at the n-th call in the middle of a hook's work: what stays done, what is said,
// and what the hook answers. (Scenario files cannot inject faults yet.)
#include "ClsUtils.h"
#include "TempFolder.h"
#include "World.h"

#include <functional>

namespace quendra::test {
namespace {

struct MidwayWorld : WorldTest {
    ObjectKey top = Part("TOP");

    size_t TreeLinks(ObjectKey parent, ObjectKey child) { return Links("Parts Tree", parent, child); }
    bool Locked(ObjectKey key) { return db->ReadValue(key, "CN_LOCKED").AsBool(); }
    std::vector<ObjectKey> NewParts() { return db->FindObjects("Part", "CN_PART_NUMBER", "P-000001"); }
};

TEST_F(MidwayWorld, TheLockCheckNamesNoHolderItCannotRead) {
    auto rows = Rows({Part("P-2", LockedBy("dora"))});
    db->FailCall("CvObject.ReferencedObject", 1);
    Answers({Press("OK")});
    EXPECT_EQ(Call("LockObject", rows), 1);
    EXPECT_EQ(Shown(), Texts{"information/OK: Part P-2-Desc is locked by somebody else (Undetermined)"});
    ExpectAllAnswered();
}

TEST_F(MidwayWorld, TheUnlockWalkKeepsWhatItUnlockedBeforeAFailure) {
    const ObjectKey a = Part("A", LockedBy("carl")), b = Part("B", LockedBy("carl"));
    TreeLink(top, a), TreeLink(top, b);
    db->FailCall("CvObject.Update", 2);
    Answers({Press("Yes")});
    EXPECT_EQ(Call("UnLockObject", Rows({top})), 1);
    EXPECT_FALSE(Locked(a));
    EXPECT_TRUE(Locked(b));
}

TEST_F(MidwayWorld, TheUnlockWalkEndsOnCyclesAndCopesWithDeepChains) {
    const ObjectKey held = Part("H", LockedBy("carl")), a = Part("A", LockedBy("carl")),
                    b = Part("B", LockedBy("carl"));
    TreeLink(held, a), TreeLink(a, b), TreeLink(b, a), TreeLink(b, held);
    Answers({Press("Yes")});
    Call("UnLockObject", Rows({held}));
    EXPECT_EQ(Updated(), (std::vector<ObjectKey>{b, a, held}));

    constexpr int depth = 100000;
    const ObjectKey root = Part("ROOT");
    ObjectKey parent = root, deepest;
    for (int level = 1; level <= depth; ++level) {
        deepest = Part("D" + std::to_string(level), level % 25000 == 0 ? LockedBy("carl") : Values{});
        TreeLink(parent, deepest);
        parent = deepest;
    }
    Answers({Press("Yes")});
    Call("UnLockObject", Rows({root}));
    ASSERT_EQ(Updated().size(), 4u);
    EXPECT_EQ(Updated().front(), deepest);
    EXPECT_FALSE(Locked(deepest));
}

TEST_F(MidwayWorld, CheckInUnlinksWhatItCanAndAFailureReachesTheHost) {
    const ObjectKey document = Document("");
    const ObjectKey first = Part("P-1"), second = Part("P-2");
    db->CreateLink("Specification dependency Link", first, document, {});
    db->CreateLink("Specification dependency Link", second, document, {});
    db->FailCall("CvObject.RemoveLink", 2);
    EXPECT_THROW(Call("AfterCheckInDocuments", Rows({document})), CvError);
    EXPECT_EQ(Links("Specification dependency Link", first, document), 0u);
    EXPECT_EQ(Links("Specification dependency Link", second, document), 1u);

    db->FailCall("CvQuery.Run", 1);
    EXPECT_THROW(Call("BeforeDeleteDocuments", Rows({Document("D-2")})), CvError);
}

TEST_F(MidwayWorld, NewPartsStayStoredWhenWhatFollowsTheirStoreFails) {
    // The workflow cannot start: the new part stays, unlinked.
    db->FailCall("CvFlowStore.NewProcess", 1);
    Answers({Fill({{"CN_DESCRIPTION", Value::Text("Bolt")}}), Press("Continue")});
    EXPECT_EQ(Call("AddNewPart", Rows({top}), "CN_QUANTITY"), 1);
    ExpectAllAnswered();
    ASSERT_EQ(NewParts().size(), 1u);
    EXPECT_EQ(TreeLinks(top, NewParts()[0]), 0u);

    // The platform cannot link a main part: it stays stored and unlinked, and nothing is said.
    db->FailCall("CvObject.LinkUnderParent", 1);
    Answers({Fill({{"CN_DESCRIPTION", Value::Text("Frame")}})});
    EXPECT_EQ(Call("AddMainPart", Rows({top})), 1);
    EXPECT_EQ(Shown(), Texts{"platform newObject Part"});
    EXPECT_EQ(db->CountObjects("Part"), 3);
}

TEST_F(MidwayWorld, TreeEditsKeepWhatWasDoneBeforeAFailure) {
    const ObjectKey wheel = Part("P-2"), axle = Part("P-3"), frame = Part("P-4");
    const ObjectKey old = TreeLink(top, wheel, {{"CN_POSITION", Value::Int32(10)}});
    TreeLink(top, axle);

    // Copying: the child of the second link cannot be fetched; the first stays copied.
    host::HookArguments copy{nullptr, {{"LinkAttributes", ""}}, {{"Obj", Fetch(frame)}, {"FromObj", Fetch(top)}}};
    db->FailCall("CvObjectStore.ObjectById", 3);
    Answers({});
    EXPECT_EQ(Call("CopyTreeFrom", copy), 1);
    EXPECT_EQ(TreeLinks(frame, wheel), 1u);
    EXPECT_EQ(TreeLinks(frame, axle), 0u);

    // Updating: a store that fails is a refusal, and the value stays.
    db->FailCall("CvObject.Update", 1);
    Answers({SetRows({{"Position", "8"}})});
    EXPECT_EQ(Call("LinkUpdate", LinkRow(old), "CN_POSITION"), 1);
    EXPECT_EQ(Text(old, "CN_POSITION"), "10");

    // Replacing: the new link cannot be stored, so the old one stays.
    db->FailCall("CvObject.Insert", 1);
    Answers({Search({frame})});
    EXPECT_EQ(Call("ReplacePart", LinkRow(old), "CN_POSITION"), 1);
    EXPECT_EQ(TreeLinks(top, wheel), 1u);
    EXPECT_EQ(TreeLinks(top, frame), 0u);
}

TEST_F(MidwayWorld, UploadPlacesByTheRootsFamilyAndKeepsADocumentItCannotShow) {
    host::TempFolder folder;
    folder.Write("bracket.dwg", "drawing");
    const std::string file = folder.Path() + "/bracket.dwg";
    const ObjectKey documentRoot = Document("D-1");
    const ObjectKey project = db->CreateObject("Project", {{"PROJECT_NUMBER", Value::Text("PR-1")}});
    // Each case makes the placements it must not use fail, so a wrong one shows in the result.
    const std::vector<std::string> placements{"CvObject.LinkToParent", "CvObject.LinkUnderParent",
                                              "CvObject.AttachToParent"};
    const struct {
        ObjectKey root;
        std::vector<scripted::Answer> answersAfterFill;
        std::string placement;
        int16_t result;
    } cases[] = {
        {documentRoot, {}, "CvObject.LinkToParent", 0},
        {project, {Press("Yes")}, "CvObject.LinkUnderParent", 0},
        {project, {Press("No")}, "CvObject.AttachToParent", 0},
        {top, {}, "CvSessionUtil.ShowObject", 1}, // below a part nothing places it; showing it fails
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.placement);
        db->ClearFaults();
        for (const auto& placement : placements)
            if (placement != c.placement) db->FailCall(placement, 1);
        if (c.root == top) db->FailCall(c.placement, 1);
        std::vector<scripted::Answer> answers{Open({file}), Fill({})};
        answers.insert(answers.end(), c.answersAfterFill.begin(), c.answersAfterFill.end());
        Answers(answers);
        host::HookArguments upload{Rows({c.root}), {{"Extensions", "dwg"}, {"FileTypes", "Drawing"}}, {}};
        EXPECT_EQ(Call("UploadDocument", upload), c.result);
        ExpectAllAnswered();
    }
    EXPECT_EQ(db->FindObjects("Document", "FILE_NAME", "bracket.dwg").size(), 4u);
}

TEST_F(MidwayWorld, LinkAttributeFailuresAreReportedAndWhatWasDoneStays) {
    ClsUtils utils(user);
    auto list = std::make_shared<StringList>(StringList{"CN_REMARK", "CN_REMARK", "CN_QUANTITY"});
    db->FailCall("CvMetaInfo.ClassByName", 2);
    Answers({Press("OK")});
    EXPECT_EQ(utils.CleanLinkAttributes(session, list), nullptr);
    EXPECT_EQ(*list, (StringList{"CN_REMARK", "CN_QUANTITY"}));
    EXPECT_EQ(Shown(), Texts{"critical/OK: An Error Occured to Clean Link Atrributes Configured in the Script"});

    // A write the platform refuses is reported like a value that does not read.
    const ObjectKey link = TreeLink(top, Part("P-2"));
    db->FailCall("CvRecord.SetValueAsInt16", 1);
    Answers({SetRows({{"Quantity", "4"}, {"Remark", "r"}}), Press("OK")});
    EXPECT_EQ(Call("LinkUpdate", LinkRow(link), "CN_QUANTITY,CN_REMARK"), 0);
    EXPECT_EQ(Shown()[1], "exclamation/OK: The value of the Attribute CN_QUANTITY is not correct");
    EXPECT_EQ(Text(link, "CN_REMARK"), "r");
    EXPECT_EQ(Text(link, "CN_QUANTITY"), "");
    ExpectAllAnswered();
}

TEST_F(MidwayWorld, ObjectServicesPassFailuresOnOrSwallowThemAsEachPromises) {
    ClsUtils utils(user);
    const ObjectKey part = Part("P-2");
    const auto object = Fetch(part);
    const struct {
        const char* operation;
        std::vector<scripted::Answer> answers;
        std::function<void()> call;
        bool throws;
    } cases[] = {
        {"CvSession.CreateObject",
         {Press("Continue")},
         [&] { utils.CreateProcess(session, object, "New Part Development"); },
         true},
        {"CvObject.Delete", {}, [&] { utils.DeleteObject(session, object); }, true},
        {"CvQuery.Run", {}, [&] { utils.GetUserName(session, 1); }, true},
        {"CvObject.Retrieve", {Search({part})}, [&] { EXPECT_EQ(utils.SearchObject(session), nullptr); }, false},
        {"CvSession.CreateObject", {}, [&] { utils.Refresh_Screen(session, object, 1); }, false},
        {"CvMetaInfo.ClassById", {}, [&] { EXPECT_FALSE(utils.MandatoryAttributesAreFilled(session, object)); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.operation);
        Answers(c.answers);
        db->ClearFaults();
        db->FailCall(c.operation, 1);
        if (c.throws)
            EXPECT_THROW(c.call(), CvError);
        else
            EXPECT_NO_THROW(c.call());
        EXPECT_EQ(db->CountObjects("Part"), 2);
        for (const auto& window : user.Windows()) EXPECT_NE(window.kind, scripted::WindowRecord::Kind::MessageBox);
        ExpectAllAnswered();
    }
    // A process the platform does not know fails after its window, with nothing started.
    db->ClearFaults();
    Answers({Press("Continue")});
    EXPECT_THROW(utils.CreateProcess(session, object, "No Such Process"), CvError);
    EXPECT_EQ(Shown(), Texts{"window Quendra: No Such Process process creation for Part P-2-Desc"});
    for (const auto& event : db->Events())
        EXPECT_TRUE(event.kind != Event::Kind::Forward && event.kind != Event::Kind::Attach);
}

} // namespace
} // namespace quendra::test
