// Performance data blocks of other shapes than the program writes, for the
// tests, the fuzz seeds and the sampler benchmark: the program's own block
// (cpu/PerfBlockBuilder) with more counters in its "Processor" object and
// other objects before that object, and where its parts lie.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "cpu/PerfBlockBuilder.h"
#include "cpu/PerfData.h"

namespace zelvane::perftest {

struct Shape {
    // Counter definitions in the object; the idle-time counter is the last,
    // so that a reader walks past the others first. At least 1.
    std::uint32_t counters = 1;
    // Objects (one counter, no instances) placed before the "Processor" object.
    std::uint32_t objectsBefore = 0;
};

// Where the parts of a block lie, for tests that patch it.
struct BlockLayout {
    std::size_t size = 0;
    std::size_t object = 0;              // the PERF_OBJECT_TYPE of "Processor"
    std::size_t idleCounter = 0;         // its idle-time PERF_COUNTER_DEFINITION
    std::vector<std::size_t> instances;  // each PERF_INSTANCE_DEFINITION, "_Total" last
};

// The block of `content` in `shape`. The other counters have title indexes
// 142, 144, ... and the values 1000, 2000, ...; the other objects have title
// indexes 2, 4, ... and one counter of the value 12345.
inline std::vector<std::uint8_t> BuildBlock(const perf::ProcessorBlockContent& content, Shape shape = {},
                                            BlockLayout* layout = nullptr) {
    using namespace perf;
    constexpr std::uint32_t kPlainCounterType = 0x00010000;  // PERF_COUNTER_RAWCOUNT
    constexpr std::uint32_t kNoInstances = 0xFFFFFFFF;       // PERF_NO_INSTANCES
    std::vector<std::uint8_t> plain(WriteProcessorBlock(content, {}));
    WriteProcessorBlock(content, plain);
    const std::uint8_t* object = plain.data() + kDataBlockSize;
    const std::uint8_t* idleDefinition = object + kObjectTypeSize;
    const std::uint32_t others = shape.counters - 1;

    std::vector<std::uint8_t> out;
    const auto append = [&out](const std::uint8_t* p, std::size_t n) {
        out.insert(out.end(), p, p + n);
        return out.size() - n;
    };
    const auto patch = [&out](std::size_t at, std::uint32_t v) { StoreU32(out.data() + at, v); };
    const auto appendCounterBlock = [&out, &patch](std::uint32_t values) {
        const std::size_t at = out.size();
        out.resize(at + 8 + 8 * std::size_t{values}, 0);
        patch(at + kCounterBlockByteLength, 8 + 8 * values);
        return at;
    };
    // A counter definition as the idle time's, of another title and type.
    const auto appendPlainCounter = [&](std::uint32_t title, std::uint32_t offset) {
        const std::size_t at = append(idleDefinition, kCounterDefinitionSize);
        patch(at + kCounterNameTitleIndex, title);
        patch(at + 12, title + 1);  // CounterHelpTitleIndex
        patch(at + 28, kPlainCounterType);
        patch(at + kCounterOffset, offset);
    };

    append(plain.data(), kDataBlockSize);
    patch(kDataNumObjectTypes, shape.objectsBefore + 1);
    for (std::uint32_t k = 0; k < shape.objectsBefore; ++k) {
        const std::uint32_t title = 2 + 2 * k;
        const std::size_t at = append(object, kObjectTypeSize);
        patch(at + kObjectTotalByteLength, kObjectTypeSize + kCounterDefinitionSize + 16);
        patch(at + kObjectDefinitionLength, kObjectTypeSize + kCounterDefinitionSize);
        patch(at + kObjectNameTitleIndex, title);
        patch(at + 20, title + 1);  // ObjectHelpTitleIndex
        patch(at + kObjectNumInstances, kNoInstances);
        appendPlainCounter(title + 2, 8);
        StoreU64(out.data() + appendCounterBlock(1) + 8, 12345);
    }

    const std::size_t objectAt = append(object, kObjectTypeSize);
    patch(objectAt + kObjectDefinitionLength, kObjectTypeSize + kCounterDefinitionSize * shape.counters);
    patch(objectAt + kObjectNumCounters, shape.counters);
    for (std::uint32_t c = 0; c < others; ++c) appendPlainCounter(142 + 2 * c, 8 + 8 * c);
    const std::size_t idleAt = append(idleDefinition, kCounterDefinitionSize);
    patch(idleAt + kCounterOffset, 8 + 8 * others);

    std::vector<std::size_t> instances;
    const std::uint8_t* instance = idleDefinition + kCounterDefinitionSize;
    for (std::uint32_t i = 0; i < LoadU32(object + kObjectNumInstances); ++i) {
        const std::uint32_t head = LoadU32(instance + kInstanceByteLength);
        instances.push_back(append(instance, head));
        const std::size_t values = appendCounterBlock(shape.counters);
        for (std::uint32_t c = 0; c < others; ++c) StoreU64(out.data() + values + 8 + 8 * c, 1000 * (c + 1));
        StoreU64(out.data() + values + 8 + 8 * others, LoadU64(instance + head + 8));  // the idle time
        instance += head + LoadU32(instance + head + kCounterBlockByteLength);
    }
    patch(objectAt + kObjectTotalByteLength, static_cast<std::uint32_t>(out.size() - objectAt));
    patch(kDataTotalByteLength, static_cast<std::uint32_t>(out.size()));
    if (layout) *layout = BlockLayout{out.size(), objectAt, idleAt, instances};
    return out;
}

}  // namespace zelvane::perftest
