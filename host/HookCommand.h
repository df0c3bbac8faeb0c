// HookCommand: `quendra hook NAME`: one hook call on a database file, answered by a person or a script.
#pragma once

#include "JsonCursor.h"
#include "Scenario.h"
#include "StepOutcome.h"

#include <CLI/CLI.hpp>

#include <deque>
#include <ostream>
#include <string>
#include <vector>

namespace quendra::host {

class HookCommand {
public:
    CLI::App* Register(CLI::App& app);
    int Run(std::ostream& out, std::ostream& errors);

private:
    StepSpec MakeStep(std::deque<Json>& documents);
    // answers: as the scenario writes them; files: the files they open, path -> content.
    void Record(const StepSpec& step, const StepOutcome& outcome, const std::string& snapshot, const Json& answers,
                const Json& files) const;

    std::string hook_;
    std::string database_;
    std::string user_;
    std::vector<std::string> rows_;
    std::string linkAttributes_, selectOp_, extensions_, fileTypes_;
    std::string obj_, fromObj_, myNewPart_;
    std::string answersFile_;
    std::string recordFile_;
    bool readOnly_ = false;
    bool json_ = false;
    CLI::App* command_ = nullptr;
};

} // namespace quendra::host
