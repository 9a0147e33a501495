// The properties window's number formats, with the separators passed in.
#include <gtest/gtest.h>

#include "base/NumberFormat.h"

namespace zelvane {
namespace {

TEST(NumberFormat, GeneralFormatWritesWholeNumbersWithoutDecimalsOrSeparators) {
    EXPECT_EQ(FormatGeneral(1236992.0 / 1024, "."), "1208");  // a working set in kilobytes
    EXPECT_EQ(FormatGeneral(12345, ","), "12345");              // a pool figure, undivided
    EXPECT_EQ(FormatGeneral(4294967295.0, "."), "4294967295");  // the largest 32-bit counter
    EXPECT_EQ(FormatGeneral(0, ","), "0");
    EXPECT_EQ(FormatGeneral(1000, ","), "1000");
}

TEST(NumberFormat, GeneralFormatUsesTheDecimalSeparatorAndTheShortestText) {
    EXPECT_EQ(FormatGeneral(1237000.0 / 1024, ","), "1208,0078125");
    EXPECT_EQ(FormatGeneral(0.5, ","), "0,5");
    EXPECT_EQ(FormatGeneral(-2.25, "."), "-2.25");
    EXPECT_EQ(FormatGeneral(0.001, "."), "0.001");
    EXPECT_EQ(FormatGeneral(1.0 / 3, "."), "0.333333333333333");  // 15 significant digits
    EXPECT_EQ(FormatGeneral(2.0 / 3, "."), "0.666666666666667");  // rounded
    EXPECT_EQ(FormatGeneral(123456789012345.6, "."), "123456789012346");
}

TEST(NumberFormat, GeneralFormatTurnsScientificOutsideFifteenDigits) {
    EXPECT_EQ(FormatGeneral(1e20, "."), "1E20");
    EXPECT_EQ(FormatGeneral(1.5e15, ","), "1,5E15");
    EXPECT_EQ(FormatGeneral(0.00001, "."), "0.00001");
    EXPECT_EQ(FormatGeneral(1.5e-6, ","), "1,5E-6");
}

TEST(NumberFormat, ThreeDecimalsWithThousandsSeparators) {
    const double kb = 1234567.0 / 1024;  // 1205.6318359375
    EXPECT_EQ(FormatNumber3(kb, ",", "."), "1,205.632");
    EXPECT_EQ(FormatNumber3(kb, "\xC2\xA0", ","), "1\xC2\xA0" "205,632");  // no-break space
    EXPECT_EQ(FormatNumber3(kb, " ", ","), "1 205,632");
    EXPECT_EQ(FormatNumber3(0, ",", "."), "0.000");
    EXPECT_EQ(FormatNumber3(999.9996, ",", "."), "1,000.000");
    EXPECT_EQ(FormatNumber3(123456, ",", "."), "123,456.000");
    EXPECT_EQ(FormatNumber3(1234567.5, ",", "."), "1,234,567.500");
    EXPECT_EQ(FormatNumber3(-1234.5, ",", "."), "-1,234.500");
    EXPECT_EQ(FormatNumber3(-0.0001, ",", "."), "0.000");
}

TEST(NumberFormat, ThreeDecimalsShowFilesOfFourGigabytesAndMore) {
    // 5 GiB + 1 byte, from the full 64-bit size.
    EXPECT_EQ(FormatNumber3((5.0 * 1024 * 1024 * 1024 + 1) / 1024, ",", "."), "5,242,880.001");
}

}  // namespace
}  // namespace zelvane
