// DatabaseFile: opening checks first, so a wrong file is reported before anything touches it.
#include "DatabaseFile.h"

#include "CommandError.h"

#include <sqlite3.h>

#include <filesystem>

namespace quendra::host {

std::shared_ptr<embedded::Database> DatabaseFile::Open(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) throw CommandError("no database file " + path + " exists");
    if (!std::filesystem::is_regular_file(path, error)) throw CommandError(path + " is not a database file");
    try {
        return embedded::Database::Open(path);
    } catch (const embedded::EmbeddedError& wrong) {
        throw CommandError(path + ": " + wrong.what());
    } catch (const CvError& wrong) {
        throw CommandError(path + ": " + wrong.what());
    }
}

std::vector<std::pair<int32_t, std::string>> DatabaseFile::Users(const std::string& path) {
    sqlite3* connection = nullptr;
    std::vector<std::pair<int32_t, std::string>> users;
    if (sqlite3_open_v2(path.c_str(), &connection, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
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

} // namespace quendra::host
