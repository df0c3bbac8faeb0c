// Read transactions around the reads of one operation.
#include "ReadSnapshot.h"

#include "CvError.h"

namespace quendra::embedded {

ReadSnapshot::ReadSnapshot(SqliteConnection& connection) : connection_(connection) {
    if (!sqlite3_get_autocommit(connection_.Handle())) return;
    connection_.Prepare("BEGIN").Run();
    began_ = true;
}

ReadSnapshot::~ReadSnapshot() {
    if (!began_ || sqlite3_get_autocommit(connection_.Handle())) return;
    try {
        connection_.Prepare("COMMIT").Run();
    } catch (const CvError&) {
        // A transaction that only read loses nothing when it is rolled back instead.
        sqlite3_exec(connection_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

} // namespace quendra::embedded
