// DatabaseFile: opening checks first, so a wrong file is reported before anything touches it.
#include "DatabaseFile.h"

#include "CommandError.h"

#include "SqliteFiles.h"

#include <sqlite3.h>

#include <filesystem>

namespace quendra::host {

std::shared_ptr<embedded::Database> DatabaseFile::Open(const std::string& path, embedded::OpenMode mode) {
    if (embedded::IsServerAddress(path)) {
        try {
            return embedded::Database::Open(path, mode);
        } catch (const embedded::UnreachableServer& unreachable) {
            throw EnvironmentError(unreachable.what());
        } catch (const embedded::EmbeddedError& wrong) {
            throw CommandError(path + ": " + wrong.what());
        }
    }
    std::error_code error;
    if (!std::filesystem::exists(path, error)) throw CommandError("no database file " + path + " exists");
    if (!std::filesystem::is_regular_file(path, error)) throw CommandError(path + " is not a database file");
    try {
        return embedded::Database::Open(path, mode);
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
    auto [name, flags] = embedded::ReadingOpenArguments(from);
    if (sqlite3_open_v2(name.c_str(), &source, flags, nullptr) != SQLITE_OK) {
        problem = sqlite3_errmsg(source);
    } else if (sqlite3_open_v2(to.c_str(), &target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        problem = sqlite3_errmsg(target);
    } else if (sqlite3_backup* backup = sqlite3_backup_init(target, "main", source, "main")) {
        sqlite3_backup_step(backup, -1);
        if (sqlite3_backup_finish(backup) != SQLITE_OK) problem = sqlite3_errmsg(target);
    } else {
        problem = sqlite3_errmsg(target);
    }
    sqlite3_close(target);
    sqlite3_close(source);
    if (!problem.empty()) throw CommandError("cannot keep the database as " + to + ": " + problem);
}

} // namespace quendra::host
