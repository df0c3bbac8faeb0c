// SQLite connections and their statement cache, failing with CvError.
#include "SqliteConnection.h"

#include "CvError.h"

#include <cmath>
#include <limits>

namespace quendra::embedded {

SqliteConnection::SqliteConnection(const std::string& path, int flags) {
    int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close(db_);
        db_ = nullptr;
        throw CvError("the database cannot be opened: " + message);
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, 10000);
}

SqliteConnection::~SqliteConnection() {
    for (auto& [sql, statement] : cache_) sqlite3_finalize(statement);
    sqlite3_close_v2(db_);
}

Statement SqliteConnection::Prepare(const std::string& sql) {
    auto found = cache_.find(sql);
    if (found != cache_.end()) return Statement(found->second, db_);
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(db_, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &statement,
                           nullptr) != SQLITE_OK)
        Fail("the statement cannot be prepared");
    cache_.emplace(sql, statement);
    return Statement(statement, db_);
}

std::unique_ptr<Statement> SqliteConnection::PrepareOnce(const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &statement, &tail) != SQLITE_OK)
        Fail("the statement cannot be prepared");
    if (!statement) throw CvError("the SQL text holds no statement");
    auto owner = std::shared_ptr<sqlite3_stmt>(statement, sqlite3_finalize);
    std::string rest = tail ? tail : "";
    if (rest.find_first_not_of(" \t\r\n;") != std::string::npos)
        throw CvError("the SQL text holds more than one statement");
    return std::make_unique<Statement>(statement, db_, owner);
}

namespace {

int OnlyReading(void*, int action, const char*, const char*, const char*, const char*) {
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_FUNCTION:
    case SQLITE_RECURSIVE:
        return SQLITE_OK;
    default:
        return SQLITE_DENY;
    }
}

} // namespace

std::unique_ptr<Statement> SqliteConnection::PrepareReading(const std::string& sql) {
    sqlite3_set_authorizer(db_, OnlyReading, nullptr);
    try {
        auto statement = PrepareOnce(sql);
        sqlite3_set_authorizer(db_, nullptr, nullptr);
        return statement;
    } catch (const CvError&) {
        sqlite3_set_authorizer(db_, nullptr, nullptr);
        if ((sqlite3_errcode(db_) & 0xff) == SQLITE_AUTH)
            throw CvError("only statements that read can be run as a query: " + sql);
        throw;
    }
}

void SqliteConnection::Execute(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : sqlite3_errmsg(db_);
        sqlite3_free(error);
        throw CvError("the database failed: " + message);
    }
}

void SqliteConnection::Fail(const std::string& what) const {
    throw CvError(what + ": " + sqlite3_errmsg(db_));
}

} // namespace quendra::embedded
