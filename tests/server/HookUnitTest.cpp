// A hook call is one unit on both storages: calls started together in processes of their own never both pass a
// check only one of them could pass (an equal link, another user's lock); a selector that lists links and then
// reads each is not failed by another connection's delete in between.
// SPDX-License-Identifier: Apache-2.0
#include "CommandRun.h"
#include "Names.h"
#include "Processes.h"
#include "ServerRoles.h"
#include "World.h"

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iostream>
#include <map>
#include <optional>

namespace quendra::test {
namespace {

enum class Where { File, Server };

// What one `quendra hook` of a race printed and how it ended.
struct Call {
    int status = -1;
    std::string out;
};

class HookUnitTest : public testing::TestWithParam<Where> {
protected:
    void SetUp() override {
        if (GetParam() == Where::Server) {
            if (TestServer.empty()) GTEST_SKIP() << "no PostgreSQL server for the tests";
            schema.emplace(TestServer, "unit_" + std::to_string(getpid()));
            address = schema->Address();
        } else {
            address = File(folder, "plant.db");
        }
        db = embedded::Database::Create(address, embedded::BuiltInModel("plant"));
        top = db->CreateObject("Assembly",
                               {{names::CN_PART_NUMBER, Value::Text("A-1")}, {names::STATE, Value::Int16(5)}});
        std::ofstream(File(folder, "none.json")) << "[]";
        // On the server each person works with a role of his own.
        for (const std::string login : {"carl", "dora"}) {
            if (!schema) {
                addresses[login] = address;
                continue;
            }
            const std::string role = roles.Make(login);
            ASSERT_EQ(Quendra({"grant", address, role}).status, 0);
            OnServer("INSERT INTO " + schema->Address().substr(schema->Address().rfind("%3D") + 3) +
                     ".platform_role_logins VALUES ('" + role + "', '" + login + "')");
            addresses[login] = AsRole(address, role);
        }
    }

    // The calls, each in a process of its own, started together; how each ended and what it printed.
    std::vector<Call> Race(const std::vector<std::vector<std::string>>& calls) {
        std::vector<std::pair<std::string, ChildWork>> works;
        for (size_t i = 0; i < calls.size(); ++i)
            works.emplace_back("call" + std::to_string(i), [&calls, i] {
                auto ran = Quendra(calls[i]);
                return std::vector<std::string>{std::to_string(ran.status), ran.out + ran.errors};
            });
        std::vector<Call> ended;
        for (const auto& report : RunTogether(folder, works)) {
            std::string out;
            for (size_t line = 1; line < report.size(); ++line) out += report[line] + "\n";
            ended.push_back({report.empty() ? -1 : std::stoi(report[0]), out});
        }
        return ended;
    }

    std::vector<std::string> Hook(const std::string& hook, const std::string& login, const std::string& row,
                                  const std::string& answers) {
        return {"hook", hook, "--db", addresses[login], "--user", login, "--row", row, "--answers", answers};
    }

    playback::TempFolder folder;
    ServerRoles roles; // dropped after the schema, which holds their grants
    std::optional<embedded::ServerSchema> schema;
    std::string address;
    std::map<std::string, std::string> addresses;
    std::shared_ptr<embedded::Database> db;
    ObjectKey top;
};

// Three people add the same part below one assembly at once, twenty times: one link each time. Two people lock
// one part at once, forty times: one of them gets it.
TEST_P(HookUnitTest, CallsStartedTogetherNeverBothPassACheckOnlyOneCouldPass) {
    int duplicates = 0, doubleLinks = 0, doubleLocks = 0;
    for (int round = 0; round < 20; ++round) {
        const std::string number = "P-" + std::to_string(round);
        auto pick = db->CreateObject(names::ClassPart,
                                     {{names::CN_PART_NUMBER, Value::Text(number)}, {names::STATE, Value::Int16(5)}});
        const std::string answers = File(folder, "pick.json");
        // The same answers fit the call that links (the link's values) and those that find the link made.
        std::ofstream(answers) << "[{\"search\": [\"Part(CN_PART_NUMBER=" << number << ")\"]}, {\"button\": \"OK\"}]";
        auto add = Hook("AddExistingPart", "carl", "Assembly(CN_PART_NUMBER=A-1)", answers);
        add.insert(add.end(), {"--link-attributes", "CN_REMARK"});
        int added = 0;
        for (const auto& call : Race({add, add, add}))
            added += call.status == 0 && call.out.find("event insert") != std::string::npos;
        const auto links = db->FindLinks(names::LinkClassPartsTree, top, pick).size();
        duplicates += links > 1 ? static_cast<int>(links) - 1 : 0;
        doubleLinks += added > 1;
        EXPECT_EQ(links, 1u) << number;
    }
    for (int race = 0; race < 40; ++race) {
        const std::string number = "L-" + std::to_string(race);
        db->CreateObject(names::ClassPart,
                         {{names::CN_PART_NUMBER, Value::Text(number)}, {names::STATE, Value::Int16(5)}});
        const std::string row = "Part(CN_PART_NUMBER=" + number + ")";
        const std::string none = File(folder, "none.json");
        int locked = 0;
        for (const auto& call : Race({Hook("LockObject", "carl", row, none), Hook("LockObject", "dora", row, none)}))
            locked += call.status == 0 && call.out.find("event update") != std::string::npos;
        doubleLocks += locked > 1;
    }
    std::cout << "equal links: " << duplicates << " duplicates, " << doubleLinks
              << " rounds of 20 with two links made; locks: " << doubleLocks << " of 40 races won twice\n";
    EXPECT_EQ(duplicates, 0);
    EXPECT_EQ(doubleLinks, 0);
    EXPECT_EQ(doubleLocks, 0);
}

// The database a selector reads, handing every call on; once the links of the class are listed, another
// connection deletes one of the listed links that is not the one sought, before any of them is read.
class DeleteAfterListing final : public embedded::Database {
public:
    DeleteAfterListing(embedded::Database& inner, const std::string& address, ObjectKey sought)
        : inner_(inner), address_(address), sought_(sought) {}

