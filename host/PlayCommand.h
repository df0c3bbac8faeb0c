// PlayCommand: `quendra play FILE...`: plays scenario files and says which pass.
#pragma once

#include <CLI/CLI.hpp>

#include <ostream>
#include <string>
#include <vector>

namespace quendra::host {

class PlayCommand {
public:
    CLI::App* Register(CLI::App& app);
    int Run(std::ostream& out, std::ostream& errors);

private:
    CLI::App* command_ = nullptr;
    std::vector<std::string> files_;
    std::string server_;
    bool json_ = false;
    bool listCalls_ = false;
    bool throughCom_ = false;
};

} // namespace quendra::host
