// Selector: Class(ATTRIBUTE=text); the text runs to the last closing parenthesis.
// SPDX-License-Identifier: Apache-2.0
#include "Selector.h"

namespace quendra::playback {

std::optional<Selector> Selector::Parse(const std::string& ref) {
    auto open = ref.find('(');
    if (open == std::string::npos || open == 0 || ref.empty() || ref.back() != ')') return std::nullopt;
    auto equals = ref.find('=', open);
    if (equals == std::string::npos || equals == open + 1) return std::nullopt;
    Selector selector;
    selector.className = ref.substr(0, open);
    selector.attribute = ref.substr(open + 1, equals - open - 1);
    selector.text = ref.substr(equals + 1, ref.size() - equals - 2);
    return selector;
}

} // namespace quendra::playback
