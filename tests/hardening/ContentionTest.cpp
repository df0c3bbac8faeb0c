// Two users in two processes lock and unlock overlapping parts of one database file, or change one part
// while the other locks and unlocks it.
#include "Application.h"
#include "Names.h"
#include "Processes.h"
#include "World.h"

#include <map>
#include <set>
#include <sstream>

namespace quendra::test {
namespace {

constexpr int PartCount = 4;
constexpr int Rounds = 1000;

struct Person {
    std::string login;
    std::string otherName; // how a refusal names the other user
    int offset;            // which parts a round takes: the other person's overlap by one
};

// Rounds of LockObject then UnLockObject on two neighbouring parts. After each LockObject every part the
// user was not refused has been written (a call that failed on a busy database writes nothing); every
// refusal names the other user.
std::vector<std::string> Work(const std::string& path, const std::vector<ObjectKey>& parts, const Person& person,
                              int startPipe) {
    char go = 0;
    if (read(startPipe, &go, 1) != 1) return {"no start signal"};
    std::vector<std::string> problems;
    scripted::ScriptedUser user;
    auto db = embedded::Database::Open(path);
    auto session = db->Login(person.login, user);
    Application app(user);
    int refusals = 0;
    for (int round = 0; round < Rounds && problems.size() < 20; ++round) {
        std::vector<ObjectKey> picked{parts[(round + person.offset) % PartCount],
                                      parts[(round + person.offset + 1) % PartCount]};
        std::vector<embedded::HookRow> specs(2);
        std::map<std::string, ObjectKey> refusalTexts;
        for (size_t i = 0; i < picked.size(); ++i) {
            specs[i].key = picked[i];
            refusalTexts[names::ClassPart + std::string(" ") + db->DisplayText(picked[i], "-") + " is locked by " +
                         person.otherName] = picked[i];
        }
        auto rows = db->MakeRecList(specs);
        for (bool locking : {true, false}) {
            user.SetAnswers({Press("OK"), Press("OK")});
            db->Harness().ClearEvents();
            if (locking)
                app.LockObject(session, rows);
            else
                app.UnLockObject(session, rows);
            std::set<int32_t> refused;
            for (const auto& window : user.Windows()) {
                const auto& text = std::get<scripted::records::MessageBox>(window.what).text;
                auto found = refusalTexts.find(text);
                if (found == refusalTexts.end())
                    problems.push_back("round " + std::to_string(round) + ": unexpected message: " + text);
                else
                    refused.insert(found->second.objectId);
            }
            refusals += static_cast<int>(refused.size());
            if (!locking) continue;
            std::set<int32_t> written;
            for (const auto& event : db->Harness().Events())
                if (auto* update = std::get_if<embedded::events::Update>(&event))
                    written.insert(update->object.objectId);
            for (const auto& part : picked)
                if (!refused.count(part.objectId) && !written.count(part.objectId))
                    problems.push_back("round " + std::to_string(round) + ": part " + std::to_string(part.objectId) +
                                       " was neither locked nor refused");
        }
    }
    if (problems.empty() && refusals == 0) problems.push_back("the other process never held a part");
    return problems;
}

TEST(ContentionTest, TwoUsersLockAndUnlockOverlappingPartsWithoutFailures) {
    host::TempFolder folder;
    const std::string path = File(folder, "plant.db");
    std::vector<ObjectKey> parts;
    int32_t carl = 0;
    int32_t dora = 0;
    {
        auto db = embedded::Database::Create(path, embedded::BuiltInModel("plant"));
        carl = *db->UserId("carl");
        dora = *db->UserId("dora");
        for (int i = 0; i < PartCount; ++i)
            parts.push_back(
                db->CreateObject(names::ClassPart, {{names::CN_PART_NUMBER, Value::Text("S-" + std::to_string(i))},
                                                    {"CN_DESCRIPTION", Value::Text("Shared")},
                                                    {names::STATE, Value::Int16(5)}}));
    }

    int start[2];
    ASSERT_EQ(pipe(start), 0);
    const std::vector<Person> people{{"carl", "Dora Lind", 0}, {"dora", "Carl Berg", 1}};
    std::vector<pid_t> children;
    for (size_t i = 0; i < people.size(); ++i)
        children.push_back(RunInChild(File(folder, people[i].login + ".report"),
                                      [&, i] { return Work(path, parts, people[i], start[0]); }));
    ASSERT_EQ(write(start[1], "gg", 2), 2);
    for (size_t i = 0; i < children.size(); ++i) {
        int status = 0;
        ASSERT_EQ(waitpid(children[i], &status, 0), children[i]);
        EXPECT_TRUE(WIFEXITED(status));
        EXPECT_EQ(ReadLines(File(folder, people[i].login + ".report")), std::vector<std::string>{}) << people[i].login;
    }
    close(start[0]);
    close(start[1]);

    // Each round ends with an unlock: nobody holds a part, and flag, holder and modifier were written together.
    EXPECT_EQ(RawDatabase(path).Column("PRAGMA integrity_check"), std::vector<std::string>{"ok"});
    auto db = embedded::Database::Open(path);
    for (const auto& part : parts) {
        EXPECT_FALSE(db->ReadValue(part, names::CN_LOCKED).AsBool()) << part.objectId;
        const int32_t holder = db->ReadValue(part, names::USER_OBJECT_ID).AsInt32();
        EXPECT_TRUE(holder == carl || holder == dora) << part.objectId;
        EXPECT_EQ(db->ReadValue(part, names::USER_ID_MOD).AsInt32(), holder) << part.objectId;
    }
}

// Rounds of LockObject then UnLockObject on one part through the hooks; every call must go through.
std::vector<std::string> LockRounds(const std::string& path, ObjectKey part, const std::string& login, int rounds,
                                    int startPipe) {
    char go = 0;
    if (read(startPipe, &go, 1) != 1) return {"no start signal"};
    std::vector<std::string> problems;
    scripted::ScriptedUser user;
    auto db = embedded::Database::Open(path);
    auto session = db->Login(login, user);
    Application app(user);
    std::vector<embedded::HookRow> specs(1);
    specs[0].key = part;
    auto rows = db->MakeRecList(specs);
    for (int round = 0; round < rounds && problems.size() < 20; ++round) {
        for (bool locking : {true, false}) {
            user.SetAnswers({Press("Yes"), Press("OK")});
            db->Harness().ClearEvents();
            if (locking)
                app.LockObject(session, rows);
            else
                app.UnLockObject(session, rows);
            for (const auto& event : db->Harness().Events())
                if (auto* error = std::get_if<embedded::events::Error>(&event))
                    problems.push_back("round " + std::to_string(round) + ": " + error->operation +
                                       " failed: " + error->text);
        }
    }
    return problems;
}

// What one round of the other user writes, and what the part must hold afterwards.
struct Change {
    std::function<void(int round, embedded::Database& db, Application& app, scripted::ScriptedUser& user,
                       Ptr<CvSession>& session)>
        make;
    std::function<std::string(int round)> expected; // the value of `attribute` after that round
    std::string attribute;
};

// Rounds of a change to another attribute of the part; before and after each change the part must hold
// the value of the last change (a lost update shows as an older value).
std::vector<std::string> ChangeRounds(const std::string& path, ObjectKey part, const Change& change, int rounds,
                                      int startPipe) {
    char go = 0;
    if (read(startPipe, &go, 1) != 1) return {"no start signal"};
    std::vector<std::string> problems;
    scripted::ScriptedUser user;
    auto db = embedded::Database::Open(path);
    auto session = db->Login("dora", user);
    Application app(user);
    auto check = [&](int round, const std::string& when) {
        std::string stored = db->ReadValue(part, change.attribute).AsText();
        if (stored != change.expected(round))
            problems.push_back(when + " round " + std::to_string(round) + ": " + change.attribute + " is \"" + stored +
                               "\", not \"" + change.expected(round) + "\"");
    };
    for (int round = 0; round < rounds && problems.size() < 20; ++round) {
        if (round > 0) check(round - 1, "after");
        change.make(round, *db, app, user, session);
        check(round, "at the end of");
    }
    return problems;
}

class ConcurrentChangeTest : public testing::Test {
protected:
    void SetUp() override {
        auto db = embedded::Database::Create(path, embedded::BuiltInModel("plant"));
        part = db->CreateObject(names::ClassPart, {{names::CN_PART_NUMBER, Value::Text("R-1")},
                                                   {"CN_DESCRIPTION", Value::Text("Shared")},
                                                   {names::STATE, Value::Int16(5)}});
    }

