#include "components/VersionText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace {

struct Case {
    std::string_view text;
    std::optional<double> value;
};

// Exact comparison: every conversion here must give the correctly rounded double.
void ExpectPlain(std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(ReadPlainDecimal(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(PlainDecimal, NumbersInEveryAllowedForm) {
    ExpectPlain({{"5.0", 5.0},
                 {"4.00", 4.0},
                 {"1e1", 10.0},
                 {"4.72", 4.72},
                 {"0.1", 0.1},
                 {"  12", 12.0},
                 {"+2", 2.0},
                 {"-1.5", -1.5},
                 {"  -3.25E+2", -325.0},
                 {"25e-1", 2.5},
                 {"007.50", 7.5},
                 {"1.7976931348623157e308", std::numeric_limits<double>::max()},
                 {"123456789012345678901234567890", 123456789012345678901234567890.0}});
}

TEST(PlainDecimal, OtherFormsAreNotPlainNumbers) {
    using namespace std::string_view_literals;
    for (const std::string_view text :
         {""sv,    "  "sv,  "5."sv,   ".5"sv,   "5.0 "sv,  "5.0 beta"sv, "4.72.3110.0"sv,
          "1e"sv,  "1e+"sv, "e5"sv,   "1.e5"sv, "1e5.0"sv, "+-1"sv,      "- 1"sv,
          "\t5"sv, "5,0"sv, "0x10"sv, "inf"sv,  "nan"sv,   "5\0"sv,      "1 000"sv}) {
        EXPECT_EQ(ReadPlainDecimal(text), std::nullopt) << '"' << text << '"';
    }
}

TEST(PlainDecimal, NumbersBeyondTheRangeOfADouble) {
    // Too large is no number; too small is zero of its sign.
    ExpectPlain({{"1e309", std::nullopt},
                 {"-1.8e308", std::nullopt},
                 {"1e99999999999999999999", std::nullopt},
                 {"0.000000000000000000000000000001e340", std::nullopt},
                 {"4.9406564584124654e-324", std::numeric_limits<double>::denorm_min()}});
    for (const std::string_view tiny :
         {"1e-400", "-1e-400", "100000000000000000000e-400", "0.0001e-321", "1e-99999999999999999999"}) {
        const auto value = ReadPlainDecimal(tiny);
        ASSERT_TRUE(value.has_value()) << tiny;
        EXPECT_EQ(*value, 0.0) << tiny;
        EXPECT_EQ(std::signbit(*value), tiny.front() == '-') << tiny;
    }
}

TEST(PlainDecimal, DoesNotFollowTheLocalesDecimalSeparator) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    bool commaLocale = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE", "German_Germany.1252", "German"}) {
        if (std::setlocale(LC_ALL, name) != nullptr && *std::localeconv()->decimal_point == ',') {
            commaLocale = true;
            break;
        }
    }
    const auto dotted = ReadPlainDecimal("4.72");
    const auto commaed = ReadPlainDecimal("4,72");
    const double version = VersionNumberOf("6.00.2900.2180");
    std::setlocale(LC_ALL, saved.c_str());
    if (!commaLocale) {
        GTEST_SKIP() << "no locale with a decimal comma here";
    }
    EXPECT_EQ(dotted, 4.72);
    EXPECT_EQ(commaed, std::nullopt);
    EXPECT_EQ(version, 6.0);
}

TEST(VersionTextToNumber, MajorDotMinorBeforeTheSecondDot) {
    EXPECT_EQ(VersionTextToNumber("4.72.3110.0"), 4.72);
    EXPECT_EQ(VersionTextToNumber("6.00.2900.2180 (xpsp_sp2_gdr.050301-1519)"), 6.0);
    EXPECT_EQ(VersionTextToNumber("5.1.2600"), 5.1);
    EXPECT_EQ(VersionTextToNumber("10.0.19041.1"), 10.0);
    EXPECT_EQ(VersionTextToNumber("1.2."), 1.2);
    EXPECT_EQ(VersionTextToNumber("-1.5.3"), -1.5);
}

TEST(VersionTextToNumber, FewerThanTwoDotsGiveZero) {
    EXPECT_EQ(VersionTextToNumber(""), 0.0);
    EXPECT_EQ(VersionTextToNumber("5"), 0.0);
    EXPECT_EQ(VersionTextToNumber("5.0 beta"), 0.0);
    EXPECT_EQ(VersionTextToNumber("beta"), 0.0);
}

TEST(VersionTextToNumber, PartBeforeTheSecondDotMustBeAPlainNumber) {
    EXPECT_EQ(VersionTextToNumber("..5"), std::nullopt);
    EXPECT_EQ(VersionTextToNumber("5..1"), std::nullopt);
    EXPECT_EQ(VersionTextToNumber(".5.1"), std::nullopt);
    EXPECT_EQ(VersionTextToNumber("a.b.c"), std::nullopt);
    EXPECT_EQ(VersionTextToNumber("v5.1.2"), std::nullopt);
    EXPECT_EQ(VersionTextToNumber("1e1.2.3"), std::nullopt);
}

TEST(VersionTextToNumber, NumberTextKeepsSixCharacters) {
    EXPECT_EQ(VersionTextToNumber("10.123.4"), 10.123);
    EXPECT_EQ(VersionTextToNumber("1.23456789.1"), 1.2345);
    EXPECT_EQ(VersionTextToNumber("10.0000001.1"), 10.0);
    EXPECT_EQ(VersionTextToNumber("123456.7.8"), 123456.0);
    // Cutting into the major part would make it ten times too small.
    EXPECT_EQ(VersionTextToNumber("1234567.8.9"), std::nullopt);
    EXPECT_EQ(VersionTextToNumber("        1.2.3"), std::nullopt);
}

TEST(VersionNumberOf, WhatTheReaderStores) {
    const struct {
        std::string_view text;
        double number;
    } cases[] = {{"", 0.0},
                 {"5.0", 5.0},
                 {"4.00", 4.0},
                 {"1e1", 10.0},
                 {"4.72.3110.0", 4.72},
                 {"6.00.2900.2180 (build tag)", 6.0},
                 {"6.0.2900.6242", 6.0},
                 {"5.00.2920.0000", 5.0},
                 {"5.1.2600", 5.1},
                 {"10.0.19041.1", 10.0},
                 {"1.2.", 1.2},
                 {"5.0 beta", 0.0},
                 {"..5", 0.0},
                 {"1e999", 0.0},
                 {"1234567.8.9", 0.0}};
    for (const auto& c : cases) {
        EXPECT_EQ(VersionNumberOf(c.text), c.number) << '"' << c.text << '"';
    }
}

} // namespace
