// Writes a performance data block in the published layout: one "Processor"
// object (title index 238) with one instance per processor, named "0", "1",
// ..., then "_Total", each carrying the idle-time counter (title index 6).
// The query layer uses it where the system's performance data has no such
// object; the tests use it to make blocks of known content.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "cpu/PerfData.h"

namespace zelvane::perf {

struct ProcessorBlockContent {
    SystemTimeFields time;
    std::span<const std::int64_t> processorIdle;  // one per processor, in 100-ns units
    std::int64_t totalIdle = 0;                   // the value of "_Total"
    // Counter definitions in the object; the idle-time counter is the last,
    // so that a reader walks past the others first. At least 1.
    std::uint32_t counters = 1;
    // Objects (without instances) placed before the "Processor" object.
    std::uint32_t objectsBefore = 0;
};

// Where the parts of a written block lie, for readers that patch it.
struct ProcessorBlockLayout {
    std::size_t size = 0;
    std::size_t object = 0;            // the PERF_OBJECT_TYPE of "Processor"
    std::size_t idleCounter = 0;       // its idle-time PERF_COUNTER_DEFINITION
    std::vector<std::size_t> instances;  // each PERF_INSTANCE_DEFINITION, "_Total" last
};

// Bytes the block takes.
std::size_t ProcessorBlockSize(const ProcessorBlockContent& content);

// Writes the block at the start of `out` when it fits; returns its size either
// way (larger than out.size() means nothing was written).
std::size_t WriteProcessorBlock(const ProcessorBlockContent& content, std::span<std::uint8_t> out);

// The block as a byte vector, with the positions of its parts.
std::vector<std::uint8_t> BuildProcessorBlock(const ProcessorBlockContent& content,
                                              ProcessorBlockLayout* layout = nullptr);

}  // namespace zelvane::perf