    std::vector<ObjectKey> FindObjects(const std::string& className, const std::string& attribute,
                                       const std::string& text) override {
        auto found = inner_.FindObjects(className, attribute, text);
        if (className != names::LinkClassPartsTree || deleted) return found;
        for (const auto& link : found)
            if (link.objectId != sought_.objectId && !deleted) deleted = link;
        if (deleted) {
            auto other = embedded::Database::Open(address_);
            scripted::ScriptedUser user;
            auto store = other->Login("admin", user)->ObjectStore();
            store->ObjectById(deleted->classId, deleted->objectId)->Delete(store->DefaultUpdateOptions());
        }
        return found;
    }
    void ReadTogether(const std::function<void()>& reads) override { inner_.ReadTogether(reads); }
    Value ReadValue(ObjectKey key, const std::string& attribute) override { return inner_.ReadValue(key, attribute); }
    std::string DisplayText(ObjectKey key, const std::string& separator) override {
        return inner_.DisplayText(key, separator);
    }
    Ptr<CvSession> Login(const std::string& login, embedded::PlatformDialogs& dialogs) override {
        return inner_.Login(login, dialogs);
    }
    std::string ClassName(int16_t classId) override { return inner_.ClassName(classId); }
    int16_t ClassId(const std::string& className) override { return inner_.ClassId(className); }
    // What a selector never asks.
    int32_t AddUser(const std::string&, bool, const Values&) override { return Unused<int32_t>(); }
    ObjectKey CreateObject(const std::string&, const Values&) override { return Unused<ObjectKey>(); }
    ObjectKey CreateLink(const std::string&, ObjectKey, ObjectKey, const Values&) override {
        return Unused<ObjectKey>();
    }
    std::vector<ObjectKey> FindLinks(const std::string&, ObjectKey, ObjectKey) override {
        return Unused<std::vector<ObjectKey>>();
    }
    int64_t CountObjects(const std::string&) override { return Unused<int64_t>(); }
    std::optional<int32_t> UserId(const std::string&) override { return Unused<std::optional<int32_t>>(); }
    std::optional<std::string> ServerLogin() override { return Unused<std::optional<std::string>>(); }
    std::vector<std::pair<int32_t, std::string>> Users() override {
        return Unused<std::vector<std::pair<int32_t, std::string>>>();
    }
    Ptr<CvRecList> MakeRecList(const std::vector<embedded::HookRow>&) override { return Unused<Ptr<CvRecList>>(); }
    embedded::Harness& Harness() override { return inner_.Harness(); }
    const embedded::Harness& Harness() const override { return inner_.Harness(); }
    void BeginOuterTransaction() override { Unused<int>(); }
    void CommitOuterTransaction() override { Unused<int>(); }
    void RollbackOuterTransaction() override { Unused<int>(); }
    void HoldObjects(const std::vector<ObjectKey>&) override { Unused<int>(); }

    std::optional<ObjectKey> deleted;

private:
    template <typename Result> static Result Unused() { throw std::logic_error("a selector does not ask this"); }

    embedded::Database& inner_;
    std::string address_;
    ObjectKey sought_;
};

// Each selector lists candidate links (all of the class, those with a value, those of one end) and then reads
// each; the link deleted meanwhile neither fails the selector nor changes what it names.
TEST_P(HookUnitTest, ASelectorReadsTheLinksItListedAsTheyWere) {
    auto part = [&](const std::string& cls, const std::string& number) {
        return db->CreateObject(cls, {{names::CN_PART_NUMBER, Value::Text(number)}});
    };
    auto other = part("Assembly", "B-1");
    auto sought = db->CreateLink(names::LinkClassPartsTree, top, part(names::ClassPart, "P-2"),
                                 {{"CN_POSITION", Value::Int32(20)}});
    for (const auto& [selector, parent, child] : std::vector<std::tuple<std::string, ObjectKey, std::string>>{
             {"Parts Tree(parent=A-1, child=P-2)", other, "P-3"},
             {"Parts Tree(CN_POSITION=20, parent=A-1)", other, "P-4"},
             {"Parts Tree(parent=Assembly(CN_PART_NUMBER=A-1), child=P-2)", top, "P-5"}}) {
        auto end = part(names::ClassPart, child);
        auto unrelated = db->CreateLink(names::LinkClassPartsTree, parent, end, {{"CN_POSITION", Value::Int32(20)}});
        DeleteAfterListing reading(*db, address, sought);
        scripted::ScriptedUser user;
        playback::World world(reading, user, "selectors");
        world.SetDefaultUser("admin");
        std::string why;
        auto found = world.TryResolve(selector, why);
        EXPECT_EQ(why, "") << selector;
        EXPECT_EQ(found ? found->key.objectId : 0, sought.objectId) << selector;
        EXPECT_EQ(reading.deleted ? reading.deleted->objectId : 0, unrelated.objectId) << selector;
        EXPECT_EQ(db->FindLinks(names::LinkClassPartsTree, parent, end).size(), 0u) << selector;
    }
}

INSTANTIATE_TEST_SUITE_P(Storages, HookUnitTest, testing::Values(Where::File, Where::Server),
                         [](const testing::TestParamInfo<Where>& info) {
                             return info.param == Where::File ? "File" : "Server";
                         });

} // namespace
} // namespace quendra::test
