// WindowsCommand: `quendra windows --out DIR`: pictures of every window, for the documentation.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <CLI/CLI.hpp>

#include <ostream>
#include <string>

namespace quendra::host {

class WindowsCommand {
public:
    CLI::App* Register(CLI::App& app);
    int Run(std::ostream& out);

private:
    std::string outDir_;
};

} // namespace quendra::host
