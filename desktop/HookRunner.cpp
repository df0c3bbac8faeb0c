// HookRunner: the windows a person answered are written as a scenario writes its answers, so the log
// reads like a transcript and the recording replays.
// SPDX-License-Identifier: Apache-2.0
#include "HookRunner.h"

#include "DatabaseFile.h"
#include "OuterTransaction.h"
#include "PersonAnswer.h"
#include "Recording.h"
#include "Transcript.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace quendra::desktop {

HookRunner::HookRunner(embedded::Database& database, qt::QtWindowSystem& windows, const std::string& path,
                       DesktopConfig config)
    : database_(database), windows_(windows), config_(std::move(config)), world_(database, windows, path),
      runner_(world_, windows, windows, nullptr), oneUnit_(playback::PersonsCallIsOneUnit(path)) {}

playback::ScenarioStep HookRunner::Step(const std::string& hook, const std::string& user) const {
    playback::ScenarioStep step;
    step.hook = hook;
    step.user = user;
    step.path = "/desktop";
    step.texts = config_.Texts(hook);
    return step;
}

playback::ScenarioStep HookRunner::StepOn(const std::string& hook, const std::string& user,
                                          embedded::ObjectKey key) const {
    auto step = Step(hook, user);
    playback::RowArg row;
    row.path = step.path + "/rows/0";
    row.ref = RefOf(key);
    row.written = row.ref;
    step.rows = std::vector<playback::RowArg>{row};
    return step;
}

std::string HookRunner::RefOf(embedded::ObjectKey key) const {
    return database_.ClassName(key.classId) + "(OBJECT_ID=" + std::to_string(key.objectId) + ")";
}

HookRunner::Call HookRunner::Run(const playback::ScenarioStep& step, const std::string& user) {
    std::ostringstream out;
    playback::Transcript transcript(out, out, false);
    transcript.Step(++calls_, step, user);
    playback::StepOutcome outcome;
    windows_.ForgetAnswered();
    try {
        playback::OuterTransaction unit(database_, oneUnit_);
        outcome = runner_.Run(step, user);
        if (!database_.Harness().MachineFailureText()) unit.Commit();
    } catch (const std::exception& error) {
        out << "   " << error.what() << '\n';
        return {out.str(), false, {}, std::nullopt};
    }
    // A recording names the files picked beside it and keeps their content.
    Json answers = Json::array(), files = Json::object();
    playback::NotePersonAnswers(windows_.Answered(), database_, std::filesystem::path(recordFile_).parent_path(),
                                outcome, answers, files);
    transcript.Outcome(calls_, outcome, world_);
    if (IsRecording()) {
        recordedSteps_.push_back(playback::RecordedStep(step, user, outcome, answers));
        recordedFiles_.update(files);
    }
    return {out.str(), true, outcome.events, outcome.error ? std::nullopt : outcome.result};
}

void HookRunner::StartRecording(const std::string& file, const std::string& path) {
    auto snapshot = std::filesystem::path(file).replace_extension(".db").string();
    std::error_code error;
    for (const auto& name : {file, snapshot})
        if (std::filesystem::exists(std::filesystem::symlink_status(name, error)))
            throw std::invalid_argument(name + " exists already; choose another name");
    playback::DatabaseFile::Copy(path, snapshot);
    recordFile_ = file;
    recordedSteps_ = Json::array();
    recordedFiles_ = Json::object();
}

std::optional<std::string> HookRunner::StopRecording(const std::string& path) {
    if (!IsRecording()) return std::nullopt;
    auto file = std::exchange(recordFile_, std::string());
    auto snapshot = std::filesystem::path(file).replace_extension(".db").filename().string();
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    playback::WriteRecording(
        out, playback::RecordedScenario("a desktop session on " + path, snapshot, recordedFiles_, recordedSteps_),
        file);
    return "recorded " + std::to_string(recordedSteps_.size()) + " hook calls in " + file;
}

} // namespace quendra::desktop
