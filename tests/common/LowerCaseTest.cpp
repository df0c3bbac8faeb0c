// Lower-casing texts letter by letter, as file extensions are compared.
// SPDX-License-Identifier: Apache-2.0
#include "LowerCase.h"

#include <gtest/gtest.h>

#include <utility>

namespace quendra {
namespace {

// Extensions compare lower-cased letter by letter; bytes that are no UTF-8 stay as they are.
TEST(LowerCaseTest, EveryLetterWithASimpleLowerCaseMappingIsLowered) {
    const std::pair<const char*, const char*> cases[] = {
        {"DWG.Doc9", "dwg.doc9"},
        {"DÄT ÀÞ ×", "dät àþ ×"},        // Latin-1, the multiplication sign is no letter
        {"ĀĲŸ ǄǅǊ", "āĳÿ ǆǆǌ"},          // Latin Extended-A and B, titlecase digraphs too
        {"İ K Å ẞ", "i k å ß"},          // dotted I, Kelvin, Angstrom signs, capital sharp s
        {"ΣΧΔ ΆΏ Ϊ", "σχδ άώ ϊ"},        // Greek: sigma is always medial
        {"МДЛ ЀЏ Ѡ Ӂ", "мдл ѐџ ѡ ӂ"},    // Cyrillic with its extensions
        {"ԱՖ ᲐᲿ Ⴀ", "աֆ აჿ ⴀ"},  // Armenian, Georgian Mtavruli and Asomtavruli
        {"Ꭰ Ᏼ Ⓐ Ａ", "ꭰ ᏼ ⓐ ａ"}, // Cherokee, circled and fullwidth letters
        {"𐐀 𞤀", "𐐨 𞤢"},      // Deseret and Adlam, outside the first plane
        {"ß ǆ ſ 5", "ß ǆ ſ 5"},          // small letters and digits stay
        {"\xC3( \xC0\xAF \x80 \xED\xA0\x80 \xF4\x90\x80\x80",
         "\xC3( \xC0\xAF \x80 \xED\xA0\x80 \xF4\x90\x80\x80"}, // no UTF-8: kept
    };
    for (const auto& [text, lower] : cases) EXPECT_EQ(LowerCase(text), lower) << text;
}

} // namespace
} // namespace quendra
