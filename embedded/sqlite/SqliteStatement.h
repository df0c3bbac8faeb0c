// SqliteStatement: one prepared SQLite statement, finalized with it.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Statement.h"

#include <sqlite3.h>

namespace quendra::embedded {

class SqliteStatement final : public StatementBody {
public:
    SqliteStatement(sqlite3_stmt* statement, sqlite3* db) : statement_(statement), db_(db) {}
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;
    ~SqliteStatement() override { sqlite3_finalize(statement_); }

    void Bind(int position, const Value& value) override;
    void BindInt(int position, int64_t value) override;
    void BindText(int position, const std::string& value) override;
    bool Step() override;
    int ColumnCount() const override { return sqlite3_column_count(statement_); }
    std::string ColumnName(int column) const override;
    bool IsNull(int column) const override { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }
    int64_t Int(int column) const override { return sqlite3_column_int64(statement_, column); }
    std::string Text(int column) const override;
    Value Get(int column, int32_t type) const override;
    void Reset() noexcept override {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
    sqlite3_stmt* Raw() const { return statement_; }

private:
    [[noreturn]] void BindFailed() const;

    sqlite3_stmt* statement_;
    sqlite3* db_;
};

} // namespace quendra::embedded
