// CommandLine: the quendra command's subcommands, parsed and run.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <ostream>

namespace quendra::host {

class CommandLine {
public:
    // The exit status: 0 done, 1 a scenario expectation failed, 2 a wrong argument, file or database,
    // 3 the environment (no temporary folder, no permission).
    static int Run(int argc, const char* const* argv, std::ostream& out, std::ostream& errors);

private:
    static int RunCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& errors);
};

} // namespace quendra::host
