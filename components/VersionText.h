#pragma once

#include <optional>
#include <string_view>

// A plain decimal number, read the same whatever the user's locale: leading spaces (character 32), an
// optional sign, digits, optionally "." and digits, optionally an exponent (E or e, an optional sign,
// digits), and nothing after. Correctly rounded; a number too small for a double reads as zero of its
// sign. nullopt for any other text and for a number too large for a double.
std::optional<double> ReadPlainDecimal(std::string_view text);

// major.minor of a dotted version text: the characters before the second dot, the first dot serving as
// the decimal point, read as a plain decimal number ("4.72.3110.0" gives 4.72). A text with fewer than two
// dots gives 0. The number text holds six characters: a longer fraction is cut to fit, but a text whose
// part before the first dot is itself longer than six characters does not convert, as cutting it would
// give a number ten or more times too small. nullopt: the number text is no plain decimal number.
std::optional<double> VersionTextToNumber(std::string_view text);

// The number a version reader stores for a version text: the plain decimal number if the whole text is
// one, else VersionTextToNumber, else 0. An empty text gives 0.
double VersionNumberOf(std::string_view text);
