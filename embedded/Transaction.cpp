// Transactions: BEGIN IMMEDIATE on making, COMMIT when asked, ROLLBACK otherwise; savepoints inside an
// outer transaction.
#include "Transaction.h"

#include "CvError.h"

namespace quendra::embedded {

// BEGIN and COMMIT come from the statement cache: every platform write runs them.
Transaction::Transaction(SqliteConnection& connection) : connection_(connection) {
    if (!connection_.InOuterTransaction()) {
        connection_.Prepare("BEGIN IMMEDIATE").Run();
        return;
    }
    // After a full disk or an I/O error SQLite may have rolled the outer transaction back itself: a write
    // now would be committed on its own, outside the transaction that can still be undone.
    if (sqlite3_get_autocommit(connection_.Handle()))
        throw CvError("the database undid the open transaction after a failure: nothing more is written");
    connection_.Prepare("SAVEPOINT platform_write").Run();
    savepoint_ = true;
}

Transaction::~Transaction() {
    if (done_) return;
    if (!savepoint_) {
        sqlite3_exec(connection_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    } else if (!sqlite3_get_autocommit(connection_.Handle())) {
        sqlite3_exec(connection_.Handle(), "ROLLBACK TO platform_write; RELEASE platform_write", nullptr, nullptr,
                     nullptr);
    }
}

void Transaction::Commit() {
    connection_.Prepare(savepoint_ ? "RELEASE platform_write" : "COMMIT").Run();
    done_ = true;
}

} // namespace quendra::embedded
