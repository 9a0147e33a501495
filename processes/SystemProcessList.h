// The system's process list as NtQuerySystemInformation(SystemProcessInformation)
// hands it to a 32-bit program: one buffer holding a chain of records, each
// followed by its threads, with the image names stored further on in the same
// buffer. One call gives the whole list – identifiers, thread counts, base
// priorities, names and creation times – where a snapshot walk costs the
// system a request for every process.
//
// The buffer comes from the system, but nothing in it is trusted: every
// record, every link and every name is checked against the size returned.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace zelvane {

struct SystemProcessRecord {
    std::uint32_t pid = 0;
    std::uint32_t threads = 0;
    std::int32_t basePriority = 0;
    std::uint64_t created = 0;  // FILETIME units; 0 when the system does not say
    std::u16string_view name;   // points into the buffer; empty for the idle process
};

// The 32-bit layout of the parts of a record that the program reads.
namespace process_list_layout {
inline constexpr std::size_t kNextEntryOffset = 0;
inline constexpr std::size_t kNumberOfThreads = 4;
inline constexpr std::size_t kCreateTime = 32;
inline constexpr std::size_t kImageNameLength = 56;  // bytes, then MaximumLength, then Buffer
inline constexpr std::size_t kImageNameBuffer = 60;
inline constexpr std::size_t kBasePriority = 64;
inline constexpr std::size_t kUniqueProcessId = 68;
inline constexpr std::size_t kRecordSize = 72;  // the bytes up to and including the identifier
}  // namespace process_list_layout

// Reads the records of `bytes`, a buffer that lives at address `address` in the
// program (the names are pointers into it). False, with `records` cleared,
// when a record, a link or a name lies outside the buffer or a link goes
// backwards; the caller then takes the list from elsewhere. The name views
// stay valid as long as the buffer.
bool ParseSystemProcessList(const std::uint8_t* bytes, std::size_t size, std::uint32_t address,
                            std::vector<SystemProcessRecord>& records);

}  // namespace zelvane
