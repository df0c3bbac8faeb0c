// ScenarioPlayer: plays one scenario file on a fresh database with the scripted user.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "HookCatalog.h"
#include "Transcript.h"

#include <string>
#include <utility>

namespace quendra::playback {

class ScenarioPlayer {
public:
    // Scenarios play in memory, or each in a fresh schema on the database server at that address.
    explicit ScenarioPlayer(Transcript& transcript, std::string server = "")
        : transcript_(transcript), server_(std::move(server)) {}

    // 0 when every expectation holds, 1 when one does not, 2 when the file is wrong.
    int Play(const std::string& path);
    // Calls the hooks through `caller` (Quendra.Application, for `play --com`) instead of in this process.
    void CallHooksBy(HookCaller caller) { caller_ = std::move(caller); }

private:
    Transcript& transcript_;
    std::string server_;
    HookCaller caller_;
};

} // namespace quendra::playback
