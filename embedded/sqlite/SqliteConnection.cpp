// SQLite connections and their statement cache, failing with CvError.
// SPDX-License-Identifier: Apache-2.0
#include "SqliteConnection.h"

#include "AttributeType.h"
#include "SqliteFiles.h"
#include "SqliteStatement.h"

#include "CvError.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>

namespace quendra::embedded {

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

namespace {

class SqliteMachineFailure final : public CvError, public MachineFault {
public:
    using CvError::CvError;
};

} // namespace

void ThrowFailure(sqlite3* db, int rc, const std::string& path) {
    switch (rc & 0xff) {
    case SQLITE_FULL:
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR:
        throw SqliteMachineFailure(FailureText(db, rc, path));
    default:
        throw CvError(FailureText(db, rc, path));
    }
}

SqliteConnection::SqliteConnection(const std::string& path, int flags, size_t capacity)
    : path_(path), capacity_(capacity) {
    // A connection is used by one thread at a time (the platform has no threads of its own), so SQLite need not
    // take the connection's mutex around every call.
    int rc = sqlite3_open_v2(path.c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3* failed = std::exchange(db_, nullptr);
        try {
            ThrowFailure(failed, rc, path_);
        } catch (...) {
            sqlite3_close(failed);
            throw;
        }
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, BusyWaitMilliseconds());
}

SqliteConnection::~SqliteConnection() {
    cache_.clear();
    sqlite3_close_v2(db_);
}

std::string SqliteConnection::Name() const {
    const char* file = sqlite3_db_filename(db_, "main");
    return file ? file : "";
}

Statement SqliteConnection::Prepare(const std::string& sql) {
    auto found = cache_.find(sql);
    if (found != cache_.end()) return Prepare(found->second);
    MakeRoom();
    if (cache_.size() >= capacity_) return Fresh(sql); // every kept statement is in use
    return Prepare(Keep(sql));
}

Statement SqliteConnection::Prepare(KeptStatement& pinned) {
    auto& kept = static_cast<Kept&>(pinned);
    if (kept.busy) return Fresh(*kept.sql); // a nested use of the same SQL
    kept.lastUse = ++uses_;
    return Statement(*kept.body, kept.busy);
}

KeptStatement& SqliteConnection::Pin(const std::string& sql) {
    auto found = cache_.find(sql);
    if (found == cache_.end()) MakeRoom();
    Kept& kept = found != cache_.end() ? found->second : Keep(sql);
    kept.pinned = true;
    return kept;
}

SqliteConnection::Kept& SqliteConnection::Keep(const std::string& sql) {
    sqlite3_stmt* statement = Compile(sql, SQLITE_PREPARE_PERSISTENT);
    auto [entry, added] = cache_.try_emplace(sql);
    entry->second.body = std::make_unique<SqliteStatement>(statement, db_);
    entry->second.sql = &entry->first;
    return entry->second;
}

Statement SqliteConnection::Fresh(const std::string& sql) {
    return Statement(std::make_unique<SqliteStatement>(Compile(sql, 0), db_));
}

sqlite3_stmt* SqliteConnection::Compile(const std::string& sql, unsigned flags) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(db_, sql.c_str(), static_cast<int>(sql.size()), flags, &statement, nullptr) != SQLITE_OK)
        Fail("the statement cannot be prepared");
    return statement;
}

Statement SqliteConnection::Pinned(Kept*& kept, const char* sql) {
    if (!kept) kept = &static_cast<Kept&>(Pin(sql));
    return Prepare(*kept);
}

void SqliteConnection::MakeRoom() {
    if (cache_.size() < capacity_) return;
    auto oldest = cache_.end();
    for (auto it = cache_.begin(); it != cache_.end(); ++it)
        if (!it->second.busy && !it->second.pinned &&
            (oldest == cache_.end() || it->second.lastUse < oldest->second.lastUse))
            oldest = it;
    if (oldest == cache_.end()) return;
    cache_.erase(oldest);
}

std::unique_ptr<Statement> SqliteConnection::PrepareOnce(const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &statement, &tail) != SQLITE_OK)
        Fail("the statement cannot be prepared");
    if (!statement) throw CvError("the SQL text holds no statement");
    auto body = std::make_unique<SqliteStatement>(statement, db_);
    std::string rest = tail ? tail : "";
    if (rest.find_first_not_of(" \t\r\n;") != std::string::npos)
        throw CvError("the SQL text holds more than one statement");
    return std::make_unique<Statement>(std::move(body));
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
        if (!sqlite3_stmt_readonly(static_cast<SqliteStatement&>(statement->Body()).Raw()))
            throw CvError("only statements that read can be run as a query: " + sql);
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
    if (rc != SQLITE_OK) ThrowFailure(db_, rc, path_);
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
        ThrowFailure(db_, rc, path_);
    }
}

void SqliteConnection::BeginOuterTransaction() {
    if (outer_ || InTransaction()) throw CvError("a transaction is open already");
    Pinned(beginImmediate_, "BEGIN IMMEDIATE").Run();
    outer_ = true;
}

