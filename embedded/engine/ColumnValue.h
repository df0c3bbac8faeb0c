// ColumnValue: how every engine hands a stored number over as a platform value of an attribute's type.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "AttributeType.h"
#include "Value.h"

#include <cstdint>
#include <limits>

namespace quendra::embedded {

// Whether a column read for that attribute type is read as a number: a number type, or no declared type (0),
// which reads as stored.
inline bool ReadsAsNumber(int32_t type) {
    const auto named = static_cast<AttributeType>(type);
    return type == 0 || named == AttributeType::Int16 || named == AttributeType::Int32 ||
           named == AttributeType::Double || named == AttributeType::Bool;
}

// A whole number stored in a column, as a value of that attribute type: a flag, a decimal, a short number where
// it fits, else the smallest kind that holds it.
inline Value WholeColumnValue(int64_t whole, int32_t type) {
    const auto named = static_cast<AttributeType>(type);
    if (named == AttributeType::Bool) return Value::Bool(whole != 0);
    if (named == AttributeType::Double) return Value::Double(static_cast<double>(whole));
    if (named == AttributeType::Int16 && whole >= std::numeric_limits<int16_t>::min() &&
        whole <= std::numeric_limits<int16_t>::max())
        return Value::Int16(static_cast<int16_t>(whole));
    if (whole >= std::numeric_limits<int32_t>::min() && whole <= std::numeric_limits<int32_t>::max())
        return Value::Int32(static_cast<int32_t>(whole));
    return Value::Double(static_cast<double>(whole));
}

} // namespace quendra::embedded
