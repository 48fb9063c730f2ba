#include "tools/ReckonCommand.h"

#include "tools/LineReader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <istream>
#include <ostream>
#include <sstream>

namespace {

struct Field {
    const char* name;
    std::uint16_t max;
};
constexpr std::array<Field, 3> Fields{{{"day", 31}, {"month", 12}, {"year", 65535}}};
// DAY PERIOD LOA YEN; a day is checked against its period's length once the whole date is known.
constexpr std::array<Field, 4> ReckonedFields{{{"day", 72}, {"period", 9}, {"loa", 144}, {"yen", 65535}}};

constexpr const char* Usage =
    "usage: reckon [DATE]...\n"
    "       reckon --to-gregorian RECKONED-DATE...\n"
    "       reckon [--to-gregorian] -\n"
    "Prints each Gregorian DATE in the loa reckoning, one line per date; with no\n"
    "date, today's local date. A DATE is DAY MONTH YEAR (three arguments) or\n"
    "YYYY-MM-DD (one): DAY is 1 to 31 (not checked against the month), MONTH 1 to\n"
    "12, YEAR 1 to 65535.\n"
    "--to-gregorian prints each date of the loa reckoning as YYYY-MM-DD. A\n"
    "RECKONED-DATE is DAY PERIOD LOA YEN (four arguments) or its text as one\n"
    "argument: \"16 day of Hriive, loa 10, yeen 15\". PERIOD is 1 to 9 or a\n"
    "period's name, in any case; LOA is 1 to 144; DAY must fall within its period.\n"
    "- reads the dates from standard input instead, one per line in either form of\n"
    "its direction, and prints one line for each; a bad or blank line, or one longer\n"
    "than 256 bytes, stops it with an error naming the line.\n"
    "Exit status: 0; 2 for a bad argument or line; 1 when output cannot be written.\n";

constexpr std::string_view Blanks = " \t";

// A whole number in 0..max written with digits only: no sign, no spaces.
std::optional<std::uint32_t> ParseNumber(std::string_view text, std::uint32_t max) {
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
    return value;
}

// A whole number in 1..max.
std::optional<std::uint16_t> ParseField(std::string_view text, std::uint16_t max) {
    const std::optional<std::uint32_t> value = ParseNumber(text, max);
    if (!value || *value == 0) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(*value);
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

// 1..9 or a period's name in any case.
std::optional<std::uint16_t> ParsePeriod(std::string_view text) {
    if (const std::optional<std::uint16_t> number = ParseField(text, 9)) {
        return number;
    }
    for (std::size_t p = 0; p < PeriodNames.size(); ++p) {
        if (SameWord(text, PeriodNames[p])) {
            return static_cast<std::uint16_t>(p + 1);
        }
    }
    return std::nullopt;
}

std::string FieldError(const Field& field) {
    return std::string(field.name) + " must be a whole number from 1 to " + std::to_string(field.max);
}

std::string ReckonedFieldError(std::size_t index) {
    switch (index) {
    case 1:
        return "period must be 1 to 9 or a period's name";
    case 3:
        return "yen must be a whole number from 0 to 65535";
    default:
        return FieldError(ReckonedFields[index]);
    }
}

// Field index of the reckoned date (DAY PERIOD LOA YEN) into value; yen may be 0 here, CheckReckonedDate
// refuses it.
bool ParseReckonedField(std::size_t index, std::string_view text, ReckonedDate& date) {
    std::optional<std::uint32_t> value;
    switch (index) {
    case 1:
        value = ParsePeriod(text);
        break;
    case 3:
        value = ParseNumber(text, 65535);
        break;
    default:
        value = ParseField(text, ReckonedFields[index].max);
        break;
    }
    if (!value) {
        return false;
    }
    const auto v = static_cast<std::uint16_t>(*value);
    (index == 0 ? date.dayOfPeriod : index == 1 ? date.period : index == 2 ? date.loa : date.yen) = v;
    return true;
}

// Up to MaxWords words between blanks; count is one more than MaxWords when there are more.
template <std::size_t MaxWords> struct Words {
    std::array<std::string_view, MaxWords> words;
    std::size_t count = 0;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

template <std::size_t MaxWords> Words<MaxWords> SplitWords(std::string_view text) {
    Words<MaxWords> split;
    std::size_t at = 0;
    for (;;) {
        while (at < text.size() && IsBlank(text[at])) {
            ++at;
        }
        if (at == text.size()) {
            return split;
        }
        if (split.count == MaxWords) {
            ++split.count;
            return split;
        }
        const std::size_t begin = at;
        while (at < text.size() && !IsBlank(text[at])) {
            ++at;
        }
        split.words[split.count++] = text.substr(begin, at - begin);
    }
}

template <class Date> DateReading<Date> Refused(std::string error) {
    return DateReading<Date>{std::nullopt, std::move(error)};
}

// The argument or line as an error quotes it: control characters would break the line, and a very long
// one would drown it.
std::string Quoted(std::string_view text) {
    constexpr std::size_t MaxShown = 32;
    std::string shown;
    for (char c : text.substr(0, MaxShown)) {
        const auto u = static_cast<unsigned char>(c);
        shown += (u < 0x20 || u == 0x7f) ? '?' : c;
    }
    if (text.size() > MaxShown) {
        shown += "...";
    }
    return "\"" + shown + "\"";
}

ReckonRequest Error(std::size_t position, std::string_view arg, const std::string& what) {
    ReckonRequest request;
    request.kind = ReckonRequest::Kind::Error;
    request.error = "reckon: argument " + std::to_string(position) + " (" + Quoted(arg) + "): " + what;
    return request;
}

constexpr const char* MissingAfter[4] = {"", "period, loa and yen missing", "loa and yen missing",
                                         "yen missing"};

ReckonRequest ParseGregorianArgs(const std::vector<std::string>& args) {
    ReckonRequest request;
    request.kind = ReckonRequest::Kind::Dates;
    std::array<std::uint16_t, 3> values{};
    std::size_t field = 0; // of the date being read
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (field == 0 && args[i].find('-') != std::string::npos) {
            if (args[i] == "-") {
                return Error(i + 1, args[i], "- (standard input) must be the only date");
            }
            const DateReading<GregorianDate> iso = ReadIsoDate(args[i]);
            if (!iso.date) {
                return Error(i + 1, args[i], iso.error);
            }
            request.dates.push_back(*iso.date);
            continue;
        }
        const std::optional<std::uint16_t> value = ParseField(args[i], Fields[field].max);
        if (!value) {
            return Error(i + 1, args[i], FieldError(Fields[field]));
        }
        values[field] = *value;
        if (++field == 3) {
            request.dates.push_back(GregorianDate{values[0], values[1], values[2]});
            field = 0;
        }
    }
    if (field == 1) {
        return Error(args.size(), args.back(), "incomplete date: month and year missing");
    }
    if (field == 2) {
        return Error(args.size(), args.back(), "incomplete date: year missing");
    }
    return request;
}

// args[first..] are the dates of the reckoning.
ReckonRequest ParseReckonedArgs(const std::vector<std::string>& args, std::size_t first) {
    ReckonRequest request;
    request.kind = ReckonRequest::Kind::Dates;
    request.toGregorian = true;
    ReckonedDate date{};
    std::size_t field = 0;
    std::string dateShown; // the date's arguments, for an error about the whole date
    for (std::size_t i = first; i < args.size(); ++i) {
        if (field == 0 && args[i].find_first_of(Blanks) != std::string::npos) {
            const DateReading<ReckonedDate> text = ReadReckonedLine(args[i]);
            if (!text.date) {
                return Error(i + 1, args[i], text.error);
            }
            request.reckonedDates.push_back(*text.date);
            continue;
        }
        if (field == 0 && args[i] == "-") {
            return Error(i + 1, args[i], "- (standard input) must be the only date");
        }
        if (!ParseReckonedField(field, args[i], date)) {
            return Error(i + 1, args[i], ReckonedFieldError(field));
        }
        dateShown += (field == 0 ? "" : " ") + args[i];
        if (++field == 4) {
            if (const std::string error = CheckReckonedDate(date); !error.empty()) {
                return Error(i - 2, dateShown, error);
            }
            request.reckonedDates.push_back(date);
            field = 0;
            dateShown.clear();
        }
    }
    if (field != 0) {
        return Error(args.size(), args.back(), std::string("incomplete date: ") + MissingAfter[field]);
    }
    if (request.reckonedDates.empty()) {
        return Error(args.size(), args.back(), "a date or - must follow");
    }
    return request;
}

void AppendLine(std::string& text, const GregorianDate& date) {
    AppendHint(text, ConvertToReckoning(GregorianDayNumber(date.day, date.month, date.year)));
    text += '\n';
}

void AppendLine(std::string& text, const ReckonedDate& date) {
    AppendIsoDate(text, GregorianDateOfDayNumber(ConvertFromReckoning(date)));
    text += '\n';
}

// Converts every line of input until the end or the first bad line, writing in large blocks.
template <class Date>
int RunBatch(DateReading<Date> (*read)(std::string_view), std::istream& input, std::ostream& out,
             std::ostream& err) {
    constexpr std::size_t Block = 1 << 16;
    std::string text;
    text.reserve(Block + 2 * LineReader::MaxLength);
    std::istringstream none;
    LineReader lines(input.rdbuf() != nullptr ? *input.rdbuf() : *none.rdbuf());
    std::string error;
    for (;;) {
        std::string_view line;
        const LineReader::Result result = lines.Next(line);
        if (result == LineReader::Result::End) {
            break;
        }
        if (result == LineReader::Result::TooLong) {
            error = "reckon: line " + std::to_string(lines.LineNumber()) + ": longer than " +
                    std::to_string(LineReader::MaxLength) + " bytes";
            break;
        }
        const DateReading<Date> reading = read(line);
        if (!reading.date) {
            error = "reckon: line " + std::to_string(lines.LineNumber()) + " (" + Quoted(line) +
                    "): " + reading.error;
            break;
        }
        AppendLine(text, *reading.date);
        if (text.size() >= Block) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            text.clear();
        }
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!error.empty()) {
        err << error << '\n';
        return 2;
    }
    return 0;
}

// Day, month and year in that order; the first bad field decides the error. In an ISO date each
// field is checked for digits only before its value, so that "-1" or "+1" is a malformed date
// rather than a bad value.
DateReading<GregorianDate> ReadDayMonthYear(const std::array<std::string_view, 3>& parts, bool isoDigits) {
    std::array<std::uint16_t, 3> values{};
    for (std::size_t i = 0; i < 3; ++i) {
        if (isoDigits && parts[i].find_first_not_of("0123456789") != std::string_view::npos) {
            return Refused<GregorianDate>("not a date of the form YYYY-MM-DD");
        }
        const std::optional<std::uint16_t> value = ParseField(parts[i], Fields[i].max);
        if (!value) {
            return Refused<GregorianDate>(FieldError(Fields[i]));
        }
        values[i] = *value;
    }
    return DateReading<GregorianDate>{GregorianDate{values[0], values[1], values[2]}, {}};
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
    const bool toGregorian = args[0] == "--to-gregorian";
    const std::size_t first = toGregorian ? 1 : 0;
    if (args.size() == first + 1 && args[first] == "-") {
        request.kind = ReckonRequest::Kind::Batch;
        request.toGregorian = toGregorian;
        return request;
    }
    return toGregorian ? ParseReckonedArgs(args, first) : ParseGregorianArgs(args);
}

DateReading<GregorianDate> ReadIsoDate(std::string_view text) {
    const std::size_t dash = text.find('-');
    if (dash == std::string_view::npos || dash < 4 || dash > 5 || text.size() != dash + 6 ||
        text[dash + 3] != '-') {
        return Refused<GregorianDate>("not a date of the form YYYY-MM-DD");
    }
    return ReadDayMonthYear({text.substr(dash + 4, 2), text.substr(dash + 1, 2), text.substr(0, dash)}, true);
}

DateReading<GregorianDate> ReadGregorianLine(std::string_view line) {
    const Words<3> split = SplitWords<3>(line);
    if (split.count == 0) {
        return Refused<GregorianDate>("no date");
    }
    if (split.count == 1 && split.words[0].find('-') != std::string_view::npos) {
        return ReadIsoDate(split.words[0]);
    }
    if (split.count != 3) {
        return Refused<GregorianDate>("expected DAY MONTH YEAR or YYYY-MM-DD");
    }
    return ReadDayMonthYear({split.words[0], split.words[1], split.words[2]}, false);
}

DateReading<ReckonedDate> ReadReckonedLine(std::string_view line) {
    const Words<8> split = SplitWords<8>(line);
    if (split.count == 0) {
        return Refused<ReckonedDate>("no date");
    }
    std::array<std::string_view, 4> fields;
    if (split.count == 4) {
        fields = {split.words[0], split.words[1], split.words[2], split.words[3]};
    } else {
        // "16 day of Hriive, loa 10, yeen 15": the commas end the period's and the loa's words.
        const auto& w = split.words;
        const auto endsWithComma = [](std::string_view word) {
            return word.size() > 1 && word.back() == ',';
        };
        if (split.count != 8 || !SameWord(w[1], "day") || !SameWord(w[2], "of") || !endsWithComma(w[3]) ||
            !SameWord(w[4], "loa") || !endsWithComma(w[5]) || !SameWord(w[6], "yeen")) {
            return Refused<ReckonedDate>(
                "expected DAY PERIOD LOA YEN or \"DAY day of PERIOD, loa LOA, yeen YEN\"");
        }
        fields = {w[0], w[3].substr(0, w[3].size() - 1), w[5].substr(0, w[5].size() - 1), w[7]};
    }
    ReckonedDate date{};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (!ParseReckonedField(i, fields[i], date)) {
            return Refused<ReckonedDate>(ReckonedFieldError(i));
        }
    }
    if (std::string error = CheckReckonedDate(date); !error.empty()) {
        return Refused<ReckonedDate>(std::move(error));
    }
    return DateReading<ReckonedDate>{date, {}};
}

