// Walks every day from 1 January of year 1 to 31 December 2100 and checks that the reckoning moves one
// day at a time through the periods in order, loa after loa, with each loa as long as the rule says.

#include "reckoning/GregorianDay.h"
#include "reckoning/LoaReckoning.h"
#include "tests/reckoning/ReckonedDatePrinter.h"

#include <gtest/gtest.h>

#include <array>

namespace {

bool IsLongLoa(std::uint32_t loa, std::uint32_t yen) {
    return loa % 12 == 0 && !(loa == 144 && yen % 3 == 0);
}

std::uint32_t PeriodLength(std::uint32_t period, bool longLoa) {
    constexpr std::array<std::uint32_t, 9> Common{1, 54, 72, 54, 3, 54, 72, 54, 1};
    return period == 5 && longLoa ? 6 : Common[period - 1];
}

ReckonedDate NextLoaStart(const ReckonedDate& d) {
    return d.loa == 144 ? ReckonedDate{static_cast<std::uint16_t>(d.yen + 1), 1, 1, 1}
                        : ReckonedDate{d.yen, static_cast<std::uint16_t>(d.loa + 1), 1, 1};
}

TEST(ReckoningWalk, EveryDayToTheEndOf2100FollowsTheDayBefore) {
    const std::uint32_t end = GregorianDayNumber(31, 12, 2100);
    ReckonedDate prev = ConvertToReckoning(GregorianDayNumber(1, 1, 1));
    ASSERT_EQ(prev, (ReckonedDate{1, 1, 1, 1}));

    std::uint32_t daysInLoa = 1;
    std::uint32_t loaSeen = 0;
    std::uint32_t longLoaSeen = 0;
    for (std::uint32_t n = 89; n <= end; ++n) {
        const bool longLoa = IsLongLoa(prev.loa, prev.yen);
        ReckonedDate expected = prev;
        if (prev.dayOfPeriod < PeriodLength(prev.period, longLoa)) {
            ++expected.dayOfPeriod;
            ++daysInLoa;
        } else if (prev.period < 9) {
            ++expected.period;
            expected.dayOfPeriod = 1;
            ++daysInLoa;
        } else {
            // Mettare is the last day of the loa; the next day begins the next one with Yestare.
            expected = NextLoaStart(prev);
            ASSERT_EQ(daysInLoa, longLoa ? 368u : 365u) << "loa " << prev.loa << " of yen " << prev.yen;
            ASSERT_EQ(LoaLength(prev.loa, prev.yen), daysInLoa)
                << "loa " << prev.loa << " of yen " << prev.yen;
            ++loaSeen;
            longLoaSeen += longLoa ? 1 : 0;
            daysInLoa = 1;
        }
        const ReckonedDate cur = ConvertToReckoning(n);
        ASSERT_EQ(cur, expected) << "day number " << n << ", the day before " << testing::PrintToString(prev);
        prev = cur;
    }
    EXPECT_EQ(FormatHint(prev), "36 day of Hriive, loa 84, yeen 15");
    // Yen 1 to 14 whole and 83 loa of yen 15; per yen 11 long loa, and loa 144 too unless the yen is 3, 6,
    // 9, 12.
    EXPECT_EQ(loaSeen, 14u * 144 + 83);
    EXPECT_EQ(longLoaSeen, 14u * 12 - 4 + 6);
}

} // namespace
