// Binding values to statements, stepping them and reading their columns, failing with CvError.
// SPDX-License-Identifier: Apache-2.0
#include "SqliteStatement.h"

#include "ColumnValue.h"
#include "CvError.h"
#include "SqliteConnection.h"

#include <cmath>

namespace quendra::embedded {

void SqliteStatement::Bind(int position, const Value& value) {
    int rc = SQLITE_OK;
    switch (value.GetKind()) {
    case Value::Kind::Null:
        rc = sqlite3_bind_null(statement_, position);
        break;
    case Value::Kind::Text:
        BindText(position, value.AsText());
        return;
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
    if (rc != SQLITE_OK) BindFailed();
}

void SqliteStatement::BindInt(int position, int64_t value) {
    if (sqlite3_bind_int64(statement_, position, value) != SQLITE_OK) BindFailed();
}

void SqliteStatement::BindText(int position, const std::string& value) {
    if (sqlite3_bind_text(statement_, position, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT) !=
        SQLITE_OK)
        BindFailed();
}

void SqliteStatement::BindFailed() const {
    throw CvError(std::string("a value cannot be passed to the database: ") + sqlite3_errmsg(db_));
}

namespace {

std::string FileOf(sqlite3* db) {
    const char* file = sqlite3_db_filename(db, "main");
    return file ? file : "";
}

} // namespace

bool SqliteStatement::Step() {
    int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    // Reset once the failure is said: resetting may change what SQLite says of it.
    struct ResetAfter {
        sqlite3_stmt* statement;
        ~ResetAfter() { sqlite3_reset(statement); }
    } reset{statement_};
    ThrowFailure(db_, rc, FileOf(db_));
}

std::string SqliteStatement::ColumnName(int column) const {
    const char* name = sqlite3_column_name(statement_, column);
    return name ? name : "";
}

std::string SqliteStatement::Text(int column) const {
    const unsigned char* text = sqlite3_column_text(statement_, column);
    return text ? std::string(reinterpret_cast<const char*>(text), sqlite3_column_bytes(statement_, column)) : "";
}

Value SqliteStatement::Get(int column, int32_t type) const {
    // The column's value is looked up once; each sqlite3_column_* call would look it up again.
    sqlite3_value* cell = sqlite3_column_value(statement_, column);
    int stored = sqlite3_value_type(cell);
    if (stored == SQLITE_NULL) return {};
    auto text = [cell] {
        const unsigned char* bytes = sqlite3_value_text(cell);
        return Value::Text(bytes ? std::string(reinterpret_cast<const char*>(bytes), sqlite3_value_bytes(cell)) : "");
    };
    if (!ReadsAsNumber(type)) return text();
    if (stored == SQLITE_INTEGER) return WholeColumnValue(sqlite3_value_int64(cell), type);
    if (stored == SQLITE_FLOAT) return Value::Double(sqlite3_value_double(cell));
    return text();
}

} // namespace quendra::embedded