std::string CheckReckonedDate(const ReckonedDate& date) {
    const std::uint16_t period = std::clamp<std::uint16_t>(date.period, 1, 9);
    const std::uint16_t length = PeriodLength(period, LoaLength(date.loa, date.yen));
    if (date.dayOfPeriod > length) {
        return "day " + std::to_string(date.dayOfPeriod) + " is past the end of " + PeriodNames[period - 1] +
               ", which has " + std::to_string(length) + " days in loa " + std::to_string(date.loa) +
               " of yeen " + std::to_string(date.yen);
    }
    if (date.yen == 0) {
        return "falls before the reckoning's first day, 1 day of Yestare, loa 1, yeen 1";
    }
    if (ConvertFromReckoning(date) > LastGregorianDayNumber) {
        return "falls after 31 December 65535, the last date";
    }
    return {};
}

void AppendIsoDate(std::string& text, const GregorianDate& date) {
    char digits[16];
    char* end = digits;
    for (std::uint16_t pad = 1000; pad > 1 && date.year < pad; pad /= 10) {
        *end++ = '0';
    }
    end = std::to_chars(end, digits + sizeof digits, date.year).ptr;
    *end++ = '-';
    *end++ = static_cast<char>('0' + date.month / 10 % 10);
    *end++ = static_cast<char>('0' + date.month % 10);
    *end++ = '-';
    *end++ = static_cast<char>('0' + date.day / 10 % 10);
    *end++ = static_cast<char>('0' + date.day % 10);
    text.append(digits, end);
}

