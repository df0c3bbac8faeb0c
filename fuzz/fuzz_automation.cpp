// Fuzzes the automation values: any variant reads as a value of the kind its type promises (or is left to
// the system), every value crosses as a variant and reads back the same, texts cross between UTF-8 and
// UTF-16 without loss, and automation dates and clock times convert both ways.
// SPDX-License-Identifier: Apache-2.0
#include "AutomationValue.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace quendra;
using namespace quendra::com;

bool Same(const Value& left, const Value& right) {
    if (left.GetKind() == Value::Kind::Double && right.GetKind() == Value::Kind::Double && std::isnan(left.AsDouble()))
        return std::isnan(right.AsDouble());
    return left == right;
}

Value::Kind KindOf(VariantType type) {
    switch (type) {
    case VariantType::Text:
    case VariantType::Date:
        return Value::Kind::Text;
    case VariantType::Int16:
        return Value::Kind::Int16;
    case VariantType::Int32:
    case VariantType::Int:
    case VariantType::Int8:
    case VariantType::UInt8:
    case VariantType::UInt16:
        return Value::Kind::Int32;
    case VariantType::Bool:
        return Value::Kind::Bool;
    case VariantType::Empty:
    case VariantType::Null:
    case VariantType::Dispatch:
    case VariantType::Unknown:
        return Value::Kind::Null;
    default:
        return Value::Kind::Double;
    }
}

void Variants(FuzzedDataProvider& input) {
    VariantData variant;
    variant.type = static_cast<VariantType>(input.ConsumeIntegralInRange<uint16_t>(0, 25));
    variant.whole = input.ConsumeIntegral<int64_t>();
    variant.unsignedWhole = input.ConsumeIntegral<uint64_t>();
    variant.decimalHigh = input.ConsumeIntegral<uint32_t>();
    variant.decimalScale = input.ConsumeIntegral<uint8_t>();
    variant.decimalNegative = input.ConsumeBool();
    variant.real = input.ConsumeFloatingPoint<double>();
    variant.object = input.ConsumeBool();
    const std::string units = input.ConsumeRandomLengthString(64);
    for (size_t i = 0; i + 1 < units.size(); i += 2)
        variant.text.push_back(
            static_cast<char16_t>(static_cast<uint8_t>(units[i]) << 8 | static_cast<uint8_t>(units[i + 1])));

    const auto value = ValueOf(variant);
    if (!value) {
        // Only objects, error codes, types without a reading, odd decimals and dates out of range are left.
        const bool left = variant.type == VariantType::Error || variant.type == VariantType::Decimal ||
                          variant.type == VariantType::Date || variant.type == VariantType::Dispatch ||
                          variant.type == VariantType::Unknown || KindOf(variant.type) == Value::Kind::Double;
        if (!left) std::abort();
        return;
    }
    if (value->GetKind() != KindOf(variant.type)) std::abort();
    if (!Same(ValueOf(VariantOf(*value)).value(), *value)) std::abort();
}

void Texts(FuzzedDataProvider& input) {
    const std::string bytes = input.ConsumeRandomLengthString(256);
    const std::u16string wide = Utf16(bytes);
    const std::string narrow = Utf8(wide);
    if (Utf16(narrow) != wide) std::abort();
    if (wide.find(u'\uFFFD') == std::u16string::npos && narrow != bytes) std::abort();
    // UTF-16 with lone surrogates reads back with each one replaced.
    std::u16string units;
    while (input.remaining_bytes() >= 2 && units.size() < 64) units.push_back(input.ConsumeIntegral<char16_t>());
    const std::u16string back = Utf16(Utf8(units));
    if (back.size() != units.size()) std::abort();
    for (size_t i = 0; i < units.size(); ++i)
        if (back[i] != units[i] && back[i] != u'\uFFFD') std::abort();
}

void Dates(FuzzedDataProvider& input) {
    using Clock = std::chrono::system_clock;
    const double days = input.ConsumeFloatingPoint<double>();
    if (const auto when = TimeOfAutomationDate(days)) {
        if (AutomationDateText(days).size() != 19) std::abort();
        const auto again = TimeOfAutomationDate(AutomationDate(*when));
        if (!again || std::chrono::abs(*again - *when) > std::chrono::milliseconds(1)) std::abort();
    }
    const Clock::time_point when{Clock::duration(input.ConsumeIntegral<Clock::rep>())};
    const double date = AutomationDate(when);
    if (const auto again = TimeOfAutomationDate(date))
        if (std::chrono::abs(*again - when) > std::chrono::milliseconds(1)) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    switch (input.ConsumeIntegralInRange(0, 2)) {
    case 0:
        Variants(input);
        break;
    case 1:
        Texts(input);
        break;
    default:
        Dates(input);
        break;
    }
    return 0;
}
