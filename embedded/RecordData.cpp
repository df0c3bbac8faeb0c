// Reading and writing the named values of a record.
// SPDX-License-Identifier: Apache-2.0
#include "RecordData.h"

#include "CvError.h"

#include <cstring>

namespace quendra::embedded {

namespace {

// Names of the same length mostly differ at their end ("CN_" starts many): compared there first.
bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           (a.empty() || (a.back() == b.back() && std::memcmp(a.data(), b.data(), a.size()) == 0));
}

} // namespace

int NameList::Find(const std::string& name) const {
    const size_t borrowed = Borrowed();
    for (size_t i = 0; i < borrowed; ++i)
        if (SameName((*attributes_)[i].name, name)) return static_cast<int>(i);
    for (size_t i = 0; i < own_.size(); ++i)
        if (SameName(own_[i], name)) return static_cast<int>(borrowed + i);
    return -1;
}

const Value& RecordData::Get(const std::string& name) const {
    int position = Find(name);
    if (position < 0) throw CvError("the record has no attribute \"" + name + "\"");
    return values[position];
}

void RecordData::Set(const std::string& name, const Value& value) {
    int position = Find(name);
    const AttributeInfo* attribute = nullptr;
    if (cls) {
        // A name borrowed from the class is its attribute at the same position.
        const bool borrowed =
            position >= 0 && static_cast<size_t>(position) < cls->attributes.size() && names.Borrows(cls->attributes);
        attribute = borrowed ? &cls->attributes[position] : cls->Attribute(name);
    }
    if (position < 0 && !attribute) throw CvError("the record has no attribute \"" + name + "\"");
    Value typed = attribute ? ConvertToType(value, attribute->type) : value;
    if (position < 0) {
        position = static_cast<int>(names.size());
        names.push_back(name);
        values.push_back(std::move(typed));
    } else {
        values[position] = std::move(typed);
    }
    if (set.size() <= static_cast<size_t>(position)) set.resize(position + 1);
    set[position] = true;
}

void RecordData::Put(const std::string& name, Value value) {
    int position = Find(name);
    if (position < 0) {
        names.push_back(name);
        values.push_back(std::move(value));
    } else {
        values[position] = std::move(value);
    }
}

} // namespace quendra::embedded
