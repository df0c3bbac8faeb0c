// PersonAnswer: an answer a person gave in a real window, written as a scenario file writes it.
#pragma once

#include "Database.h"
#include "JsonCursor.h"
#include "ScriptedUser.h"

#include <filesystem>

namespace quendra::host {

// Objects picked are named by selectors on their object ids, which the database kept beside a
// recording still holds; files picked are named relative to `folder` and their content goes into
// `files` under that name.
Json PersonAnswer(const scripted::Answer& answer, embedded::Database& database, const std::filesystem::path& folder,
                  Json& files);

} // namespace quendra::host
