// TreeCommand: walks the tree with its own stack (trees may be very deep) and stops at cycles. Each level holds
// one page of the links below its object, so a wide tree is printed as it is read.
// SPDX-License-Identifier: Apache-2.0
#include "TreeCommand.h"

#include "CommandError.h"
#include "DatabaseFile.h"

#include "TreeReader.h"

#include <algorithm>
#include <map>
#include <set>
#include <vector>

namespace quendra::host {

namespace {

// Links read at a time below one object.
constexpr size_t PageSize = 64;
// Levels shown by indenting; a deeper line says its level as a number, so a line's length stays bounded and
// the output grows with the number of objects, not with their depth squared.
constexpr size_t IndentedLevels = 32;

void PrintLine(std::ostream& out, size_t depth, const embedded::TreeEntry& entry,
               const std::map<int32_t, std::string>& logins, bool cycle) {
    std::string line(std::min(depth, IndentedLevels) * 2, ' ');
    if (depth > IndentedLevels) line += "[level " + std::to_string(depth) + "] ";
    line += entry.className;
    line += ' ';
    line += entry.displayText;
    if (entry.link.objectId != 0) {
        line += " (" + entry.linkClassName + "#" + std::to_string(entry.link.objectId);
        for (size_t i = 0; i < entry.linkValues.size(); ++i) {
            line += i == 0 ? ": " : ", ";
            line += entry.linkValues[i].first;
            line += '=';
            line += entry.linkValues[i].second.AsText();
        }
        line += ')';
    }
    if (entry.locked) {
        auto holder = logins.find(entry.lockHolder);
        line += " locked by " + (holder == logins.end() ? std::string("an unknown user") : holder->second);
    }
    if (cycle) line += " (already above: the tree has a cycle here)";
    line += '\n';
    out << line;
}

} // namespace

CLI::App* TreeCommand::Register(CLI::App& app) {
    auto* command = app.add_subcommand("tree", "Print the parts tree below a part");
    command->add_option("DB", database_, "The database file, or a database server's address (postgresql://...)")
        ->required();
    command->add_option("PART_NUMBER", partNumber_, "The part number (CN_PART_NUMBER) of the top part")->required();
    return command;
}

int TreeCommand::Run(std::ostream& out, std::ostream&) {
    Print(database_, partNumber_, out);
    return 0;
}

void TreeCommand::Print(const std::string& databasePath, const std::string& partNumber, std::ostream& out) {
    // Printing the tree only reads: the file stays as it is, and may be one that cannot be written.
    auto database = playback::DatabaseFile::Open(databasePath, embedded::OpenMode::ReadOnly);
    auto users = playback::DatabaseFile::Users(databasePath);
    if (users.empty()) throw playback::CommandError(databasePath + " has no users to read it with");
    std::map<int32_t, std::string> logins(users.begin(), users.end());
    auto tops = database->FindObjects("Parts", "CN_PART_NUMBER", partNumber);
    if (tops.empty()) throw playback::CommandError("no part numbered \"" + partNumber + "\" in " + databasePath);

    embedded::TreeReader reader(*database, " - ");
    // One level per object on the path from the top: the page of links below it being printed.
    struct Level {
        embedded::ObjectKey object;
        embedded::TreeReader::Page page;
        size_t next = 0;
    };
    for (const auto& top : tops) {
        auto entry = reader.Object(top);
        if (!entry) continue;
        PrintLine(out, 0, *entry, logins, false);
        std::set<std::pair<int16_t, int32_t>> onPath{{top.classId, top.objectId}};
        std::vector<Level> path;
        path.push_back({top, reader.Below(top, 0, PageSize), 0});
        while (!path.empty()) {
            Level& level = path.back();
            if (level.next == level.page.entries.size()) {
                if (level.page.more) {
                    level.page = reader.Below(level.object, level.page.lastLink, PageSize);
                    level.next = 0;
                    continue;
                }
                onPath.erase({level.object.classId, level.object.objectId});
                path.pop_back();
                continue;
            }
            const embedded::TreeEntry& child = level.page.entries[level.next++];
            const embedded::ObjectKey key = child.object;
            const bool cycle = onPath.contains({key.classId, key.objectId});
            PrintLine(out, path.size(), child, logins, cycle);
            if (cycle) continue;
            onPath.insert({key.classId, key.objectId});
            auto below = reader.Below(key, 0, PageSize);
            path.push_back({key, std::move(below), 0});
        }
    }
}

} // namespace quendra::host
