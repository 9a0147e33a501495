// libFuzzer target: the system's process list as the program reads it. Any
// byte string, read as a buffer at a fixed address: the parser accepts it
// whole or refuses it whole, and every name it hands on lies inside the buffer
// (the sanitizer sees every character read).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "processes/SystemProcessList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly `size` bytes, 8-byte aligned as the program's buffer.
    std::vector<std::uint64_t> buffer((size + 7) / 8);
    auto* bytes = reinterpret_cast<std::uint8_t*>(buffer.data());
    for (std::size_t i = 0; i < size; ++i) bytes[i] = data[i];
    constexpr std::uint32_t kAddress = 0x00010000;
    std::vector<zelvane::SystemProcessRecord> records;
    const bool ok = zelvane::ParseSystemProcessList(bytes, size, kAddress, records);
    if (ok == records.empty()) std::abort();  // accepted means at least one record; refused means none
    unsigned sum = 0;
    for (const auto& r : records) {
        const auto* first = reinterpret_cast<const std::uint8_t*>(r.name.data());
        if (!r.name.empty() && (first < bytes || first + r.name.size() * 2 > bytes + size)) std::abort();
        for (char16_t c : r.name) sum += c;
    }
    return static_cast<int>(sum & 0);
}
