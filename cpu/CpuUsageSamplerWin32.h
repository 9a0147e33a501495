// CpuUsageSampler of the program: one process-wide module over the real
// system. StartCpuUsageSampler runs once from WinMain before any window (it
// reads the Windows version, so a failure there stops the program);
// ShutdownCpuUsageSampler runs once at the end. The operations start the
// module themselves if WinMain has not.
#pragma once

#include <cstdint>

#include "cpu/LoadIndicator.h"

namespace zelvane {

// Reads the Windows version; raises "Can't get the Windows version".
void StartCpuUsageSampler();
// Stops the 9x statistics and releases the buffers.
void ShutdownCpuUsageSampler();

void TakeSample();
std::int32_t ProcessorCount();
double ProcessorLoad(std::int32_t index);
void StopDynStatistics();

// The module behind the indicator's tick.
class SystemLoadSampler final : public LoadSampler {
public:
    void TakeSample() override;
    std::int32_t ProcessorCount() override;
    double ProcessorLoad(std::int32_t index) override;
};

}  // namespace zelvane
