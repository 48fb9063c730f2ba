// Cost of the reckoning: conversions across the whole range of dates and in single years from 100 to
// 65535, which must cost alike; the way back; and one refresh's worth of work for today.

#include "reckoning/GregorianDay.h"
#include "reckoning/LoaReckoning.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <vector>

namespace {

// Every step-th day number from 1 to the last a date can give.
std::vector<std::uint32_t> DaysEvery(std::uint32_t step, std::uint32_t last) {
    std::vector<std::uint32_t> days;
    for (std::uint32_t n = 1; n <= last; n += step) {
        days.push_back(n);
    }
    return days;
}

// Converts the days one after the other, round and round.
void ConvertInTurn(benchmark::State& state, const std::vector<std::uint32_t>& days) {
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ConvertToReckoning(days[i]));
        i = i + 1 < days.size() ? i + 1 : 0;
    }
    state.SetItemsProcessed(state.iterations());
}

// Every 97th day from 1 January of year 1 to 31 December 2100: about 7,900 dates spread evenly.
void BM_ConvertAcrossYears1To2100(benchmark::State& state) {
    ConvertInTurn(state, DaysEvery(97, GregorianDayNumber(31, 12, 2100)));
}
BENCHMARK(BM_ConvertAcrossYears1To2100);

// Every 3001st day of the whole range, years 1 to 65535: about 8,000 dates.
void BM_ConvertAcrossAllYears(benchmark::State& state) {
    ConvertInTurn(state, DaysEvery(3001, LastGregorianDayNumber));
}
BENCHMARK(BM_ConvertAcrossAllYears);

// 1 July of the year given as argument.
void BM_ConvertInYear(benchmark::State& state) {
    std::uint32_t day = GregorianDayNumber(1, 7, static_cast<std::uint16_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(day);
        benchmark::DoNotOptimize(ConvertToReckoning(day));
    }
}
BENCHMARK(BM_ConvertInYear)->Arg(100)->Arg(1000)->Arg(2026)->Arg(2100)->Arg(65535);

// The way back: a date of the reckoning to its Gregorian date, across the whole range.
void BM_ConvertBackAcrossAllYears(benchmark::State& state) {
    std::vector<ReckonedDate> dates;
    for (std::uint32_t n : DaysEvery(3001, LastGregorianDayNumber)) {
        dates.push_back(ConvertToReckoning(n));
    }
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(GregorianDateOfDayNumber(ConvertFromReckoning(dates[i])));
        i = i + 1 < dates.size() ? i + 1 : 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ConvertBackAcrossAllYears);

// What one refresh asks of the engine: today's date to its text. The clock is read once, outside.
void BM_RefreshToday(benchmark::State& state) {
    const std::time_t now = std::time(nullptr);
    const std::tm local = *std::localtime(&now);
    std::uint16_t day = static_cast<std::uint16_t>(local.tm_mday);
    std::uint16_t month = static_cast<std::uint16_t>(local.tm_mon + 1);
    std::uint16_t year = static_cast<std::uint16_t>(local.tm_year + 1900);
    for (auto _ : state) {
        benchmark::DoNotOptimize(day);
        benchmark::DoNotOptimize(month);
        benchmark::DoNotOptimize(year);
        benchmark::DoNotOptimize(FormatHint(ConvertToReckoning(GregorianDayNumber(day, month, year))));
    }
}
BENCHMARK(BM_RefreshToday);

} // namespace

BENCHMARK_MAIN();
