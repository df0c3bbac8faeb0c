// DesktopCommand: the options; the window itself is the desktop's.
// SPDX-License-Identifier: Apache-2.0
#include "DesktopCommand.h"

namespace quendra::host {

CLI::App* DesktopCommand::Register(CLI::App& app) {
    auto* command = app.add_subcommand("desktop", "Open the desktop window on a database: search, the parts tree, "
                                                  "and the hooks from the tree's context menu");
    command->add_option("DB", options_.database,
                        "The database file, or a database server's address (postgresql://...); without it the "
                        "desktop asks for one");
    command->add_option("--user", options_.user,
                        "The login to work as (default: on a server the login of your database role, on a file the "
                        "database's first user)");
    command->add_option("--config", options_.config,
                        "A JSON file of the text arguments per hook, e.g. "
                        "{\"AddExistingPart\": {\"LinkAttributes\": \"CN_QUANTITY\"}} (default: the plant model's)");
    command->add_option("--screenshot", options_.screenshot,
                        "Render the window into this PNG file instead of showing it");
    return command;
}

int DesktopCommand::Run(std::ostream& out, std::ostream&) {
    return desktop::RunDesktop(options_, out);
}

} // namespace quendra::host
