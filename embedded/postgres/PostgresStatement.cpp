// Values bound as text, statements run on the server, rows read as platform values.
// SPDX-License-Identifier: Apache-2.0
#include "PostgresStatement.h"

#include "AttributeType.h"
#include "CvError.h"
#include "PostgresConnection.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace quendra::embedded {

namespace {

// Type oids of the server's built-in types.
constexpr Oid kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kFloat4 = 700, kFloat8 = 701, kNumeric = 1700;

bool IsWhole(Oid type) {
    return type == kInt2 || type == kInt4 || type == kInt8;
}

// A value of that type as a whole number: a boolean as 1 or 0, else the number its text begins with.
int64_t WholeOf(const char* text, int length, Oid type) {
    if (type == kBool) return *text == 't' ? 1 : 0;
    // The server writes a whole number as plain digits: read at once. Any other text (spaces, a sign, a
    // fraction, too many digits) is read as C reads it.
    const char* end = text + length;
    int64_t whole = 0;
    const auto [stop, failure] = std::from_chars(text, end, whole);
    if (failure == std::errc() && stop == end) return whole;
    return std::strtoll(text, nullptr, 10);
}

} // namespace

PostgresStatement::PostgresStatement(PostgresConnection& connection, std::string name, int parameters)
    : connection_(connection), name_(std::move(name)), values_(static_cast<size_t>(parameters)) {}

PostgresStatement::~PostgresStatement() {
    PQclear(result_);
    PQclear(description_);
}

void PostgresStatement::Set(int position, std::optional<std::string> value) {
    if (position < 1 || position > static_cast<int>(values_.size()))
        throw CvError("a value cannot be passed to the database: the statement has no value " +
                      std::to_string(position));
    values_[static_cast<size_t>(position - 1)] = std::move(value);
}

void PostgresStatement::Bind(int position, const Value& value) {
    switch (value.GetKind()) {
    case Value::Kind::Null:
        return Set(position, std::nullopt);
    case Value::Kind::Text:
        return Set(position, value.AsText());
    case Value::Kind::Int16:
    case Value::Kind::Int32:
        return Set(position, std::to_string(value.AsInt32()));
    case Value::Kind::Double: {
        char text[32];
        std::snprintf(text, sizeof text, "%.17g", value.AsDouble());
        return Set(position, std::string(text));
    }
    case Value::Kind::Bool:
        return Set(position, value.AsBool() ? "1" : "0");
    }
}

void PostgresStatement::BindInt(int position, int64_t value) {
    Set(position, std::to_string(value));
}

void PostgresStatement::BindText(int position, const std::string& value) {
    Set(position, value);
}

void PostgresStatement::Adopt(PGresult* result, std::vector<std::string> names) {
    PQclear(result_);
    result_ = result;
    names_ = std::move(names);
    row_ = -1;
}

bool PostgresStatement::Step() {
    if (!result_) {
        texts_.clear();
        for (const auto& value : values_) texts_.push_back(value ? value->c_str() : nullptr);
        result_ = connection_.Run(name_, texts_);
        row_ = -1;
    }
    return ++row_ < PQntuples(result_);
}

const PGresult* PostgresStatement::Shape() const {
    if (result_) return result_;
    if (!description_) description_ = connection_.Describe(name_);
    return description_;
}

int PostgresStatement::ColumnCount() const {
    return PQnfields(Shape());
}

std::string PostgresStatement::ColumnName(int column) const {
    if (column >= 0 && column < static_cast<int>(names_.size())) return names_[static_cast<size_t>(column)];
    const char* name = PQfname(Shape(), column);
    return name ? name : "";
}

bool PostgresStatement::IsNull(int column) const {
    return !result_ || row_ < 0 || PQgetisnull(result_, row_, column);
}

int64_t PostgresStatement::Int(int column) const {
    if (IsNull(column)) return 0;
    return WholeOf(PQgetvalue(result_, row_, column), PQgetlength(result_, row_, column), PQftype(result_, column));
}

std::string PostgresStatement::Text(int column) const {
    if (IsNull(column)) return "";
    return std::string(PQgetvalue(result_, row_, column), static_cast<size_t>(PQgetlength(result_, row_, column)));
}

Value PostgresStatement::Get(int column, int32_t type) const {
    if (IsNull(column)) return {};
    const Oid stored = PQftype(result_, column);
    // A column of no declared type (0) reads as stored, as a number column does.
    const auto named = static_cast<AttributeType>(type);
    const bool number = type == 0 || named == AttributeType::Int16 || named == AttributeType::Int32 ||
                        named == AttributeType::Double || named == AttributeType::Bool;
    if (!number) return Value::Text(Text(column));
    if (IsWhole(stored) || stored == kBool) {
        const int64_t whole = WholeOf(PQgetvalue(result_, row_, column), PQgetlength(result_, row_, column), stored);
        if (named == AttributeType::Bool) return Value::Bool(whole != 0);
        if (named == AttributeType::Double) return Value::Double(static_cast<double>(whole));
        if (named == AttributeType::Int16 && whole >= std::numeric_limits<int16_t>::min() &&
            whole <= std::numeric_limits<int16_t>::max())
            return Value::Int16(static_cast<int16_t>(whole));
        if (whole >= std::numeric_limits<int32_t>::min() && whole <= std::numeric_limits<int32_t>::max())
            return Value::Int32(static_cast<int32_t>(whole));
        return Value::Double(static_cast<double>(whole));
    }
    if (stored == kFloat4 || stored == kFloat8 || stored == kNumeric)
        return Value::Double(std::strtod(PQgetvalue(result_, row_, column), nullptr));
    return Value::Text(Text(column));
}

void PostgresStatement::Reset() noexcept {
    PQclear(result_);
    result_ = nullptr;
    row_ = -1;
    for (auto& value : values_) value.reset();
}

} // namespace quendra::embedded
