// A connection to a server sends the transaction control nothing waits for, and the preparation of a statement,
// along with the next statement: the writes and snapshots cost the requests counted below, a failure is the failing
// statement's, the transaction is where it should be afterwards, and a deadlock makes a repeatable write run again.
// SPDX-License-Identifier: Apache-2.0
#include "CvError.h"
#include "Database.h"
#include "PostgresConnection.h"
#include "ReadSnapshot.h"
#include "Transaction.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <functional>
#include <optional>
#include <string>

#include <unistd.h>

namespace quendra::embedded {
namespace {

const std::string Server = QUENDRA_TEST_POSTGRES;

class ServerConnectionTest : public testing::Test {
public:
    void SetUp() override {
        if (Server.empty()) GTEST_SKIP() << "no PostgreSQL server for the tests";
        schema.emplace(Server, "connection_" + std::to_string(getpid()));
        connection = OpenPostgres(schema->Address(), false, false);
        connection->Execute("CREATE TABLE t (n INTEGER PRIMARY KEY, v INTEGER NOT NULL)");
        connection->Execute("INSERT INTO t VALUES (1, 0), (2, 0)");
    }
    void TearDown() override {
        connection.reset();
        schema.reset();
    }

    void Write(const std::string& sql) { connection->Prepare(sql).Run(); }
    int64_t Number(const std::string& sql) {
        Statement statement = connection->Prepare(sql);
        statement.Step();
        return statement.Int(0);
    }

