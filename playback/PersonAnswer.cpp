// PersonAnswer: an answer a person gave in a real window, written as a scenario file writes it.
// SPDX-License-Identifier: Apache-2.0
#include "PersonAnswer.h"

#include "FileError.h"
#include "ValueJson.h"

#include <string>

namespace quendra::playback {

namespace {

// A file picked anywhere, named as a path in the scenario's fresh folder: relative to `folder`
// when inside it, else its own folder's name and its name.
std::string ScenarioPath(const std::filesystem::path& file, const std::filesystem::path& folder) {
    auto relative = file.lexically_normal().lexically_relative(folder.lexically_normal());
    if (!relative.empty() && *relative.begin() != ".." && relative.is_relative()) return relative.generic_string();
    auto parent = file.parent_path().filename();
    return parent.empty() ? file.filename().generic_string() : (parent / file.filename()).generic_string();
}

} // namespace

Json PersonAnswer(const answering::Answer& answer, embedded::Database& database, const std::filesystem::path& folder,
                  Json& files) {
    namespace answers = answering::answers;
    Json json = Json::object();
    if (const auto* button = std::get_if<answers::Button>(&answer.what)) {
        json["button"] = button->caption;
    } else if (const auto* key = std::get_if<answers::Key>(&answer.what)) {
        json["key"] = key->name;
    } else if (std::holds_alternative<answers::Close>(answer.what)) {
        json["close"] = true;
    } else if (const auto* set = std::get_if<answers::Set>(&answer.what)) {
        json["set"] = Json::object();
        for (const auto& [name, text] : set->rows) json["set"][name] = text;
        json["button"] = set->button;
    } else if (const auto* actions = std::get_if<answers::Actions>(&answer.what)) {
        json["actions"] = Json::array();
        for (const auto& action : actions->actions) {
            if (action.verb == "click")
                json["actions"].push_back(Json::array({action.verb, action.row, action.col}));
            else
                json["actions"].push_back(Json::array({action.verb, action.text}));
        }
    } else if (const auto* choose = std::get_if<answers::Choose>(&answer.what)) {
        json["choose"] = choose->entry ? Json(*choose->entry) : Json();
        json["button"] = choose->button;
    } else if (const auto* open = std::get_if<answers::Open>(&answer.what)) {
        json["open"] = Json::array();
        for (const auto& path : open->paths) {
            auto name = ScenarioPath(path, folder);
            json["open"].push_back(name);
            if (std::filesystem::is_regular_file(path)) files[name] = ReadFileText(path);
        }
    } else if (const auto* search = std::get_if<answers::Search>(&answer.what)) {
        if (search->mode == answers::Search::Mode::CancelQuery) {
            json["search"] = "cancel";
        } else if (search->mode == answers::Search::Mode::CancelResults) {
            json["search"] = "cancel results";
        } else {
            json["search"] = Json::array();
            for (const auto& key : search->picks)
                json["search"].push_back(database.ClassName(key.classId) +
                                         "(OBJECT_ID=" + std::to_string(key.objectId) + ")");
        }
    } else if (const auto* fill = std::get_if<answers::Fill>(&answer.what)) {
        json["fill"] = Json::object();
        for (const auto& [name, value] : fill->values) json["fill"][name] = JsonOfValue(value);
        json["button"] = fill->button;
    }
    return json;
}

} // namespace quendra::playback
