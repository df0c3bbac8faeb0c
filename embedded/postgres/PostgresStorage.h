// PostgresStorage: the platform's storage on a PostgreSQL server, as the rest of the platform reaches it
// (without libpq's headers).
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Connection.h"

#include <cstdint>
#include <memory>
#include <string>

namespace quendra::embedded {

// A server that cannot be reached (not running, wrong address, no network, refused login).
class ServerUnreachable : public StorageError {
public:
    using StorageError::StorageError;
};

// A connection to the server at that address (a libpq connection URI); throws ServerUnreachable. Create:
// refuses with StorageError a schema that holds a database of the platform already. Reading: every
// transaction of the connection only reads.
std::unique_ptr<Connection> OpenPostgres(const std::string& address, bool create, bool reading);

// The address with the schema made the one its tables are found and made in.
std::string AddressWithSchema(const std::string& address, const std::string& schema);
// Makes the schema (refused when it exists) and drops it with all it holds; throw ServerUnreachable or CvError.
void CreateSchemaOnServer(const std::string& address, const std::string& schema);
void DropSchemaOnServer(const std::string& address, const std::string& schema);
// Gives the team role what working needs on the database at the address, and no write on who is who or the
// model; admin: makes it an administrator (a member of quendra_admin). The address's role must be the
// database's owner. Throws ServerUnreachable, StorageError or CvError.
void GrantOnServer(const std::string& address, const std::string& role, bool admin);
// Requests this process sent to servers through the platform's connections and waited for (statements run,
// prepared or described, transaction commands), for the benchmarks to count a hook's round trips.
int64_t PostgresRoundTrips();
// The address as it may be shown: without a password.
std::string ShownAddress(const std::string& address);

} // namespace quendra::embedded
