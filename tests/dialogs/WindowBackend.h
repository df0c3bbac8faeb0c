// WindowBackend: a window toolkit under test together with a user who answers its windows.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "ScriptedUser.h"
#include "WindowSystem.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quendra::test {

class WindowBackend {
public:
    virtual ~WindowBackend() = default;
    virtual ui::WindowSystem& Windows() = 0;
    // The answers for the windows still to come, as the scripted user takes them.
    virtual void Answer(std::vector<answering::Answer> answers) = 0;
    // The windows that appeared since the answers were given, with what they showed.
    virtual std::vector<answering::WindowRecord> Shown() const = 0;
    virtual std::optional<std::string> Failure() const = 0;
};

// "scripted", and "qt" where the Qt toolkit is built.
std::vector<std::string> BackendNames();
std::unique_ptr<WindowBackend> MakeBackend(const std::string& name);

} // namespace quendra::test
