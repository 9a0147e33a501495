// A 64-bit millisecond count carried on from 32-bit readings of a counter
// that wraps every 49.7 days (GetTickCount on systems without GetTickCount64).
#pragma once

#include <cstdint>

namespace zelvane {

// The count at `reading`, given the count at an earlier reading `last` (0:
// none yet, when the reading itself starts the count). The reading's distance
// from the last count's low half is taken as signed: a reading a little older
// than `last` (taken by another thread just before it) gives a count a little
// below `last`, not a wrap. Readings must come at least once every 24.8 days.
constexpr std::uint64_t ContinueTickCount(std::uint64_t last, std::uint32_t reading) {
    if (last == 0) return reading;
    const auto step = static_cast<std::int32_t>(reading - static_cast<std::uint32_t>(last));
    return last + static_cast<std::uint64_t>(static_cast<std::int64_t>(step));
}

}  // namespace zelvane
