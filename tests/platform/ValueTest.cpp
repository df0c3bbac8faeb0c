// Conversions of platform values between their types and text.
#include "Value.h"
#include "CvError.h"

#include <gtest/gtest.h>

#include <optional>

namespace quendra {
namespace {

TEST(ValueTest, AsTextWritesEachKindAsTheModelShowsIt) {
    EXPECT_EQ(Value().AsText(), "");
    EXPECT_EQ(Value::Text("a b").AsText(), "a b");
    EXPECT_EQ(Value::Int16(-32768).AsText(), "-32768");
    EXPECT_EQ(Value::Int32(2147483647).AsText(), "2147483647");
    EXPECT_EQ(Value::Double(0.1).AsText(), "0.1");
    EXPECT_EQ(Value::Double(2.0).AsText(), "2");
    EXPECT_EQ(Value::Double(1e21).AsText(), "1e+21");
    EXPECT_EQ(Value::Bool(true).AsText(), "True");
    EXPECT_EQ(Value::Bool(false).AsText(), "False");
}

TEST(ValueTest, NullReadsAsZeroAndFalse) {
    EXPECT_EQ(Value().AsInt16(), 0);
    EXPECT_EQ(Value().AsInt32(), 0);
    EXPECT_EQ(Value().AsDouble(), 0);
    EXPECT_FALSE(Value().AsBool());
    EXPECT_TRUE(Value().IsNull());
}

struct TextToInteger {
    const char* text;
    std::optional<int32_t> int16;
    std::optional<int32_t> int32;
};

TEST(ValueTest, TextToIntegersRoundsHalfToEvenAndRefusesWhatDoesNotFit) {
    const TextToInteger cases[] = {
        {"12", 12, 12},
        {"12.5", 12, 12},
        {"13.5", 14, 14},
        {"-12.5", -12, -12},
        {"-13.5", -14, -14},
        {" 7 ", 7, 7},
        {"32767", 32767, 32767},
        {"32768", std::nullopt, 32768},
        {"-32769", std::nullopt, -32769},
        {"2147483647", std::nullopt, 2147483647},
        {"2147483648", std::nullopt, std::nullopt},
        {"1e3", 1000, 1000},
        {"", std::nullopt, std::nullopt},
        {"abc", std::nullopt, std::nullopt},
        {"12abc", std::nullopt, std::nullopt},
        {"nan", std::nullopt, std::nullopt},
        {"+7", 7, 7},
        {"+.5", 0, 0},
        {"+-5", std::nullopt, std::nullopt},
        {"--5", std::nullopt, std::nullopt},
        {"- 5", std::nullopt, std::nullopt},
        {"infinity", std::nullopt, std::nullopt},
        {"0x1A", std::nullopt, std::nullopt},
        {"1e", std::nullopt, std::nullopt},
        {"1e+-2", std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const Value v = Value::Text(c.text);
        if (c.int16)
            EXPECT_EQ(v.AsInt16(), *c.int16);
        else
            EXPECT_THROW(v.AsInt16(), CvError);
        if (c.int32)
            EXPECT_EQ(v.AsInt32(), *c.int32);
        else
            EXPECT_THROW(v.AsInt32(), CvError);
    }
}

TEST(ValueTest, TextToBooleanTakesWordsInAnyCaseOrNumbers) {
    EXPECT_TRUE(Value::Text("TRUE").AsBool());
    EXPECT_TRUE(Value::Text("tRuE").AsBool());
    EXPECT_FALSE(Value::Text("false").AsBool());
    EXPECT_FALSE(Value::Text("0").AsBool());
    EXPECT_TRUE(Value::Text("-1").AsBool());
    EXPECT_TRUE(Value::Text("0.5").AsBool());
    EXPECT_THROW(Value::Text("yes").AsBool(), CvError);
    EXPECT_THROW(Value::Text("+-1").AsBool(), CvError);
    EXPECT_THROW(Value::Text("").AsBool(), CvError);
}

TEST(ValueTest, DoubleTextReadsBackTheSameNumber) {
    for (double d : {0.1, 1.0 / 3.0, -2.5e-300, 123456789.125}) {
        EXPECT_EQ(Value::Text(Value::Double(d).AsText()).AsDouble(), d);
    }
}

} // namespace
} // namespace quendra
