#pragma once

#include <array>
#include <cstdint>
#include <numeric>
#include <string>

// The loa reckoning: a loa has nine periods, Yestare to Mettare, and 144 loa make a yen. Day number 88
// (29 March of year 1, see GregorianDay.h) is day 1 of Yestare, loa 1, yen 1.

struct ReckonedDate {
    std::uint16_t yen;         // from 1; at most 456 for day numbers a Gregorian date can give
    std::uint16_t loa;         // [1, 144]
    std::uint16_t period;      // [1, 9], an index into PeriodNames and PeriodLengths
    std::uint16_t dayOfPeriod; // [1, the period's length in this loa]

    bool operator==(const ReckonedDate&) const = default;
};

// [p - 1] is period p.
inline constexpr std::array<const char*, 9> PeriodNames{"Yestare", "Tuile",  "Laire", "Yaavie", "Enderi",
                                                        "Quelle",  "Hriive", "Coire", "Mettare"};

// Period lengths in a common loa; [p - 1] is period p. A long loa differs only in Enderi.
inline constexpr std::array<std::uint16_t, 9> PeriodLengths{1, 54, 72, 54, 3, 54, 72, 54, 1};

inline constexpr std::uint16_t CommonLoaLength = 365;
inline constexpr std::uint16_t LongLoaLength = 368;
inline constexpr std::uint16_t LongEnderiLength = 6;

static_assert(std::accumulate(PeriodLengths.begin(), PeriodLengths.end(), 0) == CommonLoaLength);
static_assert(CommonLoaLength - PeriodLengths[4] + LongEnderiLength == LongLoaLength);

// 368 when loa is a multiple of 12, except loa 144 of a yen that is a multiple of 3; otherwise 365.
// Meant for loa 1..144; any values give one of the two lengths.
std::uint16_t LoaLength(std::uint16_t loa, std::uint16_t yen);

// Days of period p in a loa of loaLength days; period is clamped into 1..9.
std::uint16_t PeriodLength(std::uint16_t period, std::uint16_t loaLength);

// Constant time: the lengths repeat every three yen, so whole cycles, yen and twelves of loa are divided
// out. Day numbers before the epoch (1..88, and 0) are reckoned as its first day; those after
// LastGregorianDayNumber, which no date gives and whose yen might not fit, as that last day.
ReckonedDate ConvertToReckoning(std::uint32_t dayNumber);

// The day number of a day of the reckoning, the inverse of ConvertToReckoning from the epoch (88) on.
// Meant for yen >= 1, loa 1..144, period 1..9 and dayOfPeriod within the period's length in that loa;
// callers check those. Any yen up to 65535 fits in 32 bits; the result may pass LastGregorianDayNumber.
std::uint32_t ConvertFromReckoning(const ReckonedDate& date);

// "16 day of Hriive, loa 10, yeen 15": plain decimals, the period by name. A period outside 1..9 is
// clamped into it, so the name table is never read outside its rows.
std::string FormatHint(const ReckonedDate& date);

// FormatHint's text appended to text, for writers of many lines.
void AppendHint(std::string& text, const ReckonedDate& date);
