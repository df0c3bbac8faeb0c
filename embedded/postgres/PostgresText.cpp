// Rewriting the platform's SQL for PostgreSQL, and PostgreSQL's failures in words for people.
// SPDX-License-Identifier: Apache-2.0
#include "PostgresText.h"

#include <cctype>
#include <cstdlib>

namespace quendra::embedded {

namespace {

bool WordAt(const std::string& sql, size_t at, const char* word) {
    size_t length = std::char_traits<char>::length(word);
    if (at > 0 && (std::isalnum(static_cast<unsigned char>(sql[at - 1])) || sql[at - 1] == '_')) return false;
    if (sql.size() < at + length) return false;
    for (size_t i = 0; i < length; ++i)
        if (std::toupper(static_cast<unsigned char>(sql[at + i])) != word[i]) return false;
    return at + length == sql.size() ||
           !(std::isalnum(static_cast<unsigned char>(sql[at + length])) || sql[at + length] == '_');
}

} // namespace

std::string PostgresSql(const std::string& sql, int& parameters) {
    std::string out;
    out.reserve(sql.size() + 8);
    int next = 0;
    parameters = 0;
    for (size_t i = 0; i < sql.size(); ++i) {
        char c = sql[i];
        if (c == '\'') {
            size_t end = i + 1;
            while (end < sql.size() && !(sql[end] == '\'' && (end + 1 >= sql.size() || sql[end + 1] != '\'')))
                end += sql[end] == '\'' ? 2 : 1;
            out.append(sql, i, end - i + 1);
            i = end;
        } else if (c == '"') {
            out += c;
            for (++i; i < sql.size() && sql[i] != '"'; ++i)
                out += static_cast<char>(std::tolower(static_cast<unsigned char>(sql[i])));
            if (i < sql.size()) out += '"';
        } else if (c == '?') {
            size_t digits = i + 1;
            while (digits < sql.size() && std::isdigit(static_cast<unsigned char>(sql[digits]))) ++digits;
            int number = digits > i + 1 ? std::atoi(sql.substr(i + 1, digits - i - 1).c_str()) : ++next;
            if (number > parameters) parameters = number;
            out += '$' + std::to_string(number);
            i = digits - 1;
        } else if ((c == 'L' || c == 'l') && WordAt(sql, i, "LIKE")) {
            out += "ILIKE";
            i += 3;
        } else if ((c == 'I' || c == 'i') && WordAt(sql, i, "INSTR") && i + 5 < sql.size() && sql[i + 5] == '(') {
            out += "strpos";
            i += 4;
        } else {
            out += c;
        }
    }
    return out;
}

std::string SpelledAsInText(const std::string& name, const std::string& sql) {
    if (name.empty()) return name;
    auto word = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
    for (size_t at = 0; at + name.size() <= sql.size(); ++at) {
        if ((at > 0 && word(sql[at - 1])) || (at + name.size() < sql.size() && word(sql[at + name.size()]))) continue;
        bool same = true;
        for (size_t i = 0; same && i < name.size(); ++i)
            same = std::tolower(static_cast<unsigned char>(sql[at + i])) ==
                   std::tolower(static_cast<unsigned char>(name[i]));
        if (same) return sql.substr(at, name.size());
    }
    return name;
}

std::string SqlState(const PGresult* result) {
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    return state ? state : "";
}

std::string PostgresFailureText(PGconn* connection, const PGresult* result, const std::string& database) {
    std::string detail;
    if (const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr)
        detail = primary;
    else if (connection)
        detail = PQerrorMessage(connection);
    while (!detail.empty() && std::isspace(static_cast<unsigned char>(detail.back()))) detail.pop_back();
    if (!connection || PQstatus(connection) != CONNECTION_OK)
        return "the database server of " + database + " cannot be reached (" + detail +
               "): check that it runs and that this machine may connect to it, then try again";
    const std::string state = SqlState(result);
    if (state == "55P03" || state == "40001" || state == "40P01" || state == "57014")
        return "the database " + database + " is busy with another user's change (" + detail +
               "): try again in a moment";
    if (state == "53100")
        return "the disk holding the database " + database + " is full: free some space, then try again";
    if (state.starts_with("53"))
        return "the database server of " + database + " has run out of resources (" + detail + ")";
    if (state == "42501")
        return "no permission to use the database " + database + " (" + detail + "): ask its administrator for access";
    if (state == "25006") return "the database " + database + " cannot be written here (" + detail + ")";
    if (state.starts_with("08"))
        return "the database server of " + database + " cannot be reached (" + detail +
               "): check that it runs and that this machine may connect to it, then try again";
    if (state == "XX001" || state == "XX002")
        return "the database " + database + " is damaged (" + detail + "): restore it from a backup";
    return "the database failed: " + detail;
}

} // namespace quendra::embedded
