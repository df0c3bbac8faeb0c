// JsonCursor: checked reading of model, scenario and answer files.
// SPDX-License-Identifier: Apache-2.0
#include "JsonCursor.h"

#include <cmath>
#include <set>

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
    // Where the parser stands: one entry per open list or object, with the keys met so far in an object, the
    // key or index being read, and the JSON pointer up to that list or object.
    struct Open {
        bool object;
        std::string path;
        std::set<std::string> keys;
        std::string token;
        size_t items = 0;
    };
    std::vector<Open> open;
    // A value begins: in a list, it is the next item.
    auto begins = [&] {
        if (!open.empty() && !open.back().object) open.back().token = "/" + std::to_string(open.back().items++);
    };
    // Refused while parsing, before anything copies or prints the value, and before a repeated key replaces the
    // value it was first given.
    auto check = [&](int depth, Json::parse_event_t event, Json& parsed) {
        switch (event) {
        case Json::parse_event_t::object_start:
        case Json::parse_event_t::array_start:
            if (depth >= MaxDepth)
                throw FileError(file, "",
                                "lists and objects are nested deeper than " + std::to_string(MaxDepth) + " levels");
            begins();
            open.push_back({event == Json::parse_event_t::object_start,
                            open.empty() ? "" : open.back().path + open.back().token,
                            {},
                            {}});
            break;
        case Json::parse_event_t::object_end:
        case Json::parse_event_t::array_end:
            open.pop_back();
            break;
        case Json::parse_event_t::key: {
            auto key = parsed.get<std::string>();
            open.back().token = PointerToken(key);
            if (!open.back().keys.insert(key).second)
                throw FileError(file, open.back().path + open.back().token,
                                "the key \"" + key + "\" is given twice in one object");
            break;
        }
        case Json::parse_event_t::value:
            begins();
            break;
        }
        return true;
    };
    try {
        return Json::parse(text, check, true, true);
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
    auto number = WholeNumber(*value_);
    Expect(number.has_value(), "a whole number");
    constexpr double Limit = 9223372036854775808.0; // 2^63
    bool inRange = value_->is_number_unsigned() ? value_->get<uint64_t>() <= uint64_t(INT64_MAX)
                                                : value_->is_number_integer() || (*number >= -Limit && *number < Limit);
    if (!inRange) Fail(JsonText(*value_) + " is out of range");
    return value_->is_number_integer() ? value_->get<int64_t>() : static_cast<int64_t>(*number);
}

std::optional<double> WholeNumber(const Json& value) {
    if (!value.is_number()) return std::nullopt;
    double number = value.get<double>();
    if (!value.is_number_integer() && std::trunc(number) != number) return std::nullopt;
    return number;
}

std::string JsonHeldText(const std::string& text) {
    try {
        Json(text).dump();
        return text;
    } catch (const Json::type_error&) { // not UTF-8
        return Json::parse(Json(text).dump(-1, ' ', false, Json::error_handler_t::replace)).get<std::string>();
    }
}

std::string JsonText(const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

} // namespace quendra
