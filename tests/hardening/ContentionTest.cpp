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

// One user in a child process: once the start signal comes, the database file opened and the user logged in.
struct Desk {
    Desk(const std::string& path, const std::string& login, int startPipe)
        : db(OpenWhenStarted(path, startPipe)), session(db->Login(login, user)), app(user) {}

    static std::shared_ptr<embedded::Database> OpenWhenStarted(const std::string& path, int startPipe) {
        char go = 0;
        if (read(startPipe, &go, 1) != 1) throw std::runtime_error("no start signal");
        return embedded::Database::Open(path);
    }

    // LockObject or UnLockObject on the rows, with the answers the user will give and a fresh event log.
    void Lock(bool locking, Ptr<CvRecList>& rows, std::vector<scripted::Answer> answers) {
        user.SetAnswers(std::move(answers));
        db->Harness().ClearEvents();
        if (locking)
            app.LockObject(session, rows);
        else
            app.UnLockObject(session, rows);
    }

    scripted::ScriptedUser user;
    std::shared_ptr<embedded::Database> db;
    Ptr<CvSession> session;
    Application app;
};

// Runs each work in a child process of its own, all started together; each must end normally with an empty
// report "<name>.report".
using ChildWork = std::function<std::vector<std::string>(int startPipe)>;
void RunTogether(const host::TempFolder& folder, const std::vector<std::pair<std::string, ChildWork>>& works) {
    int start[2];
    ASSERT_EQ(pipe(start), 0);
    std::vector<pid_t> children;
    for (const auto& work : works)
        children.push_back(RunInChild(File(folder, work.first + ".report"), [&] { return work.second(start[0]); }));
    const std::string go(works.size(), 'g');
    ASSERT_EQ(write(start[1], go.data(), go.size()), static_cast<ssize_t>(go.size()));
    for (size_t i = 0; i < children.size(); ++i) {
        int status = 0;
        ASSERT_EQ(waitpid(children[i], &status, 0), children[i]);
        EXPECT_TRUE(WIFEXITED(status));
        EXPECT_EQ(ReadLines(File(folder, works[i].first + ".report")), std::vector<std::string>{}) << works[i].first;
    }
    close(start[0]);
    close(start[1]);
}

