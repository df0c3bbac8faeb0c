// SQLite statements, connections and transactions, failing with CvError.
#include "SqliteConnection.h"

#include "CvError.h"

#include <cmath>
#include <limits>

namespace quendra::embedded {

Statement::~Statement() {
    if (!statement_) return;
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

Statement& Statement::Bind(int position, const Value& value) {
    int rc = SQLITE_OK;
    switch (value.GetKind()) {
    case Value::Kind::Null:
        rc = sqlite3_bind_null(statement_, position);
        break;
    case Value::Kind::Text:
        return BindText(position, value.AsText());
    case Value::Kind::Int16:
    case Value::Kind::Int32:
        rc = sqlite3_bind_int64(statement_, position, value.AsInt32());
        break;
    case Value::Kind::Double:
        rc = sqlite3_bind_double(statement_, position, value.AsDouble());
        break;
    case Value::Kind::Bool:
        rc = sqlite3_bind_int64(statement_, position, value.AsBool() ? 1 : 0);
        break;
    }
    if (rc != SQLITE_OK) throw CvError(std::string("a value cannot be passed to the database: ") + sqlite3_errmsg(db_));
    return *this;
}

Statement& Statement::BindInt(int position, int64_t value) {
    if (sqlite3_bind_int64(statement_, position, value) != SQLITE_OK)
        throw CvError(std::string("a value cannot be passed to the database: ") + sqlite3_errmsg(db_));
    return *this;
}

Statement& Statement::BindText(int position, const std::string& value) {
    if (sqlite3_bind_text(statement_, position, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT) !=
        SQLITE_OK)
        throw CvError(std::string("a value cannot be passed to the database: ") + sqlite3_errmsg(db_));
    return *this;
}

bool Statement::Step() {
    int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    std::string message = sqlite3_errmsg(db_);
    sqlite3_reset(statement_);
    throw CvError("the database failed: " + message);
}

void Statement::Run() {
    while (Step()) {
    }
}

int Statement::ColumnCount() const {
    return sqlite3_column_count(statement_);
}

std::string Statement::ColumnName(int column) const {
    const char* name = sqlite3_column_name(statement_, column);
    return name ? name : "";
}

bool Statement::IsNull(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

int64_t Statement::Int(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::string Statement::Text(int column) const {
    const unsigned char* text = sqlite3_column_text(statement_, column);
    return text ? std::string(reinterpret_cast<const char*>(text), sqlite3_column_bytes(statement_, column)) : "";
}

Value Statement::Get(int column, int32_t type) const {
    int stored = sqlite3_column_type(statement_, column);
    if (stored == SQLITE_NULL) return {};
    switch (type) {
    case 2:
    case 3:
    case 4:
    case 15:
        if (stored == SQLITE_INTEGER) {
            int64_t number = Int(column);
            if (type == 15) return Value::Bool(number != 0);
            if (type == 4) return Value::Double(static_cast<double>(number));
            if (type == 2 && number >= std::numeric_limits<int16_t>::min() &&
                number <= std::numeric_limits<int16_t>::max())
                return Value::Int16(static_cast<int16_t>(number));
            if (number >= std::numeric_limits<int32_t>::min() && number <= std::numeric_limits<int32_t>::max())
                return Value::Int32(static_cast<int32_t>(number));
            return Value::Double(static_cast<double>(number));
        }
        if (stored == SQLITE_FLOAT) return Value::Double(sqlite3_column_double(statement_, column));
        return Value::Text(Text(column));
    case 0:
        if (stored == SQLITE_INTEGER) {
            int64_t number = Int(column);
            if (number >= std::numeric_limits<int32_t>::min() && number <= std::numeric_limits<int32_t>::max())
                return Value::Int32(static_cast<int32_t>(number));
            return Value::Double(static_cast<double>(number));
        }
        if (stored == SQLITE_FLOAT) return Value::Double(sqlite3_column_double(statement_, column));
        return Value::Text(Text(column));
    default:
        return Value::Text(Text(column));
    }
}

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

// BEGIN and COMMIT come from the statement cache: every platform write runs them.
Transaction::Transaction(SqliteConnection& connection) : connection_(connection) {
    connection_.Prepare("BEGIN IMMEDIATE").Run();
}

Transaction::~Transaction() {
    if (!done_) sqlite3_exec(connection_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::Commit() {
    connection_.Prepare("COMMIT").Run();
    done_ = true;
}

} // namespace quendra::embedded
