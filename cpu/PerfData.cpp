#include "cpu/PerfData.h"

namespace zelvane::perf {
namespace {

// Whether `length` bytes at `pos` lie inside the block. Positions are 64-bit,
// so sums of 32-bit fields cannot wrap on a 32-bit host.
bool Fits(Bytes block, std::uint64_t pos, std::uint64_t length) {
    return pos <= block.size() && length <= block.size() - pos;
}

std::uint32_t At32(Bytes block, std::uint64_t pos) {
    return LoadU32(block.data() + static_cast<std::size_t>(pos));
}

bool IsLeapYear(unsigned y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

unsigned DaysInMonth(unsigned y, unsigned m) {
    static constexpr unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

// Days from 1601-01-01 to the given date (proleptic Gregorian).
std::uint64_t DaysSince1601(unsigned y, unsigned m, unsigned d) {
    const auto leapYearsUpTo = [](std::uint64_t n) { return n / 4 - n / 100 + n / 400; };
    std::uint64_t days = std::uint64_t{y - 1601} * 365 + leapYearsUpTo(y - 1) - leapYearsUpTo(1600);
    for (unsigned k = 1; k < m; ++k) days += DaysInMonth(y, k);
    return days + d - 1;
}

}  // namespace

std::optional<std::int64_t> SystemTimeToTicks(const SystemTimeFields& t) {
    if (t.year < 1601 || t.year > 30827 || t.month < 1 || t.month > 12 || t.day < 1 ||
        t.day > DaysInMonth(t.year, t.month) || t.hour > 23 || t.minute > 59 ||
        t.second > 59 || t.milliseconds > 999) {
        return std::nullopt;
    }
    const std::uint64_t seconds =
        ((DaysSince1601(t.year, t.month, t.day) * 24 + t.hour) * 60 + t.minute) * 60 + t.second;
    return static_cast<std::int64_t>((seconds * 1000 + t.milliseconds) * 10000);
}

void StoreSystemTime(std::uint8_t* p, const SystemTimeFields& t) {
    const std::uint16_t fields[8] = {t.year, t.month,  t.dayOfWeek, t.day,
                                     t.hour, t.minute, t.second,    t.milliseconds};
    for (int i = 0; i < 8; ++i) StoreU16(p + 2 * i, fields[i]);
}

std::optional<SystemTimeFields> ReadSystemTime(Bytes block) {
    if (!Fits(block, kDataSystemTime, 16)) return std::nullopt;
    const std::uint8_t* p = block.data() + kDataSystemTime;
    return SystemTimeFields{LoadU16(p),      LoadU16(p + 2),  LoadU16(p + 4),  LoadU16(p + 6),
                            LoadU16(p + 8),  LoadU16(p + 10), LoadU16(p + 12), LoadU16(p + 14)};
}

std::optional<ObjectInfo> FindObject(Bytes block, std::uint32_t titleIndex) {
    if (!Fits(block, 0, kDataSystemTime + 16)) return std::nullopt;
    std::uint64_t pos = At32(block, kDataHeaderLength);
    const std::uint32_t count = At32(block, kDataNumObjectTypes);
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!Fits(block, pos, kObjectNameTitleIndex + 4)) return std::nullopt;
        if (At32(block, pos + kObjectNameTitleIndex) == titleIndex) {
            if (!Fits(block, pos, kObjectNumInstances + 4)) return std::nullopt;
            const auto instances = static_cast<std::int32_t>(At32(block, pos + kObjectNumInstances));
            // Every instance takes at least its own length field and that of
            // its counter block.
            if (instances < 0 || static_cast<std::uint64_t>(instances) > (block.size() - pos) / 8) {
                return std::nullopt;
            }
            return ObjectInfo{pos, At32(block, pos + kObjectDefinitionLength),
                              At32(block, pos + kObjectHeaderLength),
                              At32(block, pos + kObjectNumCounters),
                              static_cast<std::uint32_t>(instances)};
        }
        const std::uint32_t step = At32(block, pos + kObjectTotalByteLength);
        if (step == 0) return std::nullopt;  // every further object would be this one
        pos += step;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> FindCounterOffset(Bytes block, const ObjectInfo& object,
                                               std::uint32_t titleIndex) {
    std::uint64_t pos = object.offset + object.headerLength;
    for (std::uint32_t i = 0; i < object.numCounters; ++i) {
        if (!Fits(block, pos, kCounterDefinitionSize)) return std::nullopt;
        if (At32(block, pos + kCounterNameTitleIndex) == titleIndex) {
            return At32(block, pos + kCounterOffset);
        }
        const std::uint32_t step = At32(block, pos + kCounterByteLength);
        if (step == 0) return std::nullopt;  // every further definition would be this one
        pos += step;
    }
    return std::nullopt;
}

std::optional<std::size_t> ReadInstanceValues(Bytes block, const ObjectInfo& object,
                                              std::uint32_t counterOffset,
                                              std::span<std::int64_t> values) {
    const std::size_t count = values.size() < object.instances ? values.size() : object.instances;
    std::uint64_t instance = object.offset + object.definitionLength;
    for (std::size_t i = 0; i < count; ++i) {
        if (!Fits(block, instance, 4)) return std::nullopt;
        const std::uint64_t counters = instance + At32(block, instance + kInstanceByteLength);
        if (!Fits(block, counters, 4) || !Fits(block, counters + counterOffset, 8)) {
            return std::nullopt;
        }
        values[i] = static_cast<std::int64_t>(
            LoadU64(block.data() + static_cast<std::size_t>(counters + counterOffset)));
        instance = counters + At32(block, counters + kCounterBlockByteLength);
    }
    return count;
}

}  // namespace zelvane::perf
