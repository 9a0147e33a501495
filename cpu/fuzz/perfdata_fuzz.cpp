// libFuzzer target: any byte block as the system's answer to the performance
// query. The walk must end in one of the sampler's error texts or in a sample,
// and never read outside what the query returned: the rest of the sampler's
// buffer is poisoned, so the address sanitizer stops at such a read even
// where the buffer itself goes on.
#include <sanitizer/asan_interface.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/Error.h"
#include "cpu/CpuUsageSampler.h"
#include "cpu/LoadIndicator.h"
#include "cpu/PerfData.h"

namespace {

using namespace zelvane;

class PoisoningSystem final : public SamplerSystem {
public:
    PoisoningSystem(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    ~PoisoningSystem() override { Unpoison(); }

    std::int32_t QueryProcessorData(std::uint8_t* buffer, std::uint32_t& capacity) override {
        Unpoison();
        if (size_ > capacity) {
            capacity = static_cast<std::uint32_t>(size_);
            return kErrorMoreData;
        }
        if (size_ != 0) std::memcpy(buffer, data_, size_);
        poisoned_ = buffer + size_;
        poisonedSize_ = capacity - size_;
        ASAN_POISON_MEMORY_REGION(poisoned_, poisonedSize_);
        capacity = static_cast<std::uint32_t>(size_);
        return kErrorSuccess;
    }
    std::unique_ptr<DynStatKey> OpenDynStatKey(std::string_view, std::uint32_t) override { return nullptr; }

    void Unpoison() {
        if (poisoned_) ASAN_UNPOISON_MEMORY_REGION(poisoned_, poisonedSize_);
        poisoned_ = nullptr;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::uint8_t* poisoned_ = nullptr;
    std::size_t poisonedSize_ = 0;
};

void CheckError(const Error& e) {
    const std::string text = e.what();
    if (text != kNoProcessorObjectText && text != kNoProcessorCounterText &&
        text.find("is not a valid integer value") == std::string::npos) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The walk over exactly the input's bytes.
    const perf::Bytes block(data, size);
    if (const auto object = perf::FindObject(block, perf::kProcessorObjectIndex)) {
        if (const auto counter = perf::FindCounterOffset(block, *object, perf::kIdleTimeCounterIndex)) {
            std::vector<std::int64_t> values(std::min<std::uint32_t>(object->instances, 64));
            perf::ReadInstanceValues(block, *object, *counter, values);
        }
    }

    // The sampler, two samples of the same answer, then every load and its
    // gauge image.
    PoisoningSystem system(data, size);
    SamplerState state(true);
    for (int round = 0; round < 2; ++round) {
        try {
            TakeSample(state, system);
            const std::int32_t count = std::min(ProcessorCount(state, system), 64);
            for (std::int32_t i = 0; i < count; ++i) DescribeLoad(ProcessorLoad(state, system, i));
        } catch (const Error& e) {
            CheckError(e);
        }
    }
    system.Unpoison();
    return 0;
}
