// JsonCursor: checked reading of scenario and answer files.
#include "JsonCursor.h"

#include "FileError.h"

namespace quendra::host {

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

JsonCursor::JsonCursor(const Json& value, std::string path, std::string file)
    : value_(&value), path_(std::move(path)), file_(std::move(file)) {}

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
    throw FileError(file_, path_.empty() ? "/" : path_, message);
}

void JsonCursor::ExpectObject(std::initializer_list<const char*> allowed) const {
    if (!value_->is_object()) Fail(std::string("must be an object, not ") + KindName(*value_));
    for (const auto& [key, member] : value_->items()) {
        bool known = false;
        for (const char* name : allowed) known = known || key == name;
        if (!known) {
            std::string names;
            for (const char* name : allowed) names += std::string(names.empty() ? "" : ", ") + name;
            JsonCursor(member, path_ + PointerToken(key), file_)
                .Fail("unknown key \"" + key + "\" (known keys: " + names + ")");
        }
    }
}

bool JsonCursor::Has(const std::string& key) const {
    return value_->is_object() && value_->contains(key);
}

JsonCursor JsonCursor::At(const std::string& key) const {
    auto found = Find(key);
    if (!found) Fail("the key \"" + key + "\" is missing");
    return *found;
}

std::optional<JsonCursor> JsonCursor::Find(const std::string& key) const {
    if (!value_->is_object()) Fail(std::string("must be an object, not ") + KindName(*value_));
    auto it = value_->find(key);
    if (it == value_->end()) return std::nullopt;
    return JsonCursor(*it, path_ + PointerToken(key), file_);
}

std::vector<JsonCursor> JsonCursor::Items() const {
    if (!value_->is_array()) Fail(std::string("must be a list, not ") + KindName(*value_));
    std::vector<JsonCursor> items;
    for (size_t i = 0; i < value_->size(); ++i)
        items.emplace_back((*value_)[i], path_ + "/" + std::to_string(i), file_);
    return items;
}

std::vector<std::pair<std::string, JsonCursor>> JsonCursor::Members() const {
    if (!value_->is_object()) Fail(std::string("must be an object, not ") + KindName(*value_));
    std::vector<std::pair<std::string, JsonCursor>> members;
    for (const auto& [key, member] : value_->items())
        members.emplace_back(key, JsonCursor(member, path_ + PointerToken(key), file_));
    return members;
}

std::string JsonCursor::String() const {
    if (!value_->is_string()) Fail(std::string("must be a text, not ") + KindName(*value_));
    return value_->get<std::string>();
}

bool JsonCursor::Bool() const {
    if (!value_->is_boolean()) Fail(std::string("must be true or false, not ") + KindName(*value_));
    return value_->get<bool>();
}

int64_t JsonCursor::Integer() const {
    if (!value_->is_number_integer()) Fail(std::string("must be a whole number, not ") + KindName(*value_));
    return value_->get<int64_t>();
}

std::string JsonText(const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

} // namespace quendra::host
