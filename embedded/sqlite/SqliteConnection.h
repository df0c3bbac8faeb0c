// SqliteConnection: the platform's storage in one SQLite database, with its prepared statements kept for reuse.
//
// The cache hands a statement to one user at a time: asked again for the same SQL while that statement is
// in use (a nested read), it prepares a fresh one that lives only as long as its user. It keeps at most
// `capacity` statements and finalizes the least recently used idle one that is not pinned to make room.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Connection.h"
#include "SqliteStatement.h"

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

namespace quendra::embedded {

// What went wrong when SQLite answered rc, said so that a person knows what to do: a locked database,
// a full disk, a file or folder that cannot be written, a file that is no database or a damaged one.
std::string FailureText(sqlite3* db, int rc, const std::string& path);
// Throws the failure as CvError, marked as the machine's (MachineFault) where it is.
[[noreturn]] void ThrowFailure(sqlite3* db, int rc, const std::string& path);

class SqliteConnection final : public Connection {
public:
    // Opens (flags as sqlite3_open_v2); throws CvError with SQLite's message.
    SqliteConnection(const std::string& path, int flags, size_t capacity = 256);
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;
    ~SqliteConnection() override;

    struct Kept final : KeptStatement {
        std::unique_ptr<SqliteStatement> body;
        const std::string* sql = nullptr; // the cache's key
        uint64_t lastUse = 0;
        bool busy = false;   // a Statement borrows it
        bool pinned = false; // never dropped
    };
    Statement Prepare(const std::string& sql) override;
    Statement Prepare(KeptStatement& kept) override;
    KeptStatement& Pin(const std::string& sql) override;
    // A statement compiled afresh and not kept (for SQL text from outside).
    std::unique_ptr<Statement> PrepareOnce(const std::string& sql);
    std::unique_ptr<Statement> PrepareReading(const std::string& sql) override;
    void Execute(const std::string& sql) override;
    int64_t Changes() const override { return sqlite3_changes64(db_); }
    std::string Name() const override;
    [[noreturn]] void Fail(const std::string& what) const;
    sqlite3* Handle() const { return db_; }
    const std::string& Path() const { return path_; }

    void BeginOuterTransaction() override;
    void CommitOuterTransaction() override;
    void RollbackOuterTransaction() override;
    bool InOuterTransaction() const override { return outer_; }
    bool InTransaction() const override { return !sqlite3_get_autocommit(db_); }
    bool BeginWrite() override;
    void CommitWrite(bool savepoint) override;
    void AbandonWrite(bool savepoint) noexcept override;
    bool BeginRead() override;
    void EndRead() noexcept override;

    std::string ColumnType(int32_t attributeType) const override;
    std::string GeneratedKeyColumn() const override { return "INTEGER PRIMARY KEY AUTOINCREMENT"; }
    void CreateNumberSources(const std::vector<std::pair<std::string, int64_t>>& sequences) override;
    void MarkFormat(int64_t format) override;
    void ReadyForWriting() override;
    int32_t TakeObjectId() override;
    void ObjectIdUsed(int32_t objectId) override;
    std::optional<int64_t> NextSequenceNumber(const std::string& name, size_t position) override;
    std::string StoredModelText() override;
    std::vector<std::string> TableColumns(const std::string& table) override;

private:
    sqlite3_stmt* Compile(const std::string& sql, unsigned flags);
    Kept& Keep(const std::string& sql);
    Statement Fresh(const std::string& sql);
    void MakeRoom();
    // The statement for that SQL, pinned at its first use (transaction control run by every write and read).
    Statement Pinned(Kept*& kept, const char* sql);

    sqlite3* db_ = nullptr;
    std::string path_;
    bool outer_ = false;
    size_t capacity_;
    uint64_t uses_ = 0;
    std::unordered_map<std::string, Kept> cache_;
    Kept* begin_ = nullptr;
    Kept* beginImmediate_ = nullptr;
    Kept* commit_ = nullptr;
};

} // namespace quendra::embedded
