#include "cpu/CpuUsageSamplerWin32.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

#include "base/Error.h"
#include "base/Text.h"
#include "cpu/CpuUsageSampler.h"
#include "cpu/PerfBlockBuilder.h"
#include "cpu/PerfData.h"
#include "sys/DynCalls.h"
#include "sys/Handles.h"
#include "sys/NtNative.h"
#include "sys/WindowsVersion.h"

namespace zelvane {
namespace {

class RegistryDynStatKey final : public DynStatKey {
public:
    explicit RegistryDynStatKey(HKEY key) : key_(key) {}
    bool ReadValue(std::string_view name, std::uint32_t& value) override {
        DWORD data = value;
        DWORD size = sizeof data;
        if (::RegQueryValueExW(key_.Get(), Widen(name).c_str(), nullptr, nullptr,
                               reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS) {
            return false;
        }
        value = data;
        return true;
    }

private:
    RegKey key_;
};

class WindowsSamplerSystem final : public SamplerSystem {
public:
    std::int32_t QueryProcessorData(std::uint8_t* data, std::uint32_t& size) override {
        if (!useProcessorTimes_) {
            DWORD bytes = size;
            const LONG code = ::RegQueryValueExW(HKEY_PERFORMANCE_DATA, L"238", nullptr, nullptr, data, &bytes);
            if (code == ERROR_MORE_DATA) return code;
            if (code == ERROR_SUCCESS &&
                perf::FindObject({data, bytes < size ? bytes : size}, perf::kProcessorObjectIndex)) {
                size = bytes;
                return code;
            }
            // No "Processor" object (Wine, or counters switched off): from now
            // on the same block is built from the system's processor times.
            if (!dyn::NtQuerySystemInformation()) {
                if (code == ERROR_SUCCESS) size = bytes;
                return code;
            }
            useProcessorTimes_ = true;
        }
        return BuildFromProcessorTimes(data, size);
    }

    std::unique_ptr<DynStatKey> OpenDynStatKey(std::string_view path, std::uint32_t access) override {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_DYN_DATA, Widen(path).c_str(), 0, access, &key) != ERROR_SUCCESS) return nullptr;
        return std::make_unique<RegistryDynStatKey>(key);
    }

private:
    // One instance per processor, then "_Total" (the mean, so that its load
    // is the machine's), the idle times in 100-ns units, stamped with the
    // system clock.
    std::int32_t BuildFromProcessorTimes(std::uint8_t* data, std::uint32_t& size) {
        if (times_.empty()) {
            SYSTEM_INFO info{};
            ::GetNativeSystemInfo(&info);
            times_.resize(info.dwNumberOfProcessors ? info.dwNumberOfProcessors : 1);
        }
        const auto query = dyn::NtQuerySystemInformation();
        ULONG returned = 0;
        nt::NTSTATUS status;
        while ((status = query(nt::kSystemProcessorPerformanceInformation, times_.data(),
                               static_cast<ULONG>(times_.size() * sizeof(nt::ProcessorTimes)), &returned)) ==
                   nt::kStatusInfoLengthMismatch &&
               times_.size() < 1024) {
            times_.resize(times_.size() * 2);
        }
        const std::size_t count = returned / sizeof(nt::ProcessorTimes);
        if (!nt::Succeeded(status) || count == 0 || count > times_.size()) return ERROR_NOT_SUPPORTED;

        idle_.resize(count);
        std::int64_t sum = 0;
        for (std::size_t i = 0; i < count; ++i) {
            idle_[i] = times_[i].IdleTime.QuadPart;
            sum += idle_[i];
        }
        SYSTEMTIME now;
        ::GetSystemTime(&now);
        const perf::ProcessorBlockContent content{
            {now.wYear, now.wMonth, now.wDayOfWeek, now.wDay, now.wHour, now.wMinute, now.wSecond,
             now.wMilliseconds},
            idle_,
            sum / static_cast<std::int64_t>(count)};
        const std::size_t needed = perf::WriteProcessorBlock(content, {data, size});
        const bool fits = needed <= size;
        size = static_cast<std::uint32_t>(needed);
        return fits ? ERROR_SUCCESS : ERROR_MORE_DATA;
    }

    bool useProcessorTimes_ = false;
    std::vector<nt::ProcessorTimes> times_;
    std::vector<std::int64_t> idle_;
};

bool ReadIsNtFamily() {
    const std::optional<bool> nt = QueryNtFamily();
    if (!nt) throw Error(kNoWindowsVersionText);
    return *nt;
}

struct Module {
    explicit Module(bool isNtFamily) : state(isNtFamily) {}
    WindowsSamplerSystem system;
    SamplerState state;
};

// The program's one sampler.
std::optional<Module> g_module;

Module& Started() {
    if (!g_module) g_module.emplace(ReadIsNtFamily());
    return *g_module;
}

}  // namespace

void StartCpuUsageSampler() { Started(); }

void ShutdownCpuUsageSampler() {
    if (!g_module) return;
    ShutdownSampler(g_module->state, g_module->system);
    // Lets the system unload its performance libraries.
    if (g_module->state.IsNtFamily) ::RegCloseKey(HKEY_PERFORMANCE_DATA);
    g_module.reset();
}

void TakeSample() {
    Module& m = Started();
    TakeSample(m.state, m.system);
}

std::int32_t ProcessorCount() {
    Module& m = Started();
    return ProcessorCount(m.state, m.system);
}

double ProcessorLoad(std::int32_t index) {
    Module& m = Started();
    return ProcessorLoad(m.state, m.system, index);
}

void StopDynStatistics() {
    Module& m = Started();
    StopDynStatistics(m.state, m.system);
}

void SystemLoadSampler::TakeSample() { zelvane::TakeSample(); }
std::int32_t SystemLoadSampler::ProcessorCount() { return zelvane::ProcessorCount(); }
double SystemLoadSampler::ProcessorLoad(std::int32_t index) { return zelvane::ProcessorLoad(index); }

}  // namespace zelvane
