// Model files: the default model, and mistakes reported with the file and the JSON path.
// SPDX-License-Identifier: Apache-2.0
#include "Model.h"
#include "Database.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace quendra::embedded {
namespace {

// A small valid model; each case below breaks one thing in it. How a model resolves (super classes and their
// display texts, families, lookups, sequences, users' values) every scenario shows on the built-in plant model.
const std::string kSmall = R"({
  // comments are allowed
  "classes": [
    { "id": 1, "name": "Things", "displayText": ["CODE"],
      "attributes": [ { "name": "CODE", "type": 1, "lookup": "KINDS" } ] },
    { "id": 2, "name": "Thing", "super": "Things", "attributes": [ { "name": "SIZE", "type": 4 } ] },
    { "id": 3, "name": "Users", "attributes": [ { "name": "LOGIN", "type": 1 }, { "name": "AGE", "type": 2 } ] }
  ],
  "links": [ { "id": 4, "name": "Thing Tree", "parent": "Things", "child": "Things", "table": "LINKS_A",
               "attributes": [ { "name": "COUNT", "type": 2, "primary": true } ] } ],
  "processes": [ { "id": 5, "name": "Review", "steps": ["One", "Two"] } ],
  "sequences": [ { "name": "Numbers", "format": "N%04d/x", "next": 7 } ],
  "lookups": [ { "id": 6, "name": "KINDS", "entries": [ { "code": 9, "text": "Nine" } ] } ],
  "users": [ { "login": "u", "admin": true, "values": { "AGE": 40 } } ]
})";

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

TEST(ModelTest, MistakesNameTheirJsonPath) {
    struct Case {
        std::string from;
        std::string to;
        std::string path;
    };
    std::vector<Case> cases = {
        {R"("name": "SIZE", "type": 4)", R"("name": "SIZE", "typ": 4)", "/classes/1/attributes/0/typ"},
        {R"("name": "SIZE", "type": 4)", R"("name": "SIZE", "type": "4")", "/classes/1/attributes/0/type"},
        {R"("super": "Things")", R"("super": "Stuff")", "/classes/1/super"},
        {R"("displayText": ["CODE"])", R"("displayText": ["CODE", "NOPE"])", "/classes/0/displayText/1"},
        {R"("lookup": "KINDS")", R"("lookup": "SORTS")", "/classes/0/attributes/0/lookup"},
        {R"("id": 2, "name": "Thing")", R"("id": 1, "name": "Thing")", "/classes/1/id"},
        {R"("parent": "Things")", R"("parent": "Nothing")", "/links/0/parent"},
        {R"("table": "LINKS_A")", R"("table": "LINKS A")", "/links/0/table"},
        {R"("steps": ["One", "Two"])", R"("steps": [])", "/processes/0/steps"},
        {R"("format": "N%04d/x")", R"("format": "N%s")", "/sequences/0/format"},
        {R"("code": 9)", R"("code": 9.5)", "/lookups/0/entries/0/code"},
        {R"("values": { "AGE": 40 })", R"("values": { "AGE": "old" })", "/users/0/values/AGE"},
        {R"("values": { "AGE": 40 })", R"("values": { "HEIGHT": 2 })", "/users/0/values/HEIGHT"},
        {R"("name": "SIZE")", R"("name": "CODE")", "/classes/1/attributes/0/name"},
        {R"("name": "SIZE")", R"("name": "OBJECT_ID")", "/classes/1/attributes/0/name"},
        {R"("users": [)", R"("user": [)", "/user"},
    };
    for (const auto& c : cases) {
        std::string text = Replace(kSmall, c.from, c.to);
        try {
            ParseModel(text, "small.json");
            ADD_FAILURE() << "accepted: " << c.to;
        } catch (const EmbeddedError& error) {
            EXPECT_EQ(error.file, "small.json") << c.to;
            EXPECT_EQ(error.jsonPath, c.path) << c.to << ": " << error.what();
        }
    }
}

TEST(ModelTest, UnreadableFilesAndTextAreReported) {
    try {
        LoadModelFile("/nonexistent/model.json");
        ADD_FAILURE();
    } catch (const EmbeddedError& error) {
        EXPECT_EQ(error.file, "/nonexistent/model.json");
    }
    playback::TempFolder folder;
    std::string path = folder.Path() + "/broken_model.json";
    std::ofstream(path) << "{ \"classes\": [ ";
    try {
        LoadModelFile(path);
        ADD_FAILURE();
    } catch (const EmbeddedError& error) {
        EXPECT_EQ(error.file, path);
        EXPECT_EQ(error.jsonPath, "");
    }
    // A model without the class "Users". Texts that are no JSON are JsonCursor's (ScenarioParserTest); that no text
    // crashes the loader or escapes it as another exception is fuzz_model's, whose seeds hold the texts that once did.
    EXPECT_THROW(ParseModel(R"({"classes": []})", "broken.json"), EmbeddedError);
}

} // namespace
} // namespace quendra::embedded