    std::optional<ServerSchema> schema;
    std::unique_ptr<Connection> connection;
};

TEST_F(ServerConnectionTest, TransactionControlTravelsWithTheNextStatement) {
    struct Case {
        const char* what;
        std::function<void(ServerConnectionTest&)> run;
        int64_t requests;
        int64_t added; // to the sum of v
    };
    const std::vector<Case> cases = {
        {"a write of one statement: the statement with its BEGIN, the COMMIT",
         [](auto& test) {
             Transaction write(*test.connection);
             test.Write("UPDATE t SET v = v + 1 WHERE n = 1");
             write.Commit();
         },
         2, 1},
        {"a write that ran nothing is never sent",
         [](auto& test) {
             Transaction write(*test.connection);
             write.Commit();
             Transaction abandoned(*test.connection);
         },
         0, 0},
        {"a snapshot of two reads: the rollback is read with the next request",
         [](auto& test) {
             ReadSnapshot snapshot(*test.connection);
             test.Number("SELECT v FROM t WHERE n = 1");
             test.Number("SELECT v FROM t WHERE n = 2");
         },
         2, 0},
        {"a statement is prepared in the request of its first use",
         [](auto& test) {
             static int made = 0;
             test.Number("SELECT v + " + std::to_string(++made) + " FROM t WHERE n = 1");
         },
         1, 0},
        {"a snapshot that read nothing is never sent", [](auto& test) { ReadSnapshot snapshot(*test.connection); }, 0,
         0},
        {"two savepoint writes in an outer transaction: BEGIN, SAVEPOINT and RELEASE go with the statements",
         [](auto& test) {
             test.connection->BeginOuterTransaction();
             for (int i = 0; i < 2; ++i) {
                 Transaction write(*test.connection);
                 test.Write("UPDATE t SET v = v + 1 WHERE n = 2");
                 write.Commit();
             }
             test.connection->CommitOuterTransaction();
         },
         3, 2},
        {"an outer transaction that ran nothing is never sent",
         [](auto& test) {
             test.connection->BeginOuterTransaction();
             Transaction write(*test.connection);
             write.Commit();
             test.connection->RollbackOuterTransaction();
         },
         0, 0},
    };
    // The second round counts: the statements are prepared in the first.
    for (int round = 1; round <= 2; ++round)
        for (const auto& c : cases) {
            const int64_t sum = Number("SELECT SUM(v) FROM t");
            const int64_t before = PostgresRoundTrips();
            c.run(*this);
            if (round == 2) {
                EXPECT_EQ(PostgresRoundTrips() - before, c.requests) << c.what;
            }
            EXPECT_FALSE(connection->InTransaction()) << c.what;
            EXPECT_EQ(Number("SELECT SUM(v) FROM t") - sum, c.added) << c.what;
        }
}

TEST_F(ServerConnectionTest, AFailureIsTheStatementsAndLeavesNoTransactionBehind) {
    // A write whose first statement fails: the server's state of the failure, nothing written, no transaction.
    try {
        Transaction write(*connection);
        Write("INSERT INTO t VALUES (1, 5)");
        write.Commit();
        ADD_FAILURE() << "a duplicate key was written";
    } catch (const PostgresError& error) {
        EXPECT_EQ(error.state, "23505");
    }
    EXPECT_FALSE(connection->InTransaction());

    // A read of a snapshot that fails, then one that works.
    {
        ReadSnapshot snapshot(*connection);
        EXPECT_THROW(Number("SELECT v FROM missing"), CvError);
    }
    EXPECT_FALSE(connection->InTransaction());

    // A statement that cannot be prepared fails at its first use with the server's reason, and is prepared
    // again when next used.
    try {
        Number("SELECT v FROM later");
        ADD_FAILURE() << "a missing table was read";
    } catch (const PostgresError& error) {
        EXPECT_EQ(error.state, "42P01");
        EXPECT_STREQ(error.what(), "the statement cannot be prepared: relation \"later\" does not exist");
    }
    connection->Execute("CREATE TABLE later (v INTEGER)");
    connection->Execute("INSERT INTO later VALUES (4)");
    EXPECT_EQ(Number("SELECT v FROM later"), 4);

    // In an outer transaction a failed savepoint write is undone alone and the outer one goes on.
    connection->BeginOuterTransaction();
    {
        Transaction write(*connection);
        Write("UPDATE t SET v = 7 WHERE n = 1");
        write.Commit();
    }
    try {
        Transaction write(*connection);
        Write("UPDATE t SET v = 8 WHERE n = 2");
        Write("INSERT INTO t VALUES (2, 9)");
        write.Commit();
        ADD_FAILURE() << "a duplicate key was written";
    } catch (const PostgresError& error) {
        EXPECT_EQ(error.state, "23505");
    }
    EXPECT_TRUE(connection->InTransaction());
    connection->CommitOuterTransaction();
    EXPECT_FALSE(connection->InTransaction());
    EXPECT_EQ(Number("SELECT v FROM t WHERE n = 1"), 7);
    EXPECT_EQ(Number("SELECT v FROM t WHERE n = 2"), 0);
    EXPECT_EQ(Number("SELECT COUNT(*) FROM t"), 2);
}

TEST_F(ServerConnectionTest, AColumnReadAsANumberReadsAsC) {
    // Digits as the server writes whole numbers, and the texts that are no plain digits.
    const std::vector<std::pair<const char*, int64_t>> cases = {
        {"(-2147483648)::INTEGER", -2147483648LL},
        {"9223372036854775807::BIGINT", 9223372036854775807LL},
        {"TRUE", 1},
        {"' 12'", 12},
        {"'+5'", 5},
        {"'12abc'", 12},
        {"'99999999999999999999'", 9223372036854775807LL},
        {"1.75::DOUBLE PRECISION", 1},
        {"''", 0},
    };
    for (const auto& [value, number] : cases) EXPECT_EQ(Number(std::string("SELECT ") + value), number) << value;
}

TEST_F(ServerConnectionTest, AWriteTheServerUndidForADeadlockRunsAgainAndLosesNothing) {
    PGconn* other = PQconnectdb(schema->Address().c_str());
    PGconn* watcher = PQconnectdb(schema->Address().c_str());
    ASSERT_EQ(PQstatus(other), CONNECTION_OK);
    auto run = [](PGconn* on, const char* sql) {
        PGresult* result = PQexec(on, sql);
        const auto status = PQresultStatus(result);
        EXPECT_TRUE(status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) << sql << ": " << PQerrorMessage(on);
        PQclear(result);
    };
    // Another client holds row 1. It waits long before it looks for deadlocks, so the platform's side finds it.
    run(other, "SET deadlock_timeout = '10min'");
    run(other, "BEGIN");
    run(other, "UPDATE t SET v = 10 WHERE n = 1");

    int attempts = 0;
    RepeatableWrite(*connection, [&] {
        if (++attempts == 1) {
            // The write holds row 2; the other client asks for it and waits; the write then asks for row 1.
            Write("UPDATE t SET v = v + 1 WHERE n = 2");
            ASSERT_TRUE(PQsendQuery(other, "UPDATE t SET v = 20 WHERE n = 2"));
            for (bool waiting = false; !waiting;) {
                PGresult* result = PQexec(watcher, "SELECT COUNT(*) FROM pg_locks WHERE NOT granted");
                waiting = PQntuples(result) == 1 && std::string(PQgetvalue(result, 0, 0)) != "0";
                PQclear(result);
            }
            Write("UPDATE t SET v = v + 1 WHERE n = 1");
            ADD_FAILURE() << "no deadlock";
            return;
        }
        // The server undid the first attempt: the other client got row 2 and commits.
        for (PGresult* result = PQgetResult(other); result; result = PQgetResult(other)) {
            EXPECT_EQ(PQresultStatus(result), PGRES_COMMAND_OK) << PQresultErrorMessage(result);
            PQclear(result);
        }
        run(other, "COMMIT");
        Write("UPDATE t SET v = v + 1 WHERE n = 2");
        Write("UPDATE t SET v = v + 1 WHERE n = 1");
    });
    PQfinish(watcher);
    PQfinish(other);

    EXPECT_EQ(attempts, 2);
    EXPECT_FALSE(connection->InTransaction());
    EXPECT_EQ(Number("SELECT v FROM t WHERE n = 1"), 11);
    EXPECT_EQ(Number("SELECT v FROM t WHERE n = 2"), 21);
}

} // namespace
} // namespace quendra::embedded
