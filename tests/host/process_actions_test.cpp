#include "processes/ProcessActions.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "base/Error.h"
#include "processes/ProcessTable.h"
#include "tests/common/error_of.h"

using namespace zelvane;

namespace {

// The system as the seam sees it: which process now holds each identifier
// (by its creation time), and what was done to them.
struct FakeControl : ProcessControl {
    bool answer = true;
    bool terminates = true;
    int confirms = 0;
    std::map<std::uint32_t, std::optional<std::uint64_t>> createdAt;  // absent: created at 0
    std::vector<std::pair<std::uint32_t, bool>> opened;                // identifier, with its times
    std::vector<std::pair<std::uint32_t, std::uint32_t>> terminated;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> priorities;

    struct Process : OpenedProcess {
        FakeControl& system;
        std::uint32_t pid;
        Process(FakeControl& s, std::uint32_t p) : system(s), pid(p) {}
        std::optional<std::uint64_t> CreationTime() override {
            const auto it = system.createdAt.find(pid);
            return it == system.createdAt.end() ? std::optional<std::uint64_t>(0) : it->second;
        }
        bool Terminate(std::uint32_t exitCode) override {
            system.terminated.emplace_back(pid, exitCode);
            return system.terminates;
        }
        void SetPriorityClass(std::uint32_t cls) override { system.priorities.emplace_back(pid, cls); }
    };

    bool Confirm() override {
        ++confirms;
        return answer;
    }
    std::unique_ptr<OpenedProcess> Open(std::uint32_t pid, ProcessRight, bool withTimes) override {
        opened.emplace_back(pid, withTimes);
        return std::make_unique<Process>(*this, pid);
    }
};

GridModel OneRow(const std::string& name, const std::string& pid, const std::string& priority = "8 (Norm)") {
    GridModel g(kProcessColumnCount, 2);
    g.SetCell(kColName, 1, name);
    g.SetCell(kColPid, 1, pid);
    g.SetCell(kColPriority, 1, priority);
    return g;
}

}  // namespace

TEST(KillProcess, ProtectedNames) {
    EXPECT_TRUE(IsProtectedProcessName("EXPLORER"));
    EXPECT_TRUE(IsProtectedProcessName("myKERNEL32x"));
    EXPECT_TRUE(IsProtectedProcessName("xEXPLORERx"));
    EXPECT_FALSE(IsProtectedProcessName("explorer"));
    EXPECT_FALSE(IsProtectedProcessName("Kernel32"));
    EXPECT_FALSE(IsProtectedProcessName("EXPLORE"));
}

TEST(KillProcess, PlainNameKillsWithoutAsking) {
    FakeControl c;
    const GridModel g = OneRow("explorer", "1234");
    EXPECT_EQ("Процесс explorer выгружен.", KillProcess(g, 1, c));
    EXPECT_EQ(0, c.confirms);
    ASSERT_EQ(1u, c.terminated.size());
    EXPECT_EQ(1234u, c.terminated[0].first);
    EXPECT_EQ(4u, c.terminated[0].second);
}

TEST(KillProcess, ProtectedNameAsksAndNoStops) {
    FakeControl c;
    c.answer = false;
    const GridModel g = OneRow("EXPLORER", "77");
    EXPECT_EQ(std::nullopt, KillProcess(g, 1, c));
    EXPECT_EQ(1, c.confirms);
    EXPECT_TRUE(c.terminated.empty());

    c.answer = true;
    EXPECT_EQ("Процесс EXPLORER выгружен.", KillProcess(g, 1, c));
    EXPECT_EQ(2, c.confirms);
    EXPECT_EQ(1u, c.terminated.size());
}

TEST(KillProcess, FailureNamesThePriorityCell) {
    FakeControl c;
    c.terminates = false;
    EXPECT_EQ("Немогу выгрузить процесс! 13 (High)", KillProcess(OneRow("svc", "4", "13 (High)"), 1, c));
}

TEST(KillProcess, IdentifierIsA64BitParseCutTo32Bits) {
    FakeControl c;
    KillProcess(OneRow("a", "  +4294967297"), 1, c);   // 2^32 + 1
    KillProcess(OneRow("a", "0x10"), 1, c);
    KillProcess(OneRow("a", "-1"), 1, c);
    ASSERT_EQ(3u, c.terminated.size());
    EXPECT_EQ(1u, c.terminated[0].first);
    EXPECT_EQ(16u, c.terminated[1].first);
    EXPECT_EQ(0xFFFFFFFFu, c.terminated[2].first);
}

