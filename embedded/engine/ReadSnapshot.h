// ReadSnapshot: the reads of one platform operation made under a single read transaction.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Connection.h"

namespace quendra::embedded {

// An operation that runs several reads takes the database's read lock once instead of once per statement,
// and sees one state of the database throughout. Inside a write transaction it does nothing: the reads
// belong to that transaction already. Only reads may run while it is open.
class ReadSnapshot {
public:
    explicit ReadSnapshot(Connection& connection) : connection_(connection), began_(connection.BeginRead()) {}
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;
    ~ReadSnapshot() {
        if (began_) connection_.EndRead();
    }

private:
    Connection& connection_;
    bool began_;
};

} // namespace quendra::embedded
