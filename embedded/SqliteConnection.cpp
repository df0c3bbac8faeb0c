// SQLite connections and their statement cache, failing with CvError.
#include "SqliteConnection.h"

#include "CvError.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace quendra::embedded {

int BusyWaitMilliseconds() {
    // QUENDRA_BUSY_WAIT_MS shortens or lengthens the wait (scripts that must not hang, tests).
    const char* given = std::getenv("QUENDRA_BUSY_WAIT_MS");
    if (!given || !*given) return 10000;
    char* end = nullptr;
    long milliseconds = std::strtol(given, &end, 10);
    return *end || milliseconds < 0 || milliseconds > 3600000 ? 10000 : static_cast<int>(milliseconds);
}

namespace {

std::string WaitText() {
    int milliseconds = BusyWaitMilliseconds();
    if (milliseconds % 1000 == 0) return std::to_string(milliseconds / 1000) + " seconds";
    return std::to_string(milliseconds) + " milliseconds";
}

} // namespace

std::string FailureText(sqlite3* db, int rc, const std::string& path) {
    std::string detail = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    const std::string file = path.empty() || path == ":memory:" ? "" : " " + path;
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return "the database" + file + " is locked by another program (waited " + WaitText() +
               "): try again when that program is done, or close it";
    case SQLITE_FULL:
        return "the disk holding the database" + file + " is full: free some space, then try again";
    case SQLITE_READONLY:
        return "the database" + file + " cannot be written, the file or its folder is read-only (" + detail +
               "): make both writable, then try again";
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        return "no permission to use the database" + file + " or its folder (" + detail +
               "): ask for access to both, then try again";
    case SQLITE_NOTADB:
        return "the file" + file + " is not a database";
    case SQLITE_CORRUPT:
        return "the database" + file + " is damaged (" + detail + "): restore it from a backup";
    case SQLITE_IOERR:
        return "the database" + file + " cannot be read or written (" + detail + "): check the disk";
    default:
        return "the database failed: " + detail;
    }
}

SqliteConnection::SqliteConnection(const std::string& path, int flags, size_t capacity)
    : path_(path), capacity_(capacity) {
    // A connection is used by one thread at a time (the platform has no threads of its own), so SQLite need not
    // take the connection's mutex around every call.
    int rc = sqlite3_open_v2(path.c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = FailureText(db_, rc, path_);
        sqlite3_close(db_);
        db_ = nullptr;
        throw CvError(message);
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, BusyWaitMilliseconds());
}

SqliteConnection::~SqliteConnection() {
    for (auto& [sql, kept] : cache_) sqlite3_finalize(kept.statement);
    sqlite3_close_v2(db_);
}

Statement SqliteConnection::Prepare(const std::string& sql) {
    auto found = cache_.find(sql);
    if (found != cache_.end()) return Prepare(found->second);
    MakeRoom();
    if (cache_.size() >= capacity_) return Fresh(sql); // every kept statement is in use
    return Prepare(Keep(sql));
}

Statement SqliteConnection::Prepare(KeptStatement& kept) {
    if (kept.busy) return Fresh(*kept.sql); // a nested use of the same SQL
    kept.lastUse = ++uses_;
    return Statement(kept.statement, db_, kept.busy);
}

SqliteConnection::KeptStatement& SqliteConnection::Pin(const std::string& sql) {
    auto found = cache_.find(sql);
    if (found == cache_.end()) MakeRoom();
    KeptStatement& kept = found != cache_.end() ? found->second : Keep(sql);
    kept.pinned = true;
    return kept;
}

SqliteConnection::KeptStatement& SqliteConnection::Keep(const std::string& sql) {
    sqlite3_stmt* statement = Compile(sql, SQLITE_PREPARE_PERSISTENT);
    auto [entry, added] = cache_.try_emplace(sql);
    entry->second.statement = statement;
    entry->second.sql = &entry->first;
    return entry->second;
}

Statement SqliteConnection::Fresh(const std::string& sql) {
    sqlite3_stmt* fresh = Compile(sql, 0);
    return Statement(fresh, db_, std::shared_ptr<sqlite3_stmt>(fresh, sqlite3_finalize));
}

sqlite3_stmt* SqliteConnection::Compile(const std::string& sql, unsigned flags) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(db_, sql.c_str(), static_cast<int>(sql.size()), flags, &statement, nullptr) != SQLITE_OK)
        Fail("the statement cannot be prepared");
    return statement;
}

void SqliteConnection::MakeRoom() {
    if (cache_.size() < capacity_) return;
    auto oldest = cache_.end();
    for (auto it = cache_.begin(); it != cache_.end(); ++it)
        if (!it->second.busy && !it->second.pinned &&
            (oldest == cache_.end() || it->second.lastUse < oldest->second.lastUse))
            oldest = it;
    if (oldest == cache_.end()) return;
    sqlite3_finalize(oldest->second.statement);
    cache_.erase(oldest);
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
    int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error);
    sqlite3_free(error);
    if (rc != SQLITE_OK) throw CvError(FailureText(db_, rc, path_));
}

void SqliteConnection::Fail(const std::string& what) const {
    int rc = sqlite3_errcode(db_);
    switch (rc & 0xff) {
    case SQLITE_ERROR:
    case SQLITE_MISUSE:
    case SQLITE_RANGE:
    case SQLITE_AUTH:
        throw CvError(what + ": " + sqlite3_errmsg(db_));
    default:
        throw CvError(FailureText(db_, rc, path_));
    }
}

void SqliteConnection::BeginOuterTransaction() {
    if (outer_ || !sqlite3_get_autocommit(db_)) throw CvError("a transaction is open already");
    Prepare("BEGIN IMMEDIATE").Run();
    outer_ = true;
}

void SqliteConnection::CommitOuterTransaction() {
    if (!outer_) throw CvError("no transaction is open");
    outer_ = false;
    // SQLite may have rolled the whole transaction back itself after a failure (a full disk, an I/O error).
    if (sqlite3_get_autocommit(db_)) throw CvError("the database undid the open transaction after a failure");
    try {
        Prepare("COMMIT").Run();
    } catch (const CvError&) {
        // Nothing of it is kept (a full disk): the connection is left without a transaction, as after a rollback.
        if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void SqliteConnection::RollbackOuterTransaction() {
    if (!outer_) throw CvError("no transaction is open");
    outer_ = false;
    if (!sqlite3_get_autocommit(db_)) Execute("ROLLBACK");
}

} // namespace quendra::embedded
