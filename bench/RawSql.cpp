// The floor's SQLite connection: prepared statements kept for the connection's life.
#include "RawSql.h"

#include <stdexcept>

namespace quendra::bench {

RawStatement::~RawStatement() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

RawStatement& RawStatement::Int(int position, int64_t value) {
    sqlite3_bind_int64(statement_, position, value);
    return *this;
}

RawStatement& RawStatement::Text(int position, const std::string& value) {
    sqlite3_bind_text(statement_, position, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
    return *this;
}

RawStatement& RawStatement::Null(int position) {
    sqlite3_bind_null(statement_, position);
    return *this;
}

bool RawStatement::Step() {
    int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    throw std::runtime_error(std::string("floor statement failed: ") + sqlite3_errmsg(db_));
}

void RawStatement::Run() {
    while (Step()) {
    }
}

std::string RawStatement::ColumnText(int column) const {
    const unsigned char* text = sqlite3_column_text(statement_, column);
    return text ? std::string(reinterpret_cast<const char*>(text), sqlite3_column_bytes(statement_, column)) : "";
}

RawSql::RawSql(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open " + path);
    sqlite3_busy_timeout(db_, 10000);
    Exec("PRAGMA synchronous=NORMAL");
}

RawSql::~RawSql() {
    for (auto& [sql, statement] : cache_) sqlite3_finalize(statement);
    sqlite3_close_v2(db_);
}

RawStatement RawSql::Prepare(const std::string& sql) {
    auto found = cache_.find(sql);
    if (found != cache_.end()) return RawStatement(found->second, db_);
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(db_, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &statement,
                           nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot prepare " + sql + ": " + sqlite3_errmsg(db_));
    cache_.emplace(sql, statement);
    return RawStatement(statement, db_);
}

void RawSql::Exec(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        throw std::runtime_error("floor exec failed: " + sql + ": " + message);
    }
}

} // namespace quendra::bench
