// DatabaseFile: opening checks first, so a wrong file is reported before anything touches it.
// SPDX-License-Identifier: Apache-2.0
#include "DatabaseFile.h"

#include "CommandError.h"

#include "ScriptedUser.h"

#include "SqliteFiles.h"

#include <sqlite3.h>

#include <filesystem>

namespace quendra::playback {

std::shared_ptr<embedded::Database> DatabaseFile::Open(const std::string& path, embedded::OpenMode mode) {
    if (embedded::IsServerAddress(path)) {
        try {
            return embedded::Database::Open(path, mode);
        } catch (const embedded::MachineFailure& failure) {
            throw EnvironmentError(failure.what());
        } catch (const embedded::EmbeddedError& wrong) {
            throw CommandError(path + ": " + wrong.what());
        }
    }
    std::error_code error;
    if (!std::filesystem::exists(path, error)) throw CommandError("no database file " + path + " exists");
    if (!std::filesystem::is_regular_file(path, error)) throw CommandError(path + " is not a database file");
    try {
        return embedded::Database::Open(path, mode);
    } catch (const embedded::MachineFailure& failure) {
        throw EnvironmentError(path + ": " + failure.what());
    } catch (const embedded::EmbeddedError& wrong) {
        throw CommandError(path + ": " + wrong.what());
    } catch (const CvError& wrong) {
        throw CommandError(path + ": " + wrong.what());
    }
}

std::vector<std::pair<int32_t, std::string>> DatabaseFile::Users(const std::string& path) {
    if (embedded::IsServerAddress(path)) return Open(path, embedded::OpenMode::ReadOnly)->Users();
    sqlite3* connection = nullptr;
    std::vector<std::pair<int32_t, std::string>> users;
    auto [name, flags] = embedded::ReadingOpenArguments(path);
    if (sqlite3_open_v2(name.c_str(), &connection, flags, nullptr) != SQLITE_OK) {
        sqlite3_close(connection);
        throw CommandError(path + " cannot be read as a database");
    }
    sqlite3_stmt* statement = nullptr;
    int status = sqlite3_prepare_v2(connection, "SELECT OBJECT_ID, LOGIN FROM USERS ORDER BY OBJECT_ID", -1, &statement,
                                    nullptr);
    while (status == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW) {
        auto login = sqlite3_column_text(statement, 1);
        users.emplace_back(sqlite3_column_int(statement, 0), login ? reinterpret_cast<const char*>(login) : "");
    }
    sqlite3_finalize(statement);
    sqlite3_close(connection);
    if (status != SQLITE_OK) throw CommandError(path + " holds no users table");
    return users;
}

std::string DatabaseFile::WorkingLogin(embedded::Database& database, const std::string& path,
                                       const std::string& wanted) {
    std::string login = wanted;
    if (login.empty()) login = database.ServerLogin().value_or("");
    if (login.empty() || (wanted.empty() && !database.UserId(login))) {
        auto users = Users(path);
        if (users.empty()) throw CommandError(path + " has no users to log in with");
        login = users.front().second;
    }
    if (!database.UserId(login)) throw CommandError("there is no user \"" + login + "\" in " + path);
    // The server's word on whether the role may work as that login.
    scripted::ScriptedUser nobody;
    try {
        database.Login(login, nobody);
    } catch (const embedded::EmbeddedError& refused) {
        throw CommandError(path + ": " + refused.what());
    }
    return login;
}

void DatabaseFile::Copy(const std::string& from, const std::string& to) {
    if (embedded::IsServerAddress(from))
        throw CommandError("cannot keep the database at " + from + " as " + to +
                           ": only a database file is copied beside a recording (use pg_dump for a server)");
    std::error_code error;
    if (std::filesystem::equivalent(from, to, error))
        throw CommandError("cannot keep the database as " + to + ": it is the database itself");
    std::filesystem::remove(to, error);
    sqlite3* source = nullptr;
    sqlite3* target = nullptr;
    std::string problem;
    bool machine = false; // the copy's folder may not be written, the disk is full
    auto fail = [&](sqlite3* db) {
        problem = sqlite3_errmsg(db);
        const int code = sqlite3_errcode(db) & 0xff;
        // A folder that does not exist is the command's mistake, one that may not be written the machine's.
        const auto folder = std::filesystem::absolute(to, error).parent_path();
        machine = db == target &&
                  ((code == SQLITE_CANTOPEN && std::filesystem::is_directory(folder, error)) ||
                   code == SQLITE_READONLY || code == SQLITE_PERM || code == SQLITE_FULL || code == SQLITE_IOERR);
    };
    auto [name, flags] = embedded::ReadingOpenArguments(from);
    if (sqlite3_open_v2(name.c_str(), &source, flags, nullptr) != SQLITE_OK) {
        fail(source);
    } else if (sqlite3_open_v2(to.c_str(), &target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        fail(target);
    } else if (sqlite3_backup* backup = sqlite3_backup_init(target, "main", source, "main")) {
        sqlite3_backup_step(backup, -1);
        if (sqlite3_backup_finish(backup) != SQLITE_OK) fail(target);
    } else {
        fail(target);
    }
    sqlite3_close(target);
    sqlite3_close(source);
    if (machine) throw EnvironmentError("cannot keep the database as " + to + ": " + problem);
    if (!problem.empty()) throw CommandError("cannot keep the database as " + to + ": " + problem);
}

} // namespace quendra::playback
