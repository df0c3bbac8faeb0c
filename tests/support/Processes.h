// Child processes that work on a database file, the file made for them, and a plain SQLite connection to
// look at it.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "FileError.h"
#include "Names.h"
#include "TempFolder.h"
#include "TestWorld.h"

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quendra::test {

// A file of that name in the folder.
inline std::string File(const playback::TempFolder& folder, const std::string& name) {
    return folder.Path() + "/" + name;
}

// The bytes of a file, empty when there is none (a journal that was never made).
inline std::string FileBytes(const std::string& path) {
    return std::filesystem::exists(path) ? ReadFileText(path) : std::string();
}

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

// Runs each work in a child process of its own (as RunInChild, reporting to "<name>.report" in the folder), all
// started together once every child is made; each child's report when all have ended.
using ChildWork = std::function<std::vector<std::string>()>;
inline std::vector<std::vector<std::string>> RunTogether(const playback::TempFolder& folder,
                                                         const std::vector<std::pair<std::string, ChildWork>>& works) {
    int start[2];
    if (pipe(start) != 0) throw std::runtime_error("no pipe");
    std::vector<pid_t> children;
    for (const auto& work : works)
        children.push_back(RunInChild(File(folder, work.first + ".report"), [&] {
            char go = 0;
            if (read(start[0], &go, 1) != 1) throw std::runtime_error("no start signal");
            return work.second();
        }));
    const std::string go(works.size(), 'g');
    const bool started = write(start[1], go.data(), go.size()) == static_cast<ssize_t>(go.size());
    std::vector<std::vector<std::string>> reports;
    for (size_t i = 0; i < children.size(); ++i) {
        int status = 0;
        EXPECT_EQ(waitpid(children[i], &status, 0), children[i]);
        EXPECT_TRUE(WIFEXITED(status)) << works[i].first;
        reports.push_back(ReadLines(File(folder, works[i].first + ".report")));
    }
    close(start[0]);
    close(start[1]);
    EXPECT_TRUE(started);
    return reports;
}

// A new plant database file, open until `db` is reset, and the ids of two of its users.
struct PlantFile {
    explicit PlantFile(const std::string& path)
        : db(embedded::Database::Create(path, embedded::BuiltInModel("plant"))), carl(*db->UserId("carl")),
          dora(*db->UserId("dora")) {}

    // Released parts "<prefix>0", "<prefix>1", ... with the values given besides.
    std::vector<ObjectKey> Parts(const std::string& prefix, int count, const Values& values) {
        std::vector<ObjectKey> parts;
        for (int i = 0; i < count; ++i) {
            Values all{{names::CN_PART_NUMBER, Value::Text(prefix + std::to_string(i))},
                       {names::STATE, Value::Int16(5)}};
            all.insert(all.end(), values.begin(), values.end());
            parts.push_back(db->CreateObject(names::ClassPart, all));
        }
        return parts;
    }

    std::shared_ptr<embedded::Database> db;
    int32_t carl;
    int32_t dora;
};

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

} // namespace quendra::test
