// RecordData: the named values of one record or object, typed by the object's class when it has one.
#pragma once

#include "Model.h"
#include "Value.h"

#include <string>
#include <vector>

namespace quendra::embedded {

struct RecordData {
    const ClassInfo* cls = nullptr; // values of its attributes are kept in the attribute's type
    std::vector<std::string> names;
    std::vector<Value> values;
    // Which values were written by Set since the record was made or read (by position; missing = not set).
    std::vector<bool> set;

    // Position of the column, or -1.
    int Find(const std::string& name) const;
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
