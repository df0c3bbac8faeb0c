// Recording: one writer for every recording, so what `hook --record` and the desktop write replays alike.
// SPDX-License-Identifier: Apache-2.0
#include "Recording.h"

#include "CommandError.h"
#include "Descriptions.h"
#include "Transcript.h"

namespace quendra::playback {

Json RecordedStep(const ScenarioStep& step, const std::string& user, const StepOutcome& outcome, const Json& answers) {
    Json recorded = Json::object();
    recorded["user"] = user;
    recorded["hook"] = step.hook;
    auto arguments = Transcript::Arguments(step);
    for (const auto& [name, value] : arguments.items()) recorded[name] = value;
    recorded["answers"] = answers;
    Json expect = Json::object();
    if (outcome.error)
        expect["result"] = "error";
    else
        expect["result"] = *outcome.result;
    expect["dialogs"] = Json::array();
    for (const auto& window : outcome.windows) expect["dialogs"].push_back(Descriptions::Window(window));
    recorded["expect"] = expect;
    return recorded;
}

Json RecordedScenario(const std::string& description, const std::string& database, const Json& files,
                      const Json& steps) {
    Json scenario = Json::object();
    scenario["description"] = description;
    scenario["database"] = database;
    if (!files.empty()) scenario["files"] = files;
    scenario["steps"] = steps;
    return scenario;
}

void WriteRecording(std::ostream& file, const Json& scenario, const std::string& path) {
    // A picked file's content that is no text is kept as near as JSON text allows.
    file << scenario.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
    if (!file) throw CommandError("cannot write " + path);
}

} // namespace quendra::playback
