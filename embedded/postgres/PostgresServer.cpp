// Addresses of PostgreSQL servers, connecting to them, and the schemas a database lives in.
// SPDX-License-Identifier: Apache-2.0
#include "PostgresServer.h"

#include "CvError.h"
#include "PostgresStorage.h"
#include "PostgresText.h"

#include <cctype>
#include <string_view>

namespace quendra::embedded {

std::string QuotedName(PGconn* connection, const std::string& name) {
    char* quoted = PQescapeIdentifier(connection, name.c_str(), name.size());
    if (!quoted) throw CvError("the name \"" + name + "\" cannot be used on the server");
    std::string text = quoted;
    PQfreemem(quoted);
    return text;
}

PGconn* ConnectToServer(const std::string& address) {
    PGconn* connection = PQconnectdb(address.c_str());
    if (PQstatus(connection) == CONNECTION_OK) {
        // Notices (a savepoint released twice, what a dropped schema held) are no failures: not shown.
        PQsetNoticeProcessor(
            connection, [](void*, const char*) {}, nullptr);
        return connection;
    }
    std::string detail = connection ? PQerrorMessage(connection) : "out of memory";
    PQfinish(connection);
    // libpq says it on several lines, the last one ending the text.
    for (auto& c : detail)
        if (c == '\n' || c == '\t') c = ' ';
    while (!detail.empty() && detail.back() == ' ') detail.pop_back();
    for (auto at = detail.find("  "); at != std::string::npos; at = detail.find("  ")) detail.erase(at, 1);
    throw ServerUnreachable("the database server at " + ShownAddress(address) + " cannot be reached (" + detail +
                            "): check that it runs, the address and your access to it, then try again");
}

namespace {

// Where the user information of a connection URI ends (at its '@'), as libpq reads it: an '@' before any
// '/' after the scheme; npos when there is none.
size_t UserInfoEnd(const std::string& address, size_t start) {
    const auto at = address.find_first_of("@/", start);
    return at != std::string::npos && address[at] == '@' ? at : std::string::npos;
}

// Where the parameters of a connection URI begin (after its '?'), or npos: after the hosts, each with its
// port, separated by ',' (a host in brackets may hold any character), and the database name after a '/'.
size_t ParametersStart(const std::string& address) {
    const auto scheme = address.find("://");
    if (scheme == std::string::npos) return std::string::npos;
    const auto user = UserInfoEnd(address, scheme + 3);
    auto at = user == std::string::npos ? scheme + 3 : user + 1;
    for (;;) {
        if (at < address.size() && address[at] == '[') at = address.find(']', at);
        at = address.find_first_of(",/?", at);
        if (at == std::string::npos || address[at] != ',') break;
        ++at;
    }
    if (at != std::string::npos && address[at] == '/') at = address.find('?', at);
    return at == std::string::npos ? at : at + 1;
}

// A parameter's name as libpq reads it: %XX stands for that byte.
std::string Decoded(std::string_view text) {
    std::string decoded;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            decoded.push_back(static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16)));
            i += 2;
        } else {
            decoded.push_back(text[i]);
        }
    }
    return decoded;
}

} // namespace

std::string ShownAddress(const std::string& address) {
    std::string shown = address;
    const auto scheme = shown.find("://");
    if (scheme == std::string::npos) return shown;
    // The password of the user information, after its first ':'.
    const auto user = UserInfoEnd(shown, scheme + 3);
    if (user != std::string::npos) {
        const auto colon = shown.find(':', scheme + 3);
        if (colon < user) shown.erase(colon, user - colon);
    }
    // The parameters that hold a password, however their names are written.
    const auto parameters = ParametersStart(shown);
    if (parameters == std::string::npos) return shown;
    std::string kept;
    for (size_t from = parameters; from <= shown.size();) {
        auto to = shown.find('&', from);
        if (to == std::string::npos) to = shown.size();
        const std::string_view parameter(shown.data() + from, to - from);
        const std::string name = Decoded(parameter.substr(0, parameter.find('=')));
        if (name != "password" && name != "sslpassword" && !parameter.empty())
            kept += (kept.empty() ? "" : "&") + std::string(parameter);
        from = to + 1;
    }
    shown.erase(parameters);
    if (kept.empty()) shown.pop_back(); // the '?'
    return shown + kept;
}

std::string AddressWithSchema(const std::string& address, const std::string& schema) {
    const auto parameters = ParametersStart(address);
    const char* separator = "?";
    if (parameters != std::string::npos) separator = parameters == address.size() || address.back() == '&' ? "" : "&";
    return address + separator + "options=-csearch_path%3D" + schema;
}

void CreateSchemaOnServer(const std::string& address, const std::string& schema) {
    PGconn* connection = ConnectToServer(address);
    ResultGuard made{PQexec(connection, ("CREATE SCHEMA " + QuotedName(connection, schema)).c_str())};
    std::string failure =
        Succeeded(made.result) ? "" : PostgresFailureText(connection, made.result, ShownAddress(address));
    PQfinish(connection);
    if (!failure.empty()) throw CvError(failure);
}

void DropSchemaOnServer(const std::string& address, const std::string& schema) {
    PGconn* connection = ConnectToServer(address);
    ResultGuard dropped{
        PQexec(connection, ("DROP SCHEMA IF EXISTS " + QuotedName(connection, schema) + " CASCADE").c_str())};
    std::string failure =
        Succeeded(dropped.result) ? "" : PostgresFailureText(connection, dropped.result, ShownAddress(address));
    PQfinish(connection);
    if (!failure.empty()) throw CvError(failure);
}

} // namespace quendra::embedded
