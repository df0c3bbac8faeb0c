// The test server's roles and SQL as the tests use them: each test's roles are its own (roles belong to the
// whole server) and go at its end; SQL runs as the test's superuser or as one of the roles.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Database.h"

#include <libpq-fe.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quendra::test {

inline const std::string TestServer = QUENDRA_TEST_POSTGRES;

// The address with another role before the host.
inline std::string AsRole(std::string address, const std::string& role) {
    const auto from = address.find("://") + 3;
    address.replace(from, address.find('@') - from, role);
    return address;
}

// Runs SQL at the address; the server's failure text, empty when it worked.
inline std::string SqlAt(const std::string& address, const std::string& sql) {
    PGconn* connection = PQconnectdb(address.c_str());
    PGresult* result = PQexec(connection, sql.c_str());
    const auto status = PQresultStatus(result);
    std::string failure = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK ? "" : PQerrorMessage(connection);
    PQclear(result);
    PQfinish(connection);
    return failure;
}

inline void OnServer(const std::string& sql) {
    EXPECT_EQ(SqlAt(TestServer, sql), "") << sql;
}

struct ServerRoles {
    ~ServerRoles() {
        for (auto role = made.rbegin(); role != made.rend(); ++role)
            SqlAt(TestServer, "DROP OWNED BY " + *role + " CASCADE; DROP ROLE " + *role);
    }
    // A new login role of this process.
    std::string Make(const std::string& name) {
        const std::string role = name + "_" + std::to_string(getpid());
        OnServer("DROP ROLE IF EXISTS " + role + "; CREATE ROLE " + role + " LOGIN");
        made.push_back(role);
        return role;
    }
    std::vector<std::string> made;
};

} // namespace quendra::test
