// SqliteConnection: one SQLite connection with its prepared statements kept for reuse.
//
// The cache hands a statement to one user at a time: asked again for the same SQL while that statement is
// in use (a nested read), it prepares a fresh one that lives only as long as its user. It keeps at most
// `capacity` statements and finalizes the least recently used idle one that is not pinned to make room.
#pragma once

#include "Statement.h"

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
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
    SqliteConnection(const std::string& path, int flags, size_t capacity = 256);
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;
    ~SqliteConnection();

    struct KeptStatement {
        sqlite3_stmt* statement = nullptr;
        const std::string* sql = nullptr; // the cache's key
        uint64_t lastUse = 0;
        bool busy = false;   // a Statement borrows it
        bool pinned = false; // never dropped
    };
    // The kept statement for that SQL, or a fresh one while the kept one is in use.
    Statement Prepare(const std::string& sql);
    // The same for a statement pinned before, without looking it up.
    Statement Prepare(KeptStatement& kept);
    // Keeps the statement for that SQL for the connection's whole life (for a few statements of hot paths).
    KeptStatement& Pin(const std::string& sql);
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
    sqlite3_stmt* Compile(const std::string& sql, unsigned flags);
    KeptStatement& Keep(const std::string& sql);
    Statement Fresh(const std::string& sql);
    void MakeRoom();

    sqlite3* db_ = nullptr;
    std::string path_;
    bool outer_ = false;
    size_t capacity_;
    uint64_t uses_ = 0;
    std::unordered_map<std::string, KeptStatement> cache_;
};

} // namespace quendra::embedded
