#include "window/IntegerText.h"

#include <charconv>

namespace {

bool IsDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

// [0, 15], or -1 for a character that is no hexadecimal digit.
int HexDigitValue(char c) {
    if (IsDecimalDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Digits after the prefix; leading zeros are free, so "$0FFFFFFFF" still fits.
std::optional<std::int32_t> ReadHexDigits(std::string_view digits) {
    if (digits.empty()) {
        return std::nullopt;
    }
    std::uint32_t pattern = 0;
    int significant = 0;
    for (const char c : digits) {
        const int digit = HexDigitValue(c);
        if (digit < 0) {
            return std::nullopt;
        }
        if (significant == 0 && digit == 0) {
            continue;
        }
        if (++significant > 8) {
            return std::nullopt;
        }
        pattern = (pattern << 4) | static_cast<std::uint32_t>(digit);
    }
    // Modular conversion: patterns from 80000000 up read as negative.
    return static_cast<std::int32_t>(pattern);
}

std::optional<std::int32_t> ReadDecimal(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    // The magnitude never exceeds 2^31, so it cannot wrap however many digits follow.
    const std::uint32_t limit = negative ? 2147483648u : 2147483647u;
    std::uint32_t magnitude = 0;
    for (const char c : text) {
        if (!IsDecimalDigit(c)) {
            return std::nullopt;
        }
        const auto digit = static_cast<std::uint32_t>(c - '0');
        if (magnitude > (limit - digit) / 10) {
            return std::nullopt;
        }
        magnitude = magnitude * 10 + digit;
    }
    return static_cast<std::int32_t>(negative ? 0u - magnitude : magnitude);
}

} // namespace

std::optional<std::int32_t> ReadIntegerText(std::string_view text) {
    const auto start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    text.remove_prefix(start);
    if (text.front() == '$' || text.front() == 'x' || text.front() == 'X') {
        return ReadHexDigits(text.substr(1));
    }
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        return ReadHexDigits(text.substr(2));
    }
    return ReadDecimal(text);
}

std::string IntegerToText(std::int32_t value) {
    char buffer[12]; // "-2147483648" is the longest
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}
