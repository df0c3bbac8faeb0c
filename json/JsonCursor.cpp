// JsonCursor: checked reading of model, scenario and answer files.
#include "JsonCursor.h"

namespace quendra {

namespace {

// "/key" with the key escaped as a JSON pointer token.
std::string PointerToken(const std::string& key) {
    return (Json::json_pointer() / key).to_string();
}

const char* KindName(const Json& value) {
    switch (value.type()) {
    case Json::value_t::null:
        return "null";
    case Json::value_t::boolean:
        return "a Boolean";
    case Json::value_t::string:
        return "a text";
    case Json::value_t::array:
        return "a list";
    case Json::value_t::object:
        return "an object";
    case Json::value_t::number_float:
        return "a fractional number";
    default:
        return "a number";
    }
}

} // namespace

JsonCursor::JsonCursor(const Json& value, std::string path, std::string file, Wording wording)
    : value_(&value), path_(std::move(path)), file_(std::move(file)), wording_(wording) {}

Json JsonCursor::Parse(const std::string& text, const std::string& file) {
    // Refused while parsing, before anything copies or prints the value.
    auto shallow = [&](int depth, Json::parse_event_t event, Json&) {
        bool opens = event == Json::parse_event_t::object_start || event == Json::parse_event_t::array_start;
        if (opens && depth >= MaxDepth)
            throw FileError(file, "",
                            "lists and objects are nested deeper than " + std::to_string(MaxDepth) + " levels");
        return true;
    };
    try {
        return Json::parse(text, shallow, true, true);
    } catch (const Json::exception& error) { // a syntax error, or a number too large for a double
        std::string what = error.what();
        auto start = what.find("] ");
        if (start != std::string::npos) what = what.substr(start + 2);
        throw FileError(file, "", "not valid JSON: " + what);
    }
}

Json JsonCursor::ReadFile(const std::string& path) {
    return Parse(ReadFileText(path), path);
}

void JsonCursor::Fail(const std::string& message) const {
    throw FileError(file_, path_.empty() && wording_ == Wording::Describing ? "/" : path_, message);
}

JsonCursor JsonCursor::Child(const Json& value, const std::string& token) const {
    return JsonCursor(value, path_ + token, file_, wording_);
}

void JsonCursor::Expect(bool isKind, const char* expected) const {
    if (isKind) return;
    if (wording_ == Wording::Brief) Fail(std::string(expected) + " is expected here");
    Fail(std::string("must be ") + expected + ", not " + KindName(*value_));
}

void JsonCursor::ExpectObject(std::initializer_list<const char*> allowed) const {
    Expect(value_->is_object(), "an object");
    for (const auto& [key, member] : value_->items()) {
        bool known = false;
        for (const char* name : allowed) known = known || key == name;
        if (known) continue;
        std::string names;
        for (const char* name : allowed) names += std::string(names.empty() ? "" : ", ") + name;
        Child(member, PointerToken(key))
            .Fail("unknown key \"" + key + "\"" + (wording_ == Wording::Brief ? "" : " (known keys: " + names + ")"));
    }
}

bool JsonCursor::Has(const std::string& key) const {
    return value_->is_object() && value_->contains(key);
}

JsonCursor JsonCursor::At(const std::string& key) const {
    auto found = Find(key);
    if (found) return *found;
    const std::string message = "the key \"" + key + "\" is missing";
    if (wording_ == Wording::Brief) Child(*value_, PointerToken(key)).Fail(message);
    Fail(message);
}

std::optional<JsonCursor> JsonCursor::Find(const std::string& key) const {
    Expect(value_->is_object(), "an object");
    auto it = value_->find(key);
    if (it == value_->end()) return std::nullopt;
    return Child(*it, PointerToken(key));
}

std::vector<JsonCursor> JsonCursor::Items() const {
    Expect(value_->is_array(), "a list");
    std::vector<JsonCursor> items;
    for (size_t i = 0; i < value_->size(); ++i) items.push_back(Child((*value_)[i], "/" + std::to_string(i)));
    return items;
}

std::vector<std::pair<std::string, JsonCursor>> JsonCursor::Members() const {
    Expect(value_->is_object(), "an object");
    std::vector<std::pair<std::string, JsonCursor>> members;
    for (const auto& [key, member] : value_->items()) members.emplace_back(key, Child(member, PointerToken(key)));
    return members;
}

std::string JsonCursor::String() const {
    Expect(value_->is_string(), "a text");
    return value_->get<std::string>();
}

bool JsonCursor::Bool() const {
    Expect(value_->is_boolean(), "true or false");
    return value_->get<bool>();
}

int64_t JsonCursor::Integer() const {
    Expect(value_->is_number_integer(), "a whole number");
    return value_->get<int64_t>();
}

std::string JsonText(const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

} // namespace quendra
