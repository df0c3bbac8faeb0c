// DatabaseFile: an existing database file, or a database on a server (a postgresql:// address), opened for a command,
// the users stored in it, and copies of it.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Database.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace quendra::playback {

class DatabaseFile {
public:
    // A missing, unreadable, locked, damaged or foreign file throws CommandError naming it and saying
    // what to do; a server that cannot be reached throws EnvironmentError. ReadOnly never writes the file, and works on
    // a file that cannot be written.
    static std::shared_ptr<embedded::Database> Open(const std::string& path,
                                                    embedded::OpenMode mode = embedded::OpenMode::ReadWrite);
    // (object id, login) of every user, in the order they were made.
    static std::vector<std::pair<int32_t, std::string>> Users(const std::string& path);
    // The login a person works as who asked for `wanted` (empty: none in particular): on a server the login of
    // the connection's role, on a file (or for a role whose login is no user) the first user. Throws
    // CommandError for a login there is no user of, or one the server's role may not work as.
    static std::string WorkingLogin(embedded::Database& database, const std::string& path, const std::string& wanted);
    // Copies the database page by page with everything committed, its write-ahead log included,
    // replacing what is at `to`; copying a file onto itself throws CommandError.
    static void Copy(const std::string& from, const std::string& to);
};

} // namespace quendra::playback
