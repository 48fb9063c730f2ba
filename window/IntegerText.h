#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The spin field's number syntax. The whole text must match: any number of leading spaces (character 32
// only), then either an optional "+" or "-" and decimal digits within the 32-bit signed range, or one of
// the prefixes "$", "x", "X", "0x", "0X" and hexadecimal digits, at most eight of them after leading
// zeros, whose 32-bit pattern is read as signed ("$FFFFFFFF" is -1). nullopt: the text does not convert.
std::optional<std::int32_t> ReadIntegerText(std::string_view text);

// Decimal form: digits, "-" when negative, no "+", no leading zeros, no spaces.
std::string IntegerToText(std::int32_t value);
