// Value: one attribute value as the platform hands it over, carrying its own type.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <variant>

namespace quendra {

class Value {
public:
    enum class Kind { Null, Text, Int16, Int32, Double, Bool };

    Value() = default; // null
    static Value Text(std::string text) { return Value(std::in_place, std::move(text)); }
    static Value Int16(int16_t value) { return Value(std::in_place, value); }
    static Value Int32(int32_t value) { return Value(std::in_place, value); }
    static Value Double(double value) { return Value(std::in_place, value); }
    static Value Bool(bool value) { return Value(std::in_place, value); }

    Kind GetKind() const;
    bool IsNull() const { return GetKind() == Kind::Null; }

    // Conversions as callers read values. Null reads as "" / 0 / False.
    // Text: Booleans "True"/"False", integers in decimal, doubles in the shortest
    // form that reads back the same.
    std::string AsText() const;
    // Numbers from text must read as a number; fractions round half to even;
    // a value outside the target range or an unreadable text throws CvError.
    int16_t AsInt16() const;
    int32_t AsInt32() const;
    double AsDouble() const;
    // Booleans from text: true/false in any letter case, or a number (0 is False).
    bool AsBool() const;

    bool operator==(const Value& other) const = default;

private:
    template <typename T> Value(std::in_place_t, T held) : data_(std::in_place_type<T>, std::move(held)) {}

    std::variant<std::monostate, std::string, int16_t, int32_t, double, bool> data_;
};

// Text-to-number helpers shared by the conversions above; they throw CvError.
double ParseNumber(const std::string& text);
int64_t RoundHalfEven(double value);
std::string FormatDouble(double value);

} // namespace quendra
