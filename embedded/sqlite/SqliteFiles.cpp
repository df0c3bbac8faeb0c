// Making and opening SQLite database files, with the checks that come before SQLite touches a file.
// SPDX-License-Identifier: Apache-2.0
#include "SqliteFiles.h"

#include "CvError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifndef _WIN32
#include <pwd.h>
#endif

#include <cctype>
#include <cerrno>
#include <filesystem>
#include <vector>

namespace quendra::embedded {

namespace {

// A file or folder the user may not write: the machine's fault, not the database's.
class NotWritable final : public StorageError, public MachineFault {
public:
    using StorageError::StorageError;
};

// With a write-ahead log, NORMAL keeps the file consistent after a crash of the process or the
// machine (a power loss may only drop the last commits) and spares a disk flush per platform write.
const char* kSynchronous = "PRAGMA synchronous=NORMAL";

bool IsMemory(const std::string& path) {
    return path == ":memory:";
}

// Refuses a file, or the folder where SQLite keeps the write-ahead log beside it, that cannot be written.
// A file or folder without any write permission counts as unwritable even for the superuser, who may
// write anything: writing it would surprise whoever made it read-only.
void CheckWritable(const std::string& path) {
    struct stat info {};
    stat(path.c_str(), &info);
    if ((info.st_mode & 0222) == 0)
        throw NotWritable("the database file is read-only: make it writable (chmod u+w), then try again");
    if (access(path.c_str(), W_OK) != 0) {
        if (errno == EROFS)
            throw NotWritable("the database file is on a read-only file system: copy it to a writable folder");
        throw NotWritable("no permission to write the database file: ask its owner for write access, then try "
                          "again");
    }
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    const std::string folder = parent.empty() ? std::string(".") : parent.string();
    struct stat folderInfo {};
    if (stat(folder.c_str(), &folderInfo) != 0 || (folderInfo.st_mode & 0222) == 0 ||
        access(folder.c_str(), W_OK | X_OK) != 0)
        throw NotWritable("no permission to write in the folder " + folder +
                          ", where the database keeps its log beside the file: ask for write access to the "
                          "folder, or move the file to a folder you can write");
}

// A file nobody may write, without a write-ahead log beside it: no other program can change it while it is
// read, so it is read as it lies, without the log and shared-memory files SQLite would otherwise leave
// beside it (with the file's own read-only permissions, in the way of whoever makes it writable later).
bool Unwritable(const std::string& path, const struct stat& info) {
    struct stat log {};
    return (info.st_mode & 0222) == 0 && stat((path + "-wal").c_str(), &log) != 0;
}

std::string ImmutableUri(const std::string& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string uri = "file:";
    std::error_code unknownFolder; // a working folder that was removed: the path is taken as it is
    const auto full = std::filesystem::absolute(path, unknownFolder);
    for (unsigned char c : unknownFolder ? path : full.string()) {
        if (std::isalnum(c) || c == '/' || c == '.' || c == '-' || c == '_' || c == '~') {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri + "?immutable=1";
}

#ifndef _WIN32
std::string UserName(uid_t id) {
    struct passwd entry {};
    struct passwd* found = nullptr;
    std::vector<char> room(4096);
    if (getpwuid_r(id, &entry, room.data(), room.size(), &found) == 0 && found) return found->pw_name;
    return "the user with id " + std::to_string(id);
}

// A reader that is not the file's owner and would make the write-ahead log and shared-memory files of a
// database kept with one: SQLite makes them as the process's own, and the owner could no longer write the
// database. The superuser is let through: SQLite hands the files it makes to the database file's owner.
void RefuseToTakeSideFiles(const std::string& path, const struct stat& info) {
    uid_t reader = geteuid();
    if (reader == 0 || reader == info.st_uid) return;
    struct stat side {};
    if (stat((path + "-wal").c_str(), &side) == 0 && stat((path + "-shm").c_str(), &side) == 0) return;
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (access(parent.empty() ? "." : parent.c_str(), W_OK | X_OK) != 0) return; // nothing can be made there
    // Bytes 18 and 19 of the header are 2 in a database kept with a write-ahead log.
    unsigned char header[20] = {};
    int file = open(path.c_str(), O_RDONLY);
    bool logged = file >= 0 && pread(file, header, sizeof header, 0) == sizeof header && header[18] == 2;
    if (file >= 0) close(file);
    if (!logged) return;
    const std::string owner = UserName(info.st_uid);
    throw StorageError("the database file belongs to " + owner + ", and reading it now would make the files " +
                       "kept beside it (" + path + "-wal, -shm) yours, so that " + owner +
                       " could no longer write it: read it while " + owner +
                       " has it open (quendra desktop keeps it open), or read a copy");
}
#endif

} // namespace

std::pair<std::string, int> ReadingOpenArguments(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return {path, SQLITE_OPEN_READONLY};
    if (Unwritable(path, info)) return {ImmutableUri(path), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI};
#ifndef _WIN32
    RefuseToTakeSideFiles(path, info);
#endif
    return {path, SQLITE_OPEN_READONLY};
}

std::unique_ptr<SqliteConnection> CreateSqliteFile(const std::string& path) {
    struct stat info {};
    if (!IsMemory(path) && stat(path.c_str(), &info) == 0) throw StorageError("the database file exists already");
    auto connection = std::make_unique<SqliteConnection>(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (!IsMemory(path)) PrepareSqliteFileForWriting(*connection);
    return connection;
}

std::unique_ptr<SqliteConnection> OpenSqliteFile(const std::string& path, bool reading) {
    struct stat info {};
    if (IsMemory(path)) throw StorageError("a database in memory cannot be opened again");
    if (stat(path.c_str(), &info) != 0) throw StorageError("the database file does not exist");
    if (!S_ISREG(info.st_mode)) throw StorageError("the database path is not a file");
    if (!reading) CheckWritable(path);
    try {
        auto [name, flags] = reading ? ReadingOpenArguments(path) : std::pair(path, SQLITE_OPEN_READWRITE);
        return std::make_unique<SqliteConnection>(name, flags);
    } catch (const CvError& error) {
        throw StorageError(std::string("the database cannot be opened: ") + error.what());
    }
}

void PrepareSqliteFileForWriting(SqliteConnection& connection) {
    connection.Execute("PRAGMA journal_mode=WAL");
    connection.Execute(kSynchronous);
}

} // namespace quendra::embedded
