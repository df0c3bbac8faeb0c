// DesktopCommand: `quendra desktop DB`: the desktop window on a database file (built where Qt is).
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Command.h"
#include "DesktopRun.h"

#include <CLI/CLI.hpp>

#include <ostream>

namespace quendra::host {

class DesktopCommand : public Command {
public:
    CLI::App* Register(CLI::App& app) override;
    int Run(std::ostream& out, std::ostream& errors) override;

private:
    desktop::DesktopOptions options_;
};

} // namespace quendra::host
