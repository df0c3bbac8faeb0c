// Lower case for UTF-8 texts, letter by letter, as names and extensions are compared.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>

namespace quendra {

// Every code point that has a simple lower-case mapping (one code point to one, Unicode 14.0, all
// planes: Latin, Greek, Coptic, Cyrillic, Armenian, Georgian, Cherokee, Glagolitic, Deseret, Adlam
// and the rest) is replaced by it; everything else, bytes that are no valid UTF-8 included, is kept.
// The text keeps its length in code points; no language-specific or context rule applies (a capital
// sigma is always the medial small sigma, the dotted capital I is a plain i).
std::string LowerCase(const std::string& text);

} // namespace quendra
