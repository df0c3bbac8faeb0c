// GrantCommand: `quendra grant URI ROLE [--admin]`: gives a team's database role its rights on a server.
#pragma once

#include <CLI/CLI.hpp>

#include <ostream>
#include <string>

namespace quendra::host {

class GrantCommand {
public:
    CLI::App* Register(CLI::App& app);
    int Run(std::ostream& out);

private:
    std::string address_;
    std::string role_;
    bool admin_ = false;
};

} // namespace quendra::host
