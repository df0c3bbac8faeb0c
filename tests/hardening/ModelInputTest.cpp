// Malformed model texts give an error that names the source, never a crash or a foreign exception.
// SPDX-License-Identifier: Apache-2.0
#include "Database.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quendra::test {
namespace {

TEST(ModelInputTest, MalformedTextsAreRefusedNamingTheSource) {
    const std::vector<std::string> texts{
        "\t63e666up",                          // a number too large for any type, then garbage
        "[1e400]",                             // the same inside an array
        "{\"classes\": [{\"id\": 1e999999}]}", // and as a class id
        "",
        "{",
        "{\"classes\": [}",
        "// only a comment",
        "{\"classes\": \"none\"}",
        "\xEF\xBB\xBF{",
    };
    for (const auto& text : texts) {
        try {
            embedded::ParseModel(text, "broken.json");
            ADD_FAILURE() << "accepted: " << text;
        } catch (const embedded::EmbeddedError& error) {
            EXPECT_EQ(error.file, "broken.json") << text;
            EXPECT_FALSE(std::string(error.what()).empty()) << text;
        }
    }
}

} // namespace
} // namespace quendra::test
