// StepOutcome: what happened during one hook call: windows, events, the result or the failure.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "Database.h"
#include "ScriptedUser.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quendra::playback {

struct StepOutcome {
    std::string user;
    std::optional<int16_t> result;    // the hook result when the call returned
    std::optional<std::string> error; // the failure that reached the host
    std::vector<answering::WindowRecord> windows;
    std::vector<size_t> windowsAt; // for each window: how many events came before it showed
    std::vector<embedded::Event> events;
    std::optional<std::string> scriptedFailure;      // a window the answers did not fit
    std::vector<std::string> answersLeft;            // descriptions of answers no window used
    std::vector<std::string> unfiredFaults;          // faults of the step that never fired, as written
    std::map<std::string, Ptr<CvObject>> objectArgs; // the object arguments after the call

    // One moment of the call: a window (an index into windows) or an event (an index into events).
    struct Moment {
        bool window = false;
        size_t index = 0;
    };
    // The windows and the events in the order in which they happened.
    std::vector<Moment> Timeline() const {
        std::vector<Moment> moments;
        size_t window = 0;
        for (size_t event = 0; event <= events.size(); ++event) {
            bool last = event == events.size();
            while (window < windows.size() && (last || (window < windowsAt.size() && windowsAt[window] <= event)))
                moments.push_back({true, window++});
            if (!last) moments.push_back({false, event});
        }
        return moments;
    }
};

} // namespace quendra::playback
