// QueryPlan: the SQL of a structured query of one shape, with how its columns are read and its values bound,
// and the cache of the plans a storage has made.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Connection.h"
#include "Model.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quendra::embedded {

// Queries with the same classes, columns, operators and empty values share one plan; only the values differ.
struct QueryPlan {
    struct Output {
        std::string name;
        int32_t type = 0;
    };
    // One per condition, in order: whether its value is bound, and in which attribute type (none for LIKE).
    struct Binding {
        bool bound = false;
        bool converted = false;
        int32_t type = 0;
    };
    std::string sql;
    // The statement of that SQL, pinned in the connection when the plan is first run (shapes come from code,
    // a few per operation, so the pinned statements stay few).
    KeptStatement* statement = nullptr;
    std::vector<Output> outputs;
    std::vector<Binding> bindings;
    // On a server, the whole row of the object each row names follows the outputs: its class (whose table it
    // is of), for the call to keep.
    const ClassInfo* rowClass = nullptr;
};

// The plans of the structured queries run so far, by their shape, kept for the storage's whole life. Shapes
// come from code, a few per operation: past a bound no more are kept, and a plan serves its one run.
class QueryPlanCache {
public:
    // The plan of that shape, or nullptr.
    QueryPlan* Find(const std::string& shape) {
        auto found = plans_.find(shape);
        return found == plans_.end() ? nullptr : &found->second;
    }
    bool Full() const { return plans_.size() >= kBound; }
    QueryPlan& Keep(const std::string& shape, QueryPlan plan) {
        return plans_.emplace(shape, std::move(plan)).first->second;
    }

private:
    static constexpr size_t kBound = 256;
    std::unordered_map<std::string, QueryPlan> plans_;
};

} // namespace quendra::embedded
