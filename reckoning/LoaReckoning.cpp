#include "reckoning/LoaReckoning.h"

#include "reckoning/GregorianDay.h"

#include <algorithm>
#include <charconv>

namespace {

constexpr std::uint32_t EpochDayNumber = 88;
constexpr std::uint16_t LoaPerYen = 144;
constexpr std::size_t Enderi = 5;

// The lengths repeat every three yen. Within a yen each twelve loa end with a long one, except the last
// twelve of every third yen, whose loa 144 is common.
constexpr std::uint32_t DaysInTwelveLoa = 11 * CommonLoaLength + LongLoaLength;             // 4383
constexpr std::uint32_t DaysInYen = 12 * DaysInTwelveLoa;                                   // 52596
constexpr std::uint32_t DaysInThreeYen = 3 * DaysInYen - (LongLoaLength - CommonLoaLength); // 157785
static_assert(DaysInThreeYen == 157785);

// Days of the loa before period p, [p - 1], in a common loa.
constexpr std::array<std::uint16_t, 9> CommonDaysBefore = [] {
    std::array<std::uint16_t, 9> before{};
    for (std::size_t p = 1; p < before.size(); ++p) {
        before[p] = static_cast<std::uint16_t>(before[p - 1] + PeriodLengths[p - 1]);
    }
    return before;
}();

// Days of a long loa before period p: periods after Enderi start later by its extra days.
constexpr std::uint16_t DaysBefore(std::size_t period, bool longLoa) {
    const std::uint16_t extra = longLoa && period > Enderi ? LongEnderiLength - PeriodLengths[Enderi - 1] : 0;
    return static_cast<std::uint16_t>(CommonDaysBefore[period - 1] + extra);
}

// Period and day of the period for each day of a long loa, [r - 1] for day r: the period in the high byte.
// A common loa's day r after its Enderi is the long loa's day r + 3.
constexpr std::array<std::uint16_t, LongLoaLength> LongLoaDays = [] {
    std::array<std::uint16_t, LongLoaLength> days{};
    std::size_t period = 1;
    for (std::size_t r = 1; r <= days.size(); ++r) {
        while (period < 9 && DaysBefore(period + 1, true) < r) {
            ++period;
        }
        days[r - 1] = static_cast<std::uint16_t>(period << 8 | (r - DaysBefore(period, true)));
    }
    return days;
}();
constexpr std::uint16_t LastCommonEnderiDay = CommonDaysBefore[Enderi];
static_assert(LongLoaDays[LastCommonEnderiDay - 1] == (5 << 8 | 3));
static_assert(LongLoaDays[LongLoaLength - 1] == (9 << 8 | 1));

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

std::uint16_t PeriodLength(std::uint16_t period, std::uint16_t loaLength) {
    period = std::clamp<std::uint16_t>(period, 1, 9);
    return period == Enderi && loaLength == LongLoaLength ? LongEnderiLength : PeriodLengths[period - 1];
}

ReckonedDate ConvertToReckoning(std::uint32_t dayNumber) {
    dayNumber = std::min(dayNumber, LastGregorianDayNumber);
    // Days since the epoch, from 0.
    std::uint32_t d = dayNumber >= EpochDayNumber ? dayNumber - EpochDayNumber : 0;

    const std::uint32_t cycles = d / DaysInThreeYen;
    d %= DaysInThreeYen;
    // Only the third yen of a cycle is shorter, and it is last: no day of the cycle reaches 3 * DaysInYen.
    const std::uint32_t yenInCycle = d / DaysInYen; // [0, 2]
    d -= yenInCycle * DaysInYen;
    // Likewise only the last twelve of the yen may be shorter.
    const std::uint32_t twelves = d / DaysInTwelveLoa; // [0, 11]
    d -= twelves * DaysInTwelveLoa;
    // The long loa is the twelfth; its last three days would count as a thirteenth common one.
    const std::uint32_t loaInTwelve = std::min<std::uint32_t>(d / CommonLoaLength, 11);
    d -= loaInTwelve * CommonLoaLength;

    const auto yen = static_cast<std::uint16_t>(cycles * 3 + yenInCycle + 1);
    const auto loa = static_cast<std::uint16_t>(twelves * 12 + loaInTwelve + 1);
    // Day of the loa, [1, LoaLength(loa, yen)], as the long loa counts it.
    std::uint32_t r = d + 1;
    if (LoaLength(loa, yen) == CommonLoaLength && r > LastCommonEnderiDay) {
        r += LongLoaLength - CommonLoaLength;
    }
    const std::uint16_t entry = LongLoaDays[r - 1];
    return ReckonedDate{yen, loa, static_cast<std::uint16_t>(entry >> 8),
                        static_cast<std::uint16_t>(entry & 0xff)};
}

std::uint32_t ConvertFromReckoning(const ReckonedDate& date) {
    const std::uint32_t yenBefore = date.yen - 1u;
    const std::uint32_t loaBefore = date.loa - 1u;
    const std::uint16_t period = std::clamp<std::uint16_t>(date.period, 1, 9);
    const bool longLoa = LoaLength(date.loa, date.yen) == LongLoaLength;
    return yenBefore / 3 * DaysInThreeYen + yenBefore % 3 * DaysInYen + loaBefore / 12 * DaysInTwelveLoa +
           loaBefore % 12 * CommonLoaLength + DaysBefore(period, longLoa) + date.dayOfPeriod +
           (EpochDayNumber - 1);
}

std::string FormatHint(const ReckonedDate& date) {
    std::string text;
    AppendHint(text, date);
    return text;
}

void AppendHint(std::string& text, const ReckonedDate& date) {
    const auto appendNumber = [&text](std::uint16_t n) {
        char digits[8];
        const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, n);
        text.append(digits, end.ptr);
    };
    const std::uint16_t period = std::clamp<std::uint16_t>(date.period, 1, 9);
    appendNumber(date.dayOfPeriod);
    text += " day of ";
    text += PeriodNames[period - 1];
    text += ", loa ";
    appendNumber(date.loa);
    text += ", yeen ";
    appendNumber(date.yen);
}
