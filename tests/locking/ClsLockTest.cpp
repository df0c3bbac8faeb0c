// The component's lock: the check and its messages, locking, unlocking down a tree, and the update guard.
#include "ClsLock.h"

#include "../services/PlantWorld.h"

namespace quendra::test {
namespace {

class ClsLockTest : public PlantWorld {
protected:
    bool Check(ObjectKey key) { return ClsLock(user).LockMechanism(session, Fetch(key)); }
    bool Locked(ObjectKey key) { return db->ReadValue(key, "CN_LOCKED").AsBool(); }
    ObjectKey Link(ObjectKey parent, ObjectKey child) { return db->CreateLink("Parts Tree", parent, child, {}); }
};

TEST_F(ClsLockTest, TheCheckAppliesTheStateRuleThenTheLockAttributes) {
    const Value null;
    const struct {
        const char* login;
        std::string className;
        Value state;
        std::string lockedBy; // empty: not locked
        bool passes;
        std::string refusal; // the end of the message after "<class> <display text>"
    } cases[] = {
        {"carl", "Part", Value::Int16(5), "", true, ""},
        {"carl", "Part", Value::Int16(6), "carl", true, ""},
        {"carl", "Part", Value::Int16(0), "", false, " is locked by somebody else"},
        {"admin", "Assembly", Value::Int16(1), "", false, " is locked by somebody else"},
        {"carl", "Part", null, "", true, ""},
        {"carl", "Part", null, "dora", false, " is locked by Dora Lind"},
        {"admin", "Part", Value::Int16(5), "dora", true, ""},
        {"carl", "Document", Value::Int16(6), "", false, " is locked by somebody else"},
        {"carl", "Document", Value::Int16(2), "carl", true, ""},
        {"carl", "Drawing", Value::Int16(0), "dora", false, " is locked by Dora Lind"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.className + " in state " + c.state.AsText() + " locked by '" + c.lockedBy + "' for " + c.login);
        LoginAs(c.login);
        Values values = {{"STATE", c.state}};
        if (!c.lockedBy.empty()) values = Merge(values, LockedBy(c.lockedBy));
        const ObjectKey key = MakePart("X-1", values, c.className);
        Answers(c.passes ? std::vector<scripted::Answer>{} : std::vector{Press("OK")});
        EXPECT_EQ(Check(key), c.passes);
        std::vector<Shown> expected;
        if (!c.passes) expected.push_back({c.className + " " + db->DisplayText(key, "-") + c.refusal, "information"});
        EXPECT_EQ(Boxes(), expected);
        ExpectAllAnswered();
    }
}

TEST_F(ClsLockTest, TheHolderIsNamedFromTheUserTheObjectPointsTo) {
    const int32_t nameless = db->AddUser("nameless", false, {{"LAST_NAME", Value::Text("Solo")}});
    const std::pair<Values, std::string> cases[] = {
        {{{"USER_ID_MOD", Value::Int32(nameless)}}, " Solo"},
        {{{"USER_ID_MOD", Value()}}, "somebody else (No Found)"},
        {{{"USER_ID_MOD", Value::Int32(987654)}}, "somebody else (No Found)"},
    };
    for (const auto& [values, holder] : cases) {
        const ObjectKey part = MakePart("P-1", Merge(LockedBy("dora"), values));
        Answers({Press("OK")});
        EXPECT_FALSE(Check(part));
        EXPECT_EQ(Boxes(), (std::vector<Shown>{{"Part P-1-Desc is locked by " + holder, "information"}}));
    }
    const ObjectKey part = MakePart("P-2", LockedBy("dora"));
    db->Harness().FailCall("CvObject.ReferencedObject", 1);
    Answers({Press("OK")});
    EXPECT_FALSE(Check(part));
    EXPECT_EQ(Boxes(),
              (std::vector<Shown>{{"Part P-2-Desc is locked by somebody else (Undetermined)", "information"}}));
}

TEST(ClsLockModelTest, OtherFamiliesAndOtherReferenceDescriptionsAreJudgedByTheLockAlone) {
    // "Tools" belongs to neither family; its holder reference has a reference text and no display attributes.
    const std::string lockAttributes = R"(
        { "name": "STATE", "display": "State", "type": 2 },
        { "name": "CN_LOCKED", "display": "Locked", "type": 15 },
        { "name": "USER_OBJECT_ID", "display": "Locked By", "type": 3 },)";
    auto model = embedded::ParseModel(R"({ "classes": [
      { "id": 10, "name": "Parts", "displayText": ["NAME"], "attributes": [
        { "name": "NAME", "display": "Name", "type": 1 },)" +
                                          lockAttributes + R"(
        { "name": "USER_ID_MOD", "display": "By", "type": 3,
          "reference": { "class": "Users", "text": "x", "display": ["FIRST_NAME", "LAST_NAME"] } } ] },
      { "id": 11, "name": "Part", "super": "Parts", "attributes": [] },
      { "id": 20, "name": "Documents", "attributes": [] },
      { "id": 30, "name": "Tools", "displayText": ["NAME"], "attributes": [
        { "name": "NAME", "display": "Name", "type": 1 },)" +
                                          lockAttributes + R"(
        { "name": "USER_ID_MOD", "display": "By", "type": 3,
          "reference": { "class": "Users", "text": "", "display": [] } } ] },
      { "id": 31, "name": "Tool", "super": "Tools", "attributes": [] },
      { "id": 50, "name": "Users", "attributes": [
        { "name": "LOGIN", "display": "Login", "type": 1 },
        { "name": "FIRST_NAME", "display": "First", "type": 1 },
        { "name": "LAST_NAME", "display": "Last", "type": 1 } ] } ],
      "users": [ { "login": "carl", "admin": false },
                 { "login": "dora", "admin": false, "values": { "FIRST_NAME": "Dora", "LAST_NAME": "Lind" } } ] })",
                                      "tools");
    auto db = embedded::Database::Create(":memory:", model);
    scripted::ScriptedUser user;
    auto session = db->Login("carl", user);
    const int32_t dora = db->UserId("dora").value();
    const Values doras = {
        {"CN_LOCKED", Value::Bool(true)}, {"USER_OBJECT_ID", Value::Int32(dora)}, {"USER_ID_MOD", Value::Int32(dora)}};
    const struct {
        std::string className;
        Values values;
        std::vector<Shown> shown;
    } cases[] = {
        {"Tool", {{"STATE", Value::Int16(42)}}, {}},
        {"Tool", doras, {{"Tool T is locked by somebody else (No Found)", "information"}}},
        {"Part", doras, {{"Part T is locked by DoraLind", "information"}}},
    };
    for (const auto& c : cases) {
        auto values = c.values;
        values.emplace_back("NAME", Value::Text("T"));
        const ObjectKey key = db->CreateObject(c.className, values);
        user.SetAnswers(std::vector<scripted::Answer>(c.shown.size(), Press("OK")));
        EXPECT_EQ(ClsLock(user).LockMechanism(session, session->ObjectStore()->ObjectById(key.classId, key.objectId)),
                  c.shown.empty());
        std::vector<Shown> shown;
        for (const auto& window : user.Windows()) shown.push_back({window.text, window.icon, window.buttons});
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(user.Failure(), std::nullopt);
    }
}

