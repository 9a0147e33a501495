// Writes a performance data block in the published layout: one "Processor"
// object (title index 238) with one instance per processor, named "0", "1",
// ..., then "_Total", each carrying the idle-time counter (title index 6).
// The query layer uses it where the system's performance data has no such
// object (Wine; Windows with its counters switched off). Tests make blocks of
// other shapes from its output (tests/host/perf_test_blocks.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "cpu/PerfData.h"

namespace zelvane::perf {

struct ProcessorBlockContent {
    SystemTimeFields time;
    std::span<const std::int64_t> processorIdle;  // one per processor, in 100-ns units
    std::int64_t totalIdle = 0;                   // the value of "_Total"
};

// Writes the block at the start of `out` when it fits; returns its size either
// way (larger than out.size() means nothing was written). The block is the
// data block header, then the object: its header, its one counter definition
// (the idle time), then each instance with its name and its counter block.
std::size_t WriteProcessorBlock(const ProcessorBlockContent& content, std::span<std::uint8_t> out);

}  // namespace zelvane::perf
