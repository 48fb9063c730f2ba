#include "window/IntegerText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

struct Case {
    std::string_view text;
    std::optional<std::int32_t> value;
};

void ExpectReads(std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(ReadIntegerText(c.text), c.value) << '"' << c.text << '"';
    }
}

void ExpectNoNumber(std::initializer_list<std::string_view> texts) {
    for (const std::string_view text : texts) {
        EXPECT_EQ(ReadIntegerText(text), std::nullopt) << '"' << text << '"';
    }
}

TEST(IntegerText, DecimalWithSignAndLeadingSpacesOrZeros) {
    ExpectReads({{"12", 12},
                 {"+12", 12},
                 {"  12", 12},
                 {"007", 7},
                 {"-12", -12},
                 {"0", 0},
                 {"-0", 0},
                 {"+0", 0},
                 {" -007", -7}});
}

TEST(IntegerText, DecimalRangeIsCheckedWithoutWrapping) {
    ExpectReads({{"2147483647", kMax},
                 {"-2147483648", kMin},
                 {"+2147483647", kMax},
                 {"0000000000002147483647", kMax},
                 {"-0000000000002147483648", kMin}});
    // The last two wrap to 12 in 32 and in 64 bits.
    ExpectNoNumber(
        {"2147483648", "-2147483649", "99999999999999999999999999", "4294967308", "18446744073709551628"});
}

TEST(IntegerText, TextThatIsNotOneWholeNumberDoesNotConvert) {
    using namespace std::string_view_literals;
    ExpectNoNumber({"", "   ", "12 ", "1 2", "1.5", "1,5", "-", "+", "--1", "+-1", "- 5", "\t12", "\n12",
                    "12a", "1e3", "12\0"sv});
}

TEST(IntegerText, HexadecimalPrefixes) {
    ExpectReads({{"$1F", 31},
                 {"0x1f", 31},
                 {"x1F", 31},
                 {"X1f", 31},
                 {"0X1F", 31},
                 {"  $10", 16},
                 {"  0x10", 16},
                 {"$abcdef", 0xABCDEF},
                 {"$0", 0},
                 {"0x0", 0}});
}

TEST(IntegerText, HexadecimalIsA32BitPatternOfAtMostEightSignificantDigits) {
    ExpectReads({{"$FFFFFFFF", -1},
                 {"$0FFFFFFFF", -1},
                 {"0x00000000FFFFFFFF", -1},
                 {"$80000000", kMin},
                 {"$7FFFFFFF", kMax},
                 {"$00000000000000000001", 1}});
    ExpectNoNumber({"$100000000", "$FFFFFFFFF", "0x123456789"});
}

TEST(IntegerText, MalformedHexadecimalDoesNotConvert) {
    ExpectNoNumber({"-$10", "+$10", "-0x10", "$", "0x", "x", "00x1", "0x0x1", "$$1", "$-1", "$+1", "$ 1",
                    "$1G", "$1F ", "0h1F", "1Fh"});
}

TEST(IntegerText, DecimalFormHasNoPlusNoLeadingZerosNoSpaces) {
    EXPECT_EQ(IntegerToText(0), "0");
    EXPECT_EQ(IntegerToText(7), "7");
    EXPECT_EQ(IntegerToText(2100), "2100");
    EXPECT_EQ(IntegerToText(-12), "-12");
    EXPECT_EQ(IntegerToText(kMax), "2147483647");
    EXPECT_EQ(IntegerToText(kMin), "-2147483648");
}

TEST(IntegerText, DecimalFormReadsBackAsTheSameNumber) {
    // A stride through the whole range, ending exactly at its top.
    constexpr std::int64_t kStride = 65521;
    for (std::int64_t v = kMax; v >= kMin; v -= kStride) {
        const auto value = static_cast<std::int32_t>(v);
        ASSERT_EQ(ReadIntegerText(IntegerToText(value)), value) << v;
    }
    EXPECT_EQ(ReadIntegerText(IntegerToText(kMin)), kMin);
}

} // namespace
