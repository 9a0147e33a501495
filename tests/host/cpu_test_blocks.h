// Synthetic performance data and a scripted system for the sampler's tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cpu/CpuUsageSampler.h"
#include "cpu/PerfBlockBuilder.h"
#include "tests/host/perf_test_blocks.h"

namespace zelvane::cputest {

// 2024-05-01 12:00:<second>.<ms> UTC.
inline perf::SystemTimeFields At(std::uint16_t second, std::uint16_t ms = 0) {
    return {2024, 5, 3, 1, 12, 0, second, ms};
}

// A block whose processors have the given idle times; "_Total" gets the last.
inline std::vector<std::uint8_t> Block(perf::SystemTimeFields time, std::vector<std::int64_t> idle,
                                       perftest::BlockLayout* layout = nullptr, std::uint32_t counters = 1,
                                       std::uint32_t objectsBefore = 0) {
    const std::int64_t total = idle.back();
    idle.pop_back();
    const perf::ProcessorBlockContent content{time, idle, total};
    return perftest::BuildBlock(content, {counters, objectsBefore}, layout);
}

// Answers the performance query with the current block (reporting `reported`
// bytes when set) and records the capacity of every call.
class FakeSystem : public SamplerSystem {
public:
    std::vector<std::uint8_t> block;
    std::int32_t failCode = kErrorSuccess;
    std::int64_t reported = -1;
    std::vector<std::uint32_t> capacities;

    std::int32_t QueryProcessorData(std::uint8_t* data, std::uint32_t& size) override {
        capacities.push_back(size);
        if (failCode != kErrorSuccess) return failCode;
        if (block.size() > size) {
            size = static_cast<std::uint32_t>(block.size());
            return kErrorMoreData;
        }
        std::memcpy(data, block.data(), block.size());
        size = reported >= 0 ? static_cast<std::uint32_t>(reported) : static_cast<std::uint32_t>(block.size());
        return kErrorSuccess;
    }

    // The dynamic statistics: the figure each key answers; keys missing from
    // the map cannot be opened.
    std::map<std::string, std::uint32_t> dynKeys;
    std::vector<std::string> opened;  // "path/access" of every open attempt
    int liveKeys = 0;

    class Key : public DynStatKey {
    public:
        Key(FakeSystem& owner, std::uint32_t figure) : owner_(owner), figure_(figure) { ++owner_.liveKeys; }
        ~Key() override { --owner_.liveKeys; }
        bool ReadValue(std::string_view name, std::uint32_t& value) override {
            if (name != kCpuUsageValue || owner_.failReads) return false;
            value = figure_;
            return true;
        }

    private:
        FakeSystem& owner_;
        std::uint32_t figure_;
    };
    bool failReads = false;

    std::unique_ptr<DynStatKey> OpenDynStatKey(std::string_view path, std::uint32_t access) override {
        opened.push_back(std::string(path) + "/" + std::to_string(access));
        const auto it = dynKeys.find(std::string(path));
        if (it == dynKeys.end()) return nullptr;
        return std::make_unique<Key>(*this, it->second);
    }
};

}  // namespace zelvane::cputest
