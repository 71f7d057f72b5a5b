// Tests of the date service (current date, local-time formatting) and of the random numbers.
// Dates are built from local calendar values, so the checks hold in every time zone.
#include <time.h>

#include <climits>
#include <vector>

#include <gtest/gtest.h>

#include "platform/clock.h"

namespace {

int64_t LocalDate(int year, int month, int day, int hour, int minute, int second) {
    struct tm local {};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return static_cast<int64_t>(mktime(&local));
}

TEST(CoreDates, LogPatternsWithTwoDigitFields) {
    const int64_t date = LocalDate(2027, 3, 1, 9, 4, 3);
    EXPECT_EQ(plat::FormatDate(date, "%yyyy,%mm,%dd  TIME:%hh:%ii:%ss"),
              "2027,03,01  TIME:09:04:03");
    EXPECT_EQ(plat::FormatDate(date, "%hh:%ii:%ss"), "09:04:03");
    EXPECT_EQ(plat::FormatDate(date, "%yyyy,%mm,%dd"), "2027,03,01");

    const int64_t evening = LocalDate(2026, 12, 6, 23, 59, 58);
    EXPECT_EQ(plat::FormatDate(evening, "%dd.%mm.%yyyy %hh%ii%ss"), "06.12.2026 235958");
}

TEST(CoreDates, OtherTextIsCopiedUnchanged) {
    const int64_t date = LocalDate(2027, 3, 1, 9, 4, 3);
    EXPECT_EQ(plat::FormatDate(date, ""), "");
    EXPECT_EQ(plat::FormatDate(date, "no fields"), "no fields");
    EXPECT_EQ(plat::FormatDate(date, "100% %m %y %yy %i %x %"), "100% %m %y %yy %i %x %");
    EXPECT_EQ(plat::FormatDate(date, "%%dd%"), "%01%");
    EXPECT_EQ(plat::FormatDate(date, "%ss%ss"), "0303");
}

TEST(CoreDates, DateNowIsTheCurrentTime) {
    const int64_t before = static_cast<int64_t>(time(nullptr));
    const int64_t now = plat::DateNow();
    const int64_t after = static_cast<int64_t>(time(nullptr));
    EXPECT_GE(now, before);
    EXPECT_LE(now, after);
    EXPECT_GT(now, LocalDate(2020, 1, 1, 0, 0, 0));
}

TEST(CoreRandom, ZeroAndNegativeRangesGiveZero) {
    plat::SeedRandom(1);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(plat::Random(0), 0);
        EXPECT_EQ(plat::Random(-7), 0);
        EXPECT_EQ(plat::Random(INT_MIN), 0);
    }
}

TEST(CoreRandom, EveryValueFromZeroToNInclusiveAppearsEvenly) {
    plat::SeedRandom(12345);
    const int n = 6;
    const int draws = 70000;
    std::vector<int> counts(n + 1, 0);
    for (int i = 0; i < draws; ++i) {
        int value = plat::Random(n);
        ASSERT_GE(value, 0);
        ASSERT_LE(value, n);
        ++counts[value];
    }
    for (int value = 0; value <= n; ++value) {
        // 10000 expected each; a fair generator stays well inside +-5%.
        EXPECT_GT(counts[value], 9500) << "value " << value;
        EXPECT_LT(counts[value], 10500) << "value " << value;
    }

    int ones = 0;
    for (int i = 0; i < 2000; ++i) ones += plat::Random(1);
    EXPECT_GT(ones, 800);
    EXPECT_LT(ones, 1200);

    for (int i = 0; i < 1000; ++i) {
        int value = plat::Random(INT_MAX);
        ASSERT_GE(value, 0);
    }
}

TEST(CoreRandom, SeedingRepeatsTheSequence) {
    auto draw = [](uint32_t seed) {
        plat::SeedRandom(seed);
        std::vector<int> values;
        for (int i = 0; i < 100; ++i) values.push_back(plat::Random(1000));
        return values;
    };
    const std::vector<int> first = draw(42);
    EXPECT_EQ(draw(42), first);
    EXPECT_NE(draw(43), first);
}

}  // namespace
