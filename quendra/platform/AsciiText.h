// Plain-ASCII text helpers: the case of keywords and the trimming of list items and numbers.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>
#include <string_view>

namespace quendra {

// Lower case for the few English words a value or a query condition may spell ("true", "like",
// "and"). Only A to Z change, whatever the locale, so a keyword is recognised in no spelling beyond
// its plain letters. Names and file extensions, which users write in any script, are compared
// through LowerCase (quendra/common) instead: that one maps every letter Unicode gives a lower case.
inline std::string AsciiLowerCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The blanks each kind of text drops at its ends. They differ on purpose: an item of a link-attribute
// list loses spaces only (a tab or a line end stays part of the item), a name of the attributes to
// retrieve spaces and tabs, and a number every white-space character around it.
inline constexpr std::string_view Spaces = " ";
inline constexpr std::string_view SpacesAndTabs = " \t";
inline constexpr std::string_view WhiteSpace = " \t\n\v\f\r";

// The text without the given blanks at either end.
inline std::string TrimmedOf(std::string_view text, std::string_view blanks) {
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return "";
    return std::string(text.substr(first, text.find_last_not_of(blanks) - first + 1));
}

} // namespace quendra
