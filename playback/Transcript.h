// Transcript: the account of a played scenario, readable or as one JSON object a line.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "FileError.h"
#include "Scenario.h"
#include "StepOutcome.h"
#include "World.h"

#include <ostream>
#include <string>
#include <vector>

namespace quendra::playback {

class Transcript {
public:
    Transcript(std::ostream& out, std::ostream& errors, bool json);

    void BeginFile(const Scenario& scenario);
    void Step(size_t number, const ScenarioStep& step, const std::string& user);
    // Each window with its answer and each platform event, in the order they happened; the result.
    void Outcome(size_t number, const StepOutcome& outcome, const World& world);
    void Verdict(size_t number, const std::vector<std::string>& failures);
    // status: 0 passed, 1 failed.
    void EndFile(const std::string& file, int status);
    void WrongFile(const std::string& file, const FileError& error);
    // The machine, not the file, stopped the play (no temporary folder, no permission).
    void EnvironmentFault(const std::string& file, const std::string& message);
    void Summary(int passed, int failed);

    // The arguments of a step as the scenario writes them.
    static Json Arguments(const ScenarioStep& step);

private:
    void Line(const Json& json);

    std::ostream& out_;
    std::ostream& errors_;
    bool json_;
    std::string hook_; // the hook of the step under way, whose results the readable form explains
};

} // namespace quendra::playback
