// Number conversions and rounding: the edge cases every reader of both programs relies on.
#include "worldfiles/convert.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

namespace {

TEST(ParseInt, SkipsBlanksTakesSignAndStopsAtFirstNonDigit) {
    EXPECT_EQ(wf::ParseInt("  42"), 42);
    EXPECT_EQ(wf::ParseInt("\t 42"), 42);
    EXPECT_EQ(wf::ParseInt("+7"), 7);
    EXPECT_EQ(wf::ParseInt("-3"), -3);
    EXPECT_EQ(wf::ParseInt("12abc"), 12);
    EXPECT_EQ(wf::ParseInt("1.5"), 1);
    EXPECT_EQ(wf::ParseInt("007"), 7);
}

TEST(ParseInt, TextWithoutLeadingDigitsIsZero) {
    EXPECT_EQ(wf::ParseInt(""), 0);
    EXPECT_EQ(wf::ParseInt("x5"), 0);
    EXPECT_EQ(wf::ParseInt("-"), 0);
    EXPECT_EQ(wf::ParseInt("+-5"), 0);
    EXPECT_EQ(wf::ParseInt("- 5"), 0);
    EXPECT_EQ(wf::ParseInt("\n5"), 0);  // only blanks and tabs are skipped
}

TEST(ParseInt, SaturatesBeyondThirtyTwoBits) {
    EXPECT_EQ(wf::ParseInt("2147483647"), INT32_MAX);
    EXPECT_EQ(wf::ParseInt("2147483648"), INT32_MAX);
    EXPECT_EQ(wf::ParseInt("99999999999999999999999999"), INT32_MAX);
    EXPECT_EQ(wf::ParseInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(wf::ParseInt("-99999999999999999999999999"), INT32_MIN);
}

TEST(ParseFloat, ReadsDecimalNumbersAsFarAsTheyGo) {
    EXPECT_FLOAT_EQ(wf::ParseFloat("0.5"), 0.5f);
    EXPECT_FLOAT_EQ(wf::ParseFloat(" 3.25"), 3.25f);
    EXPECT_FLOAT_EQ(wf::ParseFloat("\t-2.5"), -2.5f);
    EXPECT_FLOAT_EQ(wf::ParseFloat("+4"), 4.0f);
    EXPECT_FLOAT_EQ(wf::ParseFloat("1e2"), 100.0f);
    EXPECT_FLOAT_EQ(wf::ParseFloat("1.5e3"), 1500.0f);
    EXPECT_FLOAT_EQ(wf::ParseFloat(".5"), 0.5f);
    EXPECT_FLOAT_EQ(wf::ParseFloat("5."), 5.0f);
    EXPECT_FLOAT_EQ(wf::ParseFloat("12abc"), 12.0f);
    EXPECT_FLOAT_EQ(wf::ParseFloat("10,5"), 10.0f);  // "." is the only separator
}

TEST(ParseFloat, NonNumbersGiveZeroAndHugeValuesStayFinite) {
    EXPECT_EQ(wf::ParseFloat("abc"), 0.0f);
    EXPECT_EQ(wf::ParseFloat(""), 0.0f);
    EXPECT_EQ(wf::ParseFloat("."), 0.0f);
    EXPECT_EQ(wf::ParseFloat("inf"), 0.0f);
    EXPECT_EQ(wf::ParseFloat("nan"), 0.0f);
    EXPECT_EQ(wf::ParseFloat("+-1"), 0.0f);
    EXPECT_EQ(wf::ParseFloat("1e999"), FLT_MAX);
    EXPECT_EQ(wf::ParseFloat("-1e39"), -FLT_MAX);
    EXPECT_EQ(wf::ParseFloat("1e-999"), 0.0f);
}

TEST(LowByte, KeepsLowEightBitsAsSigned) {
    EXPECT_EQ(wf::LowByte(127), 127);
    EXPECT_EQ(wf::LowByte(255), -1);
    EXPECT_EQ(wf::LowByte(256), 0);
    EXPECT_EQ(wf::LowByte(257), 1);
    EXPECT_EQ(wf::LowByte(-1), -1);
    EXPECT_EQ(wf::LowByte(-129), 127);
    EXPECT_EQ(wf::ParseByte("257"), 1);
    EXPECT_EQ(wf::ParseByte("128"), -128);
}

TEST(Rounding, NearestHalvesToEvenAndUpIsCeiling) {
    EXPECT_EQ(wf::RoundNearest(0.5f), 0.0f);
    EXPECT_EQ(wf::RoundNearest(1.5f), 2.0f);
    EXPECT_EQ(wf::RoundNearest(2.5f), 2.0f);
    EXPECT_EQ(wf::RoundNearest(3.5f), 4.0f);
    EXPECT_EQ(wf::RoundNearest(0.6f), 1.0f);
    EXPECT_EQ(wf::RoundNearest(-1.5f), -2.0f);
    EXPECT_EQ(wf::RoundNearest(-2.6f), -3.0f);
    EXPECT_EQ(wf::RoundNearest(-0.5f), 0.0f);
    EXPECT_FALSE(std::signbit(wf::RoundNearest(-0.5f)));

    EXPECT_EQ(wf::RoundToInt(2.5f), 2);
    EXPECT_EQ(wf::RoundToInt(-1.5f), -2);
    EXPECT_EQ(wf::RoundToInt(1e20f), INT32_MAX);
    EXPECT_EQ(wf::RoundToInt(-1e20f), INT32_MIN);
    EXPECT_EQ(wf::RoundToInt(NAN), 0);

    EXPECT_EQ(wf::RoundUp(10.2f), 11.0f);
    EXPECT_EQ(wf::RoundUp(10.0f), 10.0f);
    EXPECT_EQ(wf::RoundUp(-0.5f), 0.0f);
    EXPECT_EQ(wf::RoundUp(-1.5f), -1.0f);
}

}  // namespace
