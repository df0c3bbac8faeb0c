// SqliteConnection: one SQLite connection with its prepared statements kept for reuse.
#pragma once

#include "Statement.h"

#include <sqlite3.h>

#include <memory>
#include <string>
#include <unordered_map>

namespace quendra::embedded {

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

private:
    sqlite3* db_ = nullptr;
    std::unordered_map<std::string, sqlite3_stmt*> cache_;
};

} // namespace quendra::embedded
