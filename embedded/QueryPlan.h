// QueryPlan: the SQL of a structured query of one shape, with how its columns are read and its values bound.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Connection.h"

#include <cstdint>
#include <string>
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
};

} // namespace quendra::embedded
