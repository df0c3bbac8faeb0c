// Transaction: one write to the database, committed or rolled back as a whole.
#pragma once

#include "Connection.h"

namespace quendra::embedded {

// One write: a transaction begun now, committed by Commit(), rolled back when left without it. Inside the
// connection's outer transaction it is a savepoint instead, released by Commit() and rolled back to when
// left without it, so that the outer transaction goes on.
class Transaction {
public:
    explicit Transaction(Connection& connection) : connection_(connection), savepoint_(connection.BeginWrite()) {}
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction() {
        if (!done_) connection_.AbandonWrite(savepoint_);
    }
    void Commit() {
        connection_.CommitWrite(savepoint_);
        done_ = true;
    }

private:
    Connection& connection_;
    bool savepoint_;
    bool done_ = false;
};

} // namespace quendra::embedded
