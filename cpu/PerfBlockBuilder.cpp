#include "cpu/PerfBlockBuilder.h"

#include <algorithm>
#include <string>

namespace zelvane::perf {
namespace {

constexpr std::uint32_t kIdleCounterType = 0x21510500;  // PERF_100NSEC_TIMER_INV
// The counter block: its length, then the idle time.
constexpr std::size_t kCounterBlockSize = 16;
constexpr std::size_t kIdleValueOffset = 8;

// The instance's name as UTF-16 with its terminating zero, in bytes.
std::size_t NameBytes(std::size_t index, std::size_t processors) {
    const std::size_t chars = index == processors ? 6 : std::to_string(index).size();
    return 2 * (chars + 1);
}

// The instance definition with its name, padded to 8 bytes.
std::size_t InstanceHeadSize(std::size_t index, std::size_t processors) {
    return kInstanceDefinitionSize + (NameBytes(index, processors) + 7) / 8 * 8;
}

std::size_t ObjectSize(std::size_t processors) {
    std::size_t size = kObjectTypeSize + kCounterDefinitionSize;
    for (std::size_t i = 0; i <= processors; ++i) size += InstanceHeadSize(i, processors) + kCounterBlockSize;
    return size;
}

void WriteDataHeader(std::uint8_t* p, std::size_t size, const SystemTimeFields& time) {
    const char16_t signature[4] = {u'P', u'E', u'R', u'F'};
    for (int i = 0; i < 4; ++i) StoreU16(p + 2 * i, static_cast<std::uint16_t>(signature[i]));
    StoreU32(p + 8, 1);   // LittleEndian
    StoreU32(p + 12, 1);  // Version
    StoreU32(p + 16, 1);  // Revision
    StoreU32(p + kDataTotalByteLength, static_cast<std::uint32_t>(size));
    StoreU32(p + kDataHeaderLength, kDataBlockSize);
    StoreU32(p + kDataNumObjectTypes, 1);
    StoreU32(p + 32, kProcessorObjectIndex);  // DefaultObject
    StoreSystemTime(p + kDataSystemTime, time);
}

void WriteObjectHeader(std::uint8_t* p, std::size_t processors) {
    StoreU32(p + kObjectTotalByteLength, static_cast<std::uint32_t>(ObjectSize(processors)));
    StoreU32(p + kObjectDefinitionLength, kObjectTypeSize + kCounterDefinitionSize);
    StoreU32(p + kObjectHeaderLength, kObjectTypeSize);
    StoreU32(p + kObjectNameTitleIndex, kProcessorObjectIndex);
    StoreU32(p + 20, kProcessorObjectIndex + 1);  // ObjectHelpTitleIndex
    StoreU32(p + 28, 100);                        // DetailLevel: novice
    StoreU32(p + kObjectNumCounters, 1);
    StoreU32(p + 36, 0);  // DefaultCounter
    StoreU32(p + kObjectNumInstances, static_cast<std::uint32_t>(processors + 1));
}

void WriteIdleCounterDefinition(std::uint8_t* p) {
    StoreU32(p + kCounterByteLength, kCounterDefinitionSize);
    StoreU32(p + kCounterNameTitleIndex, kIdleTimeCounterIndex);
    StoreU32(p + 12, kIdleTimeCounterIndex + 1);  // CounterHelpTitleIndex
    StoreU32(p + 24, 100);                        // DetailLevel
    StoreU32(p + 28, kIdleCounterType);
    StoreU32(p + 32, 8);  // CounterSize
    StoreU32(p + kCounterOffset, kIdleValueOffset);
}

// Instance `index` ("_Total" at index `processors`) and its counter block;
// returns the bytes written.
std::size_t WriteInstance(std::uint8_t* p, std::size_t index, std::size_t processors, std::int64_t idle) {
    const std::size_t headSize = InstanceHeadSize(index, processors);
    StoreU32(p + kInstanceByteLength, static_cast<std::uint32_t>(headSize));
    StoreU32(p + 8, 0xFFFFFFFF);   // ParentObjectInstance: none
    StoreU32(p + 12, 0xFFFFFFFF);  // UniqueID: PERF_NO_UNIQUE_ID
    StoreU32(p + kInstanceNameOffset, kInstanceDefinitionSize);
    StoreU32(p + kInstanceNameLength, static_cast<std::uint32_t>(NameBytes(index, processors)));
    const std::string name = index == processors ? "_Total" : std::to_string(index);
    for (std::size_t c = 0; c < name.size(); ++c) {
        StoreU16(p + kInstanceDefinitionSize + 2 * c, static_cast<std::uint8_t>(name[c]));
    }
    std::uint8_t* counters = p + headSize;
    StoreU32(counters + kCounterBlockByteLength, kCounterBlockSize);
    StoreU64(counters + kIdleValueOffset, static_cast<std::uint64_t>(idle));
    return headSize + kCounterBlockSize;
}

}  // namespace

std::size_t WriteProcessorBlock(const ProcessorBlockContent& content, std::span<std::uint8_t> out) {
    const std::size_t processors = content.processorIdle.size();
    const std::size_t size = kDataBlockSize + ObjectSize(processors);
    if (size > out.size()) return size;
    std::uint8_t* base = out.data();
    std::fill(base, base + size, std::uint8_t{0});

    WriteDataHeader(base, size, content.time);
    std::uint8_t* object = base + kDataBlockSize;
    WriteObjectHeader(object, processors);
    WriteIdleCounterDefinition(object + kObjectTypeSize);
    std::uint8_t* p = object + kObjectTypeSize + kCounterDefinitionSize;
    for (std::size_t i = 0; i <= processors; ++i) {
        p += WriteInstance(p, i, processors, i == processors ? content.totalIdle : content.processorIdle[i]);
    }
    return size;
}

}  // namespace zelvane::perf
