// PostgresServer: reaching a PostgreSQL server: its addresses as libpq reads them and as they may be shown,
// connecting, quoting names, and the schemas a database lives in.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <libpq-fe.h>

#include <string>

namespace quendra::embedded {

// Frees a result when it goes out of scope.
struct ResultGuard {
    PGresult* result;
    ~ResultGuard() { PQclear(result); }
};

inline bool Succeeded(const PGresult* result) {
    const auto status = PQresultStatus(result);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

// A connection to the server at the address, notices not shown; throws ServerUnreachable.
PGconn* ConnectToServer(const std::string& address);

// The name quoted for SQL text; CvError where it cannot be.
std::string QuotedName(PGconn* connection, const std::string& name);

} // namespace quendra::embedded
