// Transaction: one write to the database, committed or rolled back as a whole.
#pragma once

#include "SqliteConnection.h"

namespace quendra::embedded {

// One write: BEGIN IMMEDIATE now, COMMIT by Commit(), ROLLBACK when left without it. Inside the
// connection's outer transaction it is a savepoint instead, released by Commit() and rolled back to
// when left without it, so that the outer transaction goes on.
class Transaction {
public:
    explicit Transaction(SqliteConnection& connection);
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();
    void Commit();

private:
    SqliteConnection& connection_;
    bool savepoint_ = false;
    bool done_ = false;
};

} // namespace quendra::embedded
