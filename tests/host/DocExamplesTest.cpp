// Every example in the README and in docs/ runs as written and prints what it shows.
//
// Each document's examples run in order in one fresh folder, where `quendra` is on the PATH and the
// README's `build/release/host/quendra` and `examples/` are at hand. Fenced blocks are read as:
// - ```sh: commands, each of which must succeed; lines "#   text" under a command are lines its output
//   holds, in that order. A command whose comment says "(needs a display)" is not run, nor one saying
//   "(builds with Qt)" in a build without Qt.
// - ``` whose first line starts with "$ ": commands and, under each, its whole output (error lines
//   too); a line "..." stands for any number of lines.
// - A block after "<!-- example: file NAME -->" is written to NAME; one after
//   "<!-- example: not run (why) -->" is skipped. Other blocks are not examples.
// - On a server (docs/server.md, run against the test server, where db.example.com stands for it): a ```sql
//   block after "<!-- example: psql URI -->" runs in psql at URI, after "<!-- example: psql as the
//   server's administrator -->" as the test server's superuser; each must succeed. The database and the
//   roles the document makes are dropped before and after.
// SPDX-License-Identifier: Apache-2.0
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace quendra::host {
namespace {

namespace fs = std::filesystem;

struct Command {
    std::string text;                  // as the shell reads it, continuation lines joined
    std::vector<std::string> expected; // the output the document shows
    int line = 0;                      // where it is written
};

struct Block {
    std::string info;   // the fence's language
    std::string marker; // the example marker before it, or empty
    std::vector<std::string> lines;
    int line = 0;
};

std::string Trim(const std::string& text) {
    auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<Block> Blocks(const std::string& path) {
    std::vector<Block> blocks;
    std::string marker;
    auto lines = Lines(std::string(std::istreambuf_iterator<char>(std::ifstream(path).rdbuf()), {}));
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto& line = lines[i];
        if (line.starts_with("<!-- example:")) {
            marker = Trim(line.substr(13, line.find("-->") - 13));
        } else if (line.starts_with("```")) {
            Block block{Trim(line.substr(3)), marker, {}, static_cast<int>(i + 1)};
            for (++i; i < lines.size() && !lines[i].starts_with("```"); ++i) block.lines.push_back(lines[i]);
            blocks.push_back(block);
            marker.clear();
        } else if (!Trim(line).empty()) {
            marker.clear();
        }
    }
    return blocks;
}

// The commands of a block: "sh" blocks hold commands with "#   " output lines, "$ " blocks commands
// with their whole output.
std::vector<Command> Commands(const Block& block) {
    std::vector<Command> commands;
    bool session = block.info.empty();
    bool continued = false;
    for (size_t i = 0; i < block.lines.size(); ++i) {
        const auto& line = block.lines[i];
        int at = block.line + static_cast<int>(i) + 1;
        if (continued) {
            commands.back().text += "\n" + line;
        } else if (session ? line.starts_with("$ ") : !line.starts_with("#") && !Trim(line).empty()) {
            commands.push_back({session ? line.substr(2) : line, {}, at});
        } else if (!commands.empty() && (session || line.starts_with("#   "))) {
            commands.back().expected.push_back(session ? line : line.substr(4));
        }
        continued = !line.empty() && line.back() == '\\';
    }
    return commands;
}

bool Skipped(const Command& command) {
#ifdef QUENDRA_WITH_QT
    const bool withQt = true;
#else
    const bool withQt = false;
#endif
    return command.text.find("(needs a display)") != std::string::npos ||
           (!withQt && command.text.find("(builds with Qt)") != std::string::npos);
}

struct Ran {
    std::string output;
    int status = -1;
};

// Runs the commands one after the other in one shell (so variables carry over) in `folder`.
std::vector<Ran> RunAll(const std::vector<Command>& commands, const std::string& folder, const std::string& bin) {
    playback::TempFolder scripts;
    auto script = scripts.Path() + "/script.sh";
    {
        std::ofstream out(script);
        out << "exec 2>&1\ncd '" << folder << "' || exit 1\nPATH='" << bin << "':\"$PATH\"\n";
        for (size_t i = 0; i < commands.size(); ++i)
            out << "printf '@@@ begin\\n'\n" << commands[i].text << "\nprintf '\\n@@@ end %d\\n' \"$?\"\n";
    }
    std::vector<Ran> ran;
    FILE* pipe = popen(("sh '" + script + "' </dev/null").c_str(), "r");
    if (!pipe) return ran;
    std::string output;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    pclose(pipe);
    Ran current;
    for (const auto& line : Lines(output)) {
        if (line == "@@@ begin") {
            current = Ran();
        } else if (line.starts_with("@@@ end ")) {
            // The newline printed before the marker is not the command's.
            if (current.output.ends_with("\n\n") || current.output == "\n") current.output.pop_back();
            current.status = std::stoi(line.substr(8));
            ran.push_back(current);
        } else {
            current.output += line + "\n";
        }
    }
    return ran;
}

// The lines match, "..." standing for any number of lines.
bool Matches(const std::vector<std::string>& expected, size_t e, const std::vector<std::string>& got, size_t g) {
    if (e == expected.size()) return g == got.size();
    if (Trim(expected[e]) == "...") {
        for (size_t skip = g; skip <= got.size(); ++skip)
            if (Matches(expected, e + 1, got, skip)) return true;
        return false;
    }
    return g < got.size() && expected[e] == got[g] && Matches(expected, e + 1, got, g + 1);
}

// Each line shown is in the output, in that order.
bool Holds(const std::vector<std::string>& shown, const std::vector<std::string>& got) {
    size_t g = 0;
    for (const auto& line : shown) {
        while (g < got.size() && Trim(got[g]) != Trim(line)) ++g;
        if (g++ >= got.size()) return false;
    }
    return true;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\n";
    return text;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The test server's address (its superuser), where server.md's examples run.
const std::string TestServer = QUENDRA_TEST_POSTGRES;

// A command that runs the block's SQL in psql at the address; the block must succeed.
Command SqlCommand(const Block& block, const std::string& address) {
    return {"psql -X -q -v ON_ERROR_STOP=1 '" + address + "' >/dev/null <<'SQL'\n" + Joined(block.lines) + "SQL",
            {},
            block.line};
}

// Drops what server.md makes: its database and the roles its administrator's blocks create.
std::string ServerCleanup(const std::vector<Block>& blocks) {
    std::string sql = "DROP DATABASE IF EXISTS plant WITH (FORCE);";
    for (const auto& block : blocks)
        for (const auto& line : block.lines)
            if (line.starts_with("CREATE ROLE ")) {
                auto name = line.substr(12, line.find(' ', 12) - 12);
                sql += " DROP ROLE IF EXISTS " + name + ";";
            }
    return "psql -X -q '" + TestServer + "' >/dev/null <<'SQL'\n" + sql + "\nSQL";
}

class DocExamples : public testing::TestWithParam<const char*> {};

TEST_P(DocExamples, RunAsWrittenAndPrintWhatTheyShow) {
    const fs::path source = QUENDRA_SOURCE_DIR;
    playback::TempFolder folder, bin;
    fs::create_symlink(QUENDRA_COMMAND, fs::path(bin.Path()) / "quendra");
    fs::create_directories(fs::path(folder.Path()) / "build/release/host");
    fs::create_symlink(QUENDRA_COMMAND, fs::path(folder.Path()) / "build/release/host/quendra");
    fs::create_symlink(source / "examples", fs::path(folder.Path()) / "examples");

    auto document = (source / GetParam()).string();
    const auto blocks = Blocks(document);
    // server.md's host is the test server, whose database and roles of the document's are made anew.
    const bool onServer = std::string(GetParam()) == "docs/server.md";
    std::string server;
    if (onServer) {
        if (TestServer.empty()) GTEST_SKIP() << "no PostgreSQL server for the tests";
        server = TestServer.substr(TestServer.find('@') + 1);
        server = server.substr(0, server.find('/'));
        RunAll({{ServerCleanup(blocks), {}, 0}}, folder.Path(), bin.Path());
    }
    int examples = 0;
    for (const auto& block : blocks) {
        if (block.marker.starts_with("file ")) {
            std::ofstream(fs::path(folder.Path()) / block.marker.substr(5)) << Joined(block.lines);
            continue;
        }
        bool shell = block.info == "sh";
        bool session = block.info.empty() && !block.lines.empty() && block.lines.front().starts_with("$ ");
        std::vector<Command> commands;
        if (onServer && block.info == "sql" && block.marker.starts_with("psql ")) {
            shell = true;
            const auto as = block.marker.substr(5);
            commands.push_back(SqlCommand(block, as.starts_with("postgresql://") ? as : TestServer));
        } else if (block.marker.starts_with("not run") || (!shell && !session)) {
            continue;
        }
        for (const auto& command : Commands(block))
            if (!Skipped(command) && !(shell && onServer && block.info == "sql")) commands.push_back(command);
        if (onServer)
            for (auto& command : commands) command.text = Replaced(command.text, "db.example.com", server);
        auto ran = RunAll(commands, folder.Path(), bin.Path());
        ASSERT_EQ(ran.size(), commands.size()) << GetParam() << ":" << block.line << ": the block stopped early";
        for (size_t i = 0; i < commands.size(); ++i) {
            const auto& command = commands[i];
            auto where = std::string(GetParam()) + ":" + std::to_string(command.line) + ": " + command.text;
            auto got = Lines(ran[i].output);
            if (shell) {
                EXPECT_EQ(ran[i].status, 0) << where << "\n" << ran[i].output;
                EXPECT_TRUE(Holds(command.expected, got)) << where << "\nshows:\n"
                                                          << Joined(command.expected) << "prints:\n"
                                                          << ran[i].output;
            } else {
                if (onServer)
                    for (auto& line : got) line = Replaced(line, server, "db.example.com");
                EXPECT_TRUE(Matches(command.expected, 0, got, 0)) << where << "\nshows:\n"
                                                                  << Joined(command.expected) << "prints:\n"
                                                                  << ran[i].output;
            }
            ++examples;
        }
    }
    EXPECT_GT(examples, 0) << GetParam() << " shows no example the test runs";
    if (onServer) RunAll({{ServerCleanup(blocks), {}, 0}}, folder.Path(), bin.Path());
}

INSTANTIATE_TEST_SUITE_P(Documents, DocExamples,
                         testing::Values("README.md", "docs/commands.md", "docs/scenarios.md", "docs/desktop.md",
                                         "docs/server.md"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string name;
                             for (char c : std::string(info.param))
                                 if (std::isalnum(static_cast<unsigned char>(c))) name += c;
                             return name;
                         });

} // namespace
} // namespace quendra::host
