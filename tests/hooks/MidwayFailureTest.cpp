// A platform failure at the n-th call in the middle of a hook's work: what stays done, what is said,
// and what the hook answers, where a scenario file cannot say it.
// SPDX-License-Identifier: Apache-2.0
#include "ClsUtils.h"
#include "TestWorld.h"

#include <functional>

namespace quendra::test {
namespace {

using MidwayWorld = WorldTest;

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
    EXPECT_FALSE(db->ReadValue(deepest, "CN_LOCKED").AsBool());
}

TEST_F(MidwayWorld, ACleaningThatFailsPartWayKeepsWhatItRemoved) {
    ClsUtils utils(user);
    auto list = std::make_shared<StringList>(StringList{"CN_REMARK", "CN_REMARK", "CN_QUANTITY"});
    db->Harness().FailCall("CvMetaInfo.ClassByName", 2);
    Answers({Press("OK")});
    EXPECT_EQ(utils.CleanLinkAttributes(session, list), nullptr);
    EXPECT_EQ(*list, (StringList{"CN_REMARK", "CN_QUANTITY"}));
    EXPECT_EQ(Shown(), Texts{"critical/OK: An Error Occured to Clean Link Atrributes Configured in the Script"});
    ExpectAllAnswered();
}

TEST_F(MidwayWorld, ObjectServicesPassFailuresOnOrSwallowThemAsEachPromises) {
    ClsUtils utils(user);
    const ObjectKey part = Part("P-2");
    const auto object = Fetch(part);
    const struct {
        const char* operation;
        std::vector<answering::Answer> answers;
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
        {"CvMetaInfo.ClassById", {}, [&] { EXPECT_FALSE(utils.MandatoryAttributesAreFilled(session, object)); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.operation);
        Answers(c.answers);
        db->Harness().ClearFaults();
        db->Harness().FailCall(c.operation, 1);
        if (c.throws)
            EXPECT_THROW(c.call(), CvError);
        else
            EXPECT_NO_THROW(c.call());
        EXPECT_EQ(db->CountObjects("Part"), 1);
        for (const auto& window : user.Windows())
            EXPECT_FALSE(std::holds_alternative<answering::records::MessageBox>(window.what));
        ExpectAllAnswered();
    }
    // A process the platform does not know fails after its window, with nothing started.
    db->Harness().ClearFaults();
    Answers({Press("Continue")});
    EXPECT_THROW(utils.CreateProcess(session, object, "No Such Process"), CvError);
    EXPECT_EQ(Shown(), Texts{"window Quendra: No Such Process process creation for Part P-2-Desc"});
    for (const auto& event : db->Harness().Events())
        EXPECT_FALSE(std::holds_alternative<embedded::events::Forward>(event) ||
                     std::holds_alternative<embedded::events::Attach>(event));
}

} // namespace
} // namespace quendra::test
