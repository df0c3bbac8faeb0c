// Users in processes of their own lock and unlock overlapping parts of one database file or server, add and
// replace parts, or change one part while another locks and unlocks it.
// SPDX-License-Identifier: Apache-2.0
#include "Application.h"
#include "Names.h"
#include "Processes.h"
#include "TestWorld.h"

#include <map>
#include <optional>
#include <set>
#include <sstream>

namespace quendra::test {
namespace {

constexpr int PartCount = 4;

struct Person {
    std::string login;
    std::string name; // how a refusal names the user
    int offset;       // which parts a round takes: the next person's overlap by one
};

// One user in a child process: the database opened and the user logged in.
struct Desk {
    Desk(const std::string& path, const std::string& login)
        : db(embedded::Database::Open(path)), session(db->Login(login, user)), app(user) {}

    // The answers the user will give to the next hook, with a fresh event log.
    void Prepare(std::vector<answering::Answer> answers) {
        user.SetAnswers(std::move(answers));
        db->Harness().ClearEvents();
    }
    // LockObject or UnLockObject on the rows.
    void Lock(bool locking, Ptr<CvRecList>& rows, std::vector<answering::Answer> answers) {
        Prepare(std::move(answers));
        if (locking)
            app.LockObject(session, rows);
        else
            app.UnLockObject(session, rows);
    }
    // The failures of platform operations during the last hook.
    std::vector<std::string> Failures(const std::string& when) const {
        std::vector<std::string> failures;
        for (const auto& event : db->Harness().Events())
            if (auto* error = std::get_if<embedded::events::Error>(&event))
                failures.push_back(when + ": " + error->operation + " failed: " + error->text);
        return failures;
    }

    scripted::ScriptedUser user;
    std::shared_ptr<embedded::Database> db;
    Ptr<CvSession> session;
    Application app;
};

// Runs the works together; each must end normally with nothing to report.
void RunAll(const playback::TempFolder& folder, const std::vector<std::pair<std::string, ChildWork>>& works) {
    auto reports = RunTogether(folder, works);
    for (size_t i = 0; i < works.size(); ++i) EXPECT_EQ(reports[i], std::vector<std::string>{}) << works[i].first;
}

// What the users of one contention run share: the database, the parts they lock, and for a team on a server
// the assembly they add new parts below and the part they replace parts by.
struct Contention {
    std::string address;
    std::vector<ObjectKey> parts;
    std::vector<Person> people;
    int rounds = 0;
    std::optional<ObjectKey> top;         // each round adds a new part below it
    std::optional<ObjectKey> replacement; // each round replaces a new part by it

