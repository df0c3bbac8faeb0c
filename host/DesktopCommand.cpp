// DesktopCommand: the options; the window itself is the desktop target's.
#include "DesktopCommand.h"

#include "DesktopRun.h"

namespace quendra::host {

CLI::App* DesktopCommand::Register(CLI::App& app) {
    auto* command = app.add_subcommand("desktop", "Open the desktop window on a database: search, the parts tree, "
                                                  "and the hooks from the tree's context menu");
    command->add_option("DB", database_, "The database file")->required();
    command->add_option("--user", user_, "The login to work as (default: the database's first user)");
    command->add_option("--config", config_,
                        "A JSON file of the text arguments per hook, e.g. "
                        "{\"AddExistingPart\": {\"LinkAttributes\": \"CN_QUANTITY\"}} (default: the plant model's)");
    command->add_option("--screenshot", screenshot_, "Render the window into this PNG file instead of showing it");
    return command;
}

int DesktopCommand::Run(std::ostream& out) {
    return desktop::RunDesktop({database_, user_, config_, screenshot_}, out);
}

} // namespace quendra::host
