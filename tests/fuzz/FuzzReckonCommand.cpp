// Runs the reckon command on arbitrary arguments and standard input and compares with a second,
// independently written reading of the same forms: every line or date it accepts must convert to what the
// reference expects, and every refusal must be one error line after exactly the lines before it.
#include "tools/ReckonCommand.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<std::string> Split(std::string_view text, std::string_view separators, bool keepEmpty) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : text) {
        if (separators.find(c) != std::string_view::npos) {
            if (keepEmpty || !part.empty()) {
                parts.push_back(part);
            }
            part.clear();
        } else {
            part += c;
        }
    }
    if (keepEmpty || !part.empty()) {
        parts.push_back(part);
    }
    return parts;
}

std::string LowerCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c + ('a' - 'A'));
        }
    }
    return text;
}

// Digits only, at least one, as a value in lo..hi.
std::optional<std::uint32_t> Number(const std::string& text, std::uint32_t lo, std::uint32_t hi) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    const std::size_t nonZero = text.find_first_not_of('0');
    if (nonZero != std::string::npos && text.size() - nonZero > 6) {
        return std::nullopt;
    }
    const std::uint32_t value = static_cast<std::uint32_t>(std::strtoul(text.c_str(), nullptr, 10));
    if (value < lo || value > hi) {
        return std::nullopt;
    }
    return value;
}

std::optional<GregorianDate> Fields(const std::string& d, const std::string& m, const std::string& y) {
    const auto day = Number(d, 1, 31), month = Number(m, 1, 12), year = Number(y, 1, 65535);
    if (!day || !month || !year) {
        return std::nullopt;
    }
    return GregorianDate{static_cast<std::uint16_t>(*day), static_cast<std::uint16_t>(*month),
                         static_cast<std::uint16_t>(*year)};
}

std::optional<GregorianDate> Iso(const std::string& text) {
    const std::vector<std::string> parts = Split(text, "-", true);
    if (parts.size() != 3 || parts[0].size() < 4 || parts[0].size() > 5 || parts[1].size() != 2 ||
        parts[2].size() != 2) {
        return std::nullopt;
    }
    return Fields(parts[2], parts[1], parts[0]);
}

std::optional<GregorianDate> GregorianLine(const std::string& line) {
    const std::vector<std::string> words = Split(line, " \t", false);
    if (words.size() == 1) {
        return Iso(words[0]);
    }
    if (words.size() == 3) {
        return Fields(words[0], words[1], words[2]);
    }
    return std::nullopt;
}

std::optional<ReckonedDate> Reckoned(const std::string& d, const std::string& p, const std::string& l,
                                     const std::string& y) {
    const char* const names[] = {"yestare", "tuile",  "laire", "yaavie", "enderi",
                                 "quelle",  "hriive", "coire", "mettare"};
    std::optional<std::uint32_t> period = Number(p, 1, 9);
    for (std::uint32_t i = 0; i < 9 && !period; ++i) {
        if (LowerCase(p) == names[i]) {
            period = i + 1;
        }
    }
    const auto day = Number(d, 1, 72), loa = Number(l, 1, 144), yen = Number(y, 1, 65535);
    if (!day || !period || !loa || !yen) {
        return std::nullopt;
    }
    const bool longLoa = *loa % 12 == 0 && !(*loa == 144 && *yen % 3 == 0);
    const std::uint32_t lengths[] = {1, 54, 72, 54, longLoa ? 6u : 3u, 54, 72, 54, 1};
    if (*day > lengths[*period - 1]) {
        return std::nullopt;
    }
    const ReckonedDate date{static_cast<std::uint16_t>(*yen), static_cast<std::uint16_t>(*loa),
                            static_cast<std::uint16_t>(*period), static_cast<std::uint16_t>(*day)};
    if (ConvertFromReckoning(date) > LastGregorianDayNumber) {
        return std::nullopt;
    }
    return date;
}

std::optional<ReckonedDate> ReckonedLine(const std::string& line) {
    const std::vector<std::string> w = Split(line, " \t", false);
    if (w.size() == 4) {
        return Reckoned(w[0], w[1], w[2], w[3]);
    }
    if (w.size() != 8 || LowerCase(w[1]) != "day" || LowerCase(w[2]) != "of" || LowerCase(w[4]) != "loa" ||
        LowerCase(w[6]) != "yeen" || w[3].size() < 2 || w[3].back() != ',' || w[5].size() < 2 ||
        w[5].back() != ',') {
        return std::nullopt;
    }
    return Reckoned(w[0], w[3].substr(0, w[3].size() - 1), w[5].substr(0, w[5].size() - 1), w[7]);
}

std::string Expected(const GregorianDate& date) {
    return FormatHint(ConvertToReckoning(GregorianDayNumber(date.day, date.month, date.year))) + "\n";
}

std::string Expected(const ReckonedDate& date) {
    const GregorianDate g = GregorianDateOfDayNumber(ConvertFromReckoning(date));
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u\n", static_cast<unsigned>(g.year),
                  static_cast<unsigned>(g.month), static_cast<unsigned>(g.day));
    return text;
}

