// The floor's connection: prepared statements kept for the connection's life, on SQLite or on a server.
// SPDX-License-Identifier: Apache-2.0
#include "RawSql.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace quendra::bench {

namespace {

bool Succeeded(const PGresult* result) {
    const auto status = PQresultStatus(result);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

// `?` placeholders as `$1`, `$2`… and `?N` as `$N`; SQLite's BEGIN IMMEDIATE as the server's BEGIN (its writes
// lock rows).
std::string ServerSql(const std::string& sql, int& parameters) {
    if (sql == "BEGIN IMMEDIATE") return "BEGIN";
    std::string text;
    bool quoted = false;
    int next = 0;
    for (size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (c == '\'') quoted = !quoted;
        if (c != '?' || quoted) {
            text += c;
            continue;
        }
        int number = 0;
        while (i + 1 < sql.size() && sql[i + 1] >= '0' && sql[i + 1] <= '9') number = number * 10 + (sql[++i] - '0');
        if (number == 0) number = ++next;
        parameters = std::max(parameters, number);
        text += '$';
        text += std::to_string(number);
    }
    return text;
}

} // namespace

RawStatement::~RawStatement() {
    if (server_) {
        PQclear(result_);
        return;
    }
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

RawStatement& RawStatement::Int(int position, int64_t value) {
    if (server_)
        values_.at(static_cast<size_t>(position - 1)) = std::to_string(value);
    else
        sqlite3_bind_int64(statement_, position, value);
    return *this;
}

RawStatement& RawStatement::Text(int position, const std::string& value) {
    if (server_)
        values_.at(static_cast<size_t>(position - 1)) = value;
    else
        sqlite3_bind_text(statement_, position, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
    return *this;
}

RawStatement& RawStatement::Null(int position) {
    if (server_)
        values_.at(static_cast<size_t>(position - 1)).reset();
    else
        sqlite3_bind_null(statement_, position);
    return *this;
}

bool RawStatement::Step() {
    if (server_) {
        if (!result_) result_ = server_->Run(*name_, values_);
        return ++row_ < PQntuples(result_);
    }
    int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    throw std::runtime_error(std::string("floor statement failed: ") + sqlite3_errmsg(db_));
}

void RawStatement::Run() {
    while (Step()) {
    }
}

int64_t RawStatement::ColumnInt(int column) const {
    if (!server_) return sqlite3_column_int64(statement_, column);
    const char* text = PQgetvalue(result_, row_, column);
    if (PQftype(result_, column) == 16) return *text == 't' ? 1 : 0; // boolean
    return std::atoll(text);
}

std::string RawStatement::ColumnText(int column) const {
    if (server_)
        return std::string(PQgetvalue(result_, row_, column), static_cast<size_t>(PQgetlength(result_, row_, column)));
    const unsigned char* text = sqlite3_column_text(statement_, column);
    return text ? std::string(reinterpret_cast<const char*>(text), sqlite3_column_bytes(statement_, column)) : "";
}

double RawStatement::ColumnDouble(int column) const {
    if (server_) return std::strtod(PQgetvalue(result_, row_, column), nullptr);
    return sqlite3_column_double(statement_, column);
}

bool RawStatement::IsNull(int column) const {
    if (server_) return PQgetisnull(result_, row_, column) != 0;
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

int RawStatement::Columns() const {
    if (server_) return result_ ? PQnfields(result_) : 0;
    return sqlite3_column_count(statement_);
}

RawSql::RawSql(const std::string& path) {
    if (path.starts_with("postgresql://") || path.starts_with("postgres://")) {
        server_ = PQconnectdb(path.c_str());
        if (PQstatus(server_) != CONNECTION_OK) {
            std::string message = PQerrorMessage(server_);
            PQfinish(server_);
            throw std::runtime_error("cannot connect to " + path + ": " + message);
        }
        return;
    }
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open " + path);
    sqlite3_busy_timeout(db_, 10000);
    Exec("PRAGMA synchronous=NORMAL");
}

RawSql::~RawSql() {
    for (auto& [sql, statement] : cache_) sqlite3_finalize(statement);
    if (db_) sqlite3_close_v2(db_);
    if (server_) PQfinish(server_);
}

RawStatement RawSql::Prepare(const std::string& sql) {
    if (server_) {
        auto found = prepared_.find(sql);
        if (found == prepared_.end()) {
            Prepared made;
            made.name = "floor_" + std::to_string(prepared_.size() + 1);
            const std::string text = ServerSql(sql, made.parameters);
            ++roundTrips_;
            PGresult* result = PQprepare(server_, made.name.c_str(), text.c_str(), made.parameters, nullptr);
            const bool ok = Succeeded(result);
            PQclear(result);
            if (!ok) throw std::runtime_error("cannot prepare " + sql + ": " + PQerrorMessage(server_));
            found = prepared_.emplace(sql, std::move(made)).first;
        }
        return RawStatement(*this, found->second.name, found->second.parameters);
    }
    auto found = cache_.find(sql);
    if (found != cache_.end()) return RawStatement(found->second, db_);
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(db_, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &statement,
                           nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot prepare " + sql + ": " + sqlite3_errmsg(db_));
    cache_.emplace(sql, statement);
    return RawStatement(statement, db_);
}

PGresult* RawSql::Run(const std::string& name, const std::vector<std::optional<std::string>>& values) {
    std::vector<const char*> texts;
    texts.reserve(values.size());
    for (const auto& value : values) texts.push_back(value ? value->c_str() : nullptr);
    ++roundTrips_;
    PGresult* result =
        PQexecPrepared(server_, name.c_str(), static_cast<int>(texts.size()), texts.data(), nullptr, nullptr, 0);
    if (!Succeeded(result)) {
        std::string message = PQresultErrorMessage(result);
        PQclear(result);
        throw std::runtime_error("floor statement failed: " + message);
    }
    const char* changed = PQcmdTuples(result);
    changes_ = changed && *changed ? std::atoll(changed) : 0;
    return result;
}

void RawSql::Exec(const std::string& sql) {
    if (server_) {
        int parameters = 0;
        ++roundTrips_;
        PGresult* result = PQexec(server_, ServerSql(sql, parameters).c_str());
        const bool ok = Succeeded(result);
        std::string message = ok ? "" : PQresultErrorMessage(result);
        PQclear(result);
        if (!ok) throw std::runtime_error("floor exec failed: " + sql + ": " + message);
        return;
    }
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        throw std::runtime_error("floor exec failed: " + sql + ": " + message);
    }
}

} // namespace quendra::bench
