// The model's look-ups, and values written in an attribute's type. Model files are read in
// ModelFile.cpp.
// SPDX-License-Identifier: Apache-2.0
#include "Model.h"

#include "AttributeType.h"

#include <algorithm>

namespace quendra::embedded {

std::string SequenceInfo::Format(int64_t number) const {
    std::string digits = std::to_string(number < 0 ? -number : number);
    std::string sign = number < 0 ? "-" : "";
    size_t length = sign.size() + digits.size();
    if (static_cast<size_t>(width) > length) {
        size_t pad = width - length;
        if (zeroPad)
            digits = std::string(pad, '0') + digits;
        else
            sign = std::string(pad, ' ') + sign;
    }
    return prefix + sign + digits + suffix;
}

const ClassInfo* Model::ClassById(int16_t id) const {
    if (id >= 0) {
        if (static_cast<size_t>(id) >= byId_.size() || byId_[id] < 0) return nullptr;
        return &classes[byId_[id]];
    }
    auto found = byNegativeId_.find(id);
    return found == byNegativeId_.end() ? nullptr : &classes[found->second];
}

const ClassInfo* Model::ClassByName(const std::string& name) const {
    auto found = byName_.find(name);
    return found == byName_.end() ? nullptr : &classes[found->second];
}

const TableInfo* Model::Table(const std::string& name) const {
    auto found = tableByName_.find(name);
    return found == tableByName_.end() ? nullptr : &tables[found->second];
}

const LookupInfo* Model::Lookup(int16_t id) const {
    for (const auto& lookup : lookups)
        if (lookup.id == id) return &lookup;
    return nullptr;
}

bool Model::Includes(int16_t classId, int16_t otherId) const {
    const ClassInfo* other = ClassById(otherId);
    while (other) {
        if (other->id == classId) return true;
        if (other->superId == other->id) return false;
        other = ClassById(other->superId);
    }
    return false;
}

void Model::Index() {
    byId_.clear();
    byNegativeId_.clear();
    byName_.clear();
    tableByName_.clear();
    int16_t highest = -1;
    for (const auto& cls : classes) highest = std::max(highest, cls.id);
    byId_.assign(static_cast<size_t>(highest + 1), -1);
    for (size_t i = 0; i < classes.size(); ++i) {
        if (classes[i].id >= 0)
            byId_[classes[i].id] = static_cast<int32_t>(i);
        else
            byNegativeId_[classes[i].id] = i;
        byName_[classes[i].name] = i;
    }
    for (size_t i = 0; i < tables.size(); ++i) tableByName_[tables[i].name] = i;
}

Value::Kind KindOfType(int32_t type) {
    switch (static_cast<AttributeType>(type)) {
    case AttributeType::Int16:
        return Value::Kind::Int16;
    case AttributeType::Int32:
        return Value::Kind::Int32;
    case AttributeType::Double:
        return Value::Kind::Double;
    case AttributeType::Bool:
        return Value::Kind::Bool;
    default:
        return Value::Kind::Text;
    }
}

Value ConvertToType(const Value& value, int32_t type) {
    // A value of the attribute's own kind converts to itself.
    if (value.IsNull() || value.GetKind() == KindOfType(type)) return value;
    // A cleared field: an empty text is no number and no Boolean, it is no value.
    if (value.GetKind() == Value::Kind::Text && value.AsText().empty() && KindOfType(type) != Value::Kind::Text)
        return {};
    switch (static_cast<AttributeType>(type)) {
    case AttributeType::Int16:
        return Value::Int16(value.AsInt16());
    case AttributeType::Int32:
        return Value::Int32(value.AsInt32());
    case AttributeType::Double:
        return Value::Double(value.AsDouble());
    case AttributeType::Bool:
        return Value::Bool(value.AsBool());
    default:
        return Value::Text(value.AsText());
    }
}

} // namespace quendra::embedded
