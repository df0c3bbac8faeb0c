// Values bound as text, statements run on the server, rows read as platform values.
// SPDX-License-Identifier: Apache-2.0
#include "PostgresStatement.h"

#include "CvError.h"
#include "PostgresConnection.h"
#include "PostgresValue.h"

namespace quendra::embedded {

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
    Set(position, ServerText(value));
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
    return ServerWhole(
        std::string_view(PQgetvalue(result_, row_, column), static_cast<size_t>(PQgetlength(result_, row_, column))),
        PQftype(result_, column));
}

std::string PostgresStatement::Text(int column) const {
    if (IsNull(column)) return "";
    return std::string(PQgetvalue(result_, row_, column), static_cast<size_t>(PQgetlength(result_, row_, column)));
}

Value PostgresStatement::Get(int column, int32_t type) const {
    if (IsNull(column)) return {};
    return ServerValue(
        std::string_view(PQgetvalue(result_, row_, column), static_cast<size_t>(PQgetlength(result_, row_, column))),
        PQftype(result_, column), type);
}

void PostgresStatement::Reset() noexcept {
    PQclear(result_);
    result_ = nullptr;
    row_ = -1;
    for (auto& value : values_) value.reset();
}

} // namespace quendra::embedded
