// DesktopCommand: `quendra desktop DB`: the desktop window on a database file.
#pragma once

#include <CLI/CLI.hpp>

#include <ostream>
#include <string>

namespace quendra::host {

class DesktopCommand {
public:
    CLI::App* Register(CLI::App& app);
    int Run(std::ostream& out);

private:
    std::string database_, user_, config_, screenshot_;
};

} // namespace quendra::host
