// ScenarioParser: reads scenario files and answer lists, checking every key, shape and ref name.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "JsonCursor.h"
#include "Scenario.h"

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace quendra::playback {

class ScenarioParser {
public:
    // Reads a scenario file; every mistake throws FileError naming the file and JSON path.
    static Scenario ReadFile(const std::string& path);
    static Scenario ParseText(const std::string& text, const std::string& file);

    // For calls outside a scenario file: refs may only be selectors.
    ScenarioParser() = default;

    Scenario ParseScenario(const JsonCursor& root, const std::string& folder);
    std::vector<ScenarioAnswer> ParseAnswers(const JsonCursor& list);
    // An answers file: the list of answers, or an object holding it as "answers".
    std::vector<ScenarioAnswer> ParseAnswersFile(const JsonCursor& root);
    ScenarioAnswer ParseAnswer(const JsonCursor& answer);
    RowArg ParseRow(const JsonCursor& row);
    ObjectArg ParseObjectArg(const JsonCursor& arg);
    Expectations ParseExpectations(const JsonCursor& expect);
    // Every ref used so far names something given in the file or is a selector.
    void CheckRefs() const;

private:
    std::string Ref(const JsonCursor& cursor);
    ValueMap Values(const JsonCursor& cursor);
    WrittenValue Value(const JsonCursor& cursor);
    ScenarioStep Step(const JsonCursor& step);
    DialogExpect Dialog(const JsonCursor& dialog);
    EventExpect Event(const JsonCursor& event);
    ScenarioFault Fault(const JsonCursor& fault);

    std::set<std::string> names_;
    struct Use {
        std::string ref, path, file;
    };
    std::vector<Use> uses_;
};

} // namespace quendra::playback
