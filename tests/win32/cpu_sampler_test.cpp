// CpuUsageSampler against the real system: under Wine the performance data
// has no "Processor" object, so this also runs the block built from the
// system's processor times. (winnt.h has an enumerator named ProcessorLoad:
// outside namespace zelvane the operation is called by its full name.)
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/Error.h"
#include "cpu/CpuUsageSamplerWin32.h"
#include "gui/Handles.h"

using namespace zelvane;

namespace {

std::wstring TestDir() {
    wchar_t buffer[MAX_PATH];
    const std::wstring own(buffer, ::GetModuleFileNameW(nullptr, buffer, MAX_PATH));
    return own.substr(0, own.find_last_of(L'\\') + 1);
}

// spin_child.exe processes, one per processor, ended with the test.
class Spinners {
public:
    explicit Spinners(int count) {
        const std::wstring path = TestDir() + L"spin_child.exe";
        for (int i = 0; i < count; ++i) {
            STARTUPINFOW si{};
            si.cb = sizeof si;
            PROCESS_INFORMATION pi{};
            std::wstring commandLine = L"\"" + path + L"\" 20";
            if (::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &si, &pi)) {
                KernelHandle thread(pi.hThread);
                children_.emplace_back(pi.hProcess);
            }
        }
    }
    ~Spinners() {
        for (auto& child : children_) ::TerminateProcess(child.Get(), 1);
        for (auto& child : children_) ::WaitForSingleObject(child.Get(), 5000);
    }
    std::size_t Count() const { return children_.size(); }

private:
    std::vector<KernelHandle> children_;
};

// The "_Total" load over about one second, and every instance's.
double TotalOverOneSecond(std::vector<double>& loads) {
    TakeSample();
    ::Sleep(1000);
    TakeSample();
    loads.clear();
    for (int i = 0; i < ProcessorCount(); ++i) loads.push_back(zelvane::ProcessorLoad(i));
    return loads.back();
}

}  // namespace

TEST(CpuUsageSamplerWin32, TotalLoadRisesWhileEveryProcessorSpins) {
    StartCpuUsageSampler();
    SYSTEM_INFO info{};
    ::GetNativeSystemInfo(&info);
    const int processors = static_cast<int>(info.dwNumberOfProcessors);
    ASSERT_EQ(processors + 1, ProcessorCount());  // then "_Total"
    EXPECT_THROW(zelvane::ProcessorLoad(processors + 1), Error);

    std::vector<double> loads;
    const double quiet = TotalOverOneSecond(loads);
    double busy = 0;
    {
        Spinners spinners(processors);
        ASSERT_EQ(static_cast<std::size_t>(processors), spinners.Count());
        ::Sleep(200);
        busy = TotalOverOneSecond(loads);
    }
    std::printf("_Total load: %.3f before, %.3f while %d children spin\n", quiet, busy, processors);
    for (double load : loads) {
        EXPECT_GT(load, 0.5);
        EXPECT_LT(load, 1.1);
    }
    EXPECT_GT(busy, 0.8);
    ShutdownCpuUsageSampler();
}

TEST(CpuUsageSamplerWin32, SystemLoadSamplerReadsTheSameModule) {
    SystemLoadSampler sampler;
    sampler.TakeSample();
    const std::int32_t count = sampler.ProcessorCount();
    ASSERT_GE(count, 2);
    const double load = sampler.ProcessorLoad(count - 1);
    EXPECT_EQ(load, zelvane::ProcessorLoad(count - 1));
    ShutdownCpuUsageSampler();
}
