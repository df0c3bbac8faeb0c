// Fuzzes the JSON reader: any text is a value nested at most JsonCursor::MaxDepth deep, with no key twice in
// an object, that prints and reads back the same and can be walked by a cursor; or a FileError.
// SPDX-License-Identifier: Apache-2.0
#include "FileError.h"
#include "JsonCursor.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

using quendra::Json;
using quendra::JsonCursor;

// Whether some object of the text (read as nlohmann reads it, comments allowed) has a key twice.
bool HasDuplicateKey(const std::string& text) {
    std::vector<std::set<std::string>> keys;
    bool duplicate = false;
    auto watch = [&](int, Json::parse_event_t event, Json& parsed) {
        if (event == Json::parse_event_t::object_start) keys.emplace_back();
        if (event == Json::parse_event_t::object_end) keys.pop_back();
        if (event == Json::parse_event_t::key && !keys.back().insert(parsed.get<std::string>()).second)
            duplicate = true;
        return true;
    };
    try {
        (void)Json::parse(text, watch, true, true);
    } catch (const Json::exception&) {
    }
    return duplicate;
}

int Walk(const JsonCursor& cursor) {
    int deepest = 0;
    if (cursor.IsObject()) {
        for (const auto& [key, member] : cursor.Members()) deepest = std::max(deepest, Walk(member));
        return deepest + 1;
    }
    if (cursor.IsArray()) {
        for (const auto& item : cursor.Items()) deepest = std::max(deepest, Walk(item));
        return deepest + 1;
    }
    try {
        if (cursor.IsString())
            (void)cursor.String();
        else if (cursor.Value().is_boolean())
            (void)cursor.Bool();
        else if (cursor.Value().is_number())
            (void)cursor.Integer();
    } catch (const quendra::FileError&) { // a fraction or a number out of range where a whole number is read
    }
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Json value;
    try {
        value = JsonCursor::Parse(text, "fuzz.json");
    } catch (const quendra::FileError&) {
        return 0;
    }
    if (HasDuplicateKey(text)) std::abort();
    if (Walk(JsonCursor(value, "", "fuzz.json")) > JsonCursor::MaxDepth) std::abort();
    const std::string printed = quendra::JsonText(value);
    if (JsonCursor::Parse(value.dump(), "printed.json") != value) std::abort();
    (void)printed;
    return 0;
}
