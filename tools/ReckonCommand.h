#pragma once

#include "reckoning/GregorianDay.h"
#include "reckoning/LoaReckoning.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The reckon command: Gregorian dates to lines of date text, dates of the reckoning back to Gregorian
// dates, from the command line or one per line from standard input.

struct ReckonRequest {
    enum class Kind { Today, Dates, Batch, Help, Error };
    Kind kind = Kind::Today;
    bool toGregorian = false;                // --to-gregorian: dates of the reckoning in, ISO dates out
    std::vector<GregorianDate> dates;        // Kind::Dates without toGregorian, in argument order
    std::vector<ReckonedDate> reckonedDates; // Kind::Dates with toGregorian, checked, in argument order
    std::string error;                       // Kind::Error: one line without its newline, naming the argument
};

// args are the arguments after the program name: none, "--help" alone, Gregorian dates (DAY MONTH YEAR
// as three arguments or YYYY-MM-DD as one, repeated), or "--to-gregorian" followed by dates of the
// reckoning (DAY PERIOD LOA YEN as four arguments or the date text as one, repeated); "-" in place of the
// dates reads them from standard input. The first bad argument in order decides the error.
ReckonRequest ParseReckonArgs(const std::vector<std::string>& args);

// A date read from one argument or line: the date, or else what is wrong with it.
template <class Date> struct DateReading {
    std::optional<Date> date;
    std::string error;
};

// YYYY-MM-DD: a year of four or five digits (1..65535), a month of two (01..12), a day of two (01..31).
DateReading<GregorianDate> ReadIsoDate(std::string_view text);

// One line of a batch: DAY MONTH YEAR or YYYY-MM-DD, between blanks (spaces or tabs).
DateReading<GregorianDate> ReadGregorianLine(std::string_view line);

// One line of a batch, or one argument, for --to-gregorian: DAY PERIOD LOA YEN or
// "DAY day of PERIOD, loa LOA, yeen YEN", between blanks; words and period names in any case, PERIOD a
// number 1..9 or a name. The date is checked as CheckReckonedDate does.
DateReading<ReckonedDate> ReadReckonedLine(std::string_view line);

// What is wrong with a date of the reckoning whose fields are each in range (loa 1..144, period 1..9,
// dayOfPeriod from 1): a day past its period's length in that loa, or a date before the reckoning's first
// day (yen 0) or after 31 December 65535. Empty when it is a good date.
std::string CheckReckonedDate(const ReckonedDate& date);

// YYYY-MM-DD, the year padded to four digits and unpadded past them.
void AppendIsoDate(std::string& text, const GregorianDate& date);

// Runs the whole command; today stands in for the clock when no date is given, and input is read for "-".
// Writes nothing to out unless every argument is good; with "-", every line before the first bad one.
// Returns the exit status: 0; 2 for a bad argument or line; 1 when out cannot be written.
int RunReckon(const std::vector<std::string>& args, const GregorianDate& today, std::istream& input,
              std::ostream& out, std::ostream& err);

// The same with no input: "-" reads nothing.
int RunReckon(const std::vector<std::string>& args, const GregorianDate& today, std::ostream& out,
              std::ostream& err);
