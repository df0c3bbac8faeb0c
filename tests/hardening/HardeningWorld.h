// HardeningWorld: a plant database file in a temporary folder, child processes that work on it, and short
// ways to script the user's answers.
#pragma once

#include "Database.h"
#include "ScriptedUser.h"

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace quendra::hardening {

using embedded::ObjectKey;
using Values = std::vector<std::pair<std::string, Value>>;

inline scripted::Answer Button(const std::string& caption) {
    scripted::Answer answer;
    answer.kind = scripted::Answer::Kind::Button;
    answer.button = caption;
    answer.description = "button " + caption;
    return answer;
}

inline scripted::Answer SetRows(std::vector<std::pair<std::string, std::string>> rows) {
    scripted::Answer answer;
    answer.kind = scripted::Answer::Kind::Set;
    answer.set = std::move(rows);
    answer.button = "OK";
    answer.description = "set then OK";
    return answer;
}

// A folder of its own for one test's database file, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quendra-hardening-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Runs the work in a child process; the child writes the problems it found, one a line, to the report file
// and ends without running anything of the parent's (no test framework, no destructors).
inline pid_t RunInChild(const std::string& reportPath, const std::function<std::vector<std::string>()>& work) {
    pid_t pid = fork();
    if (pid != 0) return pid;
    std::vector<std::string> problems;
    try {
        problems = work();
    } catch (const std::exception& error) {
        problems.push_back(std::string("the child failed: ") + error.what());
    }
    {
        std::ofstream report(reportPath);
        for (const auto& problem : problems) report << problem << "\n";
    }
    _exit(problems.empty() ? 0 : 1);
}

inline std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

// A plain connection for what only SQLite itself can tell (integrity, counts while a child works).
class RawDatabase {
public:
    explicit RawDatabase(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot open " + path);
        sqlite3_busy_timeout(db_, 10000);
    }
    ~RawDatabase() { sqlite3_close_v2(db_); }
    RawDatabase(const RawDatabase&) = delete;
    RawDatabase& operator=(const RawDatabase&) = delete;

    // The first column of every row, as text.
    std::vector<std::string> Column(const std::string& sql) {
        std::vector<std::string> rows;
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db_));
        while (sqlite3_step(statement) == SQLITE_ROW) {
            const unsigned char* text = sqlite3_column_text(statement, 0);
            rows.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
        }
        sqlite3_finalize(statement);
        return rows;
    }

private:
    sqlite3* db_ = nullptr;
};

} // namespace quendra::hardening
