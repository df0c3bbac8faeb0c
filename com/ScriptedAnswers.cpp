// The answers file of quendra.dll's scripted user, read as `quendra hook --answers` reads it.
// SPDX-License-Identifier: Apache-2.0
#include "ScriptedAnswers.h"

#include "Automation.h"
#include "FileError.h"
#include "JsonCursor.h"
#include "ScenarioParser.h"

#include <filesystem>
#include <variant>

namespace quendra::com {

std::string AnswersFileSetting() {
    DWORD size = GetEnvironmentVariableW(AnswersVariable, nullptr, 0);
    if (size <= 1) return "";
    std::wstring value(size, L'\0');
    size = GetEnvironmentVariableW(AnswersVariable, value.data(), size);
    return Utf8(value.data(), size);
}

std::vector<answering::Answer> ReadAnswers(const std::string& file) {
    Json document = JsonCursor::ReadFile(file);
    JsonCursor root(document, "", file);
    playback::ScenarioParser parser;
    std::vector<playback::ScenarioAnswer> parsed;
    if (root.IsObject()) {
        root.ExpectObject({"answers"});
        parsed = parser.ParseAnswers(root.At("answers"));
    } else {
        parsed = parser.ParseAnswers(root);
    }
    auto folder = std::filesystem::absolute(std::filesystem::path(Wide(file))).parent_path();
    std::vector<answering::Answer> answers;
    for (const auto& answer : parsed) {
        answering::Answer made = answer.answer;
        if (std::holds_alternative<answering::answers::Search>(made.what) ||
            std::holds_alternative<answering::answers::Fill>(made.what))
            throw FileError(file, answer.path,
                            "the platform answers its own dialogs; these answers are for the component's windows");
        if (auto* open = std::get_if<answering::answers::Open>(&made.what))
            for (const auto& picked : answer.openFiles) {
                auto path = (folder / std::filesystem::path(Wide(picked))).lexically_normal().wstring();
                open->paths.push_back(Utf8(path.data(), path.size()));
            }
        answers.push_back(std::move(made));
    }
    return answers;
}

} // namespace quendra::com
