#include "processes/SystemProcessList.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace zelvane;
namespace L = zelvane::process_list_layout;

namespace {

constexpr std::uint32_t kAddress = 0x00A00000;  // where the buffer "lives" in the program

struct Proc {
    std::uint32_t pid;
    std::uint32_t threads;
    std::int32_t priority;
    std::uint64_t created;
    std::u16string name;
};

template <typename T>
void Put(std::vector<std::uint8_t>& b, std::size_t at, T v) {
    std::memcpy(b.data() + at, &v, sizeof v);
}

// A buffer as the system writes it: records of `stride` bytes (room for their
// threads), the names after the last record.
std::vector<std::uint8_t> Buffer(const std::vector<Proc>& procs, std::size_t stride = 184) {
    std::size_t names = procs.size() * stride;
    std::vector<std::uint8_t> b(names);
    for (const Proc& p : procs) b.resize(b.size() + (p.name.size() + 1) * 2);
    for (std::size_t i = 0; i < procs.size(); ++i) {
        const std::size_t at = i * stride;
        const Proc& p = procs[i];
        Put<std::uint32_t>(b, at + L::kNextEntryOffset, i + 1 < procs.size() ? stride : 0);
        Put<std::uint32_t>(b, at + L::kNumberOfThreads, p.threads);
        Put<std::uint64_t>(b, at + L::kCreateTime, p.created);
        Put<std::uint16_t>(b, at + L::kImageNameLength, static_cast<std::uint16_t>(p.name.size() * 2));
        Put<std::uint16_t>(b, at + L::kImageNameLength + 2, static_cast<std::uint16_t>(p.name.size() * 2 + 2));
        Put<std::uint32_t>(b, at + L::kImageNameBuffer, p.name.empty() ? 0 : kAddress + static_cast<std::uint32_t>(names));
        Put<std::int32_t>(b, at + L::kBasePriority, p.priority);
        Put<std::uint32_t>(b, at + L::kUniqueProcessId, p.pid);
        std::memcpy(b.data() + names, p.name.data(), p.name.size() * 2);
        names += (p.name.size() + 1) * 2;
    }
    return b;
}

bool Parse(const std::vector<std::uint8_t>& b, std::vector<SystemProcessRecord>& out, std::size_t size = SIZE_MAX) {
    return ParseSystemProcessList(b.data(), size == SIZE_MAX ? b.size() : size, kAddress, out);
}

const std::vector<Proc> kThree = {
    {0, 2, 0, 0, u""},
    {4, 120, 8, 132000000000000000ull, u"System"},
    {0x1F4, 7, 13, 133000000000000001ull, u"Проводник.exe"},
};

}  // namespace

TEST(SystemProcessList, ReadsEveryRecordInOrder) {
    const auto b = Buffer(kThree);
    std::vector<SystemProcessRecord> r;
    ASSERT_TRUE(Parse(b, r));
    ASSERT_EQ(3u, r.size());
    for (std::size_t i = 0; i < r.size(); ++i) {
        EXPECT_EQ(kThree[i].pid, r[i].pid) << i;
        EXPECT_EQ(kThree[i].name, r[i].name) << i;
        EXPECT_EQ(kThree[i].threads, r[i].threads) << i;
        EXPECT_EQ(kThree[i].priority, r[i].basePriority) << i;
        EXPECT_EQ(kThree[i].created, r[i].created) << i;
    }

    // A single record, and records packed without room for threads.
    ASSERT_TRUE(Parse(Buffer({kThree[1]}), r));
    ASSERT_EQ(1u, r.size());
    ASSERT_TRUE(Parse(Buffer(kThree, L::kRecordSize), r));
    EXPECT_EQ(3u, r.size());
}

TEST(SystemProcessList, RefusesWhatDoesNotLieInTheBuffer) {
    std::vector<SystemProcessRecord> r;
    auto b = Buffer(kThree);
    // Too short for one record, empty, or cut inside the second record.
    EXPECT_FALSE(Parse(b, r, L::kRecordSize - 1));
    EXPECT_FALSE(Parse(b, r, 0));
    EXPECT_FALSE(Parse(b, r, 184 + 20));
    EXPECT_TRUE(r.empty());
    // Cut inside the names.
    EXPECT_FALSE(Parse(b, r, b.size() - 4));

    const auto broken = [&](auto change) {
        auto copy = b;
        change(copy);
        return !Parse(copy, r) && r.empty();
    };
    // A link back to the same record, a link shorter than a record, a link past the end.
    EXPECT_TRUE(broken([](auto& c) { Put<std::uint32_t>(c, 184 + L::kNextEntryOffset, 0xFFFFFFFFu); }));
    EXPECT_TRUE(broken([](auto& c) { Put<std::uint32_t>(c, L::kNextEntryOffset, 8); }));
    EXPECT_TRUE(broken([&](auto& c) { Put<std::uint32_t>(c, L::kNextEntryOffset, static_cast<std::uint32_t>(c.size())); }));
    // A name before the buffer, after it, longer than the rest, or at an odd byte.
    EXPECT_TRUE(broken([](auto& c) { Put<std::uint32_t>(c, 184 + L::kImageNameBuffer, kAddress - 2); }));
    EXPECT_TRUE(broken([&](auto& c) { Put<std::uint32_t>(c, 184 + L::kImageNameBuffer, kAddress + static_cast<std::uint32_t>(c.size()) + 2); }));
    EXPECT_TRUE(broken([](auto& c) { Put<std::uint16_t>(c, 184 + L::kImageNameLength, 0xFFFE); }));
    EXPECT_TRUE(broken([](auto& c) {
        std::uint32_t a;
        std::memcpy(&a, c.data() + 184 + L::kImageNameBuffer, 4);
        Put<std::uint32_t>(c, 184 + L::kImageNameBuffer, a + 1);
    }));
    EXPECT_TRUE(broken([](auto& c) { Put<std::uint16_t>(c, 184 + L::kImageNameLength, 3); }));
    // An address far below the buffer must not wrap around into it.
    EXPECT_TRUE(broken([](auto& c) { Put<std::uint32_t>(c, 184 + L::kImageNameBuffer, 0x10); }));
}
