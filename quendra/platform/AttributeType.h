// AttributeType: the codes by which an attribute definition says what its values are.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <cstdint>

namespace quendra {

// The types the component reads and writes in their own kind. A definition may report other
// codes (0 to 20 and beyond); those values are kept as text, and a type code is therefore held
// as int32_t wherever it comes from the platform, and compared through this enumeration.
enum class AttributeType : int32_t {
    Text = 1,
    Int16 = 2,
    Int32 = 3,
    Double = 4,
    Bool = 15,
};

} // namespace quendra
