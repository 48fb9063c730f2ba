#include "reckoning/GregorianDay.h"

#include <algorithm>
#include <array>

namespace {

// Days before each month in a common year; [m - 1] is month m.
constexpr std::array<std::uint16_t, 12> DaysBeforeMonth{0,   31,  59,  90,  120, 151,
                                                        181, 212, 243, 273, 304, 334};
static_assert(DaysBeforeMonth[11] + 31 == 365);

// Days in years 1..p, p in [0, 65534]. At most about 23.94 million, far inside 32 bits.
constexpr std::uint32_t DaysInWholeYears(std::uint32_t p) {
    return p * 365 + p / 4 - p / 100 + p / 400;
}
static_assert(DaysInWholeYears(400) == 146097);
static_assert(DaysInWholeYears(65535) == LastGregorianDayNumber);

} // namespace

bool IsGregorianLeapYear(std::uint16_t year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

std::uint32_t GregorianDayNumber(std::uint16_t day, std::uint16_t month, std::uint16_t year) {
    day = std::clamp<std::uint16_t>(day, 1, 31);
    month = std::clamp<std::uint16_t>(month, 1, 12);
    year = std::max<std::uint16_t>(year, 1);

    std::uint32_t n = DaysInWholeYears(year - 1u) + DaysBeforeMonth[month - 1] + day;
    if (month > 2 && IsGregorianLeapYear(year)) {
        ++n;
    }
    return n;
}
