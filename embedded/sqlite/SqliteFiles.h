// SqliteFiles: the platform's databases as SQLite files (or in memory), made and opened with the checks a
// file needs before anything touches it.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "SqliteConnection.h"

#include <memory>
#include <string>
#include <utility>

namespace quendra::embedded {

// A new database file (that must not exist yet) or ":memory:", ready for its schema. Throws StorageError
// when the file exists, CvError when SQLite fails.
std::unique_ptr<SqliteConnection> CreateSqliteFile(const std::string& path);

// An existing database file. A missing, unwritable (unless reading), or unopenable file throws StorageError
// saying what is wrong and what to do. Reading never writes the file.
std::unique_ptr<SqliteConnection> OpenSqliteFile(const std::string& path, bool reading);

// Once the file proved to be a database of this platform: the write-ahead log and its flushing for writing.
void PrepareSqliteFileForWriting(SqliteConnection& connection);

// The file name and flags for sqlite3_open_v2 with which a plain SQLite connection only reads the file and,
// for a file nobody may write, leaves nothing beside it.
std::pair<std::string, int> ReadingOpenArguments(const std::string& path);

} // namespace quendra::embedded
