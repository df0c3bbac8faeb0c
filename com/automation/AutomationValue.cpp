// Automation values as plain data: the conversions the COM adapter uses, without COM.
// SPDX-License-Identifier: Apache-2.0
#include "AutomationValue.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quendra::com {

namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr double kSecondsPerDay = 86400.0;
// 30 December 1899 to 1 January 1970.
constexpr double kDaysTo1970 = 25569.0;
// 1 January 100 and the day after 31 December 9999.
constexpr double kFirstDay = -657434.0;
constexpr double kDayAfterLast = 2958466.0;

void Append(std::u16string& wide, char32_t code) {
    if (code < 0x10000) {
        wide.push_back(static_cast<char16_t>(code));
        return;
    }
    code -= 0x10000;
    wide.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
    wide.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
}

void Append(std::string& narrow, char32_t code) {
    if (code < 0x80) {
        narrow.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        narrow.push_back(static_cast<char>(0xC0 | (code >> 6)));
        narrow.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        narrow.push_back(static_cast<char>(0xE0 | (code >> 12)));
        narrow.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        narrow.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        narrow.push_back(static_cast<char>(0xF0 | (code >> 18)));
        narrow.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        narrow.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        narrow.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

// Days on one line, 1899-12-30 being 0: an automation date's fraction counts forward from its day even
// when the day is before that one.
double LinearDays(double days) {
    if (days >= 0) return days;
    const double whole = std::trunc(days);
    return whole + (whole - days);
}

double DaysOfLinear(double linear) {
    if (linear >= 0) return linear;
    const double whole = std::floor(linear);
    return whole - (linear - whole);
}

bool InRange(double days) {
    return days >= kFirstDay && days < kDayAfterLast;
}

} // namespace

bool IsNone(const VariantData& variant) {
    switch (variant.type) {
    case VariantType::Empty:
    case VariantType::Null:
        return true;
    case VariantType::Dispatch:
    case VariantType::Unknown:
        return !variant.object;
    default:
        return false;
    }
}

std::optional<Value> ValueOf(const VariantData& variant) {
    if (IsNone(variant)) return Value();
    switch (variant.type) {
    case VariantType::Text:
        return Value::Text(Utf8(variant.text));
    case VariantType::Int16:
        return Value::Int16(static_cast<int16_t>(variant.whole));
    case VariantType::Int32:
    case VariantType::Int:
        return Value::Int32(static_cast<int32_t>(variant.whole));
    case VariantType::Int8:
        return Value::Int32(static_cast<int8_t>(variant.whole));
    case VariantType::UInt8:
        return Value::Int32(static_cast<uint8_t>(variant.unsignedWhole));
    case VariantType::UInt16:
        return Value::Int32(static_cast<uint16_t>(variant.unsignedWhole));
    case VariantType::UInt32:
    case VariantType::UInt:
        return Value::Double(static_cast<uint32_t>(variant.unsignedWhole));
    case VariantType::Int64:
        return Value::Double(static_cast<double>(variant.whole));
    case VariantType::UInt64:
        return Value::Double(static_cast<double>(variant.unsignedWhole));
    case VariantType::Float:
        return Value::Double(static_cast<float>(variant.real));
    case VariantType::Double:
        return Value::Double(variant.real);
    case VariantType::Currency:
        return Value::Double(static_cast<double>(variant.whole) / 10000.0);
    case VariantType::Decimal: {
        if (variant.decimalScale > 28) return std::nullopt;
        const double magnitude =
            std::ldexp(static_cast<double>(variant.decimalHigh), 64) + static_cast<double>(variant.unsignedWhole);
        const double number = magnitude / std::pow(10.0, variant.decimalScale);
        return Value::Double(variant.decimalNegative ? -number : number);
    }
    case VariantType::Bool:
        return Value::Bool(variant.whole != 0);
    case VariantType::Date:
        if (!InRange(variant.real)) return std::nullopt;
        return Value::Text(AutomationDateText(variant.real));
    default:
        return std::nullopt;
    }
}

VariantData VariantOf(const Value& value) {
    VariantData variant;
    switch (value.GetKind()) {
    case Value::Kind::Null:
        break;
    case Value::Kind::Text:
        variant.type = VariantType::Text;
        variant.text = Utf16(value.AsText());
        break;
    case Value::Kind::Int16:
        variant.type = VariantType::Int16;
        variant.whole = value.AsInt16();
        break;
    case Value::Kind::Int32:
        variant.type = VariantType::Int32;
        variant.whole = value.AsInt32();
        break;
    case Value::Kind::Double:
        variant.type = VariantType::Double;
        variant.real = value.AsDouble();
        break;
    case Value::Kind::Bool:
        variant.type = VariantType::Bool;
        variant.whole = value.AsBool() ? -1 : 0; // automation's true has every bit set
        break;
    }
    return variant;
}

std::u16string Utf16(std::string_view text) {
    std::u16string wide;
    wide.reserve(text.size());
    size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at++]);
        if (lead < 0x80) {
            wide.push_back(lead);
            continue;
        }
        // The sequence's length, the bits of the lead byte, and the range of the byte after it (which
        // rules out overlong forms, surrogates and codes past U+10FFFF).
        int length = 0;
        char32_t code = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0Fu;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07u;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            wide.push_back(kReplacement);
            continue;
        }
        int read = 1;
        for (; read < length && at < text.size(); ++read, ++at) {
            const auto next = static_cast<unsigned char>(text[at]);
            if (next < low || next > high) break;
            code = (code << 6) | (next & 0x3Fu);
            low = 0x80;
            high = 0xBF;
        }
        // A sequence cut short is one replacement; the byte that cut it starts the next.
        if (read < length)
            wide.push_back(kReplacement);
        else
            Append(wide, code);
    }
    return wide;
}