    // Carl locks and unlocks the part while dora makes the change, each in a process of its own.
    void Run(const Change& change) {
        constexpr int Rounds = 150;
        int start[2];
        ASSERT_EQ(pipe(start), 0);
        std::vector<pid_t> children{
            RunInChild(File(folder, "locker.report"), [&] { return LockRounds(path, part, "carl", Rounds, start[0]); }),
            RunInChild(File(folder, "changer.report"),
                       [&] { return ChangeRounds(path, part, change, Rounds, start[0]); })};
        ASSERT_EQ(write(start[1], "gg", 2), 2);
        for (size_t i = 0; i < children.size(); ++i) {
            int status = 0;
            ASSERT_EQ(waitpid(children[i], &status, 0), children[i]);
            EXPECT_TRUE(WIFEXITED(status));
        }
        close(start[0]);
        close(start[1]);
        EXPECT_EQ(ReadLines(File(folder, "locker.report")), std::vector<std::string>{});
        EXPECT_EQ(ReadLines(File(folder, "changer.report")), std::vector<std::string>{});
        auto db = embedded::Database::Open(path);
        EXPECT_EQ(db->ReadValue(part, change.attribute).AsText(), change.expected(Rounds - 1));
        EXPECT_FALSE(db->ReadValue(part, names::CN_LOCKED).AsBool());
    }

