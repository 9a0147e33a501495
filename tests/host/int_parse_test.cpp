#include "base/IntParse.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "tests/common/error_of.h"

using zelvane::StrToInt;
using zelvane::StrToInt64;
using zelvane::TryStrToInt;
using zelvane::TryStrToInt64;

TEST(IntParse, DecimalWithLeadingSpacesAndSign) {
    EXPECT_EQ(42, StrToInt("42"));
    EXPECT_EQ(42, StrToInt("   42"));
    EXPECT_EQ(-7, StrToInt(" -7"));
    EXPECT_EQ(7, StrToInt("+7"));
    EXPECT_EQ(0, StrToInt("-0"));
    EXPECT_EQ(300, StrToInt("000300"));
}

TEST(IntParse, HexadecimalForms) {
    EXPECT_EQ(0x1F, StrToInt("$1F"));
    EXPECT_EQ(0x1F, StrToInt("0x1f"));
    EXPECT_EQ(0x1F, StrToInt("  0X1F"));
    EXPECT_EQ(-16, StrToInt("-$10"));
    EXPECT_EQ(0xA8A8A8, StrToInt("$00A8A8A8"));
    // Hex digits are a bit pattern: the top bit makes the value negative.
    EXPECT_EQ(-1, StrToInt("$FFFFFFFF"));
    EXPECT_EQ(std::numeric_limits<int32_t>::min(), StrToInt("0x80000000"));
    EXPECT_EQ(std::numeric_limits<int32_t>::min(), StrToInt("-$80000000"));
    EXPECT_EQ(-1, StrToInt64("$FFFFFFFFFFFFFFFF"));
    EXPECT_EQ(0xFFFFFFFFLL, StrToInt64("$FFFFFFFF"));
}

TEST(IntParse, RangeEdges) {
    EXPECT_EQ(std::numeric_limits<int32_t>::max(), StrToInt("2147483647"));
    EXPECT_EQ(std::numeric_limits<int32_t>::min(), StrToInt("-2147483648"));
    EXPECT_FALSE(TryStrToInt("2147483648"));
    EXPECT_FALSE(TryStrToInt("-2147483649"));
    EXPECT_FALSE(TryStrToInt("$100000000"));
    EXPECT_FALSE(TryStrToInt("99999999999999999999"));

    EXPECT_EQ(std::numeric_limits<int64_t>::max(), StrToInt64("9223372036854775807"));
    EXPECT_EQ(std::numeric_limits<int64_t>::min(), StrToInt64("-9223372036854775808"));
    EXPECT_FALSE(TryStrToInt64("9223372036854775808"));
    EXPECT_FALSE(TryStrToInt64("-9223372036854775809"));
    EXPECT_FALSE(TryStrToInt64("$10000000000000000"));
    EXPECT_EQ(2147483648LL, StrToInt64("2147483648"));
}

TEST(IntParse, RejectsEverythingElse) {
    for (const char* bad : {"", " ", "-", "+", "$", "0x", "-$", "abc", "12 ", "1.5", "1,5", "1e3",
                            "\t5", "5\n", "- 5", "+-5", "$-5", "0x 5", "$G", "0x0x5", "x10", "5abc"}) {
        EXPECT_FALSE(TryStrToInt(bad)) << '"' << bad << '"';
        EXPECT_FALSE(TryStrToInt64(bad)) << '"' << bad << '"';
    }
    EXPECT_FALSE(TryStrToInt(std::string("5\0", 2)));
}

TEST(IntParse, ErrorCarriesTheWholeText) {
    EXPECT_EQ("' 1.5' is not a valid integer value", zelvane::test::ErrorOf([] { StrToInt(" 1.5"); }));
    EXPECT_EQ("'' is not a valid integer value", zelvane::test::ErrorOf([] { StrToInt64(""); }));
}
