#include "tools/ReckonCommand.h"

#include "reckoning/GregorianDay.h"
#include "reckoning/LoaReckoning.h"

#include <array>
#include <optional>
#include <ostream>

namespace {

struct Field {
    const char* name;
    std::uint16_t max;
};
constexpr std::array<Field, 3> Fields{{{"day", 31}, {"month", 12}, {"year", 65535}}};

constexpr const char* Usage = "usage: reckon [DAY MONTH YEAR]...\n"
                              "Prints each Gregorian date in the loa reckoning, one line per date;\n"
                              "with no date, today's local date. DAY is 1 to 31 (not checked against\n"
                              "the month), MONTH 1 to 12, YEAR 1 to 65535.\n";

// A whole number in 1..max written with digits only: no sign, no spaces.
std::optional<std::uint16_t> ParseField(const std::string& text, std::uint16_t max) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
        if (value > max) {
            return std::nullopt; // stops long before 32 bits could overflow
        }
    }
    if (value == 0) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

// The argument as the error line quotes it: control characters would break the line, and a very long
// argument would drown it.
std::string Quoted(const std::string& arg) {
    constexpr std::size_t MaxShown = 32;
    std::string shown;
    for (char c : arg.substr(0, MaxShown)) {
        const auto u = static_cast<unsigned char>(c);
        shown += (u < 0x20 || u == 0x7f) ? '?' : c;
    }
    if (arg.size() > MaxShown) {
        shown += "...";
    }
    return "\"" + shown + "\"";
}

ReckonRequest Error(std::size_t position, const std::string& arg, const std::string& what) {
    ReckonRequest request;
    request.kind = ReckonRequest::Kind::Error;
    request.error = "reckon: argument " + std::to_string(position) + " (" + Quoted(arg) + "): " + what;
    return request;
}

} // namespace

ReckonRequest ParseReckonArgs(const std::vector<std::string>& args) {
    ReckonRequest request;
    if (args.empty()) {
        return request;
    }
    if (args.size() == 1 && args[0] == "--help") {
        request.kind = ReckonRequest::Kind::Help;
        return request;
    }

    request.kind = ReckonRequest::Kind::Dates;
    std::array<std::uint16_t, 3> values{};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const Field& field = Fields[i % 3];
        const std::optional<std::uint16_t> value = ParseField(args[i], field.max);
        if (!value) {
            return Error(i + 1, args[i],
                         std::string(field.name) + " must be a whole number from 1 to " +
                             std::to_string(field.max));
        }
        values[i % 3] = *value;
        if (i % 3 == 2) {
            request.dates.push_back(GregorianDate{values[0], values[1], values[2]});
        }
    }

    const std::size_t last = args.size();
    if (last % 3 == 1) {
        return Error(last, args[last - 1], "incomplete date: month and year missing");
    }
    if (last % 3 == 2) {
        return Error(last, args[last - 1], "incomplete date: year missing");
    }
    return request;
}

int RunReckon(const std::vector<std::string>& args, const GregorianDate& today, std::ostream& out,
              std::ostream& err) {
    ReckonRequest request = ParseReckonArgs(args);
    switch (request.kind) {
    case ReckonRequest::Kind::Help:
        out << Usage;
        return 0;
    case ReckonRequest::Kind::Error:
        err << request.error << '\n';
        return 2;
    case ReckonRequest::Kind::Today:
        request.dates.push_back(today);
        break;
    case ReckonRequest::Kind::Dates:
        break;
    }
    for (const GregorianDate& date : request.dates) {
        out << FormatHint(ConvertToReckoning(GregorianDayNumber(date.day, date.month, date.year))) << '\n';
    }
    return 0;
}
