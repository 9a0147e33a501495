// CpuUsageSampler: the busy fraction of each processor instance between the
// last two samples. NT family: the "Processor" object of the registry's
// performance data; 9x family: the dynamic statistics' "KERNEL\CPUUsage".
//
// This is the platform-free part: the module state and its operations over a
// small seam with exactly the system calls they make. The program's one copy
// of the state and the real seam live in cpu/CpuUsageSamplerWin32.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace zelvane {

inline constexpr const char* kNoWindowsVersionText = "Can't get the Windows version";
inline constexpr const char* kNoProcessorObjectText =
    "Unable to locate the \"Processor\" performance object";
inline constexpr const char* kNoProcessorCounterText =
    "Unable to locate the \"% of CPU usage\" performance counter";
inline constexpr const char* kCannotStartMonitoringText = "Unable to start performance monitoring";
inline constexpr const char* kCannotReadPerfDataText = "Unable to read performance data";
inline constexpr const char* kCpuIndexOutOfBoundsText = "CPU index out of bounds";

inline constexpr std::int32_t kErrorSuccess = 0;
inline constexpr std::int32_t kErrorMoreData = 234;
inline constexpr std::int32_t kPerfBufferStartSize = 8192;
inline constexpr std::int32_t kPerfBufferGrowth = 4096;

// The 9x dynamic statistics: keys under HKEY_DYN_DATA, their access, the value.
inline constexpr std::string_view kStartStatKey = "PerfStats\\StartStat";
inline constexpr std::string_view kStatDataKey = "PerfStats\\StatData";
inline constexpr std::string_view kStopStatKey = "PerfStats\\StopStat";
inline constexpr std::string_view kCpuUsageValue = "KERNEL\\CPUUsage";
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;
inline constexpr std::uint32_t kKeyRead = 0x20019;

// One open key of the dynamic statistics; closed when destroyed.
class DynStatKey {
public:
    virtual ~DynStatKey() = default;
    // Reads a 4-byte value into `value`; false, and `value` untouched, when
    // the read fails.
    virtual bool ReadValue(std::string_view name, std::uint32_t& value) = 0;
};

// The system calls of the sampler.
class SamplerSystem {
public:
    virtual ~SamplerSystem() = default;
    // NT: value "238" of HKEY_PERFORMANCE_DATA into `data`. `size` holds the
    // capacity on entry and the bytes written on success. Returns the system's
    // code (kErrorSuccess, kErrorMoreData, or any other failure).
    virtual std::int32_t QueryProcessorData(std::uint8_t* data, std::uint32_t& size) = 0;
    // 9x: opens a key under HKEY_DYN_DATA with the given access; null when it
    // cannot be opened.
    virtual std::unique_ptr<DynStatKey> OpenDynStatKey(std::string_view path,
                                                       std::uint32_t access) = 0;
};

// The module state, one copy per process in the program.
struct SamplerState {
    explicit SamplerState(bool isNtFamily) : IsNtFamily(isNtFamily) {}

    bool IsNtFamily;
    std::vector<std::uint8_t> PerfBuffer = std::vector<std::uint8_t>(kPerfBufferStartSize);
    std::int32_t PerfBufferSize = kPerfBufferStartSize;
    // Bytes of the block that the last successful query returned: the walk
    // stays inside them.
    std::uint32_t PerfDataSize = 0;
    std::int32_t CpuCount = -1;
    std::vector<std::int64_t> CurrentValues;
    std::vector<std::int64_t> PreviousValues;
    std::vector<std::int64_t> SampleValues;  // the values being read, committed when all are in
    std::int64_t CurrentStamp = 0;
    std::int64_t PreviousStamp = 0;
    bool DynStarted = false;
    std::unique_ptr<DynStatKey> DynStatDataKey;
    std::uint32_t DynCpuUsage = 0;
};

// Reads a new sample (NT: every instance's idle time and the block's time;
// 9x: the percentage, starting the statistics first when needed).
void TakeSample(SamplerState& state, SamplerSystem& system);

// Number of processor instances: NT takes the first sample when none was
// taken; 9x is always 1 and touches nothing.
std::int32_t ProcessorCount(SamplerState& state, SamplerSystem& system);

// Busy fraction of instance `index` between the last two samples: 0.0 idle,
// 1.0 fully busy, not clamped. NT: equal time stamps give 0.0.
double ProcessorLoad(SamplerState& state, SamplerSystem& system, std::int32_t index);

// 9x with the statistics started: closes the data key and stops the
// collection. Otherwise nothing.
void StopDynStatistics(SamplerState& state, SamplerSystem& system);

// End of the program: stops the statistics and releases the buffers.
void ShutdownSampler(SamplerState& state, SamplerSystem& system);

}  // namespace zelvane
