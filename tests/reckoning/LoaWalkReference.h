#pragma once

// The reckoning as its rule reads, walked loa by loa from the epoch: the reference that the constant-time
// conversion must match exactly.

#include "reckoning/GregorianDay.h"
#include "reckoning/LoaReckoning.h"

#include <algorithm>
#include <cstdint>

namespace loa_walk {

// Day of the loa r, [1, its length], to period and day of the period: from the end of the loa back, the
// first period whose preceding days fall short of r holds it.
inline ReckonedDate WithDayOfLoa(std::uint16_t yen, std::uint16_t loa, std::uint32_t r) {
    const std::uint16_t loaLength = LoaLength(loa, yen);
    std::uint16_t period = 9;
    std::uint32_t daysBefore = loaLength - (period == 5 && loaLength == 368 ? 6 : PeriodLengths[period - 1]);
    while (daysBefore >= r) {
        --period;
        daysBefore -= period == 5 && loaLength == 368 ? 6 : PeriodLengths[period - 1];
    }
    return ReckonedDate{yen, loa, period, static_cast<std::uint16_t>(r - daysBefore)};
}

// The whole walk for one day number; the cost grows with it.
inline ReckonedDate Reckon(std::uint32_t dayNumber) {
    dayNumber = std::min(dayNumber, LastGregorianDayNumber);
    std::uint32_t r = dayNumber >= 88 ? dayNumber - 87 : 1;
    std::uint16_t yen = 1;
    std::uint16_t loa = 1;
    while (LoaLength(loa, yen) < r) {
        r -= LoaLength(loa, yen);
        if (++loa > 144) {
            ++yen;
            loa = 1;
        }
    }
    return WithDayOfLoa(yen, loa, r);
}

// The same walk taken one day at a time, for comparisons over every day: starts at the epoch.
class DayByDay {
public:
    ReckonedDate Today() const { return WithDayOfLoa(yen_, loa_, r_); }

    void Advance() {
        if (++r_ > LoaLength(loa_, yen_)) {
            r_ = 1;
            if (++loa_ > 144) {
                ++yen_;
                loa_ = 1;
            }
        }
    }

private:
    std::uint16_t yen_ = 1;
    std::uint16_t loa_ = 1;
    std::uint32_t r_ = 1;
};

} // namespace loa_walk
