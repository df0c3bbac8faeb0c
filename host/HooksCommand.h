// HooksCommand: `quendra hooks`: the eighteen hooks, their arguments, what each does and what its result means.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Command.h"

namespace quendra::host {

class HooksCommand : public Command {
public:
    CLI::App* Register(CLI::App& app) override;
    int Run(std::ostream& out, std::ostream& errors) override;
};

} // namespace quendra::host
