// ReadSnapshot: the reads of one platform operation made under a single read transaction.
#pragma once

#include "SqliteConnection.h"

namespace quendra::embedded {

// An operation that runs several reads takes the read lock of the write-ahead log once instead of once per
// statement, and sees one state of the database throughout. Inside a write transaction it does nothing: the
// reads belong to that transaction already. Only reads may run while it is open.
class ReadSnapshot {
public:
    explicit ReadSnapshot(SqliteConnection& connection);
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;
    ~ReadSnapshot();

private:
    SqliteConnection& connection_;
    bool began_ = false;
};

} // namespace quendra::embedded
