#include "reckoning/GregorianDay.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

struct KnownDay {
    std::uint16_t day, month, year;
    std::uint32_t dayNumber;
};

TEST(GregorianDayNumber, KnownDays) {
    const KnownDay known[] = {
        {1, 1, 1, 1},          {28, 3, 1, 87},        {29, 3, 1, 88},        {31, 12, 1, 365},
        {1, 1, 2, 366},        {1, 1, 2000, 730120},  {28, 2, 2000, 730178}, {29, 2, 2000, 730179},
        {1, 3, 2000, 730180},  {28, 2, 1996, 728717}, {29, 2, 1996, 728718}, {1, 3, 1996, 728719},
        {8, 12, 2026, 739958},
    };
    for (const KnownDay& k : known) {
        EXPECT_EQ(GregorianDayNumber(k.day, k.month, k.year), k.dayNumber)
            << k.day << "." << k.month << "." << k.year;
    }
}

TEST(GregorianDayNumber, CenturiesHaveALeapDayOnlyEvery400Years) {
    EXPECT_FALSE(IsGregorianLeapYear(1900));
    EXPECT_FALSE(IsGregorianLeapYear(2100));
    EXPECT_TRUE(IsGregorianLeapYear(2000));
    EXPECT_TRUE(IsGregorianLeapYear(400));
    EXPECT_TRUE(IsGregorianLeapYear(1996));
    EXPECT_TRUE(IsGregorianLeapYear(4));
    EXPECT_FALSE(IsGregorianLeapYear(1));
    EXPECT_FALSE(IsGregorianLeapYear(2026));

    EXPECT_EQ(GregorianDayNumber(1, 3, 1900), GregorianDayNumber(28, 2, 1900) + 1);
    EXPECT_EQ(GregorianDayNumber(1, 3, 2100), GregorianDayNumber(28, 2, 2100) + 1);
    EXPECT_EQ(GregorianDayNumber(1, 3, 2000), GregorianDayNumber(28, 2, 2000) + 2);
    EXPECT_EQ(GregorianDayNumber(1, 1, 2101) - GregorianDayNumber(1, 1, 2100), 365u);
    EXPECT_EQ(GregorianDayNumber(1, 1, 2001) - GregorianDayNumber(1, 1, 2000), 366u);
}

TEST(GregorianDayNumber, DaysPastTheEndOfAMonthRunIntoTheNext) {
    EXPECT_EQ(GregorianDayNumber(31, 2, 2026), GregorianDayNumber(3, 3, 2026));
    EXPECT_EQ(GregorianDayNumber(30, 2, 2026), GregorianDayNumber(2, 3, 2026));
    EXPECT_EQ(GregorianDayNumber(31, 2, 2000), GregorianDayNumber(2, 3, 2000));
    EXPECT_EQ(GregorianDayNumber(31, 4, 2026), GregorianDayNumber(1, 5, 2026));
    EXPECT_EQ(GregorianDayNumber(31, 11, 1), GregorianDayNumber(1, 12, 1));
}

TEST(GregorianDayNumber, ClampsEachFieldIntoItsLimits) {
    EXPECT_EQ(GregorianDayNumber(0, 5, 2026), GregorianDayNumber(1, 5, 2026));
    EXPECT_EQ(GregorianDayNumber(32, 5, 2026), GregorianDayNumber(31, 5, 2026));
    EXPECT_EQ(GregorianDayNumber(65535, 5, 2026), GregorianDayNumber(31, 5, 2026));
    EXPECT_EQ(GregorianDayNumber(15, 0, 2026), GregorianDayNumber(15, 1, 2026));
    EXPECT_EQ(GregorianDayNumber(15, 13, 2026), GregorianDayNumber(15, 12, 2026));
    EXPECT_EQ(GregorianDayNumber(15, 65535, 2026), GregorianDayNumber(15, 12, 2026));
    EXPECT_EQ(GregorianDayNumber(15, 6, 0), GregorianDayNumber(15, 6, 1));
    EXPECT_EQ(GregorianDayNumber(0, 0, 0), 1u);
    EXPECT_EQ(GregorianDayNumber(65535, 65535, 65535), LastGregorianDayNumber);
    EXPECT_EQ(GregorianDayNumber(31, 12, 65535), LastGregorianDayNumber);
}

// The civil calendar of <chrono> is proleptic Gregorian too, but its years end at 32767. The calendar
// repeats every 400 years, so later years are checked 82 cycles earlier (year 0 and below included).
TEST(GregorianDayNumber, AgreesWithChronoForEveryValidDateAndLeapYear) {
    using namespace std::chrono;
    constexpr int ShiftYears = 82 * 400;
    constexpr std::int64_t ShiftDays = 82 * 146097;
    const std::int64_t dayOneOffset = 1 - sys_days(year{1} / January / 1).time_since_epoch().count();

    std::uint64_t checked = 0;
    for (std::uint32_t y = 1; y <= 65535; ++y) {
        const bool shifted = y > 32767;
        const year civilYear{static_cast<int>(y) - (shifted ? ShiftYears : 0)};
        if (IsGregorianLeapYear(static_cast<std::uint16_t>(y)) != civilYear.is_leap()) {
            FAIL() << "leap year rule differs for " << y;
        }
        for (unsigned m = 1; m <= 12; ++m) {
            const unsigned lastDay = static_cast<unsigned>((civilYear / month{m} / last).day());
            for (unsigned d = 1; d <= lastDay; ++d) {
                const std::int64_t expected =
                    sys_days(civilYear / month{m} / day{d}).time_since_epoch().count() + dayOneOffset +
                    (shifted ? ShiftDays : 0);
                const std::uint32_t actual =
                    GregorianDayNumber(static_cast<std::uint16_t>(d), static_cast<std::uint16_t>(m),
                                       static_cast<std::uint16_t>(y));
                if (actual != expected) {
                    FAIL() << d << "." << m << "." << y << " gave " << actual << ", chrono " << expected;
                }
                ++checked;
            }
        }
    }
    EXPECT_EQ(checked, LastGregorianDayNumber);
}

} // namespace
