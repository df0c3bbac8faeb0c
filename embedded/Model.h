// Model: a checked data model with every class resolved (family, attributes, table, link ends).
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "AttributeType.h"
#include "Value.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quendra::embedded {

struct ReferenceInfo {
    std::string className;
    int16_t classId = 0;
    std::string text;
    std::vector<std::string> display;
};

struct AttributeInfo {
    std::string name;
    std::string display;
    int32_t type = static_cast<int32_t>(AttributeType::Text);
    bool mandatory = false;
    bool primary = false;
    bool system = false; // CLASS_ID, OBJECT_ID and the link ends
    int16_t lookupId = 0;
    std::optional<ReferenceInfo> reference;
};

enum class ClassKind { Object, Link, Process };

struct ClassInfo {
    int16_t id = 0;
    std::string name;
    std::string display;
    ClassKind kind = ClassKind::Object;
    int16_t superId = 0;                   // its own id for a class without a super class
    int16_t rootId = 0;                    // the class without a super class at the top of its family
    std::vector<AttributeInfo> attributes; // system attributes, then the super class's, then its own
    std::unordered_map<std::string, size_t> attributeIndex;
    std::vector<std::string> displayText;
    std::vector<size_t> displayPositions; // where each display text attribute is in `attributes`
    std::string table;
    int16_t parentId = 0; // link classes: the parent and child end classes
    int16_t childId = 0;
    std::vector<std::string> steps; // process classes
    std::vector<int16_t> family;    // this class and every class below it, in model order

    const AttributeInfo* Attribute(const std::string& attribute) const {
        auto found = attributeIndex.find(attribute);
        return found == attributeIndex.end() ? nullptr : &attributes[found->second];
    }
};

struct ColumnInfo {
    std::string name;
    int32_t type = static_cast<int32_t>(AttributeType::Text);
};

struct TableInfo {
    std::string name;
    ClassKind kind = ClassKind::Object;
    std::vector<ColumnInfo> columns; // CLASS_ID and OBJECT_ID first
};

struct SequenceInfo {
    std::string name;
    std::string prefix;
    std::string suffix;
    int width = 0;
    bool zeroPad = false;
    int64_t next = 1;
    std::string Format(int64_t number) const;
};

struct LookupInfo {
    int16_t id = 0;
    std::string name;
    std::vector<std::pair<int32_t, std::string>> entries; // (code, text) in table order
};

struct UserInfo {
    std::string login;
    bool admin = false;
    std::vector<std::pair<std::string, Value>> values;
};

class Model {
public:
    std::string source;   // where it was read from
    std::string jsonText; // the text it was parsed from, kept with the database
    std::vector<ClassInfo> classes;
    std::vector<TableInfo> tables;
    std::vector<SequenceInfo> sequences;
    std::vector<LookupInfo> lookups;
    std::vector<UserInfo> users;
    int16_t usersClassId = 0;

    const ClassInfo* ClassById(int16_t id) const;
    const ClassInfo* ClassByName(const std::string& name) const;
    const TableInfo* Table(const std::string& name) const;
    const LookupInfo* Lookup(int16_t id) const;
    // That class is this class or below it.
    bool Includes(int16_t classId, int16_t otherId) const;
    // Indexes built once the lists are complete.
    void Index();

private:
    std::vector<int32_t> byId_; // position in classes by class id (from 0), -1 for none: asked for on every call
    std::unordered_map<int16_t, size_t> byNegativeId_;
    std::unordered_map<std::string, size_t> byName_;
    std::unordered_map<std::string, size_t> tableByName_;
};

// The kind of value an attribute of that type holds.
Value::Kind KindOfType(int32_t type);
// A value written in an attribute's type: text for unsupported types, null stays null.
Value ConvertToType(const Value& value, int32_t type);

} // namespace quendra::embedded
