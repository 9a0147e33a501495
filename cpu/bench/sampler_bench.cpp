// One tick's worth of CpuUsageSampler over a realistic "Processor" object:
// eight processors and "_Total", fifteen counters each, the idle time last.
// Build it without sanitizers for figures that mean something, e.g.
//   cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release
//   cmake --build build/bench --target cpu_sampler_bench && build/bench/cpu_sampler_bench
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "cpu/CpuUsageSampler.h"
#include "cpu/LoadIndicator.h"
#include "cpu/PerfBlockBuilder.h"
#include "tests/host/perf_test_blocks.h"

namespace {

using namespace zelvane;

// Answers with two blocks in turn, one second apart.
class TwoBlocks final : public SamplerSystem {
public:
    TwoBlocks() {
        for (int k = 0; k < 2; ++k) {
            std::vector<std::int64_t> idle(8);
            for (std::size_t i = 0; i < idle.size(); ++i) idle[i] = 1'000'000'000 + k * 4'000'000 + 100 * i;
            const perf::ProcessorBlockContent content{{2024, 5, 3, 1, 12, 0, static_cast<std::uint16_t>(k), 0}, idle,
                                                      1'000'000'000 + k * 4'000'000};
            blocks_[k] = perftest::BuildBlock(content, {15, 0});
        }
    }
    std::int32_t QueryProcessorData(std::uint8_t* data, std::uint32_t& size) override {
        const auto& block = blocks_[next_];
        next_ ^= 1;
        if (block.size() > size) {
            size = static_cast<std::uint32_t>(block.size());
            return kErrorMoreData;
        }
        std::memcpy(data, block.data(), block.size());
        size = static_cast<std::uint32_t>(block.size());
        return kErrorSuccess;
    }
    std::unique_ptr<DynStatKey> OpenDynStatKey(std::string_view, std::uint32_t) override { return nullptr; }

private:
    std::vector<std::uint8_t> blocks_[2];
    int next_ = 0;
};

void BM_TakeSampleAndLoads(benchmark::State& bench) {
    TwoBlocks system;
    SamplerState state(true);
    for (auto _ : bench) {
        TakeSample(state, system);
        double sum = 0;
        for (std::int32_t i = 0; i < state.CpuCount; ++i) sum += ProcessorLoad(state, system, i);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_TakeSampleAndLoads);

void BM_DescribeLoad(benchmark::State& bench) {
    double load = 0.0;
    for (auto _ : bench) {
        benchmark::DoNotOptimize(DescribeLoad(load));
        load = load >= 1.0 ? 0.0 : load + 0.013;
    }
}
BENCHMARK(BM_DescribeLoad);

}  // namespace

BENCHMARK_MAIN();
