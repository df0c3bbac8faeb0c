// SqliteConnection: one SQLite connection with its prepared statements kept for reuse.
#pragma once

#include "Value.h"

#include <sqlite3.h>

#include <memory>
#include <string>
#include <unordered_map>

namespace quendra::embedded {

// A prepared statement borrowed from the connection's cache; reset when it goes out of scope.
class Statement {
public:
    Statement(sqlite3_stmt* statement, sqlite3* db, std::shared_ptr<sqlite3_stmt> owner = nullptr)
        : statement_(statement), db_(db), owner_(std::move(owner)) {}
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    Statement& Bind(int position, const Value& value);
    Statement& BindInt(int position, int64_t value);
    Statement& BindText(int position, const std::string& value);
    // True while a row is there.
    bool Step();
    void Run(); // steps to the end
    int ColumnCount() const;
    std::string ColumnName(int column) const;
    bool IsNull(int column) const;
    int64_t Int(int column) const;
    std::string Text(int column) const;
    // The column as the platform hands it over: a number in the attribute's type, or as stored when type is 0.
    Value Get(int column, int32_t type) const;
    sqlite3_stmt* Raw() const { return statement_; }

private:
    sqlite3_stmt* statement_;
    sqlite3* db_;
    std::shared_ptr<sqlite3_stmt> owner_; // set when the statement is not kept in the cache
};

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

// One write: BEGIN IMMEDIATE now, COMMIT by Commit(), ROLLBACK when left without it.
class Transaction {
public:
    explicit Transaction(SqliteConnection& connection);
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();
    void Commit();

private:
    SqliteConnection& connection_;
    bool done_ = false;
};

} // namespace quendra::embedded
