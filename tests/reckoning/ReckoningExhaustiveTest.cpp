// Every day number a date can give, checked against the loa walk and through both inverses.

#include "reckoning/GregorianDay.h"
#include "reckoning/LoaReckoning.h"
#include "tests/reckoning/LoaWalkReference.h"
#include "tests/reckoning/ReckonedDatePrinter.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(ConvertToReckoning, MatchesTheLoaWalkOnEveryDayAndConvertsBack) {
    loa_walk::DayByDay walk;
    for (std::uint32_t n = 1; n <= 88; ++n) {
        ASSERT_EQ(ConvertToReckoning(n), walk.Today()) << "day number " << n;
    }
    ASSERT_EQ(ConvertFromReckoning(walk.Today()), 88u);
    for (std::uint32_t n = 89; n <= LastGregorianDayNumber; ++n) {
        walk.Advance();
        const ReckonedDate expected = walk.Today();
        const ReckonedDate actual = ConvertToReckoning(n);
        if (actual != expected) {
            FAIL() << "day number " << n << " gave " << testing::PrintToString(actual) << ", the walk "
                   << testing::PrintToString(expected);
        }
        if (ConvertFromReckoning(actual) != n) {
            FAIL() << testing::PrintToString(actual) << " converts back to " << ConvertFromReckoning(actual)
                   << ", not " << n;
        }
    }
    // Past the last date: clamped, as the walk clamps.
    EXPECT_EQ(ConvertToReckoning(LastGregorianDayNumber + 1), loa_walk::Reckon(LastGregorianDayNumber));
    EXPECT_EQ(ConvertToReckoning(std::numeric_limits<std::uint32_t>::max()),
              loa_walk::Reckon(LastGregorianDayNumber));
    // The whole walk from the epoch, for a sample, against the day-by-day one above.
    for (std::uint32_t n = 0; n <= LastGregorianDayNumber; n += 99991) {
        EXPECT_EQ(ConvertToReckoning(n), loa_walk::Reckon(n)) << "day number " << n;
    }
}

TEST(ConvertFromReckoning, DaysThatNoDateReachesStillCountOn) {
    // Yen 1 to 3 hold 157,785 days; the last day of yen 65535 still fits in 32 bits.
    EXPECT_EQ(ConvertFromReckoning({4, 1, 1, 1}), 88u + 157785);
    EXPECT_EQ(ConvertFromReckoning({3, 144, 9, 1}), 87u + 157785);
    EXPECT_EQ(ConvertFromReckoning({65535, 144, 9, 1}), 87u + 21845ull * 157785);
    // The day after the last date.
    const ReckonedDate last = ConvertToReckoning(LastGregorianDayNumber);
    EXPECT_EQ(ConvertFromReckoning(
                  {last.yen, last.loa, last.period, static_cast<std::uint16_t>(last.dayOfPeriod + 1)}),
              LastGregorianDayNumber + 1);
}

TEST(GregorianDateOfDayNumber, InvertsGregorianDayNumberOnEveryDate) {
    GregorianDate expected{1, 1, 1};
    for (std::uint32_t n = 1; n <= LastGregorianDayNumber; ++n) {
        const GregorianDate date = GregorianDateOfDayNumber(n);
        if (date != expected || GregorianDayNumber(date.day, date.month, date.year) != n) {
            FAIL() << "day number " << n << " gave " << date.day << "." << date.month << "." << date.year
                   << ", expected " << expected.day << "." << expected.month << "." << expected.year;
        }
        // The next date, by the month lengths rather than by any day count.
        const std::uint16_t monthLength =
            expected.month == 2 ? (IsGregorianLeapYear(expected.year) ? 29 : 28)
            : (expected.month == 4 || expected.month == 6 || expected.month == 9 || expected.month == 11)
                ? 30
                : 31;
        if (++expected.day > monthLength) {
            expected.day = 1;
            if (++expected.month > 12) {
                expected.month = 1;
                ++expected.year;
            }
        }
    }
    EXPECT_EQ(GregorianDateOfDayNumber(LastGregorianDayNumber), (GregorianDate{31, 12, 65535}));
    EXPECT_EQ(GregorianDateOfDayNumber(0), (GregorianDate{1, 1, 1}));
    EXPECT_EQ(GregorianDateOfDayNumber(std::numeric_limits<std::uint32_t>::max()),
              (GregorianDate{31, 12, 65535}));
}

} // namespace