    host::TempFolder folder;
    const std::string path = File(folder, "plant.db");
    ObjectKey part;
};

TEST_F(ConcurrentChangeTest, AnotherUsersDescriptionSurvivesLockingAndUnlocking) {
    Change edit;
    edit.attribute = "CN_DESCRIPTION";
    edit.expected = [](int round) { return "Edit " + std::to_string(round); };
    edit.make = [&](int round, embedded::Database&, Application&, scripted::ScriptedUser&, Ptr<CvSession>& session) {
        auto store = session->ObjectStore();
        auto object = store->ObjectById(part.classId, part.objectId);
        object->Data()->SetValueAsText("CN_DESCRIPTION", edit.expected(round));
        object->Update(store->DefaultUpdateOptions());
    };
    Run(edit);
}

TEST_F(ConcurrentChangeTest, TheIssuedFromOfAReplacementSurvivesLockingAndUnlocking) {
    // Each round replaces a new child below a new parent by the shared part, which records the child's number.
    Change replace;
    replace.attribute = "CN_ISSUED_FROM";
    replace.expected = [](int round) { return "C-" + std::to_string(round); };
    replace.make = [&](int round, embedded::Database& db, Application& app, scripted::ScriptedUser& user,
                       Ptr<CvSession>& session) {
        auto parent =
            db.CreateObject(names::ClassPart, {{names::CN_PART_NUMBER, Value::Text("A-" + std::to_string(round))},
                                               {names::STATE, Value::Int16(5)}});
        auto child = db.CreateObject(names::ClassPart, {{names::CN_PART_NUMBER, Value::Text(replace.expected(round))},
                                                        {names::STATE, Value::Int16(5)}});
        std::vector<embedded::HookRow> specs(1);
        specs[0].kind = embedded::HookRow::Kind::Link;
        specs[0].key = db.CreateLink("Parts Tree", parent, child, {{"CN_QUANTITY", Value::Int16(1)}});
        auto rows = db.MakeRecList(specs);
        scripted::Answer pick{scripted::answers::Search{scripted::answers::Search::Mode::Pick, {part}}, "search"};
        user.SetAnswers({pick, Press("OK")});
        std::string linkAttributes = "CN_QUANTITY";
        app.ReplacePart(session, rows, linkAttributes);
    };
    Run(replace);
}

} // namespace
} // namespace quendra::test