TEST_F(ClsLockTest, LockingWritesOnlyUnlockedObjectsTheUserMayChange) {
    const ObjectKey free = MakePart("P-1");
    const ObjectKey doras = MakePart("P-2", LockedBy("dora"));
    const ObjectKey own = MakePart("P-3", LockedBy("carl"));
    Answers({Press("OK")});
    EXPECT_EQ(ClsLock(user).LockObject(session, Rows({free, doras, own})), 0);
    EXPECT_TRUE(Locked(free));
    EXPECT_EQ(db->ReadValue(free, "USER_OBJECT_ID").AsInt32(), Id("carl"));
    EXPECT_EQ(db->ReadValue(doras, "USER_OBJECT_ID").AsInt32(), Id("dora"));
    EXPECT_EQ(Updated(), std::vector<ObjectKey>{free});
    const auto notified = EventsOf(Event::Kind::Notify);
    ASSERT_EQ(notified.size(), 1u);
    EXPECT_EQ(notified[0].code, 1);
    EXPECT_EQ(notified[0].objects, std::vector<ObjectKey>{free});
    EXPECT_EQ(Boxes().size(), 1u);
    ExpectAllAnswered();

    LoginAs("admin");
    Answers({});
    EXPECT_EQ(ClsLock(user).LockObject(session, Rows({doras})), 0);
    EXPECT_EQ(ClsLock(user).LockObject(session, Rows({})), 0);
    EXPECT_TRUE(db->Harness().Events().empty());
    EXPECT_EQ(db->ReadValue(doras, "USER_OBJECT_ID").AsInt32(), Id("dora"));
}

