// The names scenario and answer files give the keys a window reacts to, both ways.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "WindowSystem.h"

#include <array>
#include <string>
#include <string_view>
#include <utility>

namespace quendra::ui::keys {

constexpr int Tab = 9;

inline constexpr std::array<std::pair<std::string_view, int>, 8> Names = {{{"Enter", Enter},
                                                                           {"Escape", Escape},
                                                                           {"Space", Space},
                                                                           {"Left", Left},
                                                                           {"Up", Up},
                                                                           {"Right", Right},
                                                                           {"Down", Down},
                                                                           {"Tab", Tab}}};

// The key code of a name, -1 for a name no key has.
inline int Named(std::string_view name) {
    for (const auto& [keyName, code] : Names)
        if (keyName == name) return code;
    return -1;
}

// The name of a key code; a key without a name is written as its code.
inline std::string NameOf(int code) {
    for (const auto& [keyName, keyCode] : Names)
        if (keyCode == code) return std::string(keyName);
    return std::to_string(code);
}

} // namespace quendra::ui::keys
