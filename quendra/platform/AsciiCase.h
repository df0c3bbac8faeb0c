// Lower case for keywords: the few English words a value or a query condition may spell ("true",
// "false", "like", "and").
#pragma once

#include <string>

namespace quendra {

// Only A to Z change, whatever the locale, so a keyword is recognised in no spelling beyond its
// plain letters. Names and file extensions, which users write in any script, are compared through
// LowerCase (quendra/common) instead: that one maps every letter Unicode gives a lower case.
inline std::string AsciiLowerCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

} // namespace quendra