std::string Utf8(std::u16string_view text) {
    std::string narrow;
    narrow.reserve(text.size());
    for (size_t at = 0; at < text.size(); ++at) {
        const char16_t unit = text[at];
        if (unit >= 0xD800 && unit <= 0xDBFF && at + 1 < text.size() && text[at + 1] >= 0xDC00 &&
            text[at + 1] <= 0xDFFF) {
            Append(narrow, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[at + 1] - 0xDC00));
            ++at;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            Append(narrow, kReplacement);
        } else {
            Append(narrow, unit);
        }
    }
    return narrow;
}

double AutomationDate(std::chrono::system_clock::time_point when) {
    const double seconds = std::chrono::duration<double>(when.time_since_epoch()).count();
    return DaysOfLinear(kDaysTo1970 + seconds / kSecondsPerDay);
}

std::optional<std::chrono::system_clock::time_point> TimeOfAutomationDate(double days) {
    using Clock = std::chrono::system_clock;
    using Milliseconds = std::chrono::duration<double, std::milli>;
    if (!InRange(days)) return std::nullopt;
    // To the millisecond: a double holds days since 1899 to about a microsecond.
    const double milliseconds = std::round((LinearDays(days) - kDaysTo1970) * kSecondsPerDay * 1000.0);
    // The clock must hold it (in nanoseconds it reaches only the years 1678 to 2262).
    static const double limit = std::chrono::duration_cast<Milliseconds>(Clock::duration::max()).count() * 0.999;
    if (!(std::abs(milliseconds) < limit)) return std::nullopt;
    return Clock::time_point(
        std::chrono::duration_cast<Clock::duration>(std::chrono::milliseconds(static_cast<int64_t>(milliseconds))));
}

std::string AutomationDateText(double days) {
    using namespace std::chrono;
    if (!InRange(days)) return {};
    // To the nearest second, but not past the last day.
    const auto seconds = std::min(static_cast<int64_t>(std::llround(LinearDays(days) * kSecondsPerDay)),
                                  static_cast<int64_t>(kDayAfterLast * kSecondsPerDay) - 1);
    int64_t day = seconds / 86400, second = seconds % 86400;
    if (second < 0) {
        second += 86400;
        --day;
    }
    const year_month_day date{sys_days{std::chrono::days{day - static_cast<int64_t>(kDaysTo1970)}}};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(second / 3600), static_cast<int>(second / 60 % 60), static_cast<int>(second % 60));
    return text;
}

} // namespace quendra::com
