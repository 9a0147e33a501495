// The registry's performance data as a 32-bit program receives it: the
// published structures, their field offsets, and a walk to one counter of one
// object that checks every step against the size of the block, so that a
// truncated or lying block can never make it read outside.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace zelvane::perf {

using Bytes = std::span<const std::uint8_t>;

// Title indexes of the "Processor" object and of its idle-time counter.
inline constexpr std::uint32_t kProcessorObjectIndex = 238;
inline constexpr std::uint32_t kIdleTimeCounterIndex = 6;

// PERF_DATA_BLOCK.
inline constexpr std::size_t kDataTotalByteLength = 20;
inline constexpr std::size_t kDataHeaderLength = 24;
inline constexpr std::size_t kDataNumObjectTypes = 28;
inline constexpr std::size_t kDataSystemTime = 36;      // SYSTEMTIME, 16 bytes
inline constexpr std::size_t kDataBlockSize = 88;

// PERF_OBJECT_TYPE.
inline constexpr std::size_t kObjectTotalByteLength = 0;
inline constexpr std::size_t kObjectDefinitionLength = 4;
inline constexpr std::size_t kObjectHeaderLength = 8;
inline constexpr std::size_t kObjectNameTitleIndex = 12;
inline constexpr std::size_t kObjectNumCounters = 32;
inline constexpr std::size_t kObjectNumInstances = 40;
inline constexpr std::size_t kObjectTypeSize = 64;

// PERF_COUNTER_DEFINITION.
inline constexpr std::size_t kCounterByteLength = 0;
inline constexpr std::size_t kCounterNameTitleIndex = 4;
inline constexpr std::size_t kCounterOffset = 36;
inline constexpr std::size_t kCounterDefinitionSize = 40;

// PERF_INSTANCE_DEFINITION, followed by its name and its PERF_COUNTER_BLOCK.
inline constexpr std::size_t kInstanceByteLength = 0;
inline constexpr std::size_t kInstanceNameOffset = 16;
inline constexpr std::size_t kInstanceNameLength = 20;
inline constexpr std::size_t kInstanceDefinitionSize = 24;
inline constexpr std::size_t kCounterBlockByteLength = 0;

// Little-endian fields, whatever the host.
inline std::uint32_t LoadU32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}
inline std::uint16_t LoadU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
inline std::uint64_t LoadU64(const std::uint8_t* p) {
    return std::uint64_t{LoadU32(p)} | std::uint64_t{LoadU32(p + 4)} << 32;
}
inline void StoreU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void StoreU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void StoreU64(std::uint8_t* p, std::uint64_t v) {
    StoreU32(p, static_cast<std::uint32_t>(v));
    StoreU32(p + 4, static_cast<std::uint32_t>(v >> 32));
}

// A SYSTEMTIME, field by field: the date, then the time of day.
struct SystemTimeFields {
    std::uint16_t year = 1601, month = 1, dayOfWeek = 1, day = 1;
    std::uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;
};

// The time as 100-ns ticks since 1601-01-01, as SystemTimeToFileTime gives it;
// nothing for the fields that call rejects (a year outside 1601..30827, a
// month, day, hour, minute, second or millisecond out of range). The day of
// the week is not looked at.
std::optional<std::int64_t> SystemTimeToTicks(const SystemTimeFields& t);

void StoreSystemTime(std::uint8_t* p, const SystemTimeFields& t);

// The object found by FindObject. `instances` is its NumInstances, known to
// be at least 0 and small enough for the bytes after the object to hold.
struct ObjectInfo {
    std::uint64_t offset = 0;
    std::uint32_t definitionLength = 0;
    std::uint32_t headerLength = 0;
    std::uint32_t numCounters = 0;
    std::uint32_t instances = 0;
};

// The block's SystemTime; nothing when the block is too short to hold it.
std::optional<SystemTimeFields> ReadSystemTime(Bytes block);

// The first of the block's NumObjectTypes objects whose title index is
// `titleIndex`. Nothing when there is none, when the walk would leave the
// block first, or when the object's instance count is negative or larger
// than the rest of the block could hold.
std::optional<ObjectInfo> FindObject(Bytes block, std::uint32_t titleIndex);

// The CounterOffset of the object's first counter definition whose title
// index is `titleIndex`; nothing when there is none or the walk would leave
// the block first.
std::optional<std::uint32_t> FindCounterOffset(Bytes block, const ObjectInfo& object,
                                               std::uint32_t titleIndex);

// Reads the counter at `counterOffset` of the object's first instances into
// `values`: min(values.size(), object.instances) of them, in the block's
// order. Returns how many were read, or nothing when an instance, its counter
// block or the value lies outside the block (then `values` may be partly
// written).
std::optional<std::size_t> ReadInstanceValues(Bytes block, const ObjectInfo& object,
                                              std::uint32_t counterOffset,
                                              std::span<std::int64_t> values);

}  // namespace zelvane::perf
