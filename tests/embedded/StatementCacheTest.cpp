// The connection's statement cache: one user per statement at a time, and a bounded number kept.
// SPDX-License-Identifier: Apache-2.0
#include "SqliteConnection.h"

#include <gtest/gtest.h>

#include <set>

namespace quendra::embedded {
namespace {

constexpr int kFlags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;

// The SQL of the connection's statements not finalized yet.
std::multiset<std::string> Live(SqliteConnection& connection) {
    std::multiset<std::string> live;
    for (sqlite3_stmt* statement = sqlite3_next_stmt(connection.Handle(), nullptr); statement;
         statement = sqlite3_next_stmt(connection.Handle(), statement))
        live.insert(sqlite3_sql(statement));
    return live;
}

TEST(StatementCacheTest, ANestedUseOfTheSameSqlLeavesTheOuterOneWhereItWas) {
    SqliteConnection connection(":memory:", kFlags);
    connection.Execute("CREATE TABLE T (N INTEGER); INSERT INTO T VALUES (1), (2), (3)");
    const std::string sql = "SELECT N FROM T ORDER BY N";
    Statement outer = connection.Prepare(sql);
    ASSERT_TRUE(outer.Step());
    EXPECT_EQ(outer.Int(0), 1);
    {
        Statement inner = connection.Prepare(sql);
        ASSERT_TRUE(inner.Step());
        EXPECT_EQ(inner.Int(0), 1);
    }
    ASSERT_TRUE(outer.Step());
    EXPECT_EQ(outer.Int(0), 2);
    EXPECT_EQ(Live(connection), (std::multiset<std::string>{sql}));
}

TEST(StatementCacheTest, KeepsItsCapacityByDroppingTheLeastRecentlyUsedIdleUnpinnedStatement) {
    SqliteConnection connection(":memory:", kFlags, 2);
    for (const char* sql : {"SELECT 1", "SELECT 2", "SELECT 1", "SELECT 3"}) connection.Prepare(sql).Run();
    EXPECT_EQ(Live(connection), (std::multiset<std::string>{"SELECT 1", "SELECT 3"}));
    {
        Statement first = connection.Prepare("SELECT 1");
        Statement third = connection.Prepare("SELECT 3");
        Statement fourth = connection.Prepare("SELECT 4"); // nothing idle to drop: not kept
        EXPECT_EQ(Live(connection), (std::multiset<std::string>{"SELECT 1", "SELECT 3", "SELECT 4"}));
        ASSERT_TRUE(first.Step());
        EXPECT_EQ(first.Int(0), 1);
    }
    EXPECT_EQ(Live(connection), (std::multiset<std::string>{"SELECT 1", "SELECT 3"}));

    connection.Pin("SELECT 0");
    for (const char* sql : {"SELECT 5", "SELECT 6"}) connection.Prepare(sql).Run();
    EXPECT_EQ(Live(connection), (std::multiset<std::string>{"SELECT 0", "SELECT 6"}));
}

} // namespace
} // namespace quendra::embedded
