// The performance-data walk and the block writer, byte for byte.
#include <gtest/gtest.h>

#include "cpu/PerfBlockBuilder.h"
#include "cpu/PerfData.h"
#include "tests/host/cpu_test_blocks.h"

namespace zelvane::perf {
namespace {

TEST(PerfSystemTime, TicksSince1601AsTheSystemCountsThem) {
    EXPECT_EQ(0, SystemTimeToTicks({1601, 1, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(116444736000000000, SystemTimeToTicks({1970, 1, 4, 1, 0, 0, 0, 0}));
    // 2000-02-29 12:34:56.789, a leap day of a year divisible by 400.
    EXPECT_EQ(125963012967890000, SystemTimeToTicks({2000, 2, 0, 29, 12, 34, 56, 789}));
    EXPECT_EQ(9223149887999990000, SystemTimeToTicks({30827, 12, 0, 31, 23, 59, 59, 999}));
    const SystemTimeFields rejected[] = {
        {1600, 12, 0, 31, 0, 0, 0, 0}, {30828, 1, 0, 1, 0, 0, 0, 0}, {2001, 2, 0, 29, 0, 0, 0, 0},
        {1900, 2, 0, 29, 0, 0, 0, 0},  {2024, 0, 0, 1, 0, 0, 0, 0},   {2024, 13, 0, 1, 0, 0, 0, 0},
        {2024, 4, 0, 31, 0, 0, 0, 0},  {2024, 4, 0, 0, 0, 0, 0, 0},   {2024, 4, 0, 1, 24, 0, 0, 0},
        {2024, 4, 0, 1, 0, 60, 0, 0},  {2024, 4, 0, 1, 0, 0, 60, 0},  {2024, 4, 0, 1, 0, 0, 0, 1000},
    };
    for (const auto& t : rejected) EXPECT_FALSE(SystemTimeToTicks(t)) << t.year << "-" << t.month << "-" << t.day;
}

TEST(PerfBlock, WrittenBlockReadsBackThroughTheWalk) {
    perftest::BlockLayout layout;
    const auto block = cputest::Block(cputest::At(7, 125), {11, 22, 33, 44}, &layout, 3, 2);
    EXPECT_EQ(block.size(), layout.size);
    EXPECT_EQ(block.size(), LoadU32(block.data() + kDataTotalByteLength));
    EXPECT_EQ(u'P', LoadU16(block.data()));

    const auto object = FindObject(block, kProcessorObjectIndex);
    ASSERT_TRUE(object);
    EXPECT_EQ(layout.object, object->offset);
    EXPECT_EQ(4u, object->instances);
    const auto counter = FindCounterOffset(block, *object, kIdleTimeCounterIndex);
    ASSERT_TRUE(counter);
    EXPECT_EQ(24u, *counter);  // the third value of each counter block
    std::vector<std::int64_t> values(6, -1);
    EXPECT_EQ(4u, ReadInstanceValues(block, *object, *counter, values));
    EXPECT_EQ((std::vector<std::int64_t>{11, 22, 33, 44, -1, -1}), values);

    // "_Total" comes last, as UTF-16 with its terminating zero.
    const std::uint8_t* total = block.data() + layout.instances.back();
    EXPECT_EQ(14u, LoadU32(total + kInstanceNameLength));
    const std::uint8_t* name = total + LoadU32(total + kInstanceNameOffset);
    std::u16string text;
    for (int i = 0; i < 7; ++i) text += static_cast<char16_t>(LoadU16(name + 2 * i));
    EXPECT_EQ(std::u16string(u"_Total\0", 7), text);

    EXPECT_EQ(7, ReadSystemTime(block)->second);
    EXPECT_EQ(125, ReadSystemTime(block)->milliseconds);
    EXPECT_FALSE(FindObject(block, 240));
    EXPECT_FALSE(FindCounterOffset(block, *object, 7));
}

TEST(PerfBlock, WriterReportsTheSizeWhenTheRoomIsShort) {
    const std::int64_t idle[2] = {1, 2};
    const ProcessorBlockContent content{cputest::At(1), idle, 3};
    std::vector<std::uint8_t> room(WriteProcessorBlock(content, {}) - 1, 0xAB);
    EXPECT_EQ(room.size() + 1, WriteProcessorBlock(content, room));
    for (auto b : room) ASSERT_EQ(0xAB, b);
}

// Each prefix in a heap block of exactly its size: the sanitizer sees any read
// past the end.
TEST(PerfBlock, WalkOverEveryPrefixStaysInside) {
    const auto block = cputest::Block(cputest::At(1), {1, 2, 3}, nullptr, 2, 1);
    for (std::size_t size = 0; size < block.size(); ++size) {
        const std::vector<std::uint8_t> prefix(block.begin(), block.begin() + static_cast<long>(size));
        const auto object = FindObject(prefix, kProcessorObjectIndex);
        if (!object) continue;
        const auto counter = FindCounterOffset(prefix, *object, kIdleTimeCounterIndex);
        if (!counter) continue;
        std::vector<std::int64_t> values(3);
        EXPECT_FALSE(ReadInstanceValues(prefix, *object, *counter, values)) << size;
    }
}

}  // namespace
}  // namespace zelvane::perf
