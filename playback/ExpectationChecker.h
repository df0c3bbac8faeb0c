// ExpectationChecker: compares what a step should have done with what it did.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Scenario.h"
#include "StepOutcome.h"
#include "World.h"

#include <string>
#include <vector>

namespace quendra::playback {

class ExpectationChecker {
public:
    explicit ExpectationChecker(const World& world) : world_(world) {}

    // One line per difference, each saying what was expected and what was found; empty when all hold.
    // A value of the wrong type for its attribute throws FileError.
    std::vector<std::string> Check(const Expectations& expect, const StepOutcome& outcome) const;

private:
    void CheckResult(const ResultExpect& expect, const StepOutcome& outcome, std::vector<std::string>& failures) const;
    void CheckDialogs(const Expectations& expect, const StepOutcome& outcome, std::vector<std::string>& failures) const;
    void CheckValues(const ValuesExpect& expect, std::vector<std::string>& failures) const;
    void CheckLinks(const LinksExpect& expect, std::vector<std::string>& failures) const;
    void CheckEvents(const Expectations& expect, const StepOutcome& outcome, std::vector<std::string>& failures) const;
    void CheckSequence(const Expectations& expect, const StepOutcome& outcome,
                       std::vector<std::string>& failures) const;
    bool EventMatches(const EventExpect& expect, const embedded::Event& event) const;

    const World& world_;
};

// The differences between a window and its descriptor, "" when it matches.
std::string DialogDifference(const DialogExpect& expect, const answering::WindowRecord& window);
// A stored value and an expected one are the same value.
bool SameValue(const Value& expected, const Value& found);
std::string ValueText(const Value& value);

} // namespace quendra::playback
