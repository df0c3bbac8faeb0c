// HooksCommand: the table is the hook catalog's.
// SPDX-License-Identifier: Apache-2.0
#include "HooksCommand.h"

#include "CommandError.h"
#include "HookCatalog.h"

namespace quendra::host {

CLI::App* HooksCommand::Register(CLI::App& app) {
    return app.add_subcommand("hooks", "List the eighteen hooks: their arguments, what each does and what "
                                       "its result means");
}

int HooksCommand::Run(std::ostream& out, std::ostream&) {
    out << playback::HookCatalog::Table();
    return playback::Done;
}

} // namespace quendra::host
