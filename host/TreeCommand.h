// TreeCommand: `quendra tree DB PART_NUMBER`: the parts tree below a part, with link values and lock holders.
#pragma once

#include <CLI/CLI.hpp>

#include <ostream>
#include <string>

namespace quendra::host {

class TreeCommand {
public:
    CLI::App* Register(CLI::App& app);
    int Run(std::ostream& out);

private:
    std::string database_;
    std::string partNumber_;
};

} // namespace quendra::host
