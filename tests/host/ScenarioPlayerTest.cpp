// Tests of playing scenarios: what each failed expectation says, world mistakes with their JSON paths,
// and both transcript forms.
// SPDX-License-Identifier: Apache-2.0
#include "ScenarioPlayer.h"
#include "TempFolder.h"
#include "Transcript.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace quendra::playback {
namespace {

// A part of the plant model that carl may change, and a second one below it.
const char* World = R"json(
  "model": "plant",
  "users": [ { "login": "eve", "admin": false, "values": { "FIRST_NAME": "Eve", "LAST_NAME": "Nord" } } ],
  "objects": [
    { "ref": "P1", "class": "Part", "values": { "CN_PART_NUMBER": "P-1", "CN_DESCRIPTION": "Bracket", "STATE": 5,
                                                "CN_LOCKED": false } },
    { "ref": "P2", "class": "Part", "values": { "CN_PART_NUMBER": "P-2", "CN_DESCRIPTION": "Bolt", "STATE": 5 } },
    { "ref": "P3", "class": "Part", "values": { "CN_PART_NUMBER": "P-2", "CN_DESCRIPTION": "Bolt too", "STATE": 5 } }
  ],
  "links": [ { "ref": "L1", "class": "Parts Tree", "parent": "P1", "child": "P2", "values": { "CN_QUANTITY": 2 } } ],
)json";

struct Played {
    int status;
    std::string out;
    std::string errors;
};

// Plays the steps in the world above, or a whole file of its own (one that begins with "{").
Played Play(const std::string& steps, bool json = false) {
    TempFolder folder;
    auto path = (std::filesystem::path(folder.Path()) / "s.json").string();
    if (steps.starts_with("{"))
        std::ofstream(path) << steps;
    else
        std::ofstream(path) << "{" << World << steps << "}";
    std::ostringstream out, errors;
    Transcript transcript(out, errors, json);
    ScenarioPlayer player(transcript);
    int status = player.Play(path);
    auto text = out.str() + errors.str();
    // Paths of the fresh folder differ from run to run.
    for (auto at = text.find(folder.Path()); at != std::string::npos; at = text.find(folder.Path()))
        text.replace(at, folder.Path().size(), "DIR");
    return {status, out.str(), text};
}

struct FailedExpectation {
    const char* name;
    const char* steps;
    const char* line; // the whole failure line
};

class ExpectationFailures : public testing::TestWithParam<FailedExpectation> {};

TEST_P(ExpectationFailures, SayExpectedAndFound) {
    auto played = Play(GetParam().steps);
    EXPECT_EQ(played.status, 1) << played.errors;
    EXPECT_NE(played.out.find(std::string("   FAILED: ") + GetParam().line + "\n"), std::string::npos) << played.out;
}

