// Descriptions: the shared wording of windows and events in transcripts, checks and recordings.
// SPDX-License-Identifier: Apache-2.0
#include "Descriptions.h"

#include "World.h"

#include <type_traits>
#include <variant>

namespace quendra::playback {

Json Descriptions::Window(const answering::WindowRecord& window) {
    namespace records = answering::records;
    Json json = Json::object();
    if (const auto* box = std::get_if<records::MessageBox>(&window.what)) {
        json["messageBox"] = box->text;
        json["title"] = box->title;
        json["icon"] = IconName(box->icon);
        json["buttons"] = ButtonsName(box->buttons);
    } else if (const auto* shown = std::get_if<records::Window>(&window.what)) {
        json["window"] = shown->title;
        json["text"] = shown->text;
        if (!shown->rows.empty()) {
            json["rows"] = Json::array();
            for (const auto& [name, value] : shown->rows) json["rows"].push_back(Json::array({name, value}));
        }
        if (!shown->choices.empty()) json["choices"] = shown->choices;
    } else if (const auto* open = std::get_if<records::OpenFile>(&window.what)) {
        json["openFile"] = open->filter;
    } else if (const auto* platform = std::get_if<records::Platform>(&window.what)) {
        json["platform"] = DialogName(platform->dialog);
        if (!platform->className.empty()) json["class"] = platform->className;
    }
    return json;
}

Json Descriptions::Event(const embedded::Event& event, const World& world) {
    namespace ev = embedded::events;
    auto names = [&](const std::vector<embedded::ObjectKey>& keys) {
        Json list = Json::array();
        for (const auto& key : keys) list.push_back(world.Name(key));
        return list;
    };
    Json json = Json::object();
    std::visit(
        [&](const auto& e) {
            using E = std::decay_t<decltype(e)>;
            Json& head = json[E::kind];
            if constexpr (std::is_same_v<E, ev::Sql>) {
                head = e.statement;
            } else if constexpr (std::is_same_v<E, ev::Forward>) {
                head = e.comment;
            } else if constexpr (std::is_same_v<E, ev::Notify>) {
                head = e.code;
                json["objects"] = names(e.objects);
                json["flag"] = e.flag;
            } else if constexpr (std::is_same_v<E, ev::Refresh>) {
                head = e.action;
                json["objects"] = names(e.objects);
            } else if constexpr (std::is_same_v<E, ev::Error>) {
                head = e.operation;
                json["text"] = e.text;
            } else {
                head = world.Name(e.object);
            }
        },
        event);
    return json;
}

std::string Descriptions::WindowLine(const answering::WindowRecord& window) {
    namespace records = answering::records;
    if (const auto* box = std::get_if<records::MessageBox>(&window.what))
        return "message box " + JsonText(box->title) + " [" + IconName(box->icon) + ", " + ButtonsName(box->buttons) +
               "]: " + JsonText(box->text);
    if (const auto* shown = std::get_if<records::Window>(&window.what)) {
        std::string line =
            "window " + JsonText(shown->title) + (shown->text.empty() ? "" : ": " + JsonText(shown->text));
        if (!shown->rows.empty()) {
            line += " rows";
            for (const auto& [name, value] : shown->rows) line += " " + JsonText(name) + "=" + JsonText(value);
        }
        if (!shown->choices.empty()) line += " choices " + JsonText(Json(shown->choices));
        return line;
    }
    if (const auto* open = std::get_if<records::OpenFile>(&window.what))
        return "open-file dialog, filter " + JsonText(open->filter);
    const auto& platform = std::get<records::Platform>(window.what);
    return std::string("platform ") + DialogName(platform.dialog) + " dialog" +
           (platform.className.empty() ? "" : " for " + platform.className);
}

const char* Descriptions::IconName(ui::Icon icon) {
    switch (icon) {
    case ui::Icon::Information:
        return "information";
    case ui::Icon::Exclamation:
        return "exclamation";
    case ui::Icon::Critical:
        return "critical";
    case ui::Icon::Question:
        return "question";
    }
    return "";
}

const char* Descriptions::ButtonsName(ui::Buttons buttons) {
    return buttons == ui::Buttons::Ok ? "OK" : "YesNo";
}

const char* Descriptions::DialogName(answering::records::Platform::Dialog dialog) {
    using Dialog = answering::records::Platform::Dialog;
    switch (dialog) {
    case Dialog::Query:
        return "query";
    case Dialog::Results:
        return "results";
    case Dialog::NewObject:
        return "newObject";
    }
    return "";
}

std::string Descriptions::EventLine(const embedded::Event& event, const World& world) {
    namespace ev = embedded::events;
    auto names = [&](const std::vector<embedded::ObjectKey>& keys) {
        std::string list;
        for (const auto& key : keys) list += (list.empty() ? "" : ", ") + world.Name(key);
        return "[" + list + "]";
    };
    std::string line(embedded::KindOf(event));
    return std::visit(
        [&](const auto& e) {
            using E = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<E, ev::Sql>)
                return line + " " + JsonText(e.statement);
            else if constexpr (std::is_same_v<E, ev::Forward>)
                return line + " " + JsonText(e.comment);
            else if constexpr (std::is_same_v<E, ev::Notify>)
                return line + " " + std::to_string(e.code) + " " + names(e.objects) + " " + (e.flag ? "true" : "false");
            else if constexpr (std::is_same_v<E, ev::Refresh>)
                return line + " " + std::to_string(e.action) + " " + names(e.objects);
            else if constexpr (std::is_same_v<E, ev::Error>)
                return line + " " + e.operation + ": " + JsonText(e.text);
            else
                return line + " " + world.Name(e.object);
        },
        event);
}

} // namespace quendra::playback
