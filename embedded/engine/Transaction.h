// Transaction: one write to the database, committed or rolled back as a whole.
// SPDX-License-Identifier: Apache-2.0
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

// Runs the write in a transaction of its own and commits it. When the database undid it for a conflict with
// another client, the write runs again from its start, up to three times in all; inside the outer
// transaction the conflict undid more than this write, so it goes to the caller at once.
template <class Write> void RepeatableWrite(Connection& connection, Write&& write) {
    for (int attempt = 1;; ++attempt) {
        try {
            Transaction transaction(connection);
            write();
            transaction.Commit();
            return;
        } catch (const WriteConflict&) {
            if (connection.InOuterTransaction() || attempt == 3) throw;
        }
    }
}

} // namespace quendra::embedded
