// The sample product on an in-memory database, made once per fuzz run, for targets that resolve refs.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "SampleData.h"
#include "ScenarioParser.h"
#include "World.h"

#include "Database.h"
#include "Model.h"
#include "ScriptedUser.h"

#include <memory>

namespace quendra::fuzz {

inline const playback::World& SampleWorld() {
    static const auto model = embedded::BuiltInModel("plant");
    static const auto database = embedded::Database::Create(":memory:", model);
    static scripted::ScriptedUser user;
    static const auto world = [] {
        auto made = std::make_unique<playback::World>(*database, user, host::SampleDataName);
        made->SetDefaultUser(model->users.front().login);
        made->Build(playback::ScenarioParser::ParseText(host::SampleDataText(), host::SampleDataName));
        return made;
    }();
    return *world;
}

} // namespace quendra::fuzz
