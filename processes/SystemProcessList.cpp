#include "processes/SystemProcessList.h"

#include <cstring>

namespace zelvane {

namespace {

template <typename T>
T Read(const std::uint8_t* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

}  // namespace

bool ParseSystemProcessList(const std::uint8_t* bytes, std::size_t size, std::uint32_t address,
                            std::vector<SystemProcessRecord>& records) {
    namespace L = process_list_layout;
    records.clear();
    std::size_t at = 0;
    for (;;) {
        if (size < L::kRecordSize || at > size - L::kRecordSize) break;
        const std::uint8_t* record = bytes + at;
        SystemProcessRecord r;
        r.threads = Read<std::uint32_t>(record + L::kNumberOfThreads);
        r.created = Read<std::uint64_t>(record + L::kCreateTime);
        r.basePriority = Read<std::int32_t>(record + L::kBasePriority);
        r.pid = Read<std::uint32_t>(record + L::kUniqueProcessId);

        const std::uint16_t nameBytes = Read<std::uint16_t>(record + L::kImageNameLength);
        const std::uint32_t nameAddress = Read<std::uint32_t>(record + L::kImageNameBuffer);
        if (nameBytes != 0) {
            // The name must lie wholly inside the buffer, on a character boundary.
            const std::uint64_t offset = static_cast<std::uint64_t>(nameAddress) - address;
            if (nameAddress < address || offset > size || nameBytes > size - offset || offset % 2 != 0 ||
                nameBytes % 2 != 0) {
                break;
            }
            r.name = std::u16string_view(reinterpret_cast<const char16_t*>(bytes + offset), nameBytes / 2);
        }
        records.push_back(r);

        const std::uint32_t next = Read<std::uint32_t>(record + L::kNextEntryOffset);
        if (next == 0) return true;
        if (next < L::kRecordSize || next > size - at) break;  // forwards only, never past the end
        at += next;
    }
    records.clear();
    return false;
}

}  // namespace zelvane
