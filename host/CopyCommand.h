// CopyCommand: `quendra copy FILE URI`: moves a database file to a database server.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Command.h"

#include <CLI/CLI.hpp>

#include <ostream>
#include <string>

namespace quendra::host {

class CopyCommand : public Command {
public:
    CLI::App* Register(CLI::App& app) override;
    // Progress goes to `progress` (one line a table, more for long ones), the result to `out`.
    int Run(std::ostream& out, std::ostream& progress) override;

private:
    std::string file_;
    std::string address_;
};

} // namespace quendra::host
