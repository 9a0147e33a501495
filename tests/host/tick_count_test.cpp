#include <gtest/gtest.h>

#include <cstdint>

#include "base/TickCount.h"

using zelvane::ContinueTickCount;

// The 64-bit count carried on from 32-bit readings, as the program's
// GetTickCount64 does on Windows XP.
TEST(TickCount, CarriesThe32BitCountOnAcrossItsWrapAndNeverCountsAnOlderReadingAsAWrap) {
    // The first reading starts the count, however long the system has run.
    EXPECT_EQ(0xFFFFFF00u, ContinueTickCount(0, 0xFFFFFF00u));
    // Across the wrap of the 32-bit counter the count goes on.
    std::uint64_t count = ContinueTickCount(0xFFFFFF00u, 0xFFFFFFF0u);
    EXPECT_EQ(0xFFFFFFF0u, count);
    count = ContinueTickCount(count, 0x10u);
    EXPECT_EQ(0x100000010u, count);
    // A long way into the second round, and across the next wrap.
    count = ContinueTickCount(count, 0x7FFFFFFFu);
    EXPECT_EQ(0x17FFFFFFFu, count);
    count = ContinueTickCount(count, 0xF0000000u);
    count = ContinueTickCount(count, 5);
    EXPECT_EQ(0x200000005u, count);
    // A reading taken a little before the last count (by another thread) is
    // a little lower, not one round higher, also just after a wrap.
    EXPECT_EQ(0x200000005u - 10, ContinueTickCount(count, 0xFFFFFFFBu));
    EXPECT_EQ(0x200000005u, ContinueTickCount(count, 5));
}
