// GrantCommand: the rights themselves are the storage's to know; this says what was done.
// SPDX-License-Identifier: Apache-2.0
#include "GrantCommand.h"

#include "CommandError.h"

#include "Database.h"

namespace quendra::host {

CLI::App* GrantCommand::Register(CLI::App& app) {
    auto* command = app.add_subcommand(
        "grant", "Give a team's database role what working on a server needs: read and write the objects, links "
                 "and work lists, draw numbers; never change the users, who is who or the model");
    command->add_option("URI", address_, "The server's address as the database's owner (postgresql://owner@...)")
        ->required();
    command->add_option("ROLE", role_, "The database role of the team (or of one person)")->required();
    command->add_flag("--admin", admin_,
                      "Make the role an administrator too (a member of quendra_admin): it may work as any user");
    command->footer("Example: quendra grant postgresql://plant_owner@db.example.com/plant plant_users\n");
    return command;
}

int GrantCommand::Run(std::ostream& out, std::ostream&) {
    if (!embedded::IsServerAddress(address_))
        throw playback::CommandError(address_ + " is no server address: give a PostgreSQL connection URI such as "
                                                "postgresql://owner@host/database");
    try {
        embedded::GrantTeamRole(address_, role_, admin_);
    } catch (const embedded::MachineFailure& failure) {
        throw playback::EnvironmentError(failure.what());
    }
    out << "granted " << role_ << " the work of a team" << (admin_ ? " and the rights of an administrator" : "")
        << " on " << address_ << '\n';
    return playback::Done;
}

} // namespace quendra::host
