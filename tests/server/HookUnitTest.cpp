// A hook call is one unit on both storages: calls started together in processes of their own never both pass a
// check only one of them could pass (an equal link, another user's lock).
// SPDX-License-Identifier: Apache-2.0
#include "CommandRun.h"
#include "Names.h"
#include "Processes.h"
#include "ServerRoles.h"

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

    // The calls, each in a process of its own, started together; what each printed, in order.
    std::vector<Call> Race(const std::vector<std::vector<std::string>>& calls) {
        int start[2];
        EXPECT_EQ(pipe(start), 0);
        std::vector<pid_t> children;
        for (size_t i = 0; i < calls.size(); ++i) {
            const std::string report = File(folder, "call" + std::to_string(i));
            pid_t child = fork();
            if (child == 0) {
                close(start[1]);
                char go = 0;
                if (read(start[0], &go, 1) != 1) _exit(1);
                auto ran = Quendra(calls[i]);
                std::ofstream(report) << ran.status << '\n' << ran.out << ran.errors;
                _exit(0);
            }
            children.push_back(child);
        }
        close(start[0]);
        const std::string go(calls.size(), 'g');
        EXPECT_EQ(write(start[1], go.data(), go.size()), static_cast<ssize_t>(go.size()));
        close(start[1]);
        std::vector<Call> ended;
        for (size_t i = 0; i < children.size(); ++i) {
            int status = 0;
            waitpid(children[i], &status, 0);
            std::ifstream report(File(folder, "call" + std::to_string(i)));
            Call call;
            report >> call.status;
            call.out.assign(std::istreambuf_iterator<char>(report), {});
            ended.push_back(call);
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

INSTANTIATE_TEST_SUITE_P(Storages, HookUnitTest, testing::Values(Where::File, Where::Server),
                         [](const testing::TestParamInfo<Where>& info) {
                             return info.param == Where::File ? "File" : "Server";
                         });

} // namespace
} // namespace quendra::test
