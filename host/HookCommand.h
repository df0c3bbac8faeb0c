// HookCommand: `quendra hook NAME`: one hook call on a database file, answered by a person or a script.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "JsonCursor.h"
#include "Scenario.h"
#include "StepOutcome.h"
#include "World.h"

#include "Database.h"
#include "ScriptedUser.h"

#include "Command.h"

#include <CLI/CLI.hpp>

#include <deque>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

namespace quendra::host {

class HookCommand : public Command {
public:
    CLI::App* Register(CLI::App& app) override;
    int Run(std::ostream& out, std::ostream& errors) override;
    // The named hook's arguments, purpose and result, for `quendra hook NAME --help`; empty for no hook.
    std::string HelpPage() const override;
    // What to do about a mistake on the command line, or empty.
    std::string ParseHint(const CLI::ParseError& error) const override;
    static const char* const Usage;

private:
    // What a call did, and the answers given (as a scenario writes them) with the files they open
    // (path -> content). A misfit: the answers did not fit the windows shown.
    struct Call {
        playback::StepOutcome outcome;
        bool misfit = false;
        Json answers = Json::array();
        Json files = Json::object();
    };

    playback::ScenarioStep MakeStep(std::deque<Json>& documents);
    // The call with the windows shown to a person in Qt.
    Call CallForPerson(playback::World& world, const playback::ScenarioStep& step, embedded::Database& database,
                       const std::filesystem::path& answersFolder) const;
    // The call answered from the answers file, undone when they do not fit.
    Call CallScripted(playback::World& world, scripted::ScriptedUser& scripted, const playback::ScenarioStep& step,
                      embedded::Database& database, const std::filesystem::path& answersFolder) const;
    // Refuses a recording or its database that exist (unless forced), keeps the database beside the
    // recording and opens the recording for writing, all before the hook runs.
    std::ofstream PrepareRecording();
    std::string SnapshotPath() const;
    // Removes the recording and its database where this run made them.
    void ForgetRecording() const;
    // answers: as the scenario writes them; files: the files they open, path -> content.
    void Record(std::ofstream& file, const playback::ScenarioStep& step, const playback::StepOutcome& outcome,
                const Json& answers, const Json& files) const;

    std::string hook_;
    std::string database_;
    std::string user_;
    std::vector<std::string> rows_;
    std::string linkAttributes_, selectOp_, extensions_, fileTypes_;
    std::string obj_, fromObj_, myNewPart_;
    std::string answersFile_;
    std::string recordFile_;
    bool force_ = false;
    bool madeRecording_ = false, madeSnapshot_ = false;
    bool readOnly_ = false;
    bool json_ = false;
    CLI::App* command_ = nullptr;
};

} // namespace quendra::host
