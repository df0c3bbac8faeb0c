// PlayCommand: `quendra play FILE...`: plays scenario files and says which pass.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Command.h"

#include <CLI/CLI.hpp>

#include <ostream>
#include <string>
#include <vector>

namespace quendra::host {

class PlayCommand : public Command {
public:
    CLI::App* Register(CLI::App& app) override;
    int Run(std::ostream& out, std::ostream& errors) override;

private:
    CLI::App* command_ = nullptr;
    std::vector<std::string> files_;
    std::string server_;
    bool json_ = false;
    bool listCalls_ = false;
    bool throughCom_ = false;
};

} // namespace quendra::host
