// The automation values read and written without COM: the readings a script's variants get, texts with
// malformed UTF-8 or UTF-16, and dates either side of the day automation counts from.
// SPDX-License-Identifier: Apache-2.0
#include "AutomationValue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <optional>

namespace quendra::com {
namespace {

VariantData Of(VariantType type) {
    VariantData variant;
    variant.type = type;
    return variant;
}

TEST(AutomationValueTest, EachVariantTypeReadsAsTheValueOfItsKind) {
    VariantData small = Of(VariantType::UInt8), currency = Of(VariantType::Currency), big = Of(VariantType::UInt32),
                decimal = Of(VariantType::Decimal), truth = Of(VariantType::Bool), date = Of(VariantType::Date),
                object = Of(VariantType::Dispatch), odd = Of(VariantType::Decimal);
    small.unsignedWhole = 255;
    currency.whole = -12345;
    big.unsignedWhole = 4000000000u;
    decimal.unsignedWhole = 15;
    decimal.decimalScale = 1;
    decimal.decimalNegative = true;
    truth.whole = -1;
    date.real = 46362.6861111111; // 6 December 2026, 16:28
    object.object = true;
    odd.decimalScale = 29;
    const std::pair<VariantData, std::optional<Value>> cases[] = {
        {Of(VariantType::Empty), Value()},
        {Of(VariantType::Dispatch), Value()},
        {small, Value::Int32(255)},
        {currency, Value::Double(-1.2345)},
        {big, Value::Double(4000000000.0)},
        {decimal, Value::Double(-1.5)},
        {truth, Value::Bool(true)},
        {date, Value::Text("2026-12-06 16:28:00")},
        {object, std::nullopt},
        {odd, std::nullopt},
        {Of(VariantType::Error), std::nullopt},
    };
    for (const auto& [variant, value] : cases) EXPECT_EQ(ValueOf(variant), value) << static_cast<int>(variant.type);
}

TEST(AutomationValueTest, ValuesCrossAsVariantsAndReadBackTheSame) {
    for (const Value& value : {Value(), Value::Text("Lager \xE2\x80\x93 6205"), Value::Int16(-32768),
                               Value::Int32(2147483647), Value::Double(0.1), Value::Bool(false)})
        EXPECT_EQ(ValueOf(VariantOf(value)), value);
    EXPECT_EQ(VariantOf(Value::Bool(true)).whole, -1);
}

TEST(AutomationValueTest, MalformedTextsBecomeReplacementCharacters) {
    const std::pair<std::string, std::u16string> cases[] = {
        {"a\xC3\xA9", u"a\u00E9"},
        {"\xF0\x9F\x94\xA7", u"\U0001F527"},
        {"\xC3", u"\uFFFD"},                               // cut short
        {"\xE2\x80x", u"\uFFFDx"},                         // cut short by a byte that starts the next character
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                     // overlong
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},           // a surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"}, // past U+10FFFF
    };
    for (const auto& [narrow, wide] : cases) EXPECT_EQ(Utf16(narrow), wide) << narrow;
    EXPECT_EQ(Utf8(u"x\xD800y\xDC00"), "x\xEF\xBF\xBDy\xEF\xBF\xBD");
    EXPECT_EQ(Utf8(u"\U0001F527"), "\xF0\x9F\x94\xA7");
}

TEST(AutomationValueTest, DatesCountDaysFrom1899WithTheTimeOfDayForward) {
    const std::pair<double, const char*> cases[] = {
        {0.0, "1899-12-30 00:00:00"},       {-1.25, "1899-12-29 06:00:00"},
        {-0.5, "1899-12-30 12:00:00"},      {25569.0, "1970-01-01 00:00:00"},
        {2958465.5, "9999-12-31 12:00:00"}, {2958465.99999999, "9999-12-31 23:59:59"},
        {-657434.0, "0100-01-01 00:00:00"},
    };
    for (const auto& [days, text] : cases) EXPECT_EQ(AutomationDateText(days), text) << days;

    using namespace std::chrono;
    const auto when = sys_days{2026y / 12 / 6} + 16h + 28min;
    EXPECT_EQ(TimeOfAutomationDate(AutomationDate(when)).value(), when);
    EXPECT_EQ(TimeOfAutomationDate(-1.25).value(), sys_days{1899y / 12 / 29} + 6h);
    EXPECT_EQ(AutomationDate(sys_days{1899y / 12 / 29} + 6h), -1.25);
    for (double outside : {-657435.0, 2958466.0, 1e300, std::nan("")}) EXPECT_FALSE(TimeOfAutomationDate(outside));
}

} // namespace
} // namespace quendra::com
