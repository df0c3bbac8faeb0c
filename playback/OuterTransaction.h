// OuterTransaction: one hook call as one transaction, rolled back unless committed, also when the call throws.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Database.h"

#include <exception>
#include <string>

namespace quendra::playback {

class OuterTransaction {
public:
    // Without `begin`, no transaction at all, and Commit does nothing.
    explicit OuterTransaction(embedded::Database& database, bool begin = true) : database_(database), open_(begin) {
        if (open_) database_.BeginOuterTransaction();
    }
    ~OuterTransaction() {
        try {
            if (open_) database_.RollbackOuterTransaction();
        } catch (const std::exception&) {
            // The database undid it already: a lost server, a failed commit.
        }
    }
    OuterTransaction(const OuterTransaction&) = delete;
    OuterTransaction& operator=(const OuterTransaction&) = delete;
    void Commit() {
        if (!open_) return;
        open_ = false;
        database_.CommitOuterTransaction();
    }

private:
    embedded::Database& database_;
    bool open_;
};

// Whether a call a person answers is one transaction: on a server, where it holds only the objects the call acts
// on while a window is open; not on a file, where it would hold the whole file, so each write is a transaction
// of its own there.
inline bool PersonsCallIsOneUnit(const std::string& address) {
    return embedded::IsServerAddress(address);
}

} // namespace quendra::playback
