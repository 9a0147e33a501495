#include "processes/ProcessTable.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/common/process_table_fill.h"

using namespace zelvane;
using namespace zelvane::testing;

namespace {

ProcessEntry Entry(std::uint32_t pid, std::string exe = "app.exe", std::string path = "C:\\app.exe",
                   std::uint32_t threads = 3, std::int32_t pri = 8) {
    return ProcessEntry{pid, threads, pri, std::move(exe), std::move(path)};
}

// Processes firstPid, firstPid + 1, ..., each created at 10 times its identifier.
std::vector<ProcessEntry> Entries(std::uint32_t firstPid, int n) {
    std::vector<ProcessEntry> v;
    for (int i = 0; i < n; ++i) {
        const auto pid = firstPid + static_cast<std::uint32_t>(i);
        v.push_back(Entry(pid, "p" + std::to_string(pid) + ".exe", "C:\\p" + std::to_string(pid) + ".exe"));
        v.back().created = std::uint64_t{pid} * 10;
    }
    return v;
}

// The keys of the data rows, in table order.
std::vector<RowKey> Keys(const GridModel& g) {
    std::vector<RowKey> keys;
    for (int row = 1; row < g.RowCount(); ++row) keys.push_back(g.Key(row));
    return keys;
}

std::vector<RowKey> KeysOf(const std::vector<ProcessEntry>& entries) {
    std::vector<RowKey> keys;
    for (const ProcessEntry& e : entries) keys.push_back(RowKey{e.pid, e.created});
    return keys;
}

}  // namespace

// The cells of pids 0 and 1234 and of the priorities 8, 13 and 24: the rebuild
// tests' rows and the row names of the reader model's test.
TEST(ProcessCells, Numbers) {
    EXPECT_EQ("4294967295", FormatPid(0xFFFFFFFFu).View());
    EXPECT_EQ("FFFFFFFF", FormatPidHex(0xFFFFFFFFu).View());
    EXPECT_EQ("0", FormatThreads(0).View());
    EXPECT_EQ("4 (Idle)", FormatPriority(4).View());
    EXPECT_EQ("6", FormatPriority(6).View());
    EXPECT_EQ("10", FormatPriority(10).View());
    EXPECT_EQ("-2147483648", FormatPriority(INT32_MIN).View());
}

TEST(ProcessCells, NameWithoutDirectoryAndExtension) {
    EXPECT_EQ("notepad", ProcessNameOf("notepad.exe"));
    EXPECT_EQ("System", ProcessNameOf("System"));
    EXPECT_EQ("my.tool", ProcessNameOf("my.tool.exe"));
    EXPECT_EQ("app", ProcessNameOf("C:\\dir.d\\app.exe"));
    EXPECT_EQ("app", ProcessNameOf("C:app.exe"));
    EXPECT_EQ("dir", ProcessNameOf("C:\\a.b\\dir"));  // the dot of a directory is not an extension
    EXPECT_EQ("", ProcessNameOf("C:\\"));
    EXPECT_EQ("Проводник", ProcessNameOf("Проводник.exe"));
}

TEST(ProcessCells, PathRepair) {
    EXPECT_EQ("C:\\x", RepairPath("\\??\\C:\\x"));
    EXPECT_EQ("C:\\Windows\\a.exe", RepairPath("C:\\Windows\\a.exe"));
    EXPECT_EQ("\\SystemRoot\\a.exe", RepairPath("\\SystemRoot\\a.exe"));
    EXPECT_EQ("", RepairPath(""));
    EXPECT_EQ(":x", RepairPath(":x"));             // colon first: nothing before it
    EXPECT_EQ("x:", RepairPath("\\x:"));           // colon at the third character
    EXPECT_EQ("C:\\a:b", RepairPath("\\\\C:\\a:b"));  // only the first colon counts
    // Positions count characters: a Cyrillic letter (two bytes) before the
    // colon is kept whole, and alone before it, it is the drive.
    EXPECT_EQ("Д:\\a", RepairPath("\\Д:\\a"));
    EXPECT_EQ("Д:\\a", RepairPath("Д:\\a"));
    EXPECT_EQ("Ж:x", RepairPath("ДЖ:x"));
    EXPECT_EQ("€:x", RepairPath("\\€:x"));  // three bytes
}

