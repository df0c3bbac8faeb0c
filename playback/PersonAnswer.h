// PersonAnswer: an answer a person gave in a real window, written as a scenario file writes it.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "StepOutcome.h"

#include "Database.h"
#include "JsonCursor.h"
#include "ScriptedUser.h"

#include <filesystem>
#include <string>
#include <variant>
#include <vector>

namespace quendra::playback {

// Objects picked are named by selectors on their object ids, which the database kept beside a
// recording still holds; files picked are named relative to `folder` and their content goes into
// `files` under that name.
Json PersonAnswer(const answering::Answer& answer, embedded::Database& database, const std::filesystem::path& folder,
                  Json& files);

// Adds the windows a person answered in a call (each with `window` and its optional `answer`, as a
// toolkit logs them) to the outcome, each with its answer written in; a result dialog shares its query
// dialog's answer, as in scenarios. The answers go into `answers`, the files they open into `files`.
template <class Answered>
void NotePersonAnswers(const std::vector<Answered>& shown, embedded::Database& database,
                       const std::filesystem::path& folder, StepOutcome& outcome, Json& answers, Json& files) {
    std::string searchAnswer;
    for (const auto& one : shown) {
        auto window = one.window;
        if (one.answer) {
            Json answer = PersonAnswer(*one.answer, database, folder, files);
            window.answer = JsonText(answer);
            if (std::holds_alternative<answering::answers::Search>(one.answer->what)) searchAnswer = window.answer;
            answers.push_back(answer);
        } else {
            window.answer = searchAnswer;
        }
        outcome.windows.push_back(window);
    }
}

} // namespace quendra::playback
