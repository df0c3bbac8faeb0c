// RecordData: the named values of one record or object, typed by the object's class when it has one.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Model.h"
#include "Value.h"

#include <cstddef>
#include <string>
#include <vector>

namespace quendra::embedded {

// The names of a record's values. A record read for a class starts with the names of the class's attributes,
// in the class's order, borrowed from the model instead of copied (the model outlives every record of its
// classes, like the record's class itself); names added later are the record's own.
class NameList {
public:
    NameList() = default;
    // The names of these attributes, in their order.
    explicit NameList(const std::vector<AttributeInfo>& attributes) : attributes_(&attributes) {}
    // Names of the record's own.
    NameList(std::vector<std::string> names) : own_(std::move(names)) {} // NOLINT: a list of names is one

    size_t size() const { return Borrowed() + own_.size(); }
    bool empty() const { return size() == 0; }
    const std::string& operator[](size_t position) const {
        const size_t borrowed = Borrowed();
        return position < borrowed ? (*attributes_)[position].name : own_[position - borrowed];
    }
    void push_back(std::string name) { own_.push_back(std::move(name)); }
    // The names of these attributes only, the room for names of its own kept.
    void Borrow(const std::vector<AttributeInfo>& attributes) {
        attributes_ = &attributes;
        own_.clear();
    }
    // No names, the room for names of its own kept.
    void clear() {
        attributes_ = nullptr;
        own_.clear();
    }
    void reserve(size_t count) {
        if (count > Borrowed()) own_.reserve(count - Borrowed());
    }
    // Position of the name, or -1.
    int Find(const std::string& name) const;
    // Whether the list starts with the names of these attributes, borrowed.
    bool Borrows(const std::vector<AttributeInfo>& attributes) const { return attributes_ == &attributes; }

    class const_iterator {
    public:
        using value_type = std::string;
        using difference_type = std::ptrdiff_t;
        const_iterator(const NameList* list, size_t position) : list_(list), position_(position) {}
        const std::string& operator*() const { return (*list_)[position_]; }
        const_iterator& operator++() {
            ++position_;
            return *this;
        }
        bool operator==(const const_iterator& other) const { return position_ == other.position_; }
        bool operator!=(const const_iterator& other) const { return position_ != other.position_; }

    private:
        const NameList* list_;
        size_t position_;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    size_t Borrowed() const { return attributes_ ? attributes_->size() : 0; }

    const std::vector<AttributeInfo>* attributes_ = nullptr;
    std::vector<std::string> own_;
};

struct RecordData {
    const ClassInfo* cls = nullptr; // values of its attributes are kept in the attribute's type
    NameList names;
    std::vector<Value> values;
    // Which values were written by Set since the record was made or read (by position; missing = not set).
    std::vector<bool> set;

    // Position of the column, or -1.
    int Find(const std::string& name) const { return names.Find(name); }
    bool Has(const std::string& name) const { return Find(name) >= 0; }
    // The value of a column the record has; CvError for any other.
    const Value& Get(const std::string& name) const;
    // Writes a column the record has, or an attribute of its class, and marks it as set (also when the
    // value is the one it had); CvError for a value the type refuses.
    void Set(const std::string& name, const Value& value);
    bool IsSet(size_t position) const { return position < set.size() && set[position]; }
    // Adds or replaces without checks (building records).
    void Put(const std::string& name, Value value);
};

} // namespace quendra::embedded
