// Conversions of platform values between their types and text that no scenario reaches (the link
// attribute editor's conversions are played in tests/scenarios/link-values.json).
// SPDX-License-Identifier: Apache-2.0
#include "Value.h"
#include "CvError.h"

#include <gtest/gtest.h>

#include <optional>

namespace quendra {
namespace {

TEST(ValueTest, AsTextWritesEachKindAsTheModelShowsIt) {
    const std::pair<Value, std::string> cases[] = {
        {Value(), ""},
        {Value::Int16(-32768), "-32768"},
        {Value::Double(0.1), "0.1"},
        {Value::Double(2.0), "2"},
        {Value::Double(1e21), "1e+21"},
        {Value::Bool(true), "True"},
        {Value::Bool(false), "False"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(value.AsText(), text);
    for (double d : {0.1, 1.0 / 3.0, -2.5e-300, 123456789.125})
        EXPECT_EQ(Value::Text(Value::Double(d).AsText()).AsDouble(), d);
}

TEST(ValueTest, TextIsReadAsANumberAroundBlanksAndInAnyNotation) {
    const std::pair<const char*, std::optional<int32_t>> cases[] = {{" 7 ", 7},
                                                                    {"1e3", 1000},
                                                                    {"+7", 7},
                                                                    {"+.5", 0},
                                                                    {"12abc", std::nullopt},
                                                                    {"nan", std::nullopt},
                                                                    {"+-5", std::nullopt},
                                                                    {"--5", std::nullopt},
                                                                    {"- 5", std::nullopt},
                                                                    {"0x1A", std::nullopt},
                                                                    {"1e", std::nullopt},
                                                                    {"1e+-2", std::nullopt}};
    for (const auto& [text, number] : cases) {
        SCOPED_TRACE(text);
        if (number) {
            EXPECT_EQ(Value::Text(text).AsInt16(), *number);
            EXPECT_EQ(Value::Text(text).AsInt32(), *number);
        } else {
            EXPECT_THROW(Value::Text(text).AsInt16(), CvError);
            EXPECT_THROW(Value::Text(text).AsInt32(), CvError);
        }
    }
    EXPECT_TRUE(Value::Text("0.5").AsBool());
    EXPECT_THROW(Value::Text("+-1").AsBool(), CvError);
}

} // namespace
} // namespace quendra
