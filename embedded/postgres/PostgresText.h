// PostgresText: the platform's SQL said in PostgreSQL's words, and PostgreSQL's failures said for people.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <libpq-fe.h>

#include <string>

namespace quendra::embedded {

// The SQL with `?` and `?N` placeholders as `$N`, model names in double quotes in lower case (the case
// PostgreSQL folds unquoted names to, so that quoted and unquoted names meet), LIKE as ILIKE (a match that
// ignores the case of letters, as the platform's LIKE does) and instr( as strpos(. Text in single quotes
// stays as it is. `parameters` receives the highest placeholder number.
std::string PostgresSql(const std::string& sql, int& parameters);

// What went wrong in a result (or on the connection when result is null), said so that a person knows
// what to do; `database` names the database.
std::string PostgresFailureText(PGconn* connection, const PGresult* result, const std::string& database);

// A column name the server gave (folded to lower case) as the SQL text spells it, where the text holds it
// as a word; else as the server gave it.
std::string SpelledAsInText(const std::string& name, const std::string& sql);

// The SQLSTATE of a failed result, or empty.
std::string SqlState(const PGresult* result);

} // namespace quendra::embedded