struct Reference {
    std::string out;
    bool good = true;
    std::string errorStart; // how the error line must begin
};

Reference ReferenceBatch(std::string_view input, bool toGregorian) {
    Reference ref;
    if (input.empty()) {
        return ref;
    }
    std::vector<std::string> lines = Split(input, "\n", true);
    if (!input.empty() && input.back() == '\n') {
        lines.pop_back();
    }
    for (std::size_t i = 0; i < lines.size() && ref.good; ++i) {
        std::string line = lines[i];
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::string where = "reckon: line " + std::to_string(i + 1);
        if (line.size() > 256) {
            ref = {ref.out, false, where + ": longer than"};
        } else if (toGregorian) {
            if (const auto date = ReckonedLine(line)) {
                ref.out += Expected(*date);
            } else {
                ref = {ref.out, false, where + " (\""};
            }
        } else if (const auto date = GregorianLine(line)) {
            ref.out += Expected(*date);
        } else {
            ref = {ref.out, false, where + " (\""};
        }
    }
    return ref;
}

Reference ReferenceArgs(const std::vector<std::string>& args, bool toGregorian) {
    Reference ref;
    const std::size_t group = toGregorian ? 4 : 3;
    std::size_t i = toGregorian ? 1 : 0;
    bool any = false;
    while (i < args.size()) {
        const std::string& arg = args[i];
        const bool blanks = arg.find_first_of(" \t") != std::string::npos;
        if (!toGregorian && arg.find('-') != std::string::npos) {
            const auto date = blanks ? std::nullopt : Iso(arg);
            if (!date) {
                return {"", false, "reckon: argument " + std::to_string(i + 1) + " ("};
            }
            ref.out += Expected(*date);
            ++i;
        } else if (toGregorian && blanks) {
            const auto date = ReckonedLine(arg);
            if (!date) {
                return {"", false, "reckon: argument " + std::to_string(i + 1) + " ("};
            }
            ref.out += Expected(*date);
            ++i;
        } else {
            // Fields must be bare words; the date is then read as one line of them.
            std::string line;
            for (std::size_t k = 0; k < group; ++k) {
                if (i + k >= args.size() || args[i + k].empty() ||
                    args[i + k].find_first_of(" \t") != std::string::npos) {
                    return {"", false, "reckon: argument "};
                }
                line += args[i + k] + " ";
            }
            if (toGregorian) {
                const auto date = ReckonedLine(line);
                if (!date) {
                    return {"", false, "reckon: argument "};
                }
                ref.out += Expected(*date);
            } else {
                const auto date = GregorianLine(line);
                if (!date) {
                    return {"", false, "reckon: argument "};
                }
                ref.out += Expected(*date);
            }
            i += group;
        }
        any = true;
    }
    if (toGregorian && !any) {
        return {"", false, "reckon: argument 1 (\"--to-gregorian\")"};
    }
    return ref;
}

[[noreturn]] void Fail(const char* what, const std::string& got, const std::string& expected) {
    std::fprintf(stderr, "%s\n--- got:\n%s\n--- expected:\n%s\n", what, got.c_str(), expected.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte picks the form: a batch or arguments, either direction.
    const bool toGregorian = (data[0] & 1) != 0;
    const bool batch = (data[0] & 2) != 0;
    const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);

    std::vector<std::string> args;
    if (toGregorian) {
        args.push_back("--to-gregorian");
    }
    Reference ref;
    if (batch) {
        args.push_back("-");
        ref = ReferenceBatch(rest, toGregorian);
    } else {
        for (const std::string& arg : Split(rest, std::string_view("\0", 1), true)) {
            args.push_back(arg);
        }
        // "-" alone, "--help" alone and no argument at all are other forms, covered elsewhere.
        if (args.size() == (toGregorian ? 2u : 1u) && (args.back() == "-" || args.back() == "--help")) {
            return 0;
        }
        if (args.empty()) {
            return 0;
        }
        // A forward form whose first word is the option is the other direction, which its own
        // first byte covers.
        if (!toGregorian && args.front() == "--to-gregorian") {
            return 0;
        }
        ref = ReferenceArgs(args, toGregorian);
    }

    std::istringstream in{std::string(rest)};
    std::ostringstream out, err;
    const int status = RunReckon(args, GregorianDate{8, 12, 2026}, in, out, err);
    if (ref.good) {
        if (status != 0 || !err.str().empty()) {
            Fail("refused what the reference reads", err.str(), ref.out);
        }
    } else {
        if (status != 2) {
            Fail("accepted what the reference refuses", out.str(), ref.errorStart);
        }
        if (err.str().rfind(ref.errorStart, 0) != 0 || err.str().find('\n') != err.str().size() - 1) {
            Fail("not the one error line expected", err.str(), ref.errorStart);
        }
    }
    if (out.str() != ref.out) {
        Fail("output differs", out.str(), ref.out);
    }
    return 0;
}
