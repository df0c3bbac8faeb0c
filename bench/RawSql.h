// RawSql: a plain connection with statements prepared once, for the hand-written floor of each workload: to a
// SQLite file, or through libpq to a PostgreSQL server (the same SQL, with `?` placeholders).
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <libpq-fe.h>
#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace quendra::bench {

class RawSql;

// A cached statement, reset and unbound when it goes out of scope. On a server it runs at its first Step
// (one round trip) and then walks the rows it received.
class RawStatement {
public:
    RawStatement(sqlite3_stmt* statement, sqlite3* db) : statement_(statement), db_(db) {}
    RawStatement(RawSql& server, const std::string& name, int parameters)
        : server_(&server), name_(&name), values_(static_cast<size_t>(parameters)) {}
    RawStatement(const RawStatement&) = delete;
    RawStatement& operator=(const RawStatement&) = delete;
    ~RawStatement();

    RawStatement& Int(int position, int64_t value);
    RawStatement& Text(int position, const std::string& value);
    RawStatement& Null(int position);
    // True while a row is there; throws on an error.
    bool Step();
    void Run();
    int64_t ColumnInt(int column) const;
    std::string ColumnText(int column) const;
    double ColumnDouble(int column) const;
    bool IsNull(int column) const;
    int Columns() const;

private:
    sqlite3_stmt* statement_ = nullptr;
    sqlite3* db_ = nullptr;
    RawSql* server_ = nullptr;
    const std::string* name_ = nullptr;
    std::vector<std::optional<std::string>> values_;
    PGresult* result_ = nullptr;
    int row_ = -1;
};

class RawSql {
public:
    // Opens the file with the pragmas the embedded platform uses for its own connection, or connects to the
    // server at a postgresql:// address.
    explicit RawSql(const std::string& path);
    RawSql(const RawSql&) = delete;
    RawSql& operator=(const RawSql&) = delete;
    ~RawSql();

    RawStatement Prepare(const std::string& sql);
    void Exec(const std::string& sql);
    int64_t Changes() const { return server_ ? changes_ : sqlite3_changes64(db_); }
    bool OnServer() const { return server_ != nullptr; }
    // Requests sent to the server and waited for so far.
    int64_t RoundTrips() const { return roundTrips_; }

private:
    friend class RawStatement;
    // Runs a prepared statement on the server; the rows, or throws.
    PGresult* Run(const std::string& name, const std::vector<std::optional<std::string>>& values);

    sqlite3* db_ = nullptr;
    std::unordered_map<std::string, sqlite3_stmt*> cache_;
    PGconn* server_ = nullptr;
    struct Prepared {
        std::string name;
        int parameters = 0;
    };
    std::unordered_map<std::string, Prepared> prepared_;
    int64_t changes_ = 0;
    int64_t roundTrips_ = 0;
};

} // namespace quendra::bench
