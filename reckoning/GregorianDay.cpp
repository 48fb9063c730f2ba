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

GregorianDate GregorianDateOfDayNumber(std::uint32_t dayNumber) {
    dayNumber = std::clamp<std::uint32_t>(dayNumber, 1, LastGregorianDayNumber);
    // Counted from 1 March of year 0, so each year ends with its leap day: 1 January of year 1 is 306 days
    // later. Then 400-year eras of 146097 days, years within the era, days within the year.
    const std::uint32_t z = dayNumber + 305;
    const std::uint32_t era = z / 146097;
    const std::uint32_t dayOfEra = z % 146097; // [0, 146096]
    const std::uint32_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365; // [0, 399]
    const std::uint32_t dayOfYear =
        dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);                        // [0, 365]
    const std::uint32_t monthFromMarch = (5 * dayOfYear + 2) / 153;                            // [0, 11]
    const std::uint32_t day = dayOfYear - (153 * monthFromMarch + 2) / 5 + 1;                  // [1, 31]
    const std::uint32_t month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9; // [1, 12]
    const std::uint32_t year = era * 400 + yearOfEra + (month <= 2 ? 1 : 0);
    return GregorianDate{static_cast<std::uint16_t>(day), static_cast<std::uint16_t>(month),
                         static_cast<std::uint16_t>(year)};
}
