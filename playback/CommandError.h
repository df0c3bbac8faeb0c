// CommandError: a command that cannot do what it was asked, said in one line; the command exits 2.
// EnvironmentError: the machine stops the command (no temporary folder, no permission, a full disk), not
// anything the user gave; the command exits 3.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <stdexcept>
#include <string>

namespace quendra::playback {

class CommandError : public std::runtime_error {
public:
    explicit CommandError(const std::string& message) : std::runtime_error(message) {}
};

class EnvironmentError : public std::runtime_error {
public:
    explicit EnvironmentError(const std::string& message) : std::runtime_error(message) {}
};

// Exit statuses of every command.
enum ExitStatus : int { Done = 0, ExpectationFailed = 1, WrongArgument = 2, EnvironmentFault = 3 };

} // namespace quendra::playback
