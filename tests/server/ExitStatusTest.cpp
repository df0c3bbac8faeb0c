// The server's rows of the exit statuses: a server that cannot be reached or is lost during a call is the
// machine's (3), a role that may not do what it asks is refused (2).
// SPDX-License-Identifier: Apache-2.0
#include "CommandRun.h"
#include "Names.h"
#include "Processes.h"
#include "ServerRoles.h"

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <optional>
#include <thread>

namespace quendra::test {
namespace {

class ServerExitStatusTest : public testing::Test {
protected:
    void SetUp() override {
        if (TestServer.empty()) GTEST_SKIP() << "no PostgreSQL server for the tests";
        schema.emplace(TestServer, "status_" + std::to_string(getpid()));
        auto db = embedded::Database::Create(schema->Address(), embedded::BuiltInModel("plant"));
        db->CreateObject(names::ClassPart,
                         {{names::CN_PART_NUMBER, Value::Text("P-1")}, {names::STATE, Value::Int16(5)}});
    }

    playback::TempFolder folder;
    ServerRoles roles;
    std::optional<embedded::ServerSchema> schema;
};

TEST_F(ServerExitStatusTest, AServerThatCannotBeReachedStopsEveryCommandWithThree) {
    // Nothing listens on port 1.
    const std::string nowhere = "postgresql://quendra@127.0.0.1:1/quendra";
    const std::string file = File(folder, "plant.db");
    ASSERT_EQ(Quendra({"init", file}).status, 0);
    const std::vector<std::vector<std::string>> commands = {
        {"init", nowhere},
        {"tree", nowhere, "P-1"},
        {"hook", "LockObject", "--db", nowhere, "--user", "carl", "--row", "Part(CN_PART_NUMBER=P-1)"},
        {"copy", file, nowhere},
        {"grant", nowhere, "somebody"},
        {"play", "--database", nowhere, QUENDRA_SOURCE_DIR "/tests/scenarios/locking.json"},
    };
    for (const auto& command : commands) {
        auto ran = Quendra(command);
        EXPECT_EQ(ran.status, 3) << command[0] << ": " << ran.errors;
        EXPECT_NE(ran.errors.find("the database server at postgresql://quendra@127.0.0.1:1/quendra cannot be "
                                  "reached ("),
                  std::string::npos)
            << command[0] << ": " << ran.errors;
    }
}

TEST_F(ServerExitStatusTest, AServerLostDuringAHookEndsItWithThreeAndKeepsNothing) {
    // The part's row is held, so the hook waits at its write; meanwhile its connection is ended.
    PGconn* holder = PQconnectdb(schema->Address().c_str());
    PQclear(PQexec(holder, "BEGIN; SELECT * FROM parts FOR UPDATE"));
    const std::string report = File(folder, "hook");
    std::ofstream(File(folder, "none.json")) << "[]";
    pid_t child = fork();
    if (child == 0) {
        auto ran = Quendra({"hook", "LockObject", "--db", schema->Address() + "&application_name=lost_hook", "--user",
                            "carl", "--row", "Part(CN_PART_NUMBER=P-1)", "--answers", File(folder, "none.json")});
        std::ofstream(report) << ran.status << '\n' << ran.out << ran.errors;
        _exit(0);
    }
    bool ended = false;
    for (int wait = 0; wait < 200 && !ended; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        PGresult* result = PQexec(holder, "SAVEPOINT look; SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                                          "WHERE application_name = 'lost_hook' AND wait_event_type = 'Lock'");
        ended = PQresultStatus(result) == PGRES_TUPLES_OK && PQntuples(result) == 1;
        PQclear(result);
        PQclear(PQexec(holder, "RELEASE look"));
    }
    PQclear(PQexec(holder, "ROLLBACK"));
    PQfinish(holder);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(ended) << "the hook never waited for the held row";
    std::ifstream ran(report);
    int exitStatus = -1;
    ran >> exitStatus;
    const std::string printed(std::istreambuf_iterator<char>(ran), {});
    EXPECT_EQ(exitStatus, 3) << printed;
    EXPECT_NE(printed.find("quendra hook: the database server of " + schema->Address() +
                           "&application_name=lost_hook cannot be reached ("),
              std::string::npos)
        << printed;
    auto db = embedded::Database::Open(schema->Address());
    EXPECT_FALSE(
        db->ReadValue(db->FindObjects(names::ClassPart, names::CN_PART_NUMBER, "P-1").front(), names::CN_LOCKED)
            .AsBool());
}

TEST_F(ServerExitStatusTest, GrantAsARoleThatIsNotTheOwnerIsRefusedWithTwo) {
    const std::string member = roles.Make("granter");
    ASSERT_EQ(Quendra({"grant", schema->Address(), member}).status, 0);
    auto ran = Quendra({"grant", AsRole(schema->Address(), member), member, "--admin"});
    EXPECT_EQ(ran.status, 2);
    EXPECT_EQ(ran.errors, "quendra grant: " + AsRole(schema->Address(), member) +
                              ": only the database's owner may give a role its rights: connect as the owner\n");
}

} // namespace
} // namespace quendra::test