TEST(KillProcess, BadIdentifierRaisesAndKillsNothing) {
    FakeControl c;
    for (const char* bad : {"", "12a", "99999999999999999999", "\t1"}) {
        EXPECT_EQ(std::string("'") + bad + "' is not a valid integer value",
                  test::ErrorOf([&] { KillProcess(OneRow("a", bad), 1, c); }));
    }
    // A protected row asks first, then the parse fails.
    EXPECT_THROW(KillProcess(OneRow("KERNEL32", "x"), 1, c), Error);
    EXPECT_EQ(1, c.confirms);
    EXPECT_TRUE(c.terminated.empty());
}

TEST(KillProcess, CellsAreReadOnceBeforeTheQuestion) {
    // A rebuild under the open box must not change what is killed or reported.
    GridModel g = OneRow("EXPLORER", "42", "8 (Norm)");
    struct Rebuilding : FakeControl {
        GridModel* table = nullptr;
        bool Confirm() override {
            table->SetCell(kColName, 1, "other");
            table->SetCell(kColPid, 1, "43");
            return true;
        }
    } c;
    c.table = &g;
    EXPECT_EQ("Процесс EXPLORER выгружен.", KillProcess(g, 1, c));
    EXPECT_EQ(42u, c.terminated.at(0).first);
}

TEST(KillProcess, ActsOnlyOnTheProcessTheRowWasMadeFrom) {
    FakeControl c;
    GridModel g = OneRow("sleeper", "1234", "8 (Norm)");
    g.SetKey(1, RowKey{1234, 500});

    // The identifier now belongs to a process created later, or to one whose
    // handle gives no time: nothing is terminated, the kill reads as failed.
    for (const std::optional<std::uint64_t> now : {std::optional<std::uint64_t>(501), std::optional<std::uint64_t>()}) {
        c.createdAt[1234] = now;
        EXPECT_EQ("Немогу выгрузить процесс! 8 (Norm)", KillProcess(g, 1, c));
        EXPECT_TRUE(c.terminated.empty());
        for (int level : {4, 8, 13, 24}) SetProcPriority(1234, level, c, 500);
        EXPECT_TRUE(c.priorities.empty());
    }
    // Each action opened the process once, with the right to read its times.
    EXPECT_EQ(10u, c.opened.size());
    EXPECT_EQ((std::pair<std::uint32_t, bool>{1234, true}), c.opened.back());

    c.createdAt[1234] = 500;
    EXPECT_EQ("Процесс sleeper выгружен.", KillProcess(g, 1, c));
    SetProcPriority(1234, 24, c, 500);
    EXPECT_EQ((std::vector<std::pair<std::uint32_t, std::uint32_t>>{{1234, 4}}), c.terminated);
    EXPECT_EQ((std::vector<std::pair<std::uint32_t, std::uint32_t>>{{1234, 0x100}}), c.priorities);

    // A row without a creation time (a system that reports none), or whose key
    // is not for this identifier, acts as before, without asking for times.
    c.createdAt[1234] = 999;
    g.SetKey(1, RowKey{1234, 0});
    EXPECT_EQ("Процесс sleeper выгружен.", KillProcess(g, 1, c));
    g.SetKey(1, RowKey{77, 500});
    EXPECT_EQ("Процесс sleeper выгружен.", KillProcess(g, 1, c));
    SetProcPriority(1234, 4, c);
    EXPECT_EQ(3u, c.terminated.size());
    EXPECT_EQ((std::pair<std::uint32_t, std::uint32_t>{1234, 0x40}), c.priorities.back());
    EXPECT_FALSE(c.opened.back().second);
}

TEST(SetProcPriority, LevelsAndClasses) {
    FakeControl c;
    for (int level : {4, 8, 13, 24, 0, 6, 10, 32}) SetProcPriority(9, level, c);
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> expected = {
        {9, 0x40}, {9, 0x20}, {9, 0x80}, {9, 0x100}};
    EXPECT_EQ(expected, c.priorities);
}
