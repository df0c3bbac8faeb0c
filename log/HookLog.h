// HookLog: the administrators' log, one line appended per hook call, off unless a file is named.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace quendra::log {

class HookLog {
public:
    // The file named by the environment variable QUENDRA_LOG, else (on Windows) by the value
    // LogFile of the key Software\Quendra under HKEY_CURRENT_USER, then HKEY_LOCAL_MACHINE; empty: no log.
    static std::string ConfiguredPath();

    // Off when path is empty.
    explicit HookLog(std::string path = ConfiguredPath());

    bool On() const { return !path_.empty(); }

    // Appends the line of one call: result the hook result, none when a failure left the hook;
    // failure the text of the failure the hook caught or let pass. Several processes may append
    // to one file at once: each line is written by one append. A log that cannot be written is
    // left alone, never failing the call.
    void Append(const std::string& hook, std::optional<int16_t> result, std::chrono::steady_clock::duration took,
                const std::string& failure) const noexcept;

private:
    std::string path_;
};

} // namespace quendra::log