TEST_F(ClsLockTest, UnlockingPropagatesDepthFirstChildrenBeforeTheirParents) {
    // top -> a -> (a1, a2), b -> b1 (b held by dora), c; every part but top locked by carl.
    const ObjectKey top = MakePart("TOP");
    const ObjectKey a = MakePart("A", LockedBy("carl")), a1 = MakePart("A1", LockedBy("carl")),
                    a2 = MakePart("A2", LockedBy("carl")), b = MakePart("B", LockedBy("dora")),
                    b1 = MakePart("B1", LockedBy("carl")), c = MakePart("C", LockedBy("carl"));
    Link(top, a), Link(a, a1), Link(a, a2), Link(top, b), Link(b, b1), Link(top, c);
    Answers({Press("Yes"), Press("OK")});
    EXPECT_EQ(ClsLock(user).UnLockObject(session, Rows({top})), 0);
    EXPECT_EQ(Updated(), (std::vector<ObjectKey>{a1, a2, a, c}));
    EXPECT_EQ(Boxes(), (std::vector<Shown>{{"Do You Want To Propagate Unlock To All Children ?", "question", "YesNo"},
                                           {"Part B-Desc is locked by Dora Lind", "information"}}));
    EXPECT_TRUE(Locked(b) && Locked(b1));
    EXPECT_TRUE(EventsOf(Event::Kind::Notify).empty());
    ExpectAllAnswered();

    // No: the selected object alone, its lock given to the unlocker's id.
    const ObjectKey held = MakePart("H", LockedBy("carl")), child = MakePart("H1", LockedBy("carl"));
    Link(held, child);
    LoginAs("admin");
    Answers({Press("No")});
    EXPECT_EQ(ClsLock(user).UnLockObject(session, Rows({held})), 0);
    EXPECT_EQ(Updated(), std::vector<ObjectKey>{held});
    EXPECT_FALSE(Locked(held));
    EXPECT_EQ(db->ReadValue(held, "USER_OBJECT_ID").AsInt32(), Id("admin"));
    EXPECT_TRUE(Locked(child));
    ExpectAllAnswered();
}

TEST_F(ClsLockTest, TheUnlockWalkEndsOnCyclesAndCopesWithDeepChains) {
    const ObjectKey top = MakePart("TOP", LockedBy("carl"));
    const ObjectKey a = MakePart("A", LockedBy("carl")), b = MakePart("B", LockedBy("carl"));
    Link(top, a), Link(a, b), Link(b, a), Link(b, top);
    Answers({Press("Yes")});
    ClsLock(user).UnLockObject(session, Rows({top}));
    EXPECT_EQ(Updated(), (std::vector<ObjectKey>{b, a, top}));

    constexpr int depth = 100000;
    const ObjectKey root = MakePart("ROOT");
    ObjectKey parent = root, deepest;
    for (int level = 1; level <= depth; ++level) {
        deepest = MakePart("D" + std::to_string(level), level % 25000 == 0 ? LockedBy("carl") : Values{});
        Link(parent, deepest);
        parent = deepest;
    }
    Answers({Press("Yes")});
    ClsLock(user).UnLockObject(session, Rows({root}));
    ASSERT_EQ(Updated().size(), 4u);
    EXPECT_EQ(Updated().front(), deepest);
    EXPECT_FALSE(Locked(deepest));
}

TEST_F(ClsLockTest, AFailureDuringTheWalkKeepsWhatWasUnlocked) {
    const ObjectKey top = MakePart("TOP");
    const ObjectKey a = MakePart("A", LockedBy("carl")), b = MakePart("B", LockedBy("carl"));
    Link(top, a), Link(top, b);
    db->Harness().FailCall("CvObject.Update", 2);
    Answers({Press("Yes")});
    EXPECT_THROW(ClsLock(user).UnLockObject(session, Rows({top})), CvError);
    EXPECT_FALSE(Locked(a));
    EXPECT_TRUE(Locked(b));
}

TEST_F(ClsLockTest, TheUpdateGuardRefusesOnlyLocksOfOthers) {
    const std::string warning =
        "Part P-1-Desc has been locked by 'dora'\r\rYou cannot update any atrribute in this situation";
    const ObjectKey doras = MakePart("P-1", Merge(LockedBy("dora"), {{"STATE", Value::Int16(0)}}));
    const ObjectKey own = MakePart("P-2", LockedBy("carl"));
    const ObjectKey free = MakePart("P-3");
    const std::vector<std::string> idsOnly = {"CLASS_ID", "OBJECT_ID"};
    const struct {
        const char* login;
        embedded::HookRow row;
        bool refused;
    } cases[] = {
        {"carl", Row(doras), true},
        {"admin", Row(doras, idsOnly), true},
        {"carl", Row(doras, std::vector<std::string>{"CLASS_ID", "OBJECT_ID", "USER_OBJECT_ID"}), true},
        {"carl", Row(doras, std::nullopt, {{"CN_LOCKED", Value::Bool(false)}}), false},
        {"carl", Row(own, idsOnly), false},
        {"dora", Row(doras), false},
        {"carl", Row(free), false},
    };
    for (const auto& c : cases) {
        LoginAs(c.login);
        Answers(c.refused ? std::vector{Press("OK")} : std::vector<scripted::Answer>{});
        auto rows = db->MakeRecList({c.row, Row(own)});
        EXPECT_EQ(ClsLock(user).IsLockedForUpdate(session, rows), c.refused);
        EXPECT_EQ(Boxes(), (c.refused ? std::vector<Shown>{{warning, "exclamation"}} : std::vector<Shown>{}));
        ExpectAllAnswered();
    }
}

} // namespace
} // namespace quendra::test
