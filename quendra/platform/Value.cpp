// Value conversions between the platform's value types and text.
// SPDX-License-Identifier: Apache-2.0
#include "Value.h"

#include "AsciiText.h"
#include "CvError.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace quendra {

Value::Kind Value::GetKind() const {
    return static_cast<Kind>(data_.index());
}

std::string FormatDouble(double value) {
    std::array<char, 64> buffer{};
    auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    if (ec != std::errc()) throw CvError("cannot write the number as text");
    return std::string(buffer.data(), end);
}

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A number as people write one: one optional sign, digits with an optional fraction (at least one
// digit in all), an optional exponent with its own optional sign and at least one digit. Nothing
// else: no second sign, no infinity or "not a number" words, no hexadecimal.
bool IsNumberText(const char* first, const char* last) {
    const char* p = first;
    if (p != last && (*p == '+' || *p == '-')) ++p;
    size_t digits = 0;
    while (p != last && IsDigit(*p)) ++p, ++digits;
    if (p != last && *p == '.') {
        ++p;
        while (p != last && IsDigit(*p)) ++p, ++digits;
    }
    if (digits == 0) return false;
    if (p != last && (*p == 'e' || *p == 'E')) {
        ++p;
        if (p != last && (*p == '+' || *p == '-')) ++p;
        if (p == last || !IsDigit(*p)) return false;
        while (p != last && IsDigit(*p)) ++p;
    }
    return p == last;
}

} // namespace

double ParseNumber(const std::string& text) {
    const std::string trimmed = TrimmedOf(text, WhiteSpace);
    const char* first = trimmed.data();
    const char* last = trimmed.data() + trimmed.size();
    if (!IsNumberText(first, last)) throw CvError("the text \"" + text + "\" is not a number");
    if (*first == '+') ++first;
    double result = 0;
    auto [ptr, ec] = std::from_chars(first, last, result);
    if (ec != std::errc() || ptr != last || !std::isfinite(result))
        throw CvError("the text \"" + text + "\" is not a number");
    return result;
}

int64_t RoundHalfEven(double value) {
    if (!std::isfinite(value) || std::fabs(value) > 9.0e18) throw CvError("the number is out of range");
    return static_cast<int64_t>(std::nearbyint(value)); // default rounding mode: half to even
}

namespace {

template <typename T> T ToInteger(const Value& v, const char* typeName) {
    int64_t wide = 0;
    switch (v.GetKind()) {
    case Value::Kind::Null:
        return 0;
    case Value::Kind::Bool:
        wide = v.AsBool() ? 1 : 0;
        break;
    case Value::Kind::Int16:
    case Value::Kind::Int32:
        wide = std::stoll(v.AsText());
        break;
    case Value::Kind::Double:
        wide = RoundHalfEven(v.AsDouble());
        break;
    case Value::Kind::Text:
        wide = RoundHalfEven(ParseNumber(v.AsText()));
        break;
    }
    if (wide < std::numeric_limits<T>::min() || wide > std::numeric_limits<T>::max())
        throw CvError("the value " + v.AsText() + " is out of the range of a " + typeName);
    return static_cast<T>(wide);
}

} // namespace

std::string Value::AsText() const {
    switch (GetKind()) {
    case Kind::Null:
        return "";
    case Kind::Text:
        return std::get<std::string>(data_);
    case Kind::Int16:
        return std::to_string(std::get<int16_t>(data_));
    case Kind::Int32:
        return std::to_string(std::get<int32_t>(data_));
    case Kind::Double:
        return FormatDouble(std::get<double>(data_));
    case Kind::Bool:
        return std::get<bool>(data_) ? "True" : "False";
    }
    return "";
}

int16_t Value::AsInt16() const {
    if (GetKind() == Kind::Int16) return std::get<int16_t>(data_);
    return ToInteger<int16_t>(*this, "16-bit integer");
}

int32_t Value::AsInt32() const {
    if (GetKind() == Kind::Int32) return std::get<int32_t>(data_);
    return ToInteger<int32_t>(*this, "32-bit integer");
}

double Value::AsDouble() const {
    switch (GetKind()) {
    case Kind::Null:
        return 0;
    case Kind::Text:
        return ParseNumber(std::get<std::string>(data_));
    case Kind::Int16:
        return std::get<int16_t>(data_);
    case Kind::Int32:
        return std::get<int32_t>(data_);
    case Kind::Double:
        return std::get<double>(data_);
    case Kind::Bool:
        return std::get<bool>(data_) ? 1 : 0;
    }
    return 0;
}

bool Value::AsBool() const {
    switch (GetKind()) {
    case Kind::Null:
        return false;
    case Kind::Bool:
        return std::get<bool>(data_);
    case Kind::Int16:
        return std::get<int16_t>(data_) != 0;
    case Kind::Int32:
        return std::get<int32_t>(data_) != 0;
    case Kind::Double:
        return std::get<double>(data_) != 0;
    case Kind::Text:
        break;
    }
    const std::string lower = AsciiLowerCase(std::get<std::string>(data_));
    if (lower == "true") return true;
    if (lower == "false") return false;
    return ParseNumber(lower) != 0;
}

} // namespace quendra
