// Connection: what the platform needs of a database engine, apart from the platform's own logic.
//
// The platform's tables, reads and writes are one body of code over this interface; each engine (an SQLite
// file, a PostgreSQL server) implements it in a folder of its own. What differs lives here: preparing,
// binding and stepping statements, placeholders, transactions and savepoints, the read-only check of SQL
// text from outside, the column types and generated keys of the tables, the unique numbers handed out
// (object ids, the model's sequences), the texts of failures and the wait for a busy database.
//
// SQL handed to Prepare uses `?` and `?N` placeholders and names model tables and columns in double quotes
// as the model spells them; an engine that needs otherwise rewrites the text once, when it prepares it.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Statement.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace quendra::embedded {

// The format of the tables this version makes and reads (0 for databases made before it was kept, which
// have the same tables).
inline constexpr int64_t kStorageFormat = 1;

// The wait QUENDRA_BUSY_WAIT_MS sets (scripts that must not hang, tests): nullopt when it is not set, -1 when it
// is no whole number of milliseconds from 0 to an hour.
inline std::optional<long> BusyWaitSetting() {
    const char* given = std::getenv("QUENDRA_BUSY_WAIT_MS");
    if (!given || !*given) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    long milliseconds = std::strtol(given, &end, 10);
    bool digits = *given >= '0' && *given <= '9';
    return !digits || *end || errno || milliseconds > 3600000 ? -1 : milliseconds;
}

// Why QUENDRA_BUSY_WAIT_MS cannot be used, for programs that say so before they start; empty when it can.
inline std::string BusyWaitProblem() {
    if (BusyWaitSetting() != -1L) return "";
    return std::string("QUENDRA_BUSY_WAIT_MS is \"") + std::getenv("QUENDRA_BUSY_WAIT_MS") +
           "\": set it to a whole number of milliseconds from 0 to 3600000, or unset it to wait 10 seconds";
}

// How long a statement waits for another program's lock before it fails as busy.
inline int BusyWaitMilliseconds() {
    auto setting = BusyWaitSetting();
    return setting && *setting >= 0 ? static_cast<int>(*setting) : 10000;
}

// A database that is not what the platform can open, said in full for people (the caller names the database).
class StorageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Marks a failure of a write that the database undid because another client's transaction crossed it (a
// deadlock, a serialisation failure): the same write, run again from its start, may well succeed.
class WriteConflict {
public:
    virtual ~WriteConflict() = default;
};

// Marks a failure of the machine or the server rather than of what was asked: a full disk, no permission on
// the file or its folder, an input/output error, a server that cannot be reached or was lost.
class MachineFault {
public:
    virtual ~MachineFault() = default;
};

// A statement the connection keeps for its whole life (a few statements of hot paths), found without
// looking its text up again.
class KeptStatement {
public:
    virtual ~KeptStatement() = default;
};

// The user a database server authenticated: its role, the login of the platform's users it maps to, and
// whether the server makes it an administrator.
struct ServerUser {
    std::string role;
    std::string login;
    bool admin = false;
};

class Connection {
public:
    virtual ~Connection() = default;

    // The kept statement for that SQL, or a fresh one while the kept one is in use (a nested read).
    virtual Statement Prepare(const std::string& sql) = 0;
    // The same for a statement pinned before, without looking it up.
    virtual Statement Prepare(KeptStatement& kept) = 0;
    // Keeps the statement for that SQL for the connection's whole life.
    virtual KeptStatement& Pin(const std::string& sql) = 0;
    // SQL text from outside that may only read, as one statement: a statement that writes, or controls the
    // connection or its transaction, is refused with "only statements that read can be run as a query: "
    // and the text; more than one statement with "the SQL text holds more than one statement".
    virtual std::unique_ptr<Statement> PrepareReading(const std::string& sql) = 0;
    // Runs statements of the platform's own without values (schema, transaction control).
    virtual void Execute(const std::string& sql) = 0;
    // Rows the last write changed.
    virtual int64_t Changes() const = 0;
    // How the database is named in texts for people (a file path, a server address without password).
    virtual std::string Name() const = 0;

    // Transactions. A write is one transaction, or a savepoint inside the outer transaction; a read
    // snapshot is a read transaction when none is open.
    virtual void BeginOuterTransaction() = 0;
    virtual void CommitOuterTransaction() = 0;
    virtual void RollbackOuterTransaction() = 0;
    virtual bool InOuterTransaction() const = 0;
    // Whether a transaction is open on the connection.
    virtual bool InTransaction() const = 0;
    // Begins one write; true when it is a savepoint inside the outer transaction.
    virtual bool BeginWrite() = 0;
    virtual void CommitWrite(bool savepoint) = 0;
    // Undoes a write left without Commit; never throws.
    virtual void AbandonWrite(bool savepoint) noexcept = 0;
    // Inside the outer transaction: holds these keys until it ends, waiting up to the busy wait for another
    // connection that holds one. Where the outer transaction holds the whole database (a file), nothing to do.
    virtual void HoldKeys(const std::vector<int64_t>& keys) { (void)keys; }
    // Begins a read transaction; false when one is open already.
    virtual bool BeginRead() = 0;
    // Ends it; never throws.
    virtual void EndRead() noexcept = 0;

    // The schema: the SQL column type of an attribute type, and the column definition of a key the
    // database numbers itself.
    virtual std::string ColumnType(int32_t attributeType) const = 0;
    virtual std::string GeneratedKeyColumn() const = 0;
    // Makes where object ids and sequence numbers come from (inside the schema's transaction): the next
    // object id is 1, and each sequence (name, next number) starts at its number.
    virtual void CreateNumberSources(const std::vector<std::pair<std::string, int64_t>>& sequences) = 0;
    // Once an existing database proved to be one of this platform, opened for writing: sets it up for work.
    virtual void ReadyForWriting() = 0;
    // Marks the finished schema with the format this version writes.
    virtual void MarkFormat(int64_t format) = 0;
    // A new object id, unique across every client of the database. The caller holds a write and calls
    // ObjectIdUsed once the object is inserted.
    virtual int32_t TakeObjectId() = 0;
    virtual void ObjectIdUsed(int32_t objectId) = 0;
    // SQL that takes a new object id inside the INSERT that stores the object, so that the id needs no request
    // of its own; empty where ids come from TakeObjectId.
    virtual std::string ObjectIdSql() const { return ""; }
    // The next number of the sequence with that name and position among the model's sequences, unique
    // across clients; nothing when the database holds no such sequence.
    virtual std::optional<int64_t> NextSequenceNumber(const std::string& name, size_t position) = 0;

    // Whether every statement is a request to a server, so that reading many rows with one statement is
    // worth its extra work; a file reads each row as cheaply on its own.
    virtual bool RemoteRequests() const { return false; }

    // Reading what an existing database holds: the stored model text (throws CvError saying what the
    // database is instead: another program's, a newer format, damaged), and the columns of a table (empty
    // when there is no such table).
    virtual std::string StoredModelText() = 0;
    virtual std::vector<std::string> TableColumns(const std::string& table) = 0;

    // The user the server authenticated; nothing where the database does not know who connects (a file).
    virtual std::optional<ServerUser> AuthenticatedUser() { return std::nullopt; }
};

} // namespace quendra::embedded
