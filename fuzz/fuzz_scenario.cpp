// Fuzzes the scenario loader: any text is either read and built into a world on a fresh database, or a FileError.
//
// Only built-in models are used, so the input never makes the loader read other files; the files a scenario
// gives are written to a fresh temporary folder that the world removes again. Each step's rows and answers are
// resolved against the world as playing would, without calling the hook.
// SPDX-License-Identifier: Apache-2.0
#include "FileError.h"
#include "ScenarioParser.h"
#include "World.h"

#include "Database.h"
#include "Model.h"
#include "ScriptedUser.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace {

// Models are parsed once; every input gets a database of its own.
std::shared_ptr<const quendra::embedded::Model> BuiltIn(const std::string& name) {
    static std::map<std::string, std::shared_ptr<const quendra::embedded::Model>> models;
    for (const auto& builtIn : quendra::embedded::BuiltInModelNames())
        if (builtIn == name) {
            auto& model = models[name];
            if (!model) model = quendra::embedded::BuiltInModel(name);
            return model;
        }
    return nullptr;
}

void Build(const quendra::playback::Scenario& scenario) {
    auto model = BuiltIn(scenario.model);
    if (!model) return;
    auto database = quendra::embedded::Database::Create(":memory:", model);
    quendra::scripted::ScriptedUser user;
    quendra::playback::World world(*database, user, scenario.file);
    if (!model->users.empty()) world.SetDefaultUser(model->users.front().login);
    world.Build(scenario);
    for (const auto& step : scenario.steps) {
        if (step.rows)
            for (const auto& row : *step.rows) world.MakeRow(row);
        for (const auto& answer : step.answers) world.MakeAnswer(answer);
        for (const auto& [name, arg] : step.objectArgs)
            if (arg.ref) world.Resolve(*arg.ref, arg.path);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        Build(quendra::playback::ScenarioParser::ParseText(text, "fuzz.json"));
    } catch (const quendra::FileError&) {
    }
    return 0;
}
