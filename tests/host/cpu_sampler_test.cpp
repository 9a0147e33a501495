// CpuUsageSampler over synthetic performance data and a fake dynamic-
// statistics key.
#include <gtest/gtest.h>

#include "cpu/CpuUsageSampler.h"
#include "tests/host/cpu_test_blocks.h"
#include "tests/common/error_of.h"

namespace zelvane {
namespace {

using cputest::At;
using cputest::Block;
using cputest::FakeSystem;
using test::ErrorOf;

constexpr std::int64_t kSecond = 10'000'000;  // 100-ns ticks

struct NtSampler {
    FakeSystem system;
    SamplerState state{true};
    void Sample(std::vector<std::uint8_t> block) {
        system.block = std::move(block);
        TakeSample(state, system);
    }
    double Load(int i) { return ProcessorLoad(state, system, i); }
};

TEST(CpuSamplerNt, LoadIsOneMinusIdleShareOfTheInterval) {
    NtSampler s;
    s.Sample(Block(At(10), {1 * kSecond, 2 * kSecond, 5 * kSecond, 3 * kSecond}));
    EXPECT_EQ(4, ProcessorCount(s.state, s.system));
    s.Sample(Block(At(11), {1 * kSecond + kSecond / 4, 2 * kSecond + kSecond, 5 * kSecond,
                            3 * kSecond + kSecond * 5 / 8}));
    EXPECT_EQ(0.75, s.Load(0));
    EXPECT_EQ(0.0, s.Load(1));
    EXPECT_EQ(1.0, s.Load(2));
    EXPECT_EQ(0.375, s.Load(3));
    // Not representable in binary: the quotient is formed in extended
    // precision and rounded once to double.
    s.Sample(Block(At(14), {1 * kSecond + kSecond / 4 + kSecond, 0, 0, 0}));
    EXPECT_EQ(static_cast<double>(1.0L - 10'000'000.0L / 30'000'000.0L), s.Load(0));
    EXPECT_EQ(3u, s.system.capacities.size());
}

TEST(CpuSamplerNt, FirstLoadTakesTheFirstSampleAndComparesWithTimeZero) {
    NtSampler s;
    s.system.block = Block(At(0), {kSecond, 0, 0});
    const std::int64_t stamp = *perf::SystemTimeToTicks(At(0));
    EXPECT_EQ(static_cast<double>(1.0L - static_cast<long double>(kSecond) / stamp), s.Load(0));
    EXPECT_EQ(1u, s.system.capacities.size());
    EXPECT_EQ(3, s.state.CpuCount);
    // Asking again takes no further sample and gives the same figure.
    EXPECT_EQ(s.Load(0), s.Load(0));
    EXPECT_EQ(1u, s.system.capacities.size());
}

TEST(CpuSamplerNt, SameMillisecondGivesZeroForEveryInstance) {
    NtSampler s;
    s.Sample(Block(At(5, 250), {0, 0, 0}));
    s.Sample(Block(At(5, 250), {kSecond, 7, 99}));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(0.0, s.Load(i));
}

TEST(CpuSamplerNt, ClockSetBackAndOversizedCountersAreNotClamped) {
    NtSampler s;
    s.Sample(Block(At(20), {0, 0}));
    s.Sample(Block(At(19), {kSecond / 4, 0}));  // one second back
    EXPECT_EQ(1.25, s.Load(0));
    EXPECT_EQ(1.0, s.Load(1));
    s.Sample(Block(At(21), {kSecond / 4 + 3 * kSecond, 0}));  // 3 s idle in 2 s
    EXPECT_EQ(-0.5, s.Load(0));
}

TEST(CpuSamplerNt, IndexOutsideTheInstancesRaises) {
    NtSampler s;
    s.Sample(Block(At(1), {0, 0, 0}));
    EXPECT_EQ(kCpuIndexOutOfBoundsText, ErrorOf([&] { s.Load(3); }));
    EXPECT_EQ(kCpuIndexOutOfBoundsText, ErrorOf([&] { s.Load(-1); }));
    EXPECT_EQ(1u, s.system.capacities.size());
}

TEST(CpuSamplerNt, BufferGrowsBy4096PerRetryAndKeepsItsSize) {
    NtSampler s;
    std::vector<std::int64_t> idle(300, 0);  // about 14 KB of instances
    s.Sample(Block(At(1), idle));
    ASSERT_GT(s.system.block.size(), 12288u);
    ASSERT_LE(s.system.block.size(), 16384u);
    EXPECT_EQ((std::vector<std::uint32_t>{8192, 12288, 16384}), s.system.capacities);
    EXPECT_EQ(16384, s.state.PerfBufferSize);
    EXPECT_EQ(16384u, s.state.PerfBuffer.size());
    s.Sample(Block(At(2), {0, 0}));
    EXPECT_EQ(16384u, s.system.capacities.back());
    EXPECT_EQ(16384, s.state.PerfBufferSize);
}

TEST(CpuSamplerNt, LaterBlockWithMoreInstancesIsReadForTheFirstOnes) {
    NtSampler s;
    s.Sample(Block(At(1), {0, 0, 0}));
    s.Sample(Block(At(2), {kSecond / 2, kSecond / 4, kSecond, 0, 0, 0}));
    EXPECT_EQ(3, ProcessorCount(s.state, s.system));
    EXPECT_EQ(0.5, s.Load(0));
    EXPECT_EQ(0.75, s.Load(1));
    EXPECT_EQ(0.0, s.Load(2));  // the third processor now stands where "_Total" stood
    EXPECT_EQ(kCpuIndexOutOfBoundsText, ErrorOf([&] { s.Load(3); }));
}

TEST(CpuSamplerNt, LaterBlockWithFewerInstancesLeavesTheMissingOnesAlone) {
    NtSampler s;
    s.Sample(Block(At(1), {0, 0, 0, 0}));
    s.Sample(Block(At(2), {kSecond / 2, kSecond / 2, kSecond / 2, kSecond / 2}));
    s.Sample(Block(At(3), {kSecond, kSecond / 2}));  // one processor and "_Total"
    EXPECT_EQ(4, s.state.CpuCount);
    EXPECT_EQ((std::vector<std::int64_t>{kSecond, kSecond / 2, kSecond / 2, kSecond / 2}),
              s.state.CurrentValues);
    EXPECT_EQ((std::vector<std::int64_t>{kSecond / 2, kSecond / 2, 0, 0}), s.state.PreviousValues);
    EXPECT_EQ(0.5, s.Load(0));
    EXPECT_EQ(1.0, s.Load(1));
}

TEST(CpuSamplerNt, ObjectsAndCountersBeforeTheWantedOnesAreSteppedOver) {
    NtSampler s;
    s.Sample(Block(At(1), {0, 0}, nullptr, 6, 3));
    s.Sample(Block(At(2), {kSecond / 10, kSecond / 5}, nullptr, 6, 3));
    EXPECT_EQ(2, s.state.CpuCount);
    EXPECT_DOUBLE_EQ(0.9, s.Load(0));
}

TEST(CpuSamplerNt, MissingObjectOrCounterRaisesAndKeepsTheSample) {
    NtSampler s;
    perftest::BlockLayout layout;
    auto block = Block(At(1), {kSecond, 0}, &layout);
    auto noObject = block;
    perf::StoreU32(noObject.data() + layout.object + perf::kObjectNameTitleIndex, 239);
    EXPECT_EQ(kNoProcessorObjectText, ErrorOf([&] { s.Sample(noObject); }));
    EXPECT_EQ(-1, s.state.CpuCount);

    auto noCounter = block;
    perf::StoreU32(noCounter.data() + layout.idleCounter + perf::kCounterNameTitleIndex, 7);
    EXPECT_EQ(kNoProcessorCounterText, ErrorOf([&] { s.Sample(noCounter); }));
    EXPECT_EQ(2, s.state.CpuCount);  // fixed by the object before the counter failed
    EXPECT_EQ(0, s.state.CurrentStamp);

    s.Sample(block);
    const auto stamp = s.state.CurrentStamp;
    const auto values = s.state.CurrentValues;
    EXPECT_EQ(kNoProcessorCounterText, ErrorOf([&] { s.Sample(noCounter); }));
    EXPECT_EQ(stamp, s.state.CurrentStamp);
    EXPECT_EQ(values, s.state.CurrentValues);
}

TEST(CpuSamplerNt, FailedQueryParsesTheLastBlockAgain) {
    NtSampler s;
    s.system.failCode = 5;
    EXPECT_EQ(kNoProcessorObjectText, ErrorOf([&] { s.Sample(Block(At(1), {0, 0})); }));
    s.system.failCode = kErrorSuccess;
    s.Sample(Block(At(1), {0, 0}));
    s.Sample(Block(At(2), {kSecond / 2, 0}));
    s.system.failCode = 1722;
    s.Sample(Block(At(9), {0, 0}));  // not delivered: the stale block yields equal stamps
    EXPECT_EQ(0.0, s.Load(0));
}

TEST(CpuSamplerNt, TimeTheSystemWouldRejectKeepsTheStamp) {
    NtSampler s;
    s.Sample(Block(At(1), {0, 0}));
    auto bad = At(2);
    bad.month = 13;
    s.Sample(Block(bad, {kSecond / 2, 0}));
    EXPECT_EQ(0.0, s.Load(0));
}

// Every prefix of a good block is reported as that size while the buffer holds
// the whole block: a walk that looked past the size would succeed.
TEST(CpuSamplerNt, TruncatedBlocksRaiseAndStayInsideTheReportedSize) {
    const auto block = Block(At(1), {1, 2, 3}, nullptr, 2, 1);
    for (std::size_t size = 0; size < block.size(); ++size) {
        NtSampler s;
        s.system.reported = static_cast<std::int64_t>(size);
        const std::string error = ErrorOf([&] { s.Sample(block); });
        ASSERT_TRUE(error == kNoProcessorObjectText || error == kNoProcessorCounterText)
            << "size " << size << ": " << error;
    }
}

TEST(CpuSamplerNt, ReportedSizeBeyondTheBufferIsCutToIt) {
    NtSampler s;
    s.system.reported = 1u << 30;
    s.Sample(Block(At(1), {0, 0}));
    EXPECT_EQ(8192u, s.state.PerfDataSize);
}

struct Lie {
    const char* what;
    std::size_t (*where)(const perftest::BlockLayout&);
    std::uint32_t value;
    const char* error;
};

TEST(CpuSamplerNt, LyingLengthsAndCountsRaiseTheMatchingError) {
    const Lie lies[] = {
        {"header length", [](auto&) { return perf::kDataHeaderLength; }, 0xFFFFFFF0, kNoProcessorObjectText},
        {"zero object step", [](auto& l) { return l.object - 120 + perf::kObjectTotalByteLength; }, 0,
         kNoProcessorObjectText},
        {"object length", [](auto& l) { return l.object - 120 + perf::kObjectTotalByteLength; }, 0xFFFFFF00,
         kNoProcessorObjectText},
        {"negative instances", [](auto& l) { return l.object + perf::kObjectNumInstances; }, 0xFFFFFFFF,
         kNoProcessorObjectText},
        {"huge instances", [](auto& l) { return l.object + perf::kObjectNumInstances; }, 0x7FFFFFFF,
         kNoProcessorObjectText},
        {"counter header", [](auto& l) { return l.object + perf::kObjectHeaderLength; }, 0xFFFFFFFC,
         kNoProcessorCounterText},
        {"zero counter step", [](auto& l) { return l.idleCounter - 40 + perf::kCounterByteLength; }, 0,
         kNoProcessorCounterText},
        {"counter length", [](auto& l) { return l.idleCounter - 40 + perf::kCounterByteLength; }, 0xFFFFFF00,
         kNoProcessorCounterText},
        {"counter offset", [](auto& l) { return l.idleCounter + perf::kCounterOffset; }, 0xFFFFFFF8,
         kNoProcessorCounterText},
        {"definition length", [](auto& l) { return l.object + perf::kObjectDefinitionLength; }, 0xFFFFFFFF,
         kNoProcessorCounterText},
        {"instance length", [](auto& l) { return l.instances[1] + perf::kInstanceByteLength; }, 0x80000000,
         kNoProcessorCounterText},
    };
    for (const Lie& lie : lies) {
        perftest::BlockLayout layout;
        auto block = Block(At(1), {1, 2, 3}, &layout, 2, 1);
        perf::StoreU32(block.data() + lie.where(layout), lie.value);
        NtSampler s;
        EXPECT_EQ(lie.error, ErrorOf([&] { s.Sample(block); })) << lie.what;
    }
}

TEST(CpuSamplerNt, ShutdownReleasesTheBuffers) {
    NtSampler s;
    s.Sample(Block(At(1), {0, 0}));
    ShutdownSampler(s.state, s.system);
    EXPECT_TRUE(s.state.PerfBuffer.empty());
    EXPECT_EQ(0u, s.state.PerfBuffer.capacity());
}

struct DynSampler {
    FakeSystem system;
    SamplerState state{false};
    DynSampler() {
        system.dynKeys = {{std::string(kStartStatKey), 5},
                          {std::string(kStatDataKey), 37},
                          {std::string(kStopStatKey), 0}};
    }
};

TEST(CpuSampler9x, FigureIsAPercentageAndTheDataKeyStaysOpen) {
    DynSampler s;
    EXPECT_EQ(1, ProcessorCount(s.state, s.system));
    EXPECT_TRUE(s.system.opened.empty());
    EXPECT_EQ(0.37, ProcessorLoad(s.state, s.system, 0));
    EXPECT_EQ((std::vector<std::string>{"PerfStats\\StartStat/983103", "PerfStats\\StatData/131097"}),
              s.system.opened);
    EXPECT_EQ(1, s.system.liveKeys);
    s.system.failReads = true;  // a failing read keeps the last figure
    TakeSample(s.state, s.system);
    EXPECT_EQ(0.37, ProcessorLoad(s.state, s.system, 0));
    EXPECT_EQ(2u, s.system.opened.size());

    StopDynStatistics(s.state, s.system);
    EXPECT_FALSE(s.state.DynStarted);
    EXPECT_EQ(0, s.system.liveKeys);
    EXPECT_EQ("PerfStats\\StopStat/983103", s.system.opened.back());
    StopDynStatistics(s.state, s.system);  // stopped already: nothing
    EXPECT_EQ(3u, s.system.opened.size());
}

TEST(CpuSampler9x, IndexOtherThanZeroRaisesBeforeAnyStart) {
    DynSampler s;
    EXPECT_EQ(kCpuIndexOutOfBoundsText, ErrorOf([&] { ProcessorLoad(s.state, s.system, 1); }));
    EXPECT_EQ(kCpuIndexOutOfBoundsText, ErrorOf([&] { ProcessorLoad(s.state, s.system, -1); }));
    EXPECT_TRUE(s.system.opened.empty());
}

TEST(CpuSampler9x, FailedStartIsRetriedFromTheBeginning) {
    DynSampler s;
    s.system.dynKeys.erase(std::string(kStartStatKey));
    EXPECT_EQ(kCannotStartMonitoringText, ErrorOf([&] { TakeSample(s.state, s.system); }));
    EXPECT_FALSE(s.state.DynStarted);

    s.system.dynKeys[std::string(kStartStatKey)] = 5;
    s.system.dynKeys.erase(std::string(kStatDataKey));
    EXPECT_EQ(kCannotReadPerfDataText, ErrorOf([&] { ProcessorLoad(s.state, s.system, 0); }));
    EXPECT_FALSE(s.state.DynStarted);
    EXPECT_EQ(0, s.system.liveKeys);

    s.system.dynKeys[std::string(kStatDataKey)] = 99;
    s.system.opened.clear();
    EXPECT_EQ(0.99, ProcessorLoad(s.state, s.system, 0));
    EXPECT_EQ(2u, s.system.opened.size());  // StartStat again, then StatData
    StopDynStatistics(s.state, s.system);
}

TEST(CpuSampler9x, ShutdownWithoutStopStatIsQuiet) {
    DynSampler s;
    TakeSample(s.state, s.system);
    s.system.dynKeys.erase(std::string(kStopStatKey));
    ShutdownSampler(s.state, s.system);
    EXPECT_FALSE(s.state.DynStarted);
    EXPECT_EQ(0, s.system.liveKeys);
}

}  // namespace
}  // namespace zelvane