const FailedExpectation Failures[] = {
    {"Result", R"("steps": [{"user": "eve", "hook": "LockObject", "rows": ["P1"], "expect": {"result": 0}}])",
     "result: expected 0, found 1"},
    {"ResultError",
     R"("steps": [{"user": "eve", "hook": "LockObject", "rows": ["P1"], "expect": {"result": "error"}}])",
     "result: expected error, found 1"},
    {"StoredValue",
     R"("steps": [{"user": "eve", "hook": "LockObject", "rows": ["P1"], "expect": {"values": {"P1": {"CN_LOCKED": false, "USER_OBJECT_ID": {"user": "carl"}}}}}])",
     "values P1 CN_LOCKED: expected False, found True"},
    {"StoredText", R"("steps": [{"hook": "LockObject", "expect": {"values": {"P2": {"CN_DESCRIPTION": "Nut"}}}}])",
     "values P2 CN_DESCRIPTION: expected \"Nut\", found \"Bolt\""},
    {"NullValue", R"("steps": [{"hook": "LockObject", "expect": {"values": {"P2": {"CN_LOCKED": false}}}}])",
     "values P2 CN_LOCKED: expected False, found null"},
    {"LinkCount",
     R"("steps": [{"hook": "LockObject", "expect": {"links": [{"class": "Parts Tree", "parent": "P1", "child": "P2", "count": 0}]}}])",
     "links Parts Tree P1 -> P2: expected 0, found 1"},
    {"LinkMissing",
     R"("steps": [{"hook": "LockObject", "expect": {"links": [{"class": "Parts Tree", "parent": "P2", "child": "P1"}]}}])",
     "links Parts Tree P2 -> P1: expected at least 1, found 0"},
    {"LinkValue",
     R"("steps": [{"hook": "LockObject", "expect": {"links": [{"class": "Parts Tree", "parent": "P1", "child": "P2", "values": {"CN_QUANTITY": 3}}]}}])",
     "links Parts Tree P1 -> P2 (L1) CN_QUANTITY: expected 3, found 2"},
    {"ObjectCount", R"("steps": [{"hook": "LockObject", "expect": {"objects": {"Part": 2}}}])",
     "objects Part: expected 2, found 3"},
    {"SelectorAfterTheStep",
     R"j("steps": [{"hook": "LockObject", "expect": {"values": {"Part(CN_PART_NUMBER=P-2)": {"STATE": 5}}}}])j",
     "values Part(CN_PART_NUMBER=P-2): the selector Part(CN_PART_NUMBER=P-2) matches 2 objects"},
    {"MissingDialog",
     R"("steps": [{"hook": "LockObject", "rows": ["P1"], "expect": {"dialogs": [{"messageBox": "x"}]}}])",
     "dialogs: expected 1 window(s), found 0; first one missing: {\"messageBox\":\"x\"}"},
    {"DialogText",
     R"("steps": [{"user": "eve", "hook": "AddExistingPart", "rows": ["P1"], "LinkAttributes": "", "answers": [{"search": ["P2"]}, {"button": "OK"}],
                  "expect": {"dialogs": [{"platform": "query"}, {"platform": "results"}, {"messageBox": "Link Between", "icon": "critical"}]}}])",
     "dialogs/2: text expected \"Link Between\", found \"Link Between Part P-1-Bracket and Part P-2-Boltcannot be "
     "created\"; icon expected \"critical\", found \"information\" (shown: message box \"Quendra\" [information, OK]: "
     "\"Link Between Part P-1-Bracket and Part P-2-Boltcannot be created\")"},
    {"DialogKind",
     R"("steps": [{"user": "eve", "hook": "AddExistingPart", "rows": ["P1"], "answers": [{"search": "cancel"}],
                  "expect": {"dialogs": [{"openFile": "*.*"}]}}])",
     "dialogs/0: expected the open-file dialog, found a platform dialog (shown: platform query dialog)"},
    {"Event",
     R"("steps": [{"user": "eve", "hook": "LockObject", "rows": ["P1"], "expect": {"events": [{"notify": 1, "objects": ["P1"]}, {"update": "P1"}]}}])",
     "events/1: expected {\"update\":\"P1\"} after event 1, not found"},
    {"SequenceOrder",
     R"("steps": [{"user": "eve", "hook": "AddExistingPart", "rows": ["P1"], "answers": [{"search": "cancel"}],
                  "expect": {"sequence": [{"platform": "query"}, {"sql": "SELECT 1"}]}}])",
     "sequence/1: expected {\"sql\":\"SELECT 1\"} after sequence/0, not found"},
    {"FaultNeverFired",
     R"("steps": [{"hook": "LockObject", "rows": ["P1"], "faults": [{"call": "CvFlowStore.NewProcess", "nth": 1}]}])",
     "the fault {\"call\":\"CvFlowStore.NewProcess\",\"nth\":1} never fired"},
    {"AnswerLeftOver", R"("steps": [{"hook": "LockObject", "rows": ["P1"], "answers": [{"button": "OK"}]}])",
     "1 answer(s) left over, no window used them: {\"button\":\"OK\"}"},
};

INSTANTIATE_TEST_SUITE_P(Steps, ExpectationFailures, testing::ValuesIn(Failures),
                         [](const auto& info) { return std::string(info.param.name); });

struct WrongWorld {
    const char* name;
    const char* steps; // or a whole file
    const char* where; // "file: path: message" after the file name
};

class WorldMistakes : public testing::TestWithParam<WrongWorld> {};

TEST_P(WorldMistakes, AreFileErrorsWithTheirPath) {
    auto played = Play(GetParam().steps);
    EXPECT_EQ(played.status, 2);
    EXPECT_NE(played.errors.find(std::string("DIR/s.json: ") + GetParam().where), std::string::npos) << played.errors;
}

