// ScenarioPlayer: plays one scenario file on a fresh database with the scripted user.
#pragma once

#include "Transcript.h"

#include <string>

namespace quendra::host {

class ScenarioPlayer {
public:
    explicit ScenarioPlayer(Transcript& transcript) : transcript_(transcript) {}

    // 0 when every expectation holds, 1 when one does not, 2 when the file is wrong.
    int Play(const std::string& path);
    // Calls the hooks through Quendra.Application (quendra.dll registered) instead of in this process.
    void CallThroughCom(bool on) { throughCom_ = on; }

private:
    Transcript& transcript_;
    bool throughCom_ = false;
};

} // namespace quendra::host
