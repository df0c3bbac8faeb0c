// JsonCursor: one place in a parsed JSON file, read with checks that name the file and JSON path.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "FileError.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quendra {

// Objects keep the order in which the file writes their keys.
using Json = nlohmann::ordered_json;

class JsonCursor {
public:
    // How mistakes are worded; each kind of file keeps the way its users know.
    enum class Wording {
        // "must be a list, not a text"; an unknown key lists the known ones; a missing key is reported
        // at its object; the top level is "/".
        Describing,
        // "a list is expected here"; a missing key is reported at its own path; the top level is "".
        Brief,
    };

    JsonCursor(const Json& value, std::string path, std::string file, Wording wording = Wording::Describing);

    // Lists and objects nest at most this deep: copying and printing a value recurse once per level.
    static constexpr int MaxDepth = 100;
    // Parses text that may hold // and /* */ comments.
    static Json Parse(const std::string& text, const std::string& file);
    // Reads and parses a file; a missing or unreadable file is a FileError naming it.
    static Json ReadFile(const std::string& path);

    const Json& Value() const { return *value_; }
    const std::string& Path() const { return path_; }
    const std::string& File() const { return file_; }
    // Throws a FileError naming the file and this place.
    [[noreturn]] void Fail(const std::string& message) const;

    bool IsNull() const { return value_->is_null(); }
    bool IsString() const { return value_->is_string(); }
    bool IsObject() const { return value_->is_object(); }
    bool IsArray() const { return value_->is_array(); }

    // An object whose keys are all among `allowed`.
    void ExpectObject(std::initializer_list<const char*> allowed) const;
    bool Has(const std::string& key) const;
    // A key that must be there.
    JsonCursor At(const std::string& key) const;
    std::optional<JsonCursor> Find(const std::string& key) const;
    // The entries of an array.
    std::vector<JsonCursor> Items() const;
    // The members of an object, in file order.
    std::vector<std::pair<std::string, JsonCursor>> Members() const;

    std::string String() const;
    bool Bool() const;
    // A whole number (see WholeNumber) in the 64-bit range.
    int64_t Integer() const;

private:
    JsonCursor Child(const Json& value, const std::string& token) const;
    // Fails unless the value is of the kind `expected` names ("a list").
    void Expect(bool isKind, const char* expected) const;

    const Json* value_;
    std::string path_;
    std::string file_;
    Wording wording_;
};

// A number with no fraction, also when written with one or with an exponent (5.0, 1e3), as a double: exact for
// every integer that an attribute or count can hold, and beyond that range still telling how large it is.
std::optional<double> WholeNumber(const Json& value);

// The text as a JSON file holds it: each byte that is not part of valid UTF-8 becomes U+FFFD, as in every file
// the command writes, so a text read back from such a file compares equal to the text it was written from.
std::string JsonHeldText(const std::string& text);

// The JSON value as one line of text, for messages.
std::string JsonText(const Json& value);

} // namespace quendra
