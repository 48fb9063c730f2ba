// Reads every input as a version text and compares the plain decimal reading with a state machine for the
// grammar plus the C library's strtod in the "C" locale.
#include "components/VersionText.h"

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace {

enum State { Lead, Signed, Integer, Point, Fraction, ExponentMark, ExponentSign, Exponent, Reject };

State Next(State state, char c) {
    const bool digit = c >= '0' && c <= '9';
    const bool sign = c == '+' || c == '-';
    switch (state) {
    case Lead:
        return c == ' ' ? Lead : sign ? Signed : digit ? Integer : Reject;
    case Signed:
        return digit ? Integer : Reject;
    case Integer:
        return digit ? Integer : c == '.' ? Point : (c == 'e' || c == 'E') ? ExponentMark : Reject;
    case Point:
        return digit ? Fraction : Reject;
    case Fraction:
        return digit ? Fraction : (c == 'e' || c == 'E') ? ExponentMark : Reject;
    case ExponentMark:
        return sign ? ExponentSign : digit ? Exponent : Reject;
    case ExponentSign:
    case Exponent:
        return digit ? Exponent : Reject;
    case Reject:
        break;
    }
    return Reject;
}

std::optional<double> ReferencePlain(const std::string& text) {
    State state = Lead;
    for (const char c : text) {
        state = Next(state, c);
    }
    if (state != Integer && state != Fraction && state != Exponent) {
        return std::nullopt;
    }
    const double value = std::strtod(text.c_str(), nullptr);
    if (std::isinf(value)) {
        return std::nullopt;
    }
    return value;
}

// The number text: "0", or what stands before the second dot, cut to six characters.
std::optional<double> ReferenceVersion(std::string_view text) {
    std::string numberText = "0";
    int dots = 0;
    std::size_t firstDot = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '.') {
            continue;
        }
        if (++dots == 1) {
            firstDot = i;
            continue;
        }
        if (firstDot > 6) {
            return std::nullopt;
        }
        numberText.assign(text.data(), std::min<std::size_t>(i, 6));
        break;
    }
    return ReferencePlain(numberText);
}

bool Same(std::optional<double> a, std::optional<double> b) {
    // Bit for bit, so that -0 and 0 differ.
    return a.has_value() == b.has_value() && (!a || std::memcmp(&*a, &*b, sizeof(double)) == 0);
}

std::string Show(std::optional<double> value) {
    if (!value) {
        return "no number";
    }
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", *value);
    return buffer;
}

[[noreturn]] void Fail(const char* what, std::string_view text, std::optional<double> got,
                       std::optional<double> expected) {
    std::fprintf(stderr, "%s: text of %zu bytes gave %s, expected %s\n", what, text.size(), Show(got).c_str(),
                 Show(expected).c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::setlocale(LC_ALL, "C");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The view points into the fuzzer's own buffer, so any read past its end is caught.
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const auto plain = ReadPlainDecimal(text);
    const auto expectedPlain = ReferencePlain(std::string(text));
    if (!Same(plain, expectedPlain)) {
        Fail("ReadPlainDecimal", text, plain, expectedPlain);
    }
    const auto version = VersionTextToNumber(text);
    const auto expectedVersion = ReferenceVersion(text);
    if (!Same(version, expectedVersion)) {
        Fail("VersionTextToNumber", text, version, expectedVersion);
    }
    const double stored = VersionNumberOf(text);
    const double expectedStored = expectedPlain ? *expectedPlain : expectedVersion.value_or(0.0);
    if (!Same(stored, expectedStored)) {
        Fail("VersionNumberOf", text, stored, expectedStored);
    }
    return 0;
}
