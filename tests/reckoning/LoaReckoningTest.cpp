#include "reckoning/LoaReckoning.h"

#include "reckoning/GregorianDay.h"
#include "tests/reckoning/ReckonedDatePrinter.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

std::string Reckon(std::uint16_t day, std::uint16_t month, std::uint16_t year) {
    return FormatHint(ConvertToReckoning(GregorianDayNumber(day, month, year)));
}

constexpr ReckonedDate FirstDay{1, 1, 1, 1};

TEST(ConvertToReckoning, EveryDayUpToTheEpochIsTheFirstDay) {
    for (std::uint32_t n = 0; n <= 88; ++n) {
        EXPECT_EQ(ConvertToReckoning(n), FirstDay) << "day number " << n;
    }
    EXPECT_EQ(Reckon(1, 1, 1), "1 day of Yestare, loa 1, yeen 1");
    EXPECT_EQ(Reckon(28, 3, 1), "1 day of Yestare, loa 1, yeen 1");
    EXPECT_EQ(Reckon(29, 3, 1), "1 day of Yestare, loa 1, yeen 1");
    EXPECT_EQ(Reckon(30, 3, 1), "1 day of Tuile, loa 1, yeen 1");
    EXPECT_EQ(Reckon(22, 5, 1), "54 day of Tuile, loa 1, yeen 1");
    EXPECT_EQ(Reckon(23, 5, 1), "1 day of Laire, loa 1, yeen 1");
}

TEST(ConvertToReckoning, KnownDates) {
    EXPECT_EQ(Reckon(1, 1, 2000), "39 day of Hriive, loa 127, yeen 14");
    EXPECT_EQ(Reckon(29, 2, 2000), "26 day of Coire, loa 127, yeen 14");
    EXPECT_EQ(Reckon(1, 3, 2000), "27 day of Coire, loa 127, yeen 14");
    EXPECT_EQ(Reckon(8, 12, 2026), "16 day of Hriive, loa 10, yeen 15");
    EXPECT_EQ(Reckon(31, 12, 2100), "36 day of Hriive, loa 84, yeen 15");
    EXPECT_EQ(ConvertToReckoning(739958), (ReckonedDate{15, 10, 7, 16}));
}

TEST(ConvertToReckoning, LongLoaHasSixDaysOfEnderi) {
    // Loa 12 of yen 15: every twelfth loa is long.
    EXPECT_EQ(Reckon(25, 9, 2028), "54 day of Yaavie, loa 12, yeen 15");
    for (std::uint16_t d = 26; d <= 30; ++d) {
        EXPECT_EQ(Reckon(d, 9, 2028), std::to_string(d - 25) + " day of Enderi, loa 12, yeen 15");
    }
    EXPECT_EQ(Reckon(1, 10, 2028), "6 day of Enderi, loa 12, yeen 15");
    EXPECT_EQ(Reckon(2, 10, 2028), "1 day of Quelle, loa 12, yeen 15");

    // Loa 144 of yen 14: long, since 14 is not a multiple of 3.
    for (std::uint16_t d = 26; d <= 30; ++d) {
        EXPECT_EQ(Reckon(d, 9, 2016), std::to_string(d - 25) + " day of Enderi, loa 144, yeen 14");
    }
    EXPECT_EQ(Reckon(1, 10, 2016), "6 day of Enderi, loa 144, yeen 14");
    EXPECT_EQ(Reckon(2, 10, 2016), "1 day of Quelle, loa 144, yeen 14");
}

TEST(ConvertToReckoning, CommonLoaHasThreeDaysOfEnderi) {
    EXPECT_EQ(Reckon(28, 9, 2029), "54 day of Yaavie, loa 13, yeen 15");
    EXPECT_EQ(Reckon(29, 9, 2029), "1 day of Enderi, loa 13, yeen 15");
    EXPECT_EQ(Reckon(30, 9, 2029), "2 day of Enderi, loa 13, yeen 15");
    EXPECT_EQ(Reckon(1, 10, 2029), "3 day of Enderi, loa 13, yeen 15");
    EXPECT_EQ(Reckon(2, 10, 2029), "1 day of Quelle, loa 13, yeen 15");
}

TEST(ConvertToReckoning, AfterLoa144ComesLoa1OfTheNextYen) {
    EXPECT_EQ(Reckon(31, 3, 2017), "1 day of Mettare, loa 144, yeen 14");
    EXPECT_EQ(Reckon(1, 4, 2017), "1 day of Yestare, loa 1, yeen 15");
    EXPECT_EQ(Reckon(2, 4, 2017), "1 day of Tuile, loa 1, yeen 15");
}

TEST(LoaLength, EveryTwelfthLoaIsLongExceptTheLastOfEveryThirdYen) {
    EXPECT_EQ(LoaLength(144, 3), 365);
    EXPECT_EQ(LoaLength(144, 6), 365);
    EXPECT_EQ(LoaLength(144, 2), 368);
    EXPECT_EQ(LoaLength(144, 1), 368);
    EXPECT_EQ(LoaLength(12, 3), 368);
    EXPECT_EQ(LoaLength(132, 3), 368);
    EXPECT_EQ(LoaLength(143, 1), 365);
    EXPECT_EQ(LoaLength(1, 1), 365);
    EXPECT_EQ(LoaLength(13, 15), 365);
}

// No Gregorian date gives a larger day number than 31 December 65535; larger ones would push the yen
// past 16 bits, so they are reckoned as that last day.
TEST(ConvertToReckoning, DayNumbersPastTheLastDateAreReckonedAsIt) {
    const ReckonedDate last = ConvertToReckoning(LastGregorianDayNumber);
    EXPECT_EQ(ConvertToReckoning(LastGregorianDayNumber + 1), last);
    EXPECT_EQ(ConvertToReckoning(std::numeric_limits<std::uint32_t>::max()), last);
    // 65535 years from 29 March of year 1 hold 455 yen of about 52,596 days and part of the next.
    EXPECT_EQ(last.yen, 456);
    EXPECT_NE(ConvertToReckoning(LastGregorianDayNumber - 1), last);
}

TEST(FormatHint, PlainDecimalsAndThePeriodName) {
    EXPECT_EQ(FormatHint({1, 1, 1, 1}), "1 day of Yestare, loa 1, yeen 1");
    EXPECT_EQ(FormatHint({456, 144, 9, 1}), "1 day of Mettare, loa 144, yeen 456");
    EXPECT_EQ(FormatHint({15, 100, 3, 72}), "72 day of Laire, loa 100, yeen 15");
    EXPECT_EQ(FormatHint({65535, 65535, 2, 65535}), "65535 day of Tuile, loa 65535, yeen 65535");
}

TEST(FormatHint, PeriodOutsideTheTableIsClampedIntoIt) {
    EXPECT_EQ(FormatHint({15, 10, 0, 16}), "16 day of Yestare, loa 10, yeen 15");
    EXPECT_EQ(FormatHint({15, 10, 10, 16}), "16 day of Mettare, loa 10, yeen 15");
    EXPECT_EQ(FormatHint({15, 10, 65535, 16}), "16 day of Mettare, loa 10, yeen 15");
}

} // namespace
