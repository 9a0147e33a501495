// CpuUsageSampler against the real system, through the sampler object that
// the program's CPU timer reads: under Wine the performance data has no
// "Processor" object, so this also runs the block built from the system's
// processor times.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "base/Error.h"
#include "cpu/CpuUsageSamplerWin32.h"
#include "tests/win32/ProgramFixture.h"

using namespace zelvane;
using namespace zelvane::testing;

namespace {

// The "_Total" load over about one second, and every instance's, as the
// program's indicator reads them.
double TotalOverOneSecond(LoadSampler& sampler, std::vector<double>& loads) {
    sampler.TakeSample();
    ::Sleep(1000);
    sampler.TakeSample();
    loads.clear();
    for (int i = 0; i < sampler.ProcessorCount(); ++i) loads.push_back(sampler.ProcessorLoad(i));
    return loads.back();
}

}  // namespace

TEST(CpuUsageSamplerWin32, TotalLoadRisesWhileEveryProcessorSpins) {
    StartCpuUsageSampler();
    SystemLoadSampler sampler;  // what the program's CPU timer reads
    SYSTEM_INFO info{};
    ::GetNativeSystemInfo(&info);
    const int processors = static_cast<int>(info.dwNumberOfProcessors);
    ASSERT_EQ(processors + 1, sampler.ProcessorCount());  // then "_Total"
    EXPECT_THROW(sampler.ProcessorLoad(processors + 1), Error);

    std::vector<double> loads;
    const double quiet = TotalOverOneSecond(sampler, loads);
    double busy = 0;
    {
        // One spin_child.exe per processor; each gives up after 20 s at most.
        std::deque<ChildProcess> spinners;
        for (int i = 0; i < processors; ++i) {
            spinners.emplace_back(L"spin_child.exe", L"20");
            ASSERT_TRUE(spinners.back().Started());
        }
        ::Sleep(200);
        busy = TotalOverOneSecond(sampler, loads);
    }
    std::printf("_Total load: %.3f before, %.3f while %d children spin\n", quiet, busy, processors);
    for (double load : loads) {
        EXPECT_GT(load, 0.5);
        EXPECT_LT(load, 1.1);
    }
    EXPECT_GT(busy, 0.8);
    ShutdownCpuUsageSampler();
}
