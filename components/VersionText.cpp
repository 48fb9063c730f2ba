#include "components/VersionText.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <system_error>

namespace {

// Room of the number text of a version text.
constexpr std::size_t kNumberTextLength = 6;

bool IsDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

// Moves position past a run of digits and returns how many there were.
std::size_t SkipDigits(std::string_view text, std::size_t& position) {
    const std::size_t start = position;
    while (position < text.size() && IsDecimalDigit(text[position])) {
        ++position;
    }
    return position - start;
}

// Exponent digits, saturated far beyond any double's range so that a long run cannot overflow.
std::int64_t ReadExponent(std::string_view digits) {
    constexpr std::int64_t kSaturation = 1'000'000'000;
    std::int64_t value = 0;
    for (const char c : digits) {
        value = std::min(kSaturation, value * 10 + (c - '0'));
    }
    return value;
}

} // namespace

std::optional<double> ReadPlainDecimal(std::string_view text) {
    std::size_t position = 0;
    while (position < text.size() && text[position] == ' ') {
        ++position;
    }
    bool negative = false;
    if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
        negative = text[position] == '-';
        ++position;
    }
    // from_chars takes neither spaces nor "+", so it sees the text from the first digit on.
    const std::size_t numberStart = position;
    const std::size_t integerDigits = SkipDigits(text, position);
    if (integerDigits == 0) {
        return std::nullopt;
    }
    std::size_t fractionStart = position;
    if (position < text.size() && text[position] == '.') {
        ++position;
        fractionStart = position;
        if (SkipDigits(text, position) == 0) {
            return std::nullopt;
        }
    }
    const std::size_t mantissaEnd = position;
    std::int64_t exponent = 0;
    if (position < text.size() && (text[position] == 'e' || text[position] == 'E')) {
        ++position;
        bool negativeExponent = false;
        if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
            negativeExponent = text[position] == '-';
            ++position;
        }
        const std::size_t exponentStart = position;
        if (SkipDigits(text, position) == 0) {
            return std::nullopt;
        }
        exponent = ReadExponent(text.substr(exponentStart, position - exponentStart));
        if (negativeExponent) {
            exponent = -exponent;
        }
    }
    if (position != text.size()) {
        return std::nullopt;
    }

    double value = 0;
    const char* const first = text.data() + numberStart;
    const char* const last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // Too large or too small. With the first nonzero digit d, the number is 0.d... times ten to the
        // power scale; a scale above 0 means at least 1, so too large.
        const std::string_view integer = text.substr(numberStart, integerDigits);
        const std::string_view fraction = text.substr(fractionStart, mantissaEnd - fractionStart);
        std::int64_t scale = exponent;
        if (const auto nonzero = integer.find_first_not_of('0'); nonzero != std::string_view::npos) {
            scale += static_cast<std::int64_t>(integer.size() - nonzero);
        } else {
            scale -= static_cast<std::int64_t>(std::min(fraction.find_first_not_of('0'), fraction.size()));
        }
        if (scale > 0) {
            return std::nullopt;
        }
        value = 0;
    } else if (error != std::errc() || end != last) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::optional<double> VersionTextToNumber(std::string_view text) {
    const std::size_t firstDot = text.find('.');
    if (firstDot == std::string_view::npos) {
        return 0.0;
    }
    const std::size_t secondDot = text.find('.', firstDot + 1);
    if (secondDot == std::string_view::npos) {
        return 0.0;
    }
    if (firstDot > kNumberTextLength) {
        return std::nullopt;
    }
    return ReadPlainDecimal(text.substr(0, std::min(secondDot, kNumberTextLength)));
}

double VersionNumberOf(std::string_view text) {
    if (const auto plain = ReadPlainDecimal(text)) {
        return *plain;
    }
    return VersionTextToNumber(text).value_or(0.0);
}
