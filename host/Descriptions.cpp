// Descriptions: the shared wording of windows and events in transcripts, checks and recordings.
#include "Descriptions.h"

#include "World.h"

namespace quendra::host {

namespace {

const char* EventKind(embedded::Event::Kind kind) {
    using Kind = embedded::Event::Kind;
    switch (kind) {
    case Kind::Sql:
        return "sql";
    case Kind::Notify:
        return "notify";
    case Kind::Refresh:
        return "refresh";
    case Kind::Forward:
        return "forward";
    case Kind::Attach:
        return "attach";
    case Kind::Show:
        return "show";
    case Kind::Insert:
        return "insert";
    case Kind::Update:
        return "update";
    case Kind::Delete:
        return "delete";
    case Kind::Error:
        return "error";
    }
    return "event";
}

} // namespace

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
    using Kind = embedded::Event::Kind;
    Json json = Json::object();
    const char* kind = EventKind(event.kind);
    Json objects = Json::array();
    for (const auto& key : event.objects) objects.push_back(world.Name(key));
    switch (event.kind) {
    case Kind::Sql:
    case Kind::Forward:
        json[kind] = event.text;
        break;
    case Kind::Notify:
        json[kind] = event.code;
        json["objects"] = objects;
        json["flag"] = event.flag;
        break;
    case Kind::Refresh:
        json[kind] = event.code;
        json["objects"] = objects;
        break;
    case Kind::Error:
        json[kind] = event.operation;
        json["text"] = event.text;
        break;
    default:
        json[kind] = objects.empty() ? Json() : objects[0];
        break;
    }
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
    using Kind = embedded::Event::Kind;
    std::string line = EventKind(event.kind);
    std::string objects;
    for (const auto& key : event.objects) objects += (objects.empty() ? "" : ", ") + world.Name(key);
    switch (event.kind) {
    case Kind::Sql:
    case Kind::Forward:
        return line + " " + JsonText(event.text);
    case Kind::Notify:
        return line + " " + std::to_string(event.code) + " [" + objects + "] " + (event.flag ? "true" : "false");
    case Kind::Refresh:
        return line + " " + std::to_string(event.code) + " [" + objects + "]";
    case Kind::Error:
        return line + " " + event.operation + ": " + JsonText(event.text);
    default:
        return line + " " + objects;
    }
}

} // namespace quendra::host
