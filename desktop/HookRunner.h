// HookRunner: the hooks the desktop calls, as the platform's scripts would: a step per call as the
// logged-in user with the configured texts, a transcript of it for the log, and a recording of the calls
// that `quendra play` replays.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "DesktopConfig.h"

#include "Database.h"
#include "JsonCursor.h"
#include "QtWindowSystem.h"
#include "Scenario.h"
#include "StepRunner.h"
#include "World.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quendra::desktop {

class HookRunner {
public:
    // What a call did: its transcript, the platform's events and the hook result (nothing when it failed).
    // A step that names no user or no object is not made, and does nothing: `made` is false.
    struct Call {
        std::string transcript;
        bool made = true;
        std::vector<embedded::Event> events;
        std::optional<int16_t> result;
    };

    // `path` names the database; the database and the windows outlive the runner.
    HookRunner(embedded::Database& database, qt::QtWindowSystem& windows, const std::string& path,
               DesktopConfig config);

    // A step of that hook as `user`, with the configured texts.
    playback::ScenarioStep Step(const std::string& hook, const std::string& user) const;
    // The same with that object as row 0.
    playback::ScenarioStep StepOn(const std::string& hook, const std::string& user, embedded::ObjectKey key) const;
    // The ref that names that object in a step.
    std::string RefOf(embedded::ObjectKey key) const;
    // Runs the step with the windows a person answers, and records it when a recording is under way.
    Call Run(const playback::ScenarioStep& step, const std::string& user);

    // Starts writing the calls made from now on as a scenario file, from a copy of the database `path`
    // as it is now (FILE with the extension .db); refuses files that exist.
    void StartRecording(const std::string& file, const std::string& path);
    // Writes the recording; returns the line that says so, or nothing when none was under way.
    std::optional<std::string> StopRecording(const std::string& path);
    bool IsRecording() const { return !recordFile_.empty(); }

    void SetDefaultUser(const std::string& user) { world_.SetDefaultUser(user); }
    const playback::World& World() const { return world_; }

private:
    embedded::Database& database_;
    qt::QtWindowSystem& windows_;
    DesktopConfig config_;
    playback::World world_;
    playback::StepRunner runner_;
    bool oneUnit_; // a call is one transaction (on a server)
    size_t calls_ = 0;
    std::string recordFile_;
    Json recordedSteps_, recordedFiles_;
};

} // namespace quendra::desktop
