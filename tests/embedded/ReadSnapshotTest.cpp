// Read transactions around several reads: opened only outside a write, always ended.
// SPDX-License-Identifier: Apache-2.0
#include "ReadSnapshot.h"

#include "CvError.h"
#include "SqliteConnection.h"
#include "Transaction.h"

#include <gtest/gtest.h>

namespace quendra::embedded {
namespace {

TEST(ReadSnapshotTest, EndsItsOwnTransactionAndLeavesAWriteOpen) {
    SqliteConnection connection(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    connection.Execute("CREATE TABLE T (N INTEGER)");
    {
        ReadSnapshot snapshot(connection);
        EXPECT_TRUE(connection.InTransaction());
        connection.Prepare("SELECT COUNT(*) FROM T").Run();
    }
    EXPECT_FALSE(connection.InTransaction());

    try {
        ReadSnapshot snapshot(connection);
        throw CvError("a read failed");
    } catch (const CvError&) {
    }
    EXPECT_FALSE(connection.InTransaction());

    Transaction write(connection);
    connection.Execute("INSERT INTO T (N) VALUES (1)");
    { ReadSnapshot snapshot(connection); }
    EXPECT_TRUE(connection.InTransaction());
    write.Commit();
    EXPECT_FALSE(connection.InTransaction());
    Statement count = connection.Prepare("SELECT COUNT(*) FROM T");
    ASSERT_TRUE(count.Step());
    EXPECT_EQ(count.Int(0), 1);
}

} // namespace
} // namespace quendra::embedded