// Rounds of LockObject then UnLockObject on two neighbouring parts. After each LockObject every part the
// user was not refused has been written (a call that failed on a busy database writes nothing); every
// refusal names the other user.
std::vector<std::string> Work(const std::string& path, const std::vector<ObjectKey>& parts, const Person& person,
                              int startPipe) {
    Desk desk(path, person.login, startPipe);
    std::vector<std::string> problems;
    int refusals = 0;
    for (int round = 0; round < Rounds && problems.size() < 20; ++round) {
        std::vector<ObjectKey> picked{parts[(round + person.offset) % PartCount],
                                      parts[(round + person.offset + 1) % PartCount]};
        std::vector<embedded::HookRow> specs(2);
        std::map<std::string, ObjectKey> refusalTexts;
        for (size_t i = 0; i < picked.size(); ++i) {
            specs[i].key = picked[i];
            refusalTexts[names::ClassPart + std::string(" ") + desk.db->DisplayText(picked[i], "-") + " is locked by " +
                         person.otherName] = picked[i];
        }
        auto rows = desk.db->MakeRecList(specs);
        for (bool locking : {true, false}) {
            desk.Lock(locking, rows, {Press("OK"), Press("OK")});
            std::set<int32_t> refused;
            for (const auto& window : desk.user.Windows()) {
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
            for (const auto& event : desk.db->Harness().Events())
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
    PlantFile file(path);
    const auto parts = file.Parts("S-", PartCount, {{"CN_DESCRIPTION", Value::Text("Shared")}});
    file.db.reset(); // the children open the file themselves

    const std::vector<Person> people{{"carl", "Dora Lind", 0}, {"dora", "Carl Berg", 1}};
    std::vector<std::pair<std::string, ChildWork>> works;
    for (const auto& person : people)
        works.emplace_back(person.login, [&](int startPipe) { return Work(path, parts, person, startPipe); });
    RunTogether(folder, works);

    // Each round ends with an unlock: nobody holds a part, and flag, holder and modifier were written together.
    EXPECT_EQ(RawDatabase(path).Column("PRAGMA integrity_check"), std::vector<std::string>{"ok"});
    auto db = embedded::Database::Open(path);
    for (const auto& part : parts) {
        EXPECT_FALSE(db->ReadValue(part, names::CN_LOCKED).AsBool()) << part.objectId;
        const int32_t holder = db->ReadValue(part, names::USER_OBJECT_ID).AsInt32();
        EXPECT_TRUE(holder == file.carl || holder == file.dora) << part.objectId;
        EXPECT_EQ(db->ReadValue(part, names::USER_ID_MOD).AsInt32(), holder) << part.objectId;
    }
}

// Rounds of LockObject then UnLockObject on one part through the hooks; every call must go through.
std::vector<std::string> LockRounds(const std::string& path, ObjectKey part, const std::string& login, int rounds,
                                    int startPipe) {
    Desk desk(path, login, startPipe);
    std::vector<std::string> problems;
    std::vector<embedded::HookRow> specs(1);
    specs[0].key = part;
    auto rows = desk.db->MakeRecList(specs);
    for (int round = 0; round < rounds && problems.size() < 20; ++round) {
        for (bool locking : {true, false}) {
            desk.Lock(locking, rows, {Press("Yes"), Press("OK")});
            for (const auto& event : desk.db->Harness().Events())
                if (auto* error = std::get_if<embedded::events::Error>(&event))
                    problems.push_back("round " + std::to_string(round) + ": " + error->operation +
                                       " failed: " + error->text);
        }
    }
    return problems;
}

// What one round of the other user writes, and what the part must hold afterwards.
struct Change {
    std::function<void(int round, Desk& desk)> make;
    std::function<std::string(int round)> expected; // the value of `attribute` after that round
    std::string attribute;
};

// Rounds of a change to another attribute of the part; before and after each change the part must hold
// the value of the last change (a lost update shows as an older value).
std::vector<std::string> ChangeRounds(const std::string& path, ObjectKey part, const Change& change, int rounds,
                                      int startPipe) {
    Desk desk(path, "dora", startPipe);
    std::vector<std::string> problems;
    auto check = [&](int round, const std::string& when) {
        std::string stored = desk.db->ReadValue(part, change.attribute).AsText();
        if (stored != change.expected(round))
            problems.push_back(when + " round " + std::to_string(round) + ": " + change.attribute + " is \"" + stored +
                               "\", not \"" + change.expected(round) + "\"");
    };
    for (int round = 0; round < rounds && problems.size() < 20; ++round) {
        if (round > 0) check(round - 1, "after");
        change.make(round, desk);
        check(round, "at the end of");
    }
    return problems;
}

class ConcurrentChangeTest : public testing::Test {
protected:
    void SetUp() override { part = PlantFile(path).Parts("R-", 1, {{"CN_DESCRIPTION", Value::Text("Shared")}})[0]; }

    // Carl locks and unlocks the part while dora makes the change, each in a process of its own.
    void Run(const Change& change) {
        constexpr int Rounds = 150;
        RunTogether(folder,
                    {{"locker", [&](int startPipe) { return LockRounds(path, part, "carl", Rounds, startPipe); }},
                     {"changer", [&](int startPipe) { return ChangeRounds(path, part, change, Rounds, startPipe); }}});
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
    edit.make = [&](int round, Desk& desk) {
        auto store = desk.session->ObjectStore();
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
    replace.make = [&](int round, Desk& desk) {
        auto& db = *desk.db;
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
        desk.user.SetAnswers({pick, Press("OK")});
        std::string linkAttributes = "CN_QUANTITY";
        desk.app.ReplacePart(desk.session, rows, linkAttributes);
    };
    Run(replace);
}

} // namespace
} // namespace quendra::test
