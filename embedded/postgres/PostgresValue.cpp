// Values to and from the text of the server's protocol.
// SPDX-License-Identifier: Apache-2.0
#include "PostgresValue.h"

#include "ColumnValue.h"

#include <charconv>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace quendra::embedded {

namespace {

bool IsWhole(unsigned type) {
    return type == kServerInt2 || type == kServerInt4 || type == kServerInt8;
}

// The number the text begins with, read with a decimal point whatever the locale: the server's
// "NaN" and "Infinity" included, a number too large for a double as infinity.
double ServerDouble(std::string_view text) {
    static const locale_t posix = newlocale(LC_NUMERIC_MASK, "C", nullptr);
    const std::string terminated(text);
    return strtod_l(terminated.c_str(), nullptr, posix);
}

} // namespace

std::optional<std::string> ServerText(const Value& value) {
    switch (value.GetKind()) {
    case Value::Kind::Null:
        return std::nullopt;
    case Value::Kind::Text:
        return value.AsText();
    case Value::Kind::Int16:
    case Value::Kind::Int32:
        return std::to_string(value.AsInt32());
    case Value::Kind::Double: {
        char text[32];
        const auto written = std::to_chars(text, text + sizeof text, value.AsDouble(), std::chars_format::general,
                                           std::numeric_limits<double>::max_digits10);
        return std::string(text, written.ptr);
    }
    case Value::Kind::Bool:
        return value.AsBool() ? "1" : "0";
    }
    return std::nullopt;
}

int64_t ServerWhole(std::string_view text, unsigned stored) {
    if (stored == kServerBool) return !text.empty() && text.front() == 't' ? 1 : 0;
    // The server writes a whole number as plain digits: read at once. Any other text (spaces, a sign, a
    // fraction, too many digits) is read as C reads it.
    int64_t whole = 0;
    const auto [stop, failure] = std::from_chars(text.data(), text.data() + text.size(), whole);
    if (failure == std::errc() && stop == text.data() + text.size()) return whole;
    return std::strtoll(std::string(text).c_str(), nullptr, 10);
}

Value ServerValue(std::string_view text, unsigned stored, int32_t type) {
    if (!ReadsAsNumber(type)) return Value::Text(std::string(text));
    if (IsWhole(stored) || stored == kServerBool) return WholeColumnValue(ServerWhole(text, stored), type);
    if (stored == kServerFloat4 || stored == kServerFloat8 || stored == kServerNumeric)
        return Value::Double(ServerDouble(text));
    return Value::Text(std::string(text));
}

} // namespace quendra::embedded
