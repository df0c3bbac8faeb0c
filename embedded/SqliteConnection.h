// SqliteConnection: one SQLite connection with its prepared statements kept for reuse.
#pragma once

#include "Statement.h"

#include <sqlite3.h>

#include <memory>
#include <string>
#include <unordered_map>

namespace quendra::embedded {

// What went wrong when SQLite answered rc, said so that a person knows what to do: a locked database,
// a full disk, a file or folder that cannot be written, a file that is no database or a damaged one.
std::string FailureText(sqlite3* db, int rc, const std::string& path);

// How long a statement waits for another program's lock before it fails as busy.
int BusyWaitMilliseconds();

class SqliteConnection {
public:
    // Opens (flags as sqlite3_open_v2); throws CvError with SQLite's message.
    SqliteConnection(const std::string& path, int flags);
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;
    ~SqliteConnection();

    Statement Prepare(const std::string& sql);
    // A statement compiled afresh and not kept (for SQL text from outside).
    std::unique_ptr<Statement> PrepareOnce(const std::string& sql);
    // The same for SQL text that may only read: a statement that writes, attaches a file, runs a pragma
    // or controls the connection's transaction is refused while it is compiled.
    std::unique_ptr<Statement> PrepareReading(const std::string& sql);
    void Execute(const std::string& sql);
    [[noreturn]] void Fail(const std::string& what) const;
    sqlite3* Handle() const { return db_; }
    int64_t Changes() const { return sqlite3_changes64(db_); }
    const std::string& Path() const { return path_; }

    // One transaction around many writes; each write's own transaction becomes a savepoint inside it.
    void BeginOuterTransaction();
    void CommitOuterTransaction();
    void RollbackOuterTransaction();
    bool InOuterTransaction() const { return outer_; }

private:
    sqlite3* db_ = nullptr;
    std::string path_;
    bool outer_ = false;
    std::unordered_map<std::string, sqlite3_stmt*> cache_;
};

} // namespace quendra::embedded
