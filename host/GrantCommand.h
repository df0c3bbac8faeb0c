// GrantCommand: `quendra grant URI ROLE [--admin]`: gives a team's database role its rights on a server.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Command.h"

#include <CLI/CLI.hpp>

#include <ostream>
#include <string>

namespace quendra::host {

class GrantCommand : public Command {
public:
    CLI::App* Register(CLI::App& app) override;
    int Run(std::ostream& out, std::ostream& errors) override;

private:
    std::string address_;
    std::string role_;
    bool admin_ = false;
};

} // namespace quendra::host
