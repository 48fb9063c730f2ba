#include "reckoning/LoaReckoning.h"

#include "reckoning/GregorianDay.h"

#include <algorithm>

namespace {

constexpr std::uint32_t EpochDayNumber = 88;
constexpr std::uint16_t LoaPerYen = 144;
constexpr std::size_t Enderi = 5;

} // namespace

std::uint16_t LoaLength(std::uint16_t loa, std::uint16_t yen) {
    if (loa % 12 != 0) {
        return CommonLoaLength;
    }
    if (loa == LoaPerYen && yen % 3 == 0) {
        return CommonLoaLength;
    }
    return LongLoaLength;
}

ReckonedDate ConvertToReckoning(std::uint32_t dayNumber) {
    dayNumber = std::min(dayNumber, LastGregorianDayNumber);
    // Day of the reckoning, from 1.
    std::uint32_t r = dayNumber >= EpochDayNumber ? dayNumber - (EpochDayNumber - 1) : 1;

    std::uint16_t yen = 1;
    std::uint16_t loa = 1;
    while (LoaLength(loa, yen) < r) {
        r -= LoaLength(loa, yen);
        if (++loa > LoaPerYen) {
            ++yen;
            loa = 1;
        }
    }
    // r is now the day of the loa: [1, LoaLength(loa, yen)].

    std::array<std::uint16_t, 9> lengths = PeriodLengths;
    const std::uint16_t loaLength = LoaLength(loa, yen);
    if (loaLength == LongLoaLength) {
        lengths[Enderi - 1] = LongEnderiLength;
    }

    // From the end of the loa back: the first period whose preceding days fall short of r holds it.
    // Period 1 always does (nothing precedes it and r >= 1), so the walk stops there at the latest.
    std::uint16_t period = 9;
    std::uint32_t daysBefore = loaLength - lengths[period - 1];
    while (daysBefore >= r) {
        --period;
        daysBefore -= lengths[period - 1];
    }
    return ReckonedDate{yen, loa, period, static_cast<std::uint16_t>(r - daysBefore)};
}

std::string FormatHint(const ReckonedDate& date) {
    const std::uint16_t period = std::clamp<std::uint16_t>(date.period, 1, 9);
    return std::to_string(date.dayOfPeriod) + " day of " + PeriodNames[period - 1] + ", loa " +
           std::to_string(date.loa) + ", yeen " + std::to_string(date.yen);
}