TEST(ProcessTableRebuild, WritesEveryCellAndNeverTheHeader) {
    GridModel g = ProcessTableOf();
    RebuildProcessTable(g, std::vector{Entry(1234, "\\??\\C:\\a\\tool.v2.exe", "\\??\\C:\\a\\tool.v2.exe", 7, 13),
                                       Entry(0, "[System Process]", "", 1, 0)});
    EXPECT_EQ("Имя программы", g.Cell(0, 0));
    EXPECT_EQ("Путь к программе", g.Cell(5, 0));
    EXPECT_EQ((std::vector<std::string>{"tool.v2", "1234", "000004D2", "7", "13 (High)", "C:\\a\\tool.v2.exe"}), g.Row(1));
    EXPECT_EQ((std::vector<std::string>{"[System Process]", "0", "00000000", "1", "0", ""}), g.Row(2));
}

TEST(ProcessTableRebuild, RowCountFollowsThePass) {
    GridModel g = ProcessTableOf();
    RebuildProcessTable(g, std::vector<ProcessEntry>{});  // no entry: nothing touched
    EXPECT_EQ(2, g.RowCount());
    EXPECT_EQ("", g.Cell(1, 1));

    RebuildProcessTable(g, Entries(10, 1));
    EXPECT_EQ(2, g.RowCount());
    EXPECT_EQ("10", g.Cell(1, 1));

    RebuildProcessTable(g, Entries(20, 2));
    EXPECT_EQ(3, g.RowCount());

    RebuildProcessTable(g, Entries(30, 40));
    EXPECT_EQ(41, g.RowCount());
    EXPECT_EQ("69", g.Cell(1, 40));

    // A shorter pass cuts the table; every written row is wholly new.
    RebuildProcessTable(g, std::vector{Entry(5, "a", ""), Entry(6, "b", "\\??\\D:\\b", 1, 24), Entry(7)});
    EXPECT_EQ(4, g.RowCount());
    EXPECT_EQ((std::vector<std::string>{"b", "6", "00000006", "1", "24 (Real)", "D:\\b"}), g.Row(2));
    EXPECT_EQ("", g.Cell(5, 1));

    // One process keeps the row count (the first row never sets it).
    RebuildProcessTable(g, Entries(90, 1));
    EXPECT_EQ(4, g.RowCount());
    EXPECT_EQ("90", g.Cell(1, 1));
}

TEST(ProcessTableRebuild, SelectionStaysOnItsProcess) {
    GridModel g = ProcessTableOf(Entries(100, 40));
    g.SelectRow(25);  // pid 124
    g.SetTopRow(20);
    // Two processes before it ended; the table now has 38 rows.
    auto next = Entries(100, 40);
    next.erase(next.begin() + 3);
    next.erase(next.begin() + 5);
    RebuildProcessTable(g, next);
    EXPECT_EQ(39, g.RowCount());
    EXPECT_EQ(23, g.CurrentRow());
    EXPECT_EQ("124", g.Cell(1, g.CurrentRow()));
    EXPECT_EQ(23, g.SelTop());
    EXPECT_EQ(23, g.SelBottom());
    EXPECT_EQ(20, g.TopRow());

    // A new process in front moves it down again.
    next.insert(next.begin(), Entry(999));
    RebuildProcessTable(g, next);
    EXPECT_EQ("124", g.Cell(1, g.CurrentRow()));
    EXPECT_EQ(24, g.CurrentRow());

    // It ends, and a new process gets its identifier (listed further down):
    // another process, which the selection does not follow.
    next.erase(next.begin() + 24 - 1);
    next.push_back(Entry(124));
    next.back().created = 99999;
    RebuildProcessTable(g, next);
    EXPECT_EQ(24, g.CurrentRow());
    EXPECT_NE("124", g.Cell(1, g.CurrentRow()));
}

TEST(ProcessTableRebuild, GoneProcessLeavesTheSelectionOnItsRowNumber) {
    GridModel g = ProcessTableOf(Entries(100, 40));
    g.SelectRow(25);
    g.SetTopRow(30);
    RebuildProcessTable(g, Entries(500, 38));
    EXPECT_EQ(25, g.CurrentRow());
    EXPECT_EQ(30, g.TopRow());

    g.SelectRow(38);
    RebuildProcessTable(g, Entries(700, 10));  // clamped into the shorter table
    EXPECT_EQ(10, g.CurrentRow());
    EXPECT_EQ(10, g.TopRow());
}

