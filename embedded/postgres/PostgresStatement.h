// PostgresStatement: one statement prepared on the server, run with its values when first stepped; its rows
// come back at once and are read one after the other.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Statement.h"

#include <libpq-fe.h>

#include <optional>
#include <string>
#include <vector>

namespace quendra::embedded {

class PostgresConnection;

class PostgresStatement final : public StatementBody {
public:
    // The statement prepared on the server under that name, with that many values.
    PostgresStatement(PostgresConnection& connection, std::string name, int parameters);
    PostgresStatement(const PostgresStatement&) = delete;
    PostgresStatement& operator=(const PostgresStatement&) = delete;
    ~PostgresStatement() override;

    void Bind(int position, const Value& value) override;
    void BindInt(int position, int64_t value) override;
    void BindText(int position, const std::string& value) override;
    bool Step() override;
    int ColumnCount() const override;
    std::string ColumnName(int column) const override;
    bool IsNull(int column) const override;
    int64_t Int(int column) const override;
    std::string Text(int column) const override;
    Value Get(int column, int32_t type) const override;
    void Reset() noexcept override;
    // Takes rows that were read already (a statement run by other means) instead of running, with the
    // names its columns are given.
    void Adopt(PGresult* result, std::vector<std::string> names = {});

private:
    void Set(int position, std::optional<std::string> value);
    // The columns: of the rows read, or as the server describes the statement before it ran.
    const PGresult* Shape() const;

    PostgresConnection& connection_;
    std::string name_;
    std::vector<std::optional<std::string>> values_;
    std::vector<const char*> texts_; // the values as the request passes them, kept for the next run
    PGresult* result_ = nullptr;
    mutable PGresult* description_ = nullptr;
    int row_ = -1;
    std::vector<std::string> names_;
};

} // namespace quendra::embedded
