// Copying a database file to a server: the schema from the file's model, then every table row by row through
// prepared statements, then the server's sequences set to go on where the file's numbers stop.
// SPDX-License-Identifier: Apache-2.0
#include "DatabaseCopy.h"

#include "CvError.h"
#include "Database.h"
#include "Model.h"
#include "ReadSnapshot.h"
#include "SqliteFiles.h"
#include "Storage.h"
#include "Transaction.h"

#ifdef QUENDRA_WITH_POSTGRES
#include "PostgresStorage.h"
#endif

#include <algorithm>

namespace quendra::embedded {

#ifdef QUENDRA_WITH_POSTGRES
namespace {

// How many rows of a table go by between two reports of progress.
constexpr int64_t kProgressRows = 10000;

// Copies the rows of one table; its rows made when the schema was made (the model's users) give way to the
// file's.
void CopyTable(Connection& from, Connection& to, const std::string& table,
               const std::function<void(const std::string&, int64_t, bool)>& progress) {
    const std::vector<std::string> columns = from.TableColumns(table);
    std::string names, places;
    for (size_t i = 0; i < columns.size(); ++i) {
        names += (i ? ", " : "") + SqlName(columns[i]);
        places += i ? ", ?" : "?";
    }
    to.Execute("DELETE FROM " + SqlName(table));
    Statement read = from.Prepare("SELECT " + names + " FROM " + SqlName(table));
    Statement write = to.Prepare("INSERT INTO " + SqlName(table) + " (" + names + ") VALUES (" + places + ")");
    int64_t rows = 0;
    while (read.Step()) {
        for (int i = 0; i < static_cast<int>(columns.size()); ++i) write.Bind(i + 1, read.Get(i, 0));
        write.Run();
        write.Body().Reset();
        if (++rows % kProgressRows == 0) progress(table, rows, false);
    }
    progress(table, rows, true);
}

// The highest value of a column of the file's table, 0 for none.
int64_t Highest(Connection& from, const std::string& table, const std::string& column) {
    Statement highest = from.Prepare("SELECT COALESCE(MAX(" + SqlName(column) + "), 0) FROM " + SqlName(table));
    highest.Step();
    return highest.Int(0);
}

} // namespace

std::string CopyToServer(const std::string& file, const std::string& address,
                         const std::function<void(const std::string& table, int64_t rows, bool done)>& progress) {
    // Opening the file the usual way says what is wrong with one that is not a database of this platform.
    Database::Open(file, OpenMode::ReadOnly);
    std::unique_ptr<Connection> from;
    std::shared_ptr<const Model> model;
    try {
        from = OpenSqliteFile(file, true);
        model = ParseModel(from->StoredModelText(), file);
    } catch (const CvError& error) {
        throw EmbeddedError(file, "", error.what());
    }
    std::unique_ptr<Connection> connection;
    try {
        connection = OpenPostgres(address, true, false);
    } catch (const ServerUnreachable& error) {
        throw UnreachableServer(address, error.what());
    } catch (const StorageError& error) {
        throw EmbeddedError(address, "", error.what());
    }
    Storage storage(std::move(connection), model);
    Connection& to = storage.Sql();
    try {
        ReadSnapshot snapshot(*from);
        to.BeginOuterTransaction();
        storage.CreateSchema();
        to.MarkFormat(kStorageFormat);
        std::vector<std::string> tables;
        for (const auto& table : model->tables) tables.push_back(table.name);
        for (const char* table : {"PLATFORM_WORK_ENTRIES", "PLATFORM_FLOW_HISTORY", "PLATFORM_ATTACHMENTS"})
            tables.emplace_back(table);
        for (const auto& table : tables) CopyTable(*from, to, table, progress);

        // Numbers go on where the file's stop: object ids, work entries and each of the model's sequences.
        int64_t nextObjectId = 1;
        {
            Statement counter = from->Prepare("SELECT NEXT_ID FROM PLATFORM_COUNTER");
            if (counter.Step()) nextObjectId = counter.Int(0);
        }
        for (const auto& table : model->tables)
            nextObjectId = std::max(nextObjectId, Highest(*from, table.name, "OBJECT_ID") + 1);
        to.Execute("SELECT setval('platform_object_ids', " + std::to_string(nextObjectId) + ", false)");
        to.Execute("SELECT setval(pg_get_serial_sequence('platform_work_entries', 'entry_id'), " +
                   std::to_string(Highest(*from, "PLATFORM_WORK_ENTRIES", "ENTRY_ID") + 1) + ", false)");
        for (size_t i = 0; i < model->sequences.size(); ++i) {
            Statement next = from->Prepare("SELECT NEXT_VALUE FROM PLATFORM_SEQUENCES WHERE NAME = ?");
            next.BindText(1, model->sequences[i].name);
            if (!next.Step()) continue;
            to.Execute("SELECT setval('platform_sequence_" + std::to_string(i) + "', " + std::to_string(next.Int(0)) +
                       ", false)");
        }
        to.CommitOuterTransaction();
        return to.Name();
    } catch (const CvError& error) {
        if (to.InOuterTransaction()) to.RollbackOuterTransaction();
        const std::string text = std::string("the database cannot be copied: ") + error.what();
        if (IsMachineFailure(error)) throw MachineFailure(address, text);
        throw EmbeddedError(address, "", text);
    }
}
#else
std::string CopyToServer(const std::string&, const std::string& address,
                         const std::function<void(const std::string& table, int64_t rows, bool done)>&) {
    throw EmbeddedError(address, "", "this build of the platform has no PostgreSQL storage: use a database file");
}
#endif

} // namespace quendra::embedded
