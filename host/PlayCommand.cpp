// PlayCommand: every file is played even when an earlier one failed; the worst outcome is the exit status.
// SPDX-License-Identifier: Apache-2.0
#include "PlayCommand.h"

#include "CommandError.h"
#ifdef QUENDRA_WITH_COM
#include "HookThroughCom.h"
#endif
#include "ScenarioPlayer.h"
#include "Transcript.h"

#include "Database.h"

#include <algorithm>

namespace quendra::host {

CLI::App* PlayCommand::Register(CLI::App& app) {
    command_ = app.add_subcommand(
        "play", "Play scenario files on fresh databases with a scripted user.\n"
                "Exit status: 0 every expectation holds, 1 one does not, 2 a file is wrong, 3 the machine\n"
                "stopped it (no temporary folder, no permission, a full disk).\n"
                "The file format is described in docs/scenarios.md.");
    command_->add_option("FILE", files_, "Scenario files");
    command_->add_option("--database", server_,
                         "Play each scenario in a fresh schema on this database server (postgresql://...), dropped "
                         "afterwards, instead of in memory");
    command_->add_flag("--json", json_, "Print one JSON object a line instead of the readable transcript");
#ifdef QUENDRA_WITH_COM
    command_->add_flag("--com", throughCom_,
                       "Call the hooks through Quendra.Application, the registered quendra.dll, as a platform script "
                       "does");
#endif
    command_->add_flag(
        "--list-calls", listCalls_,
        "Print every platform operation a step's \"faults\" can make fail, one a line, and play nothing");
    return command_;
}

int PlayCommand::Run(std::ostream& out, std::ostream& errors) {
    if (listCalls_) {
        if (!files_.empty()) throw playback::CommandError("--list-calls plays nothing: give it without scenario files");
        for (const auto& call : embedded::FailableCalls()) out << call << '\n';
        return 0;
    }
    if (files_.empty())
        throw playback::CommandError("no scenario file to play: give one or more FILE (see quendra play --help)");
    if (command_->count("--database") && !embedded::IsServerAddress(server_))
        throw playback::CommandError("--database takes a database server's address (postgresql://...), not \"" +
                                     server_ + "\"; leave it out to play in memory");
    playback::Transcript transcript(out, errors, json_);
    playback::ScenarioPlayer player(transcript, server_);
#ifdef QUENDRA_WITH_COM
    if (throughCom_) player.CallHooksBy(CallHookByCom);
#endif
    int worst = 0, passed = 0, failed = 0;
    for (const auto& file : files_) {
        int status = player.Play(file);
        (status == 0 ? passed : failed) += 1;
        worst = std::max(worst, status);
    }
    if (files_.size() > 1) transcript.Summary(passed, failed);
    return worst;
}

} // namespace quendra::host
