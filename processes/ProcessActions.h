// Terminating a process and changing its priority class, decided on the
// process table's texts. The system calls go through ProcessControl, so the
// rules are platform-free; ProcessControlWin32 is the real one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/GridModel.h"

namespace zelvane {

// Exit code of every process that the program terminates.
inline constexpr std::uint32_t kKillExitCode = 4;

// The confirmation asked before a protected process is killed: a carriage
// return without a line feed, then eleven spaces.
inline constexpr std::string_view kKillConfirmText =
    "А ты уверен, что хочешь 'прибить' этот процесс?\r           За последствия я не отвечаю!";
inline constexpr std::string_view kKillConfirmCaption = "Warning";

// The calls a kill or a priority change makes on the system.
class ProcessControl {
public:
    virtual ~ProcessControl() = default;
    // Asks the user before a protected process is killed; true only for an
    // explicit Yes (a box that could not be shown is no consent).
    virtual bool Confirm() = 0;
    // Opens the process for termination and terminates it; false when either fails.
    virtual bool Terminate(std::uint32_t pid, std::uint32_t exitCode) = 0;
    // Opens the process and sets its priority class; failures are silent.
    virtual void SetPriorityClass(std::uint32_t pid, std::uint32_t priorityClass) = 0;
};

// True when a name cell contains "KERNEL32" or "EXPLORER" (letter case significant).
bool IsProtectedProcessName(std::string_view name);

// The process identifier of a decimal identifier cell: a 64-bit parse whose
// low 32 bits are the identifier. Throws Error("'<text>' is not a valid
// integer value") for anything that is not a whole number.
std::uint32_t ParseProcessId(const std::string& cell);

// Kills the process of a table row. The row's name, identifier and priority
// cells are read once, at the start. Returns the status bar text, or nothing
// when the user declined the confirmation. Throws for a bad identifier cell
// (after the confirmation), with nothing terminated.
std::optional<std::string> KillProcess(const GridModel& table, int row, ProcessControl& control);

// The priority class of a menu level: 4 -> 0x40, 8 -> 0x20, 13 -> 0x80,
// 24 -> 0x100; 0 for any other level.
std::uint32_t PriorityClassOfLevel(int level);

// Sets the priority class of the level on a process; another level makes no call.
void SetProcPriority(std::uint32_t pid, int level, ProcessControl& control);

}  // namespace zelvane
