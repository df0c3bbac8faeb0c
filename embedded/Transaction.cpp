// Transactions: BEGIN IMMEDIATE on making, COMMIT when asked, ROLLBACK otherwise.
#include "Transaction.h"

namespace quendra::embedded {

// BEGIN and COMMIT come from the statement cache: every platform write runs them.
Transaction::Transaction(SqliteConnection& connection) : connection_(connection) {
    connection_.Prepare("BEGIN IMMEDIATE").Run();
}

Transaction::~Transaction() {
    if (!done_) sqlite3_exec(connection_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::Commit() {
    connection_.Prepare("COMMIT").Run();
    done_ = true;
}

} // namespace quendra::embedded
