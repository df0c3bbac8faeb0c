// AutomationValue: what an automation variant holds, as plain data, converted to and from the platform's
// values; texts between UTF-8 and the UTF-16 of automation; automation dates. Nothing here needs COM: the
// adapter in com/ copies a VARIANT into and out of VariantData, and this code builds on every system.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Value.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quendra::com {

// Variant types by their automation numbers; a by-reference variant is followed before it is read.
enum class VariantType : uint16_t {
    Empty = 0,
    Null = 1,
    Int16 = 2,
    Int32 = 3,
    Float = 4,
    Double = 5,
    Currency = 6,
    Date = 7,
    Text = 8,
    Dispatch = 9,
    Error = 10,
    Bool = 11,
    Unknown = 13,
    Decimal = 14,
    Int8 = 16,
    UInt8 = 17,
    UInt16 = 18,
    UInt32 = 19,
    Int64 = 20,
    UInt64 = 21,
    Int = 22,
    UInt = 23,
};

// A variant's type and the field that type fills.
struct VariantData {
    VariantType type = VariantType::Empty;
    // Int8 to Int64 and Int; Currency in ten-thousandths; Bool (0 is false); Error's code.
    int64_t whole = 0;
    // UInt8 to UInt64 and UInt; Decimal: the low 64 bits of its 96-bit magnitude.
    uint64_t unsignedWhole = 0;
    // Decimal: the high 32 bits of the magnitude, the power of ten it is divided by (0 to 28), its sign.
    uint32_t decimalHigh = 0;
    uint8_t decimalScale = 0;
    bool decimalNegative = false;
    // Float, Double, Date.
    double real = 0;
    // Text.
    std::u16string text;
    // Dispatch, Unknown: whether an object is there.
    bool object = false;
};

// Empty, null and a missing object are none.
bool IsNone(const VariantData& variant);

// The value a variant holds: none is null; texts, 16- and 32-bit integers, doubles and Booleans keep their
// kind; the other integers read as a 32-bit integer when they are 8- or 16-bit, else as a double, as do
// floats, currency and decimals; a date reads as its text ("2026-12-06 16:28:00"). Nullopt for what only
// the object or the system can say (an object's value, an error code, a type not listed).
std::optional<Value> ValueOf(const VariantData& variant);

// The variant a value crosses as: null is empty.
VariantData VariantOf(const Value& value);

// Texts between UTF-8 and UTF-16; a malformed sequence becomes U+FFFD, as the system's conversions do.
std::u16string Utf16(std::string_view text);
std::string Utf8(std::u16string_view text);

// Automation dates count days from 30 December 1899, the time of day as the fraction (before that day
// the fraction still counts forward: -1.25 is 29 December 1899, 6:00).
double AutomationDate(std::chrono::system_clock::time_point when);
// The time of an automation date, to the millisecond; nullopt outside the years 100 to 9999 that automation
// dates hold, or outside what the clock holds.
std::optional<std::chrono::system_clock::time_point> TimeOfAutomationDate(double days);
// The date as text, to the second.
std::string AutomationDateText(double days);

} // namespace quendra::com
