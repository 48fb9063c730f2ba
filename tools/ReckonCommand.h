#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

// The reckon command: Gregorian dates from the command line to lines of date text.

struct GregorianDate {
    std::uint16_t day;   // [1, 31], not checked against the month
    std::uint16_t month; // [1, 12]
    std::uint16_t year;  // [1, 65535]

    bool operator==(const GregorianDate&) const = default;
};

struct ReckonRequest {
    enum class Kind { Today, Dates, Help, Error };
    Kind kind = Kind::Today;
    std::vector<GregorianDate> dates; // Kind::Dates, in argument order
    std::string error;                // Kind::Error: one line without its newline, naming the argument
};

// args are the arguments after the program name: none, "--help" alone, or day, month and year, repeated.
// The first bad argument in order decides the error.
ReckonRequest ParseReckonArgs(const std::vector<std::string>& args);

// Runs the whole command; today stands in for the clock when no date is given. Writes nothing to out
// unless every argument is good. Returns the exit status: 0, or 2 for bad arguments.
int RunReckon(const std::vector<std::string>& args, const GregorianDate& today, std::ostream& out,
              std::ostream& err);
