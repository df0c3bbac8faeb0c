// RawSql: a plain SQLite connection with statements prepared once, for the hand-written floor of each workload.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <unordered_map>

namespace quendra::bench {

// A cached statement, reset and unbound when it goes out of scope.
class RawStatement {
public:
    RawStatement(sqlite3_stmt* statement, sqlite3* db) : statement_(statement), db_(db) {}
    RawStatement(const RawStatement&) = delete;
    RawStatement& operator=(const RawStatement&) = delete;
    ~RawStatement();

    RawStatement& Int(int position, int64_t value);
    RawStatement& Text(int position, const std::string& value);
    RawStatement& Null(int position);
    // True while a row is there; throws on an error.
    bool Step();
    void Run();
    int64_t ColumnInt(int column) const { return sqlite3_column_int64(statement_, column); }
    std::string ColumnText(int column) const;
    double ColumnDouble(int column) const { return sqlite3_column_double(statement_, column); }
    bool IsNull(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }
    int Columns() const { return sqlite3_column_count(statement_); }

private:
    sqlite3_stmt* statement_;
    sqlite3* db_;
};

class RawSql {
public:
    // Opens the file with the pragmas the embedded platform uses for its own connection.
    explicit RawSql(const std::string& path);
    RawSql(const RawSql&) = delete;
    RawSql& operator=(const RawSql&) = delete;
    ~RawSql();

    RawStatement Prepare(const std::string& sql);
    void Exec(const std::string& sql);
    int64_t Changes() const { return sqlite3_changes64(db_); }

private:
    sqlite3* db_ = nullptr;
    std::unordered_map<std::string, sqlite3_stmt*> cache_;
};

} // namespace quendra::bench
