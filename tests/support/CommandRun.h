// CommandRun: the quendra command run in the test's process, with what it printed and its exit status.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CommandLine.h"

#include <sstream>
#include <string>
#include <vector>

namespace quendra::test {

struct Ran {
    int status;
    std::string out;
    std::string errors;
};

// Runs `quendra` with these arguments.
inline Ran Quendra(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "quendra");
    std::vector<const char*> argv;
    for (const auto& argument : arguments) argv.push_back(argument.c_str());
    std::ostringstream out, errors;
    int status = host::CommandLine::Run(static_cast<int>(argv.size()), argv.data(), out, errors);
    return {status, out.str(), errors.str()};
}

} // namespace quendra::test
