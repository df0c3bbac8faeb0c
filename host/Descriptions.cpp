// Descriptions: the shared wording of windows and events in transcripts, checks and recordings.
#include "Descriptions.h"

#include "World.h"

#include <type_traits>
#include <variant>

namespace quendra::host {

Json Descriptions::Window(const scripted::WindowRecord& window) {
    using Kind = scripted::WindowRecord::Kind;
    Json json = Json::object();
    switch (window.kind) {
    case Kind::MessageBox:
        json["messageBox"] = window.text;
        json["title"] = window.title;
        json["icon"] = window.icon;
        json["buttons"] = window.buttons;
        break;
    case Kind::Window:
        json["window"] = window.title;
        json["text"] = window.text;
        if (!window.rows.empty()) {
            json["rows"] = Json::array();
            for (const auto& [name, value] : window.rows) json["rows"].push_back(Json::array({name, value}));
        }
        if (!window.choices.empty()) json["choices"] = window.choices;
        break;
    case Kind::OpenFile:
        json["openFile"] = window.filter;
        break;
    case Kind::Platform:
        json["platform"] = window.platform;
        if (!window.className.empty()) json["class"] = window.className;
        break;
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

std::string Descriptions::WindowLine(const scripted::WindowRecord& window) {
    using Kind = scripted::WindowRecord::Kind;
    switch (window.kind) {
    case Kind::MessageBox:
        return "message box " + JsonText(window.title) + " [" + window.icon + ", " + window.buttons +
               "]: " + JsonText(window.text);
    case Kind::Window: {
        std::string line =
            "window " + JsonText(window.title) + (window.text.empty() ? "" : ": " + JsonText(window.text));
        if (!window.rows.empty()) {
            line += " rows";
            for (const auto& [name, value] : window.rows) line += " " + JsonText(name) + "=" + JsonText(value);
        }
        if (!window.choices.empty()) line += " choices " + JsonText(Json(window.choices));
        return line;
    }
    case Kind::OpenFile:
        return "open-file dialog, filter " + JsonText(window.filter);
    case Kind::Platform:
        return "platform " + window.platform + " dialog" + (window.className.empty() ? "" : " for " + window.className);
    }
    return "window";
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

} // namespace quendra::host
