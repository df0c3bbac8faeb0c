// StepRunner: one hook call as one logged-in user, with its arguments made from refs and its outcome caught.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "HookCatalog.h"
#include "Scenario.h"
#include "StepOutcome.h"
#include "TimelineWindows.h"
#include "World.h"

#include "HookLog.h"

#include "PlatformDialogs.h"
#include "ScriptedUser.h"
#include "WindowSystem.h"

#include <map>
#include <string>

namespace quendra::playback {

class StepRunner {
public:
    // `scripted` answers the windows from each step's answers; without it the windows are a person's.
    StepRunner(World& world, ui::WindowSystem& windows, embedded::PlatformDialogs& dialogs,
               scripted::ScriptedUser* scripted);

    // A step whose refs or user name nothing throws FileError before the hook is called.
    StepOutcome Run(const ScenarioStep& step, const std::string& user);
    // Calls the hooks through `caller` instead of directly (through Quendra.Application as a platform
    // script does, for `play --com`), the windows still this runner's.
    void CallHooksBy(HookCaller caller) { caller_ = std::move(caller); }
    // Keeps each user's session from the user's first step to the runner's end, instead of logging the user in
    // afresh for each step.
    void KeepSessions(bool on) { keepSessions_ = on; }

private:
    World& world_;
    HookCaller caller_;
    bool keepSessions_ = false;
    std::map<std::string, Ptr<CvSession>> sessions_; // by login, while kept
    log::HookLog log_;
    scripted::ScriptedUser* scripted_;
    // Passes the windows on and notes where each showed among the events; it outlives the sessions
    // of the steps, whose objects may still show dialogs.
    TimelineWindows timeline_;
};

} // namespace quendra::playback