    static std::string AddedDescription(const Person& person, int round) {
        return "Added by " + person.login + " in round " + std::to_string(round);
    }
    static std::string ReplacedNumber(const Person& person, const char* end, int round) {
        return end + ("-" + person.login + "-" + std::to_string(round));
    }
};

// AddNewPart below the top; the part is numbered from the server's sequence.
void AddRound(Desk& desk, const Contention& run, const Person& person, int round, std::vector<std::string>& problems) {
    std::vector<embedded::HookRow> specs(1);
    specs[0].key = *run.top;
    auto rows = desk.db->MakeRecList(specs);
    desk.Prepare({Fill({{"CN_DESCRIPTION", Value::Text(Contention::AddedDescription(person, round))},
                        {names::STATE, Value::Int16(5)}}),
                  Press("Continue"), SetRows({{"Quantity", "1"}})});
    std::string linkAttributes = "CN_QUANTITY";
    desk.app.AddNewPart(desk.session, rows, linkAttributes);
    auto failures = desk.Failures("round " + std::to_string(round) + " adding");
    problems.insert(problems.end(), failures.begin(), failures.end());
}

// ReplacePart of a new child below a new parent by the shared replacement part.
void ReplaceRound(Desk& desk, const Contention& run, const Person& person, int round,
                  std::vector<std::string>& problems) {
    auto& db = *desk.db;
    auto parent = db.CreateObject(names::ClassPart,
                                  {{names::CN_PART_NUMBER, Value::Text(Contention::ReplacedNumber(person, "A", round))},
                                   {names::STATE, Value::Int16(5)}});
    auto child = db.CreateObject(names::ClassPart,
                                 {{names::CN_PART_NUMBER, Value::Text(Contention::ReplacedNumber(person, "C", round))},
                                  {names::STATE, Value::Int16(5)}});
    std::vector<embedded::HookRow> specs(1);
    specs[0].kind = embedded::HookRow::Kind::Link;
    specs[0].key = db.CreateLink("Parts Tree", parent, child, {{"CN_QUANTITY", Value::Int16(1)}});
    auto rows = db.MakeRecList(specs);
    desk.Prepare({Search({*run.replacement}), Press("OK")});
    std::string linkAttributes = "CN_QUANTITY";
    desk.app.ReplacePart(desk.session, rows, linkAttributes);
    auto failures = desk.Failures("round " + std::to_string(round) + " replacing");
    problems.insert(problems.end(), failures.begin(), failures.end());
}

// Rounds of LockObject then UnLockObject on two neighbouring parts, on a server with a new part added and
// one replaced in between. After each LockObject every part the user was not refused has been written (a
// call that failed on a busy database writes nothing); every refusal names another user who takes that part.
std::vector<std::string> Work(const Contention& run, const Person& person) {
    Desk desk(run.address, person.login);
    std::vector<std::string> problems;
    int refusals = 0;
    for (int round = 0; round < run.rounds && problems.size() < 20; ++round) {
        std::vector<ObjectKey> picked{run.parts[(round + person.offset) % PartCount],
                                      run.parts[(round + person.offset + 1) % PartCount]};
        std::vector<embedded::HookRow> specs(2);
        std::map<std::string, ObjectKey> refusalTexts;
        for (size_t i = 0; i < picked.size(); ++i) {
            specs[i].key = picked[i];
            for (const auto& other : run.people)
                if (other.login != person.login)
                    refusalTexts[names::ClassPart + std::string(" ") + desk.db->DisplayText(picked[i], "-") +
                                 " is locked by " + other.name] = picked[i];
        }
        auto rows = desk.db->MakeRecList(specs);
        for (bool locking : {true, false}) {
            desk.Lock(locking, rows, {Press("OK"), Press("OK")});
            std::set<int32_t> refused;
            for (const auto& window : desk.user.Windows()) {
                const auto& text = std::get<answering::records::MessageBox>(window.what).text;
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
            if (run.top) AddRound(desk, run, person, round, problems);
            if (run.replacement) ReplaceRound(desk, run, person, round, problems);
        }
    }
    if (problems.empty() && refusals == 0) problems.push_back("no other process ever held a part");
    return problems;
}

// Runs the people's work together, then checks that every lock is consistent: each round ends with an unlock,
// so nobody holds a part, and flag, holder and modifier were written together.
void RunContention(const playback::TempFolder& folder, const Contention& run, const std::set<int32_t>& holders) {
    std::vector<std::pair<std::string, ChildWork>> works;
    for (const auto& person : run.people) works.emplace_back(person.login, [&] { return Work(run, person); });
    RunAll(folder, works);
    auto db = embedded::Database::Open(run.address);
    for (const auto& part : run.parts) {
        EXPECT_FALSE(db->ReadValue(part, names::CN_LOCKED).AsBool()) << part.objectId;
        const int32_t holder = db->ReadValue(part, names::USER_OBJECT_ID).AsInt32();
        EXPECT_TRUE(holders.count(holder)) << part.objectId;
        EXPECT_EQ(db->ReadValue(part, names::USER_ID_MOD).AsInt32(), holder) << part.objectId;
    }
}

TEST(ContentionTest, TwoUsersLockAndUnlockOverlappingPartsWithoutFailures) {
    playback::TempFolder folder;
    Contention run;
    run.address = File(folder, "plant.db");
    PlantFile file(run.address);
    run.parts = file.Parts("S-", PartCount, {{"CN_DESCRIPTION", Value::Text("Shared")}});
    file.db.reset(); // the children open the file themselves
    run.people = {{"carl", "Carl Berg", 0}, {"dora", "Dora Lind", 1}};
    run.rounds = 1000;
    RunContention(folder, run, {file.carl, file.dora});
    EXPECT_EQ(RawDatabase(run.address).Column("PRAGMA integrity_check"), std::vector<std::string>{"ok"});
}

// Four users, each in a process of its own with a connection over TCP to one server, lock and unlock
// overlapping parts, add new parts below one assembly and replace parts by one shared part.
TEST(ContentionTest, FourUsersOnAServerShareOverlappingTreesWithoutLosingAChange) {
    const std::string server = QUENDRA_TEST_POSTGRES;
    if (server.empty()) GTEST_SKIP() << "no PostgreSQL server for the tests";
    playback::TempFolder folder;
    embedded::ServerSchema schema(server, "contention_" + std::to_string(getpid()));
    Contention run;
    run.address = schema.Address();
    PlantFile file(run.address);
    const int32_t eva =
        file.db->AddUser("eva", false, {{"FIRST_NAME", Value::Text("Eva")}, {"LAST_NAME", Value::Text("Holm")}});
    const int32_t finn =
        file.db->AddUser("finn", false, {{"FIRST_NAME", Value::Text("Finn")}, {"LAST_NAME", Value::Text("Aalto")}});
    run.parts = file.Parts("S-", PartCount, {{"CN_DESCRIPTION", Value::Text("Shared")}});
    run.top = file.db->CreateObject("Assembly", {{names::CN_PART_NUMBER, Value::Text("TOP")},
                                                 {"CN_DESCRIPTION", Value::Text("Top")},
                                                 {names::STATE, Value::Int16(5)}});
    run.replacement = file.Parts("R-", 1, {{"CN_DESCRIPTION", Value::Text("Replacement")}})[0];
    file.db.reset();
    run.people = {
        {"carl", "Carl Berg", 0}, {"dora", "Dora Lind", 1}, {"eva", "Eva Holm", 2}, {"finn", "Finn Aalto", 3}};
    run.rounds = 40;
    RunContention(folder, run, {file.carl, file.dora, eva, finn});

    // Every added part is there once, linked below the top, with a number of its own; every replacement
    // left the new parent with the shared part in place of its child.
    auto db = embedded::Database::Open(run.address);
    std::set<std::string> numbers;
    for (const auto& person : run.people)
        for (int round = 0; round < run.rounds; ++round) {
            auto added =
                db->FindObjects(names::ClassPart, "CN_DESCRIPTION", Contention::AddedDescription(person, round));
            ASSERT_EQ(added.size(), 1u) << Contention::AddedDescription(person, round);
            EXPECT_TRUE(numbers.insert(db->ReadValue(added[0], names::CN_PART_NUMBER).AsText()).second)
                << db->ReadValue(added[0], names::CN_PART_NUMBER).AsText();
            EXPECT_EQ(db->FindLinks("Parts Tree", *run.top, added[0]).size(), 1u);
            auto parent = db->FindObjects(names::ClassPart, names::CN_PART_NUMBER,
                                          Contention::ReplacedNumber(person, "A", round));
            auto child = db->FindObjects(names::ClassPart, names::CN_PART_NUMBER,
                                         Contention::ReplacedNumber(person, "C", round));
            ASSERT_EQ(parent.size(), 1u);
            ASSERT_EQ(child.size(), 1u);
            EXPECT_EQ(db->FindLinks("Parts Tree", parent[0], *run.replacement).size(), 1u);
            EXPECT_EQ(db->FindLinks("Parts Tree", parent[0], child[0]).size(), 0u);
        }
}

// Rounds of LockObject then UnLockObject on one part through the hooks; every call must go through.
std::vector<std::string> LockRounds(const std::string& path, ObjectKey part, const std::string& login, int rounds) {
    Desk desk(path, login);
    std::vector<std::string> problems;
    std::vector<embedded::HookRow> specs(1);
    specs[0].key = part;
    auto rows = desk.db->MakeRecList(specs);
    for (int round = 0; round < rounds && problems.size() < 20; ++round) {
        for (bool locking : {true, false}) {
            desk.Lock(locking, rows, {Press("Yes"), Press("OK")});
            auto failures = desk.Failures("round " + std::to_string(round));
            problems.insert(problems.end(), failures.begin(), failures.end());
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
std::vector<std::string> ChangeRounds(const std::string& path, ObjectKey part, const Change& change, int rounds) {
    Desk desk(path, "dora");
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
        RunAll(folder, {{"locker", [&] { return LockRounds(path, part, "carl", Rounds); }},
                        {"changer", [&] { return ChangeRounds(path, part, change, Rounds); }}});
        auto db = embedded::Database::Open(path);
        EXPECT_EQ(db->ReadValue(part, change.attribute).AsText(), change.expected(Rounds - 1));
        EXPECT_FALSE(db->ReadValue(part, names::CN_LOCKED).AsBool());
    }

    playback::TempFolder folder;
    const std::string path = File(folder, "plant.db");
    ObjectKey part;
};

// Another user's change made through a hook survives the locks and unlocks made meanwhile; that an update writes
// only the values set since its object was read, whatever changed since, is ObjectsTest's.
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
        answering::Answer pick{answering::answers::Search{answering::answers::Search::Mode::Pick, {part}}, "search"};
        desk.user.SetAnswers({pick, Press("OK")});
        std::string linkAttributes = "CN_QUANTITY";
        desk.app.ReplacePart(desk.session, rows, linkAttributes);
    };
    Run(replace);
}

} // namespace
} // namespace quendra::test