void SqliteConnection::CommitOuterTransaction() {
    if (!outer_) throw CvError("no transaction is open");
    outer_ = false;
    // SQLite may have rolled the whole transaction back itself after a failure (a full disk, an I/O error).
    if (sqlite3_get_autocommit(db_)) throw CvError("the database undid the open transaction after a failure");
    try {
        Pinned(commit_, "COMMIT").Run();
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

// BEGIN and COMMIT are pinned in the statement cache: every platform write runs them.
bool SqliteConnection::BeginWrite() {
    if (!outer_) {
        Pinned(beginImmediate_, "BEGIN IMMEDIATE").Run();
        return false;
    }
    // After a full disk or an I/O error SQLite may have rolled the outer transaction back itself: a write
    // now would be committed on its own, outside the transaction that can still be undone.
    if (sqlite3_get_autocommit(db_))
        throw CvError("the database undid the open transaction after a failure: nothing more is written");
    Prepare("SAVEPOINT platform_write").Run();
    return true;
}

void SqliteConnection::CommitWrite(bool savepoint) {
    if (savepoint)
        Prepare("RELEASE platform_write").Run();
    else
        Pinned(commit_, "COMMIT").Run();
}

void SqliteConnection::AbandonWrite(bool savepoint) noexcept {
    if (!savepoint)
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    else if (!sqlite3_get_autocommit(db_))
        sqlite3_exec(db_, "ROLLBACK TO platform_write; RELEASE platform_write", nullptr, nullptr, nullptr);
}

bool SqliteConnection::BeginRead() {
    if (!sqlite3_get_autocommit(db_)) return false;
    Pinned(begin_, "BEGIN").Run();
    return true;
}

void SqliteConnection::EndRead() noexcept {
    if (sqlite3_get_autocommit(db_)) return;
    try {
        Pinned(commit_, "COMMIT").Run();
    } catch (const CvError&) {
        // A transaction that only read loses nothing when it is rolled back instead.
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

std::string SqliteConnection::ColumnType(int32_t attributeType) const {
    switch (static_cast<AttributeType>(attributeType)) {
    case AttributeType::Int16:
    case AttributeType::Int32:
    case AttributeType::Bool:
        return "INTEGER";
    case AttributeType::Double:
        return "REAL";
    default:
        return "TEXT";
    }
}

void SqliteConnection::CreateNumberSources(const std::vector<std::pair<std::string, int64_t>>& sequences) {
    Execute("CREATE TABLE PLATFORM_COUNTER (NEXT_ID INTEGER NOT NULL)");
    Execute("INSERT INTO PLATFORM_COUNTER (NEXT_ID) VALUES (1)");
    Execute("CREATE TABLE PLATFORM_SEQUENCES (NAME TEXT PRIMARY KEY, NEXT_VALUE INTEGER NOT NULL)");
    for (const auto& [name, next] : sequences) {
        Statement statement = Prepare("INSERT INTO PLATFORM_SEQUENCES (NAME, NEXT_VALUE) VALUES (?, ?)");
        statement.BindText(1, name).BindInt(2, next).Run();
    }
}

void SqliteConnection::ReadyForWriting() {
    PrepareSqliteFileForWriting(*this);
}

void SqliteConnection::MarkFormat(int64_t format) {
    Execute("PRAGMA user_version=" + std::to_string(format));
}

// The counter is read first and moved on after the insert, so that the insert is the transaction's first
// write and SQLite needs no statement journal for it.
int32_t SqliteConnection::TakeObjectId() {
    Statement counter = Prepare("SELECT NEXT_ID FROM PLATFORM_COUNTER");
    if (!counter.Step()) throw CvError("the object counter is missing");
    return static_cast<int32_t>(counter.Int(0));
}

void SqliteConnection::ObjectIdUsed(int32_t objectId) {
    Statement next = Prepare("UPDATE PLATFORM_COUNTER SET NEXT_ID = ?");
    next.BindInt(1, static_cast<int64_t>(objectId) + 1).Run();
}

std::optional<int64_t> SqliteConnection::NextSequenceNumber(const std::string& name, size_t) {
    Statement statement =
        Prepare("UPDATE PLATFORM_SEQUENCES SET NEXT_VALUE = NEXT_VALUE + 1 WHERE NAME = ? RETURNING NEXT_VALUE - 1");
    statement.BindText(1, name);
    if (!statement.Step()) return std::nullopt;
    int64_t number = statement.Int(0);
    statement.Run();
    return number;
}

std::string SqliteConnection::StoredModelText() {
    {
        Statement version = Prepare("PRAGMA user_version");
        version.Step();
        if (version.Int(0) > kStorageFormat)
            throw StorageError("the database was made by a newer version of this platform (format " +
                               std::to_string(version.Int(0)) + ", this version reads format " +
                               std::to_string(kStorageFormat) + "): open it with that version");
    }
    Statement known = Prepare("SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = 'PLATFORM_MODEL'");
    if (!known.Step()) throw StorageError("the file is a database of another program, not one of this platform");
    Statement statement = Prepare("SELECT MODEL_TEXT FROM PLATFORM_MODEL");
    if (!statement.Step())
        throw StorageError("the database is damaged: it holds no data model; restore it from a backup");
    return statement.Text(0);
}

std::vector<std::string> SqliteConnection::TableColumns(const std::string& table) {
    Statement columns = Prepare("SELECT name FROM pragma_table_info(?)");
    columns.BindText(1, table);
    std::vector<std::string> stored;
    while (columns.Step()) stored.push_back(columns.Text(0));
    return stored;
}

} // namespace quendra::embedded
