// Recording: hook calls written as a scenario file that `quendra play` replays (`hook --record`, the desktop).
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "JsonCursor.h"
#include "Scenario.h"
#include "StepOutcome.h"

#include <ostream>
#include <string>

namespace quendra::playback {

// The call as a step: its user, hook, arguments and the answers given (as the scenario writes them),
// expecting the result and the windows it met.
Json RecordedStep(const ScenarioStep& step, const std::string& user, const StepOutcome& outcome, const Json& answers);
// A scenario that starts from `database` (a file name beside the recording), makes `files` (path -> content)
// and plays `steps`.
Json RecordedScenario(const std::string& description, const std::string& database, const Json& files,
                      const Json& steps);
// Writes the scenario into `file`; CommandError names `path` when it cannot.
void WriteRecording(std::ostream& file, const Json& scenario, const std::string& path);

} // namespace quendra::playback
