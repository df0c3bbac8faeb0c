// Selector: a ref of the form Class(ATTRIBUTE=text), naming what matches when it is used.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <optional>
#include <string>

namespace quendra::playback {

struct Selector {
    std::string className;
    std::string attribute;
    std::string text;

    // The selector a ref writes, or nullopt when the ref is a plain name.
    static std::optional<Selector> Parse(const std::string& ref);
};

} // namespace quendra::playback
