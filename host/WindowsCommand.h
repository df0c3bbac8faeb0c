// WindowsCommand: `quendra windows --out DIR`: pictures of every window, for the documentation.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Command.h"

#include <CLI/CLI.hpp>

#include <ostream>
#include <string>

namespace quendra::host {

class WindowsCommand : public Command {
public:
    CLI::App* Register(CLI::App& app) override;
    int Run(std::ostream& out, std::ostream& errors) override;

private:
    std::string outDir_;
};

} // namespace quendra::host
