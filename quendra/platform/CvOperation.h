// Every platform operation as a value, with its names: what fault injection, the embedded platform's
// event log and the automation adapter know an operation by. Made from CvPlatform.def.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <cstddef>
#include <iterator>
#include <string_view>

namespace quendra {

enum class CvOperation {
#define QUENDRA_OPERATION(Interface, Name, Result, Parameters) Interface##_##Name,
#include "CvPlatform.def"
};

struct CvOperationName {
    std::string_view full;          // "CvObject.Update", as faults and error events name it
    std::string_view interfaceName; // "CvObject"
    std::string_view member;        // "Update"
};

// In the order of CvOperation.
inline constexpr CvOperationName cvOperationNames[] = {
#define QUENDRA_OPERATION(Interface, Name, Result, Parameters) {#Interface "." #Name, #Interface, #Name},
#include "CvPlatform.def"
};

inline constexpr size_t cvOperationCount = std::size(cvOperationNames);

constexpr const CvOperationName& NameOf(CvOperation operation) {
    return cvOperationNames[static_cast<size_t>(operation)];
}

} // namespace quendra
