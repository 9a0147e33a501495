#include "cpu/CpuUsageSampler.h"

#include <span>

#include "base/Error.h"
#include "cpu/PerfData.h"

namespace zelvane {
namespace {

// Fills PerfBuffer with the processor data, growing it while the system asks
// for more room. A query that fails otherwise leaves the last block to parse.
void QueryPerfData(SamplerState& state, SamplerSystem& system) {
    for (;;) {
        auto size = static_cast<std::uint32_t>(state.PerfBufferSize);
        const std::int32_t code = system.QueryProcessorData(state.PerfBuffer.data(), size);
        if (code == kErrorSuccess) {
            state.PerfDataSize = size < state.PerfBuffer.size() ? size
                                                                : static_cast<std::uint32_t>(state.PerfBuffer.size());
            return;
        }
        if (code != kErrorMoreData) return;
        state.PerfBufferSize += kPerfBufferGrowth;
        state.PerfBuffer.resize(static_cast<std::size_t>(state.PerfBufferSize));
    }
}

// Signed 64-bit difference with wrap-around instead of overflow.
std::int64_t Delta(std::int64_t later, std::int64_t earlier) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(later) -
                                     static_cast<std::uint64_t>(earlier));
}

void TakeNtSample(SamplerState& state, SamplerSystem& system) {
    QueryPerfData(state, system);
    const perf::Bytes block(state.PerfBuffer.data(), state.PerfDataSize);

    const auto object = perf::FindObject(block, perf::kProcessorObjectIndex);
    if (!object) throw Error(kNoProcessorObjectText);
    if (state.CpuCount == -1) {
        state.CpuCount = static_cast<std::int32_t>(object->instances);
        state.CurrentValues.assign(object->instances, 0);
        state.PreviousValues.assign(object->instances, 0);
        state.SampleValues.assign(object->instances, 0);
    }
    const auto counter = perf::FindCounterOffset(block, *object, perf::kIdleTimeCounterIndex);
    if (!counter) throw Error(kNoProcessorCounterText);
    // All values are read before any is stored, so that a block that ends
    // inside its instances leaves the previous sample whole. Instances that a
    // later block no longer lists keep their last two values.
    const auto read = perf::ReadInstanceValues(block, *object, *counter, state.SampleValues);
    if (!read) throw Error(kNoProcessorCounterText);
    for (std::size_t i = 0; i < *read; ++i) {
        state.PreviousValues[i] = state.CurrentValues[i];
        state.CurrentValues[i] = state.SampleValues[i];
    }
    // A time that SystemTimeToFileTime would reject leaves the stamp as it
    // was, so the loads of this sample are 0.0.
    state.PreviousStamp = state.CurrentStamp;
    if (const auto ticks = perf::SystemTimeToTicks(*perf::ReadSystemTime(block))) {
        state.CurrentStamp = *ticks;
    }
}

void TakeDynSample(SamplerState& state, SamplerSystem& system) {
    if (!state.DynStarted) {
        {
            // Reading the value through StartStat starts the collection.
            const auto start = system.OpenDynStatKey(kStartStatKey, kKeyAllAccess);
            if (!start) throw Error(kCannotStartMonitoringText);
            start->ReadValue(kCpuUsageValue, state.DynCpuUsage);
        }
        auto data = system.OpenDynStatKey(kStatDataKey, kKeyRead);
        if (!data) throw Error(kCannotReadPerfDataText);
        state.DynStatDataKey = std::move(data);
        state.DynStarted = true;
    }
    state.DynStatDataKey->ReadValue(kCpuUsageValue, state.DynCpuUsage);
}

}  // namespace

void TakeSample(SamplerState& state, SamplerSystem& system) {
    if (state.IsNtFamily) {
        TakeNtSample(state, system);
    } else {
        TakeDynSample(state, system);
    }
}

std::int32_t ProcessorCount(SamplerState& state, SamplerSystem& system) {
    if (!state.IsNtFamily) return 1;
    if (state.CpuCount == -1) TakeSample(state, system);
    return state.CpuCount;
}

double ProcessorLoad(SamplerState& state, SamplerSystem& system, std::int32_t index) {
    if (!state.IsNtFamily) {
        if (index != 0) throw Error(kCpuIndexOutOfBoundsText);
        if (!state.DynStarted) TakeSample(state, system);
        return state.DynCpuUsage / 100.0;
    }
    if (state.CpuCount == -1) TakeSample(state, system);
    if (index < 0 || index >= state.CpuCount) throw Error(kCpuIndexOutOfBoundsText);
    if (state.CurrentStamp == state.PreviousStamp) return 0.0;
    const auto i = static_cast<std::size_t>(index);
    // Extended precision: both 64-bit deltas convert exactly.
    const long double counterDelta = Delta(state.CurrentValues[i], state.PreviousValues[i]);
    const long double timeDelta = Delta(state.CurrentStamp, state.PreviousStamp);
    return static_cast<double>(1.0L - counterDelta / timeDelta);
}

void StopDynStatistics(SamplerState& state, SamplerSystem& system) {
    if (state.IsNtFamily || !state.DynStarted) return;
    state.DynStarted = false;
    state.DynStatDataKey.reset();
    // Reading the value through StopStat stops the collection.
    if (const auto stop = system.OpenDynStatKey(kStopStatKey, kKeyAllAccess)) {
        std::uint32_t discarded = 0;
        stop->ReadValue(kCpuUsageValue, discarded);
    }
}

void ShutdownSampler(SamplerState& state, SamplerSystem& system) {
    StopDynStatistics(state, system);
    std::vector<std::uint8_t>().swap(state.PerfBuffer);
    state.PerfBufferSize = 0;  // a call after the end asks the system with no room
    state.PerfDataSize = 0;
    std::vector<std::int64_t>().swap(state.CurrentValues);
    std::vector<std::int64_t>().swap(state.PreviousValues);
    std::vector<std::int64_t>().swap(state.SampleValues);
}

}  // namespace zelvane
