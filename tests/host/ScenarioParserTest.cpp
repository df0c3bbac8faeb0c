// Tests of reading scenario files: every mistake is reported with the file, its JSON path and what is wrong.
// SPDX-License-Identifier: Apache-2.0
#include "ScenarioParser.h"
#include "FileError.h"

#include <gtest/gtest.h>

namespace quendra::playback {
namespace {

struct WrongFile {
    const char* name;
    const char* text;
    const char* path;    // expected JSON path
    const char* message; // a piece of the expected message
};

class ScenarioParserMistakes : public testing::TestWithParam<WrongFile> {};

TEST_P(ScenarioParserMistakes, NamePathAndMistake) {
    const auto& wrong = GetParam();
    try {
        ScenarioParser::ParseText(wrong.text, "s.json");
        FAIL() << "no error for " << wrong.name;
    } catch (const FileError& error) {
        EXPECT_EQ(error.file, "s.json");
        EXPECT_EQ(error.jsonPath, wrong.path);
        EXPECT_NE(error.message.find(wrong.message), std::string::npos) << error.what();
        EXPECT_EQ(std::string(error.what()).find("s.json: "), 0u) << error.what();
    }
}

const WrongFile Mistakes[] = {
    {"SyntaxError", R"({"model": "plant",})", "", "not valid JSON"},
    {"NoModel", R"({"steps": []})", "/", "\"model\" is missing"},
    {"UnknownTopKey", R"({"model": "plant", "objcts": []})", "/objcts", "unknown key \"objcts\""},
    {"UnknownHook", R"({"model": "plant", "steps": [{"hook": "LockObjects"}]})", "/steps/0/hook",
     "unknown hook name \"LockObjects\"; did you mean LockObject?"},
    {"TextTheHookDoesNotTake", R"({"model": "plant", "steps": [{"hook": "LockObject", "LinkAttributes": "A"}]})",
     "/steps/0/LinkAttributes", "LockObject takes no LinkAttributes"},
    {"RowsForCopyTree", R"({"model": "plant", "steps": [{"hook": "CopyTreeFrom", "rows": []}]})", "/steps/0/rows",
     "takes no record list"},
    {"RefNamingNothing",
     R"({"model": "plant", "objects": [{"ref": "P1", "class": "Part"}], "steps": [{"hook": "LockObject", "rows": ["P2"]}]})",
     "/steps/0/rows/0", "the ref \"P2\" names nothing"},
    {"RefInExpectedValues", R"({"model": "plant", "steps": [{"hook": "LockObject", "expect": {"values": {"Q": {}}}}]})",
     "/steps/0/expect/values/Q", "the ref \"Q\" names nothing"},
    {"RefGivenTwice",
     R"({"model": "plant", "objects": [{"ref": "P1", "class": "Part"}, {"ref": "P1", "class": "Part"}]})",
     "/objects/1/ref", "given twice"},
    {"UnknownFaultCall",
     R"({"model": "plant", "steps": [{"hook": "LockObject", "faults": [{"call": "CvObject.Updat", "nth": 1}]}]})",
     "/steps/0/faults/0/call", "\"CvObject.Updat\" is no platform operation that can fail"},
    {"FaultCountedFromZero",
     R"({"model": "plant", "steps": [{"hook": "LockObject", "faults": [{"call": "CvObject.Update", "nth": 0}]}]})",
     "/steps/0/faults/0/nth", "nth counts calls from 1"},
    {"FaultCountPastAnyCount",
     R"({"model": "plant", "steps": [{"hook": "LockObject", "faults": [{"call": "CvObject.Update", "nth": 1e20}]}]})",
     "/steps/0/faults/0/nth", "1e+20 is out of range"},
    {"FaultCountPastTheLimit",
     R"({"model": "plant", "steps": [{"hook": "LockObject", "faults": [{"call": "CvObject.Update", "nth": 3e9}]}]})",
     "/steps/0/faults/0/nth", "3000000000.0 is out of range (at most 2147483647)"},
    {"SessionsPerFile", R"({"model": "plant", "sessions": "per file"})", "/sessions", "\"per file\" is none of"},
    {"UnknownAnswerKey",
     R"({"model": "plant", "steps": [{"hook": "LockObject", "answers": [{"button": "OK", "buton": "OK"}]}]})",
     "/steps/0/answers/0/buton", "unknown key \"buton\""},
    {"UnknownButton", R"({"model": "plant", "steps": [{"hook": "LockObject", "answers": [{"button": "Ok"}]}]})",
     "/steps/0/answers/0/button", "unknown button \"Ok\""},
    {"AnswerWithoutKind", R"({"model": "plant", "steps": [{"hook": "LockObject", "answers": [{}]}]})",
     "/steps/0/answers/0", "an answer needs one of"},
    {"SearchWord", R"({"model": "plant", "steps": [{"hook": "LockObject", "answers": [{"search": "stop"}]}]})",
     "/steps/0/answers/0/search", "\"stop\" is none of"},
    {"OpenOutsideTheFolder",
     R"({"model": "plant", "steps": [{"hook": "UploadDocument", "answers": [{"open": ["../x.dwg"]}]}]})",
     "/steps/0/answers/0/open/0", "must stay inside"},
    {"ClickWithoutColumn",
     R"({"model": "plant", "steps": [{"hook": "LockObject", "answers": [{"actions": [["click", 1]]}]}]})",
     "/steps/0/answers/0/actions/0", "[\"click\", row, column]"},
    {"ResultTwo", R"({"model": "plant", "steps": [{"hook": "LockObject", "expect": {"result": 2}}]})",
     "/steps/0/expect/result", "0, 1 or \"error\""},
    {"UnknownIcon",
     R"({"model": "plant", "steps": [{"hook": "LockObject", "expect": {"dialogs": [{"messageBox": "x", "icon": "stop"}]}}]})",
     "/steps/0/expect/dialogs/0/icon", "\"stop\" is none of"},
    {"UnknownEvent", R"({"model": "plant", "steps": [{"hook": "LockObject", "expect": {"events": [{"store": "P"}]}}]})",
     "/steps/0/expect/events/0/store", "unknown key \"store\""},
    {"ExpectArgumentTheHookLacks",
     R"({"model": "plant", "steps": [{"hook": "ReplacePart", "expect": {"MyNewPart": null}}]})",
     "/steps/0/expect/MyNewPart", "ReplacePart has no argument MyNewPart"},
    {"ValueAsList", R"({"model": "plant", "objects": [{"class": "Part", "values": {"STATE": [5]}}]})",
     "/objects/0/values/STATE", "not a list"},
    {"LoginAsUserValue", R"({"model": "plant", "users": [{"login": "eve", "values": {"LOGIN": null}}]})",
     "/users/0/values/LOGIN", "the login is given by \"login\", not as a value"},
    {"SlashInKey", R"({"model": "plant", "files": {"/abs": "x"}})", "/files/~1abs", "relative"},
    {"FileNamingAFolder", R"({"model": "plant", "files": {"in/": "x"}})", "/files/in~1", "must name a file"},
    {"FileNamingItsFolder", R"({"model": "plant", "files": {"in/.": "x"}})", "/files/in~1.", "must name a file"},
    {"NumberTooLarge", R"({"model": "plant", "objects": [{"class": "Part", "values": {"STATE": 1e400}}]})", "",
     "not valid JSON: number overflow"},
    {"ModelAndDatabase", R"({"model": "plant", "database": "x.db"})", "/database", "not both"},
    {"KeyGivenTwiceInAListInAList",
     R"({"model": "plant", "steps": [{}, {"answers": [{"button": "OK"}, {"button": "OK", "button": "No"}]}]})",
     "/steps/1/answers/1/button", "the key \"button\" is given twice in one object"},
    {"NegativeCount", R"({"model": "plant", "steps": [{"hook": "LockObject", "expect": {"objects": {"Part": -1}}}]})",
     "/steps/0/expect/objects/Part", "must not be negative"},
};

INSTANTIATE_TEST_SUITE_P(Files, ScenarioParserMistakes, testing::ValuesIn(Mistakes),
                         [](const auto& info) { return std::string(info.param.name); });

std::string Nested(int depth) {
    return std::string(depth, '[') + std::string(depth, ']');
}

TEST(ScenarioParser, NestingDeeperThanTheLimitIsAFileErrorNotAStackOverflow) {
    auto withAnswer = [](const std::string& answer) {
        return R"({"model": "plant", "steps": [{"hook": "LockObject", "answers": [)" + answer + "]}]}";
    };
    // The file's object, the steps list, the step and the answers list are four levels.
    const int fits = JsonCursor::MaxDepth - 4;
    try {
        ScenarioParser::ParseText(withAnswer(Nested(fits)), "s.json");
        FAIL() << "a list is no answer";
    } catch (const FileError& error) {
        EXPECT_EQ(error.jsonPath, "/steps/0/answers/0");
    }
    for (int depth : {fits + 1, 1000000}) {
        try {
            ScenarioParser::ParseText(withAnswer(Nested(depth)), "s.json");
            FAIL() << "no error for " << depth << " levels";
        } catch (const FileError& error) {
            EXPECT_STREQ(error.what(), "s.json: lists and objects are nested deeper than 100 levels");
        }
    }
}

} // namespace
} // namespace quendra::playback
