// The process table and the kill and priority commands against the real
// system: this test's own process and sleeper_child.exe children.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <thread>

#include "base/Text.h"
#include "gui/Handles.h"
#include "processes/ProcessActions.h"
#include "processes/ProcessControlWin32.h"
#include "processes/ProcessSnapshot.h"
#include "processes/ProcessTable.h"
#include "sys/WindowsVersion.h"
#include "tests/win32/ProgramFixture.h"

using namespace zelvane;
using namespace zelvane::testing;

namespace {

std::wstring OwnPath() {
    wchar_t buffer[MAX_PATH];
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return std::wstring(buffer, n);
}

GridModel FreshTable(ProcessSource& source) {
    GridModel table(kProcessColumnCount, 2);
    WriteProcessTableHeader(table);
    EXPECT_EQ(RebuildResult::Ok, source.Rebuild(table));
    return table;
}

GridModel FreshTable() {
    SystemProcessSource processes(IsWinNT());
    return FreshTable(processes);
}

}  // namespace

TEST(ProcessSnapshot, ListsOwnProcessWithEveryColumn) {
    ASSERT_TRUE(IsWinNT());
    const DWORD pid = ::GetCurrentProcessId();
    SystemProcessSource processes(true);
    GridModel table = FreshTable(processes);
    EXPECT_EQ("Имя программы", table.Cell(0, 0));
    int row = RowOfPid(table, pid);
    ASSERT_GT(row, 0);
    const std::string own = Narrow(OwnPath());
    EXPECT_EQ("win32_tests", table.Cell(kColName, row));
    EXPECT_EQ(FormatPidHex(pid).View(), table.Cell(kColPidHex, row));
    EXPECT_EQ(own, table.Cell(kColPath, row));
    const long threads = std::stol(table.Cell(kColThreads, row));
    EXPECT_GE(threads, 1);
    // The row's key: the identifier and the creation time the system reports.
    FILETIME created, exited, kernel, user;
    ASSERT_TRUE(::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user));
    const RowKey key{pid, (std::uint64_t{created.dwHighDateTime} << 32) | created.dwLowDateTime};
    EXPECT_EQ(key, table.Key(row));

    // One more thread is counted at the next rebuild.
    std::promise<void> release;
    std::thread extra([f = release.get_future()]() mutable { f.wait(); });
    ASSERT_EQ(RebuildResult::Ok, processes.Rebuild(table));
    row = RowOfPid(table, pid);
    EXPECT_EQ(std::to_string(threads + 1), table.Cell(kColThreads, row));
    release.set_value();
    extra.join();
}

TEST(ProcessSnapshot, SystemListAgreesWithTheSnapshotWalkOfWindows9x) {
    // The NT pass reads the system's list in one call; the 9x pass walks the
    // Toolhelp snapshot. Processes seen by both must have the same cells.
    GridModel list(kProcessColumnCount, 2), walk(kProcessColumnCount, 2);
    SystemProcessSource nt(true), toolhelp(false);
    ASSERT_EQ(RebuildResult::Ok, nt.Rebuild(list));
    ASSERT_EQ(RebuildResult::Ok, toolhelp.Rebuild(walk));
    int common = 0;
    for (int row = 1; row < list.RowCount(); ++row) {
        const int other = RowOfPid(walk, static_cast<DWORD>(std::stoul(list.Cell(kColPid, row))));
        if (other < 0) continue;
        ++common;
        for (int col : {kColName, kColPidHex, kColPriority}) {
            EXPECT_EQ(walk.Cell(col, other), list.Cell(col, row)) << "column " << col << " row " << row;
        }
    }
    EXPECT_GE(common, 3);
    const int own = RowOfPid(list, ::GetCurrentProcessId()), ownInWalk = RowOfPid(walk, ::GetCurrentProcessId());
    ASSERT_GT(own, 0);
    ASSERT_GT(ownInWalk, 0);
    EXPECT_EQ(walk.Cell(kColThreads, ownInWalk), list.Cell(kColThreads, own));
    // The 9x pass shows the snapshot's name as the path, and has no creation time.
    EXPECT_EQ("win32_tests.exe", walk.Cell(kColPath, ownInWalk));
    EXPECT_EQ((RowKey{::GetCurrentProcessId(), 0}), walk.Key(ownInWalk));
}

TEST(ProcessSnapshot, PathOfProcessWhoseModulesCannotBeRead) {
    // From a 32-bit program the module list of a 64-bit process cannot be
    // read; its path comes from the image name instead.
    GridModel table = FreshTable();
    int checked = 0;
    for (int row = 1; row < table.RowCount(); ++row) {
        const DWORD pid = static_cast<DWORD>(std::stoul(table.Cell(kColPid, row)));
        const KernelHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
        if (!process) continue;
        HMODULE module = nullptr;
        DWORD needed = 0;
        if (::K32EnumProcessModules(process.Get(), &module, sizeof module, &needed)) continue;
        ++checked;
        EXPECT_NE("", table.Cell(kColPath, row)) << table.Cell(kColName, row);
        EXPECT_EQ(':', table.Cell(kColPath, row)[1]) << table.Cell(kColPath, row);
    }
    if (checked == 0) GTEST_SKIP() << "every process's module list is readable here";
}

TEST(ProcessKill, ProcessThatCannotBeOpenedGivesThePriorityCell) {
    ProcessControlWin32 control(nullptr);
    GridModel table(kProcessColumnCount, 2);
    table.SetCell(kColName, 1, "ghost");
    table.SetCell(kColPid, 1, "0");
    table.SetCell(kColPriority, 1, "13 (High)");
    EXPECT_EQ("Немогу выгрузить процесс! 13 (High)", KillProcess(table, 1, control));

    // An identifier that no process has.
    table.SetCell(kColPid, 1, "4000000000");
    table.SetCell(kColPriority, 1, "8 (Norm)");
    EXPECT_EQ("Немогу выгрузить процесс! 8 (Norm)", KillProcess(table, 1, control));
}

TEST(ProcessKill, ARowActsOnlyOnItsOwnProcess) {
    // The row's key with a creation time one tick off stands for a process
    // that ended and left its identifier to this one: neither the priority
    // nor a kill reaches it. With its own key both do.
    ChildProcess child(L"sleeper_child.exe");
    ASSERT_TRUE(child.Started());
    GridModel table = FreshTable();
    const int row = RowOfPid(table, child.Pid());
    ASSERT_GT(row, 0);
    const RowKey own = table.Key(row);
    ASSERT_NE(0u, own.created);
    table.SetKey(row, RowKey{own.id, own.created + 1});
    ProcessControlWin32 control(nullptr);
    SetProcPriority(child.Pid(), 4, control, own.created + 1);
    EXPECT_EQ(static_cast<DWORD>(NORMAL_PRIORITY_CLASS), ::GetPriorityClass(child.Handle()));
    EXPECT_EQ("Немогу выгрузить процесс! " + table.Cell(kColPriority, row), KillProcess(table, row, control));
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), ::WaitForSingleObject(child.Handle(), 0));

    table.SetKey(row, own);
    SetProcPriority(child.Pid(), 4, control, own.created);
    EXPECT_EQ(static_cast<DWORD>(IDLE_PRIORITY_CLASS), ::GetPriorityClass(child.Handle()));
    EXPECT_EQ("Процесс sleeper_child выгружен.", KillProcess(table, row, control));
    EXPECT_EQ(4u, child.WaitExitCode());
}
