// Statement: a prepared SQLite statement with its values bound and its columns read as platform values.
#pragma once

#include "Value.h"

#include <sqlite3.h>

#include <memory>
#include <string>

namespace quendra::embedded {

// A prepared statement, borrowed from the connection's cache or owned alone; reset when it goes out of scope,
// which hands a borrowed one back to the cache.
class Statement {
public:
    // Owned: finalized with the last copy of owner.
    Statement(sqlite3_stmt* statement, sqlite3* db, std::shared_ptr<sqlite3_stmt> owner)
        : statement_(statement), db_(db), owner_(std::move(owner)) {}
    // Borrowed: busy is set while the statement lives.
    Statement(sqlite3_stmt* statement, sqlite3* db, bool& busy) : statement_(statement), db_(db), busy_(&busy) {
        busy = true;
    }
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
    bool* busy_ = nullptr;                // the cache's mark of a borrowed statement
};

} // namespace quendra::embedded