const WrongWorld WorldErrors[] = {
    {"SelectorMatchingSeveral", R"j("steps": [{"hook": "LockObject", "rows": ["Part(CN_PART_NUMBER=P-2)"]}])j",
     "/steps/0/rows/0: the selector Part(CN_PART_NUMBER=P-2) matches 2 objects"},
    {"SelectorMatchingNothing", R"j("steps": [{"hook": "LockObject", "rows": [{"ref": "Part(CN_PART_NUMBER=P-9)"}]}])j",
     "/steps/0/rows/0/ref: the selector Part(CN_PART_NUMBER=P-9) matches nothing"},
    {"UnknownUser", R"("steps": [{"user": "zed", "hook": "LockObject"}])", "/steps/0/user: there is no user \"zed\""},
    {"WrongTypeInExpectation", R"("steps": [{"hook": "LockObject", "expect": {"values": {"P1": {"STATE": "5"}}}}])",
     "/steps/0/expect/values/P1/STATE: \"5\" is the wrong type for STATE of Part, which is a 16-bit integer"},
    {"UnknownAttributeInRow", R"("steps": [{"hook": "LockObject", "rows": [{"ref": "P1", "values": {"NOPE": 1}}]}])",
     "/steps/0/rows/0/values/NOPE: the class \"Part\" has no attribute \"NOPE\""},
    {"SearchForALinkEnd",
     R"j("steps": [{"hook": "AddExistingPart", "answers": [{"search": ["Part(CN_DESCRIPTION=x)"]}]}])j",
     "/steps/0/answers/0/search/0: the selector Part(CN_DESCRIPTION=x) matches nothing"},
    {"FileBelowAFile", R"("files": {"a": "x", "a/b": "y"})", "/files/a~1b: the file cannot be made"},
    {"FileOverAFolder", R"("files": {"a/b": "y", "a": "x"})", "/files/a: the file cannot be written"},
    // Worlds of their own: objects of the wrong type or range, a model that is not built in.
    {"ValueOutOfRange", R"({"model": "plant", "objects": [{"class": "Part", "values": {"STATE": 70000}}]})",
     "/objects/0/values/STATE: 70000 is out of range"},
    {"ValueFarOutOfRange", R"({"model": "plant", "objects": [{"class": "Part", "values": {"STATE": 1e26}}]})",
     "/objects/0/values/STATE: 1e+26 is out of range for STATE of Part, which is a 16-bit integer"},
    {"NumberForABoolean", R"({"model": "plant", "objects": [{"class": "Part", "values": {"CN_LOCKED": 1}}]})",
     "/objects/0/values/CN_LOCKED: 1 is the wrong type"},
    {"NumberForAText", R"({"model": "plant", "objects": [{"class": "Part", "values": {"CN_DESCRIPTION": 7}}]})",
     "/objects/0/values/CN_DESCRIPTION: 7 is the wrong type"},
    {"UnknownClass", R"({"model": "plant", "objects": [{"class": "Gadget"}]})", "/objects/0/class"},
    {"LinkClassAsObject", R"({"model": "plant", "objects": [{"class": "Parts Tree"}]})",
     "/objects/0/class: \"Parts Tree\" is a link class"},
    {"ModelNotBuiltIn", R"({"model": "shop.json"})", "/model: the model \"shop.json\" is no built-in model"},
};

INSTANTIATE_TEST_SUITE_P(Steps, WorldMistakes, testing::ValuesIn(WorldErrors),
                         [](const auto& info) { return std::string(info.param.name); });

// A step's lines (the call, each window with its answer as an object, the result) are those of
// `quendra hook --json` in docs/commands.md; play adds the file, the verdict and the status.
TEST(ScenarioPlayer, JsonTranscriptHasOneObjectALineWithTheSameContent) {
    auto played =
        Play(R"("steps": [{"user": "eve", "hook": "AddExistingPart", "rows": ["P1"], "LinkAttributes": "CN_QUANTITY",
        "answers": [{"search": ["P2"]}, {"button": "OK"}], "expect": {"result": 0}}])",
             true);
    EXPECT_EQ(played.status, 1);
    std::istringstream lines(played.out);
    std::vector<Json> objects;
    for (std::string line; std::getline(lines, line);) objects.push_back(Json::parse(line));
    ASSERT_GE(objects.size(), 7u) << played.out;
    EXPECT_EQ(objects.front()["file"].get<std::string>().substr(objects.front()["file"].get<std::string>().size() - 6),
              "s.json");
    auto verdict = objects[objects.size() - 2];
    EXPECT_EQ(verdict["ok"], false);
    EXPECT_EQ(verdict["failures"], Json::array({"result: expected 0, found 1"}));
    EXPECT_EQ(objects.back()["status"], "failed");
}

} // namespace
} // namespace quendra::playback
