#include "processes/ProcessActions.h"

#include "base/IntParse.h"
#include "processes/ProcessTable.h"

namespace zelvane {

bool IsProtectedProcessName(std::string_view name) {
    return name.find("KERNEL32") != std::string_view::npos || name.find("EXPLORER") != std::string_view::npos;
}

std::uint32_t ParseProcessId(const std::string& cell) {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(StrToInt64(cell)));
}

bool IsRowProcess(std::uint32_t pid, RowKey key, std::optional<std::uint64_t> created) {
    return key.id != pid || key.created == 0 || created == key.created;
}

std::unique_ptr<OpenedProcess> OpenRowProcess(ProcessControl& control, std::uint32_t pid, RowKey key,
                                              ProcessRight right) {
    const bool checked = !IsRowProcess(pid, key, std::nullopt);  // the key has a time to compare
    auto process = control.Open(pid, right, checked);
    if (process && checked && !IsRowProcess(pid, key, process->CreationTime())) return nullptr;
    return process;
}

std::optional<std::string> KillProcess(const GridModel& table, int row, ProcessControl& control) {
    // Read once: a rebuild under the open confirmation box changes neither the
    // process nor the texts of the outcome.
    const std::string name = table.Cell(kColName, row);
    const std::string pidText = table.Cell(kColPid, row);
    const std::string priority = table.Cell(kColPriority, row);
    const RowKey key = table.Key(row);

    if (IsProtectedProcessName(name) && !control.Confirm()) return std::nullopt;
    const std::uint32_t pid = ParseProcessId(pidText);
    const auto process = OpenRowProcess(control, pid, key, ProcessRight::Terminate);
    if (process && process->Terminate(kKillExitCode)) return "Процесс " + name + " выгружен.";
    return "Немогу выгрузить процесс! " + priority;
}

std::uint32_t PriorityClassOfLevel(int level) {
    switch (level) {
        case 4: return 0x40;    // IDLE_PRIORITY_CLASS
        case 8: return 0x20;    // NORMAL_PRIORITY_CLASS
        case 13: return 0x80;   // HIGH_PRIORITY_CLASS
        case 24: return 0x100;  // REALTIME_PRIORITY_CLASS
        default: return 0;
    }
}

void SetProcPriority(std::uint32_t pid, int level, ProcessControl& control, std::uint64_t created) {
    const std::uint32_t priorityClass = PriorityClassOfLevel(level);
    if (priorityClass == 0) return;
    if (const auto process = OpenRowProcess(control, pid, RowKey{pid, created}, ProcessRight::SetInformation)) {
        process->SetPriorityClass(priorityClass);
    }
}

}  // namespace zelvane
