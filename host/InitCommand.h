// InitCommand: `quendra init DB`: makes a database from a model, optionally with the sample product.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Command.h"

#include <CLI/CLI.hpp>

#include <ostream>
#include <string>

namespace quendra::host {

class InitCommand : public Command {
public:
    CLI::App* Register(CLI::App& app) override;
    int Run(std::ostream& out, std::ostream& errors) override;

private:
    int MakeOnServer(std::ostream& out);
    std::string database_;
    std::string model_ = "plant";
    bool sample_ = false;
};

} // namespace quendra::host
