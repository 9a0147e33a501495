#include "cpu/PerfBlockBuilder.h"

#include <algorithm>
#include <string>

namespace zelvane::perf {
namespace {

constexpr std::uint32_t kNoInstances = 0xFFFFFFFF;        // PERF_NO_INSTANCES
constexpr std::uint32_t kIdleCounterType = 0x21510500;    // PERF_100NSEC_TIMER_INV
constexpr std::uint32_t kPlainCounterType = 0x00010000;   // PERF_COUNTER_RAWCOUNT
constexpr std::size_t kOtherObjectSize = kObjectTypeSize + kCounterDefinitionSize + 16;

std::size_t CounterBlockSize(const ProcessorBlockContent& content) { return 8 + 8 * std::size_t{content.counters}; }

// The instance's name as UTF-16 with its terminating zero, in bytes.
std::size_t NameBytes(std::size_t index, std::size_t processors) {
    const std::size_t chars = index == processors ? 6 : std::to_string(index).size();
    return 2 * (chars + 1);
}

std::size_t InstanceSize(const ProcessorBlockContent& content, std::size_t index) {
    const std::size_t name = (NameBytes(index, content.processorIdle.size()) + 7) / 8 * 8;
    return kInstanceDefinitionSize + name + CounterBlockSize(content);
}

std::size_t ObjectSize(const ProcessorBlockContent& content) {
    std::size_t size = kObjectTypeSize + kCounterDefinitionSize * content.counters;
    for (std::size_t i = 0; i <= content.processorIdle.size(); ++i) size += InstanceSize(content, i);
    return size;
}

void WriteObjectHeader(std::uint8_t* p, std::size_t total, std::size_t definition,
                       std::uint32_t title, std::uint32_t counters, std::uint32_t instances) {
    StoreU32(p + kObjectTotalByteLength, static_cast<std::uint32_t>(total));
    StoreU32(p + kObjectDefinitionLength, static_cast<std::uint32_t>(definition));
    StoreU32(p + kObjectHeaderLength, kObjectTypeSize);
    StoreU32(p + kObjectNameTitleIndex, title);
    StoreU32(p + 20, title + 1);  // ObjectHelpTitleIndex
    StoreU32(p + 28, 100);        // DetailLevel: novice
    StoreU32(p + kObjectNumCounters, counters);
    StoreU32(p + 36, 0);          // DefaultCounter
    StoreU32(p + kObjectNumInstances, instances);
}

void WriteCounterDefinition(std::uint8_t* p, std::uint32_t title, std::uint32_t type,
                            std::uint32_t offset) {
    StoreU32(p + kCounterByteLength, kCounterDefinitionSize);
    StoreU32(p + kCounterNameTitleIndex, title);
    StoreU32(p + 12, title + 1);  // CounterHelpTitleIndex
    StoreU32(p + 24, 100);        // DetailLevel
    StoreU32(p + 28, type);
    StoreU32(p + 32, 8);          // CounterSize
    StoreU32(p + kCounterOffset, offset);
}

// An object without instances: one counter, then its single counter block.
void WriteOtherObject(std::uint8_t* p, std::uint32_t title) {
    WriteObjectHeader(p, kOtherObjectSize, kObjectTypeSize + kCounterDefinitionSize, title, 1,
                      kNoInstances);
    WriteCounterDefinition(p + kObjectTypeSize, title + 2, kPlainCounterType, 8);
    std::uint8_t* block = p + kObjectTypeSize + kCounterDefinitionSize;
    StoreU32(block, 16);
    StoreU64(block + 8, 12345);
}

}  // namespace

std::size_t ProcessorBlockSize(const ProcessorBlockContent& content) {
    return kDataBlockSize + kOtherObjectSize * content.objectsBefore + ObjectSize(content);
}

static std::size_t WriteBlock(const ProcessorBlockContent& content, std::span<std::uint8_t> out,
                              ProcessorBlockLayout* layout) {
    const std::size_t size = ProcessorBlockSize(content);
    if (size > out.size()) return size;
    std::uint8_t* base = out.data();
    std::fill(base, base + size, std::uint8_t{0});

    const char16_t signature[4] = {u'P', u'E', u'R', u'F'};
    for (int i = 0; i < 4; ++i) StoreU16(base + 2 * i, static_cast<std::uint16_t>(signature[i]));
    StoreU32(base + 8, 1);   // LittleEndian
    StoreU32(base + 12, 1);  // Version
    StoreU32(base + 16, 1);  // Revision
    StoreU32(base + kDataTotalByteLength, static_cast<std::uint32_t>(size));
    StoreU32(base + kDataHeaderLength, kDataBlockSize);
    StoreU32(base + kDataNumObjectTypes, content.objectsBefore + 1);
    StoreU32(base + 32, kProcessorObjectIndex);  // DefaultObject
    StoreSystemTime(base + kDataSystemTime, content.time);

    std::size_t pos = kDataBlockSize;
    for (std::uint32_t k = 0; k < content.objectsBefore; ++k, pos += kOtherObjectSize) {
        WriteOtherObject(base + pos, 2 + 2 * k);
    }

    const std::size_t processors = content.processorIdle.size();
    const std::size_t object = pos;
    const std::size_t definition = kObjectTypeSize + kCounterDefinitionSize * content.counters;
    WriteObjectHeader(base + object, ObjectSize(content), definition, kProcessorObjectIndex,
                      content.counters, static_cast<std::uint32_t>(processors + 1));
    if (layout) {
        layout->size = size;
        layout->object = object;
        layout->instances.clear();
    }
    // Other counters first (title indexes 142, 144, ...), the idle time last.
    pos = object + kObjectTypeSize;
    for (std::uint32_t c = 0; c < content.counters; ++c, pos += kCounterDefinitionSize) {
        const bool idle = c + 1 == content.counters;
        if (idle && layout) layout->idleCounter = pos;
        WriteCounterDefinition(base + pos, idle ? kIdleTimeCounterIndex : 142 + 2 * c,
                               idle ? kIdleCounterType : kPlainCounterType, 8 + 8 * c);
    }

    for (std::size_t i = 0; i <= processors; ++i) {
        if (layout) layout->instances.push_back(pos);
        std::uint8_t* inst = base + pos;
        const std::size_t nameBytes = NameBytes(i, processors);
        const std::size_t headSize = InstanceSize(content, i) - CounterBlockSize(content);
        StoreU32(inst + kInstanceByteLength, static_cast<std::uint32_t>(headSize));
        StoreU32(inst + 8, 0xFFFFFFFF);  // ParentObjectInstance: none
        StoreU32(inst + 12, 0xFFFFFFFF);  // UniqueID: PERF_NO_UNIQUE_ID
        StoreU32(inst + kInstanceNameOffset, kInstanceDefinitionSize);
        StoreU32(inst + kInstanceNameLength, static_cast<std::uint32_t>(nameBytes));
        const std::string name = i == processors ? "_Total" : std::to_string(i);
        for (std::size_t c = 0; c < name.size(); ++c) {
            StoreU16(inst + kInstanceDefinitionSize + 2 * c, static_cast<std::uint8_t>(name[c]));
        }
        std::uint8_t* counters = inst + headSize;
        StoreU32(counters + kCounterBlockByteLength, static_cast<std::uint32_t>(CounterBlockSize(content)));
        const std::int64_t idle = i == processors ? content.totalIdle : content.processorIdle[i];
        for (std::uint32_t c = 0; c + 1 < content.counters; ++c) StoreU64(counters + 8 + 8 * c, 1000 * (c + 1));
        StoreU64(counters + 8 + 8 * (content.counters - 1), static_cast<std::uint64_t>(idle));
        pos += InstanceSize(content, i);
    }
    return size;
}

std::size_t WriteProcessorBlock(const ProcessorBlockContent& content, std::span<std::uint8_t> out) {
    return WriteBlock(content, out, nullptr);
}

std::vector<std::uint8_t> BuildProcessorBlock(const ProcessorBlockContent& content,
                                              ProcessorBlockLayout* layout) {
    std::vector<std::uint8_t> bytes(ProcessorBlockSize(content));
    WriteBlock(content, bytes, layout);
    return bytes;
}

}  // namespace zelvane::perf