TEST(ProcessTableRebuild, RangeKeepsItsExtentAroundTheCurrentRow) {
    GridModel g = ProcessTableOf(Entries(100, 20));
    g.SelectRow(5);
    g.ExtendSelection(8);  // current row 8 (pid 107), range 5..8
    auto next = Entries(100, 20);
    next.erase(next.begin());
    RebuildProcessTable(g, next);
    EXPECT_EQ(7, g.CurrentRow());
    EXPECT_EQ(4, g.SelTop());
    EXPECT_EQ(7, g.SelBottom());
}

TEST(ProcessTableRebuild, UnchangedPassChangesNothing) {
    GridModel g = ProcessTableOf();
    const auto entries = Entries(100, 30);
    RebuildProcessTable(g, entries);
    g.SelectRow(12);
    const auto revision = g.Revision();
    RebuildProcessTable(g, entries);
    EXPECT_EQ(revision, g.Revision());
}

TEST(ProcessTableRebuild, InterruptedPassStillCutsAndRestores) {
    GridModel g = ProcessTableOf(Entries(100, 10));
    g.SelectRow(9);
    {
        ProcessTableRebuild rebuild(g);
        for (const auto& e : Entries(200, 4)) rebuild.Add(e);
        // the walk stops here (an error), without Finish()
    }
    EXPECT_EQ(5, g.RowCount());
    EXPECT_EQ(4, g.CurrentRow());
}

TEST(ProcessTableRebuild, KeysFollowTheirProcessesThroughAddsRemovalsAndCuts) {
    GridModel g = ProcessTableOf();
    auto entries = Entries(100, 6);
    RebuildProcessTable(g, entries);
    EXPECT_EQ(KeysOf(entries), Keys(g));
    EXPECT_EQ(RowKey{}, g.Key(0));

    // 101 and 104 ended, a new process came first, and 103's identifier went
    // to a process created since: every row's key is its own process's.
    entries.erase(entries.begin() + 4);
    entries.erase(entries.begin() + 1);
    entries.insert(entries.begin(), Entry(900));
    entries[2].created = 7;  // now pid 103
    RebuildProcessTable(g, entries);
    EXPECT_EQ(KeysOf(entries), Keys(g));

    // Cut to two rows, then grown to forty: no key of an earlier pass is left.
    RebuildProcessTable(g, Entries(300, 2));
    EXPECT_EQ(KeysOf(Entries(300, 2)), Keys(g));
    RebuildProcessTable(g, Entries(400, 40));
    EXPECT_EQ(KeysOf(Entries(400, 40)), Keys(g));
}

TEST(ProcessTableRebuild, ARowHoldsItsProcessOnlyWhileIdentifierAndCreationTimeStay) {
    GridModel g = ProcessTableOf(Entries(100, 3));
    const RowKey key = g.Key(2);
    EXPECT_TRUE(RowHoldsProcess(g, 2, key));
    EXPECT_FALSE(RowHoldsProcess(g, 1, key));
    // The header row and rows the table does not have hold no process, not
    // even one whose key is {0, 0} (the idle process where no time is known).
    EXPECT_FALSE(RowHoldsProcess(g, 0, RowKey{}));
    EXPECT_FALSE(RowHoldsProcess(g, 4, RowKey{}));
    EXPECT_FALSE(RowHoldsProcess(g, -1, RowKey{}));

    // The process ended and a new one got its identifier: the same row and
    // texts, another process.
    auto next = Entries(100, 3);
    next[1].created += 1;
    RebuildProcessTable(g, next);
    EXPECT_EQ("101", g.Cell(kColPid, 2));
    EXPECT_FALSE(RowHoldsProcess(g, 2, key));

    // Moved down by a new process in front, it is found in its new row.
    next = Entries(100, 3);
    next.insert(next.begin(), Entry(50));
    RebuildProcessTable(g, next);
    EXPECT_FALSE(RowHoldsProcess(g, 2, key));
    EXPECT_TRUE(RowHoldsProcess(g, 3, key));
}
