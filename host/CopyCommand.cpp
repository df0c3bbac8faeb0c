// CopyCommand: the file is only read; the server's schema gets the tables, every row and the positions of the
// numbers, all in one transaction.
// SPDX-License-Identifier: Apache-2.0
#include "CopyCommand.h"

#include "CommandError.h"

#include "Database.h"
#include "DatabaseCopy.h"

#include <filesystem>

namespace quendra::host {

CLI::App* CopyCommand::Register(CLI::App& app) {
    auto* command = app.add_subcommand(
        "copy", "Copy a database file to a database server: the data model, every object, link, user and workflow "
                "entry, and the numbers to hand out next");
    command->add_option("FILE", file_, "The database file to copy (only read)")->required();
    command
        ->add_option("URI", address_,
                     "The server's address, a PostgreSQL connection URI (postgresql://...); the schema it "
                     "selects must hold no database of this platform yet")
        ->required();
    command->footer("Example: quendra copy plant.db postgresql://plant_owner@db.example.com/plant\n");
    return command;
}

int CopyCommand::Run(std::ostream& out, std::ostream& progress) {
    if (embedded::IsServerAddress(file_))
        throw playback::CommandError(file_ + " is a server address: copy moves a database file to a server");
    if (!embedded::IsServerAddress(address_))
        throw playback::CommandError(address_ + " is no server address: give a PostgreSQL connection URI such as "
                                                "postgresql://user@host/database");
    std::error_code error;
    if (!std::filesystem::is_regular_file(file_, error))
        throw playback::CommandError("no database file " + file_ + " exists");
    int64_t total = 0;
    std::string copiedTo;
    try {
        copiedTo = embedded::CopyToServer(file_, address_, [&](const std::string& table, int64_t rows, bool done) {
            progress << (done ? "copied " : "copying ") << table << ": " << rows << (rows == 1 ? " row" : " rows")
                     << (done ? "" : " so far") << '\n';
            if (done) total += rows;
        });
    } catch (const embedded::MachineFailure& failure) {
        throw playback::EnvironmentError(failure.what());
    }
    out << "copied " << file_ << " to " << copiedTo << ": " << total << " rows\n";
    return 0;
}

} // namespace quendra::host
