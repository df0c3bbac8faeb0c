// CommandError: a command that cannot do what it was asked, said in one line; the command exits 2.
#pragma once

#include <stdexcept>
#include <string>

namespace quendra::host {

class CommandError : public std::runtime_error {
public:
    explicit CommandError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace quendra::host
