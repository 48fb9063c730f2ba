#pragma once

#include <cstdint>

// Proleptic Gregorian calendar: the leap-year rule applies to every year from year 1, with no switch from
// an older calendar.

struct GregorianDate {
    std::uint16_t day;   // [1, 31], not checked against the month
    std::uint16_t month; // [1, 12]
    std::uint16_t year;  // [1, 65535]

    bool operator==(const GregorianDate&) const = default;
};

// Divisible by 4, and not by 100 unless by 400. Any year; 0 counts as a leap year.
bool IsGregorianLeapYear(std::uint16_t year);

// Day number of a Gregorian date: 1 January of year 1 is day 1, 29 March of year 1 is day 88.
// day, month and year are first clamped to 1..31, 1..12 and 1..65535; the day is not checked against
// the month's length (31 February is the day after 30 February). Result: 1..LastGregorianDayNumber.
std::uint32_t GregorianDayNumber(std::uint16_t day, std::uint16_t month, std::uint16_t year);

// GregorianDayNumber(31, 12, 65535), the largest day number a date can give.
inline constexpr std::uint32_t LastGregorianDayNumber = 23936166;

// The date of a day number, the inverse of GregorianDayNumber on real dates: 1 gives 1 January of year 1,
// LastGregorianDayNumber 31 December 65535. Day numbers outside [1, LastGregorianDayNumber] are first
// clamped into it, so the year always fits.
GregorianDate GregorianDateOfDayNumber(std::uint32_t dayNumber);
