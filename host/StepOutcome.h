// StepOutcome: what happened during one hook call: windows, events, the result or the failure.
#pragma once

#include "CvPlatform.h"
#include "Database.h"
#include "ScriptedUser.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quendra::host {

struct StepOutcome {
    std::string user;
    std::optional<int16_t> result;    // the hook result when the call returned
    std::optional<std::string> error; // the failure that reached the host
    std::vector<scripted::WindowRecord> windows;
    std::vector<embedded::Event> events;
    std::optional<std::string> scriptedFailure;      // a window the answers did not fit
    std::vector<std::string> answersLeft;            // descriptions of answers no window used
    std::map<std::string, Ptr<CvObject>> objectArgs; // the object arguments after the call
};

} // namespace quendra::host
