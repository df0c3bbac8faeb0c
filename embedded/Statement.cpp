// Binding values to statements, stepping them and reading their columns, failing with CvError.
#include "Statement.h"

#include "AttributeType.h"
#include "CvError.h"
#include "SqliteConnection.h"

#include <cmath>
#include <limits>

namespace quendra::embedded {

Statement::~Statement() {
    if (!statement_) return;
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
    if (busy_) *busy_ = false;
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

namespace {

std::string FileOf(sqlite3* db) {
    const char* file = sqlite3_db_filename(db, "main");
    return file ? file : "";
}

} // namespace

bool Statement::Step() {
    int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    std::string message = FailureText(db_, rc, FileOf(db_));
    sqlite3_reset(statement_);
    throw CvError(message);
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
    // The column's value is looked up once; each sqlite3_column_* call would look it up again.
    sqlite3_value* cell = sqlite3_column_value(statement_, column);
    int stored = sqlite3_value_type(cell);
    if (stored == SQLITE_NULL) return {};
    auto text = [cell] {
        const unsigned char* bytes = sqlite3_value_text(cell);
        return Value::Text(bytes ? std::string(reinterpret_cast<const char*>(bytes), sqlite3_value_bytes(cell)) : "");
    };
    // A column of no declared type (0) reads as stored, as a number column does.
    const auto named = static_cast<AttributeType>(type);
    const bool number = type == 0 || named == AttributeType::Int16 || named == AttributeType::Int32 ||
                        named == AttributeType::Double || named == AttributeType::Bool;
    if (!number) return text();
    if (stored == SQLITE_INTEGER) {
        int64_t whole = sqlite3_value_int64(cell);
        if (named == AttributeType::Bool) return Value::Bool(whole != 0);
        if (named == AttributeType::Double) return Value::Double(static_cast<double>(whole));
        if (named == AttributeType::Int16 && whole >= std::numeric_limits<int16_t>::min() &&
            whole <= std::numeric_limits<int16_t>::max())
            return Value::Int16(static_cast<int16_t>(whole));
        if (whole >= std::numeric_limits<int32_t>::min() && whole <= std::numeric_limits<int32_t>::max())
            return Value::Int32(static_cast<int32_t>(whole));
        return Value::Double(static_cast<double>(whole));
    }
    if (stored == SQLITE_FLOAT) return Value::Double(sqlite3_value_double(cell));
    return text();
}

} // namespace quendra::embedded