int RunReckon(const std::vector<std::string>& args, const GregorianDate& today, std::istream& input,
              std::ostream& out, std::ostream& err) {
    ReckonRequest request = ParseReckonArgs(args);
    int status = 0;
    std::string text;
    switch (request.kind) {
    case ReckonRequest::Kind::Help:
        text = Usage;
        break;
    case ReckonRequest::Kind::Error:
        err << request.error << '\n';
        return 2;
    case ReckonRequest::Kind::Today:
        AppendLine(text, today);
        break;
    case ReckonRequest::Kind::Dates:
        for (const GregorianDate& date : request.dates) {
            AppendLine(text, date);
        }
        for (const ReckonedDate& date : request.reckonedDates) {
            AppendLine(text, date);
        }
        break;
    case ReckonRequest::Kind::Batch:
        status = request.toGregorian ? RunBatch(&ReadReckonedLine, input, out, err)
                                     : RunBatch(&ReadGregorianLine, input, out, err);
        break;
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out) {
        // A full disk or a closed pipe must not pass for success.
        err << "reckon: cannot write standard output\n";
        return 1;
    }
    return status;
}

int RunReckon(const std::vector<std::string>& args, const GregorianDate& today, std::ostream& out,
              std::ostream& err) {
    std::istringstream none;
    return RunReckon(args, today, none, out, err);
}
