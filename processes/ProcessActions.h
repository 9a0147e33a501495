// Terminating a process and changing its priority class, decided on the
// process table's texts. The system calls go through ProcessControl, so the
// rules are platform-free; ProcessControlWin32 is the real one.
#pragma once

#include <cstdint>
#include <memory>
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

// One process opened once for one action: its creation time is read from the
// same handle that then acts, so nothing can take its identifier in between.
class OpenedProcess {
public:
    virtual ~OpenedProcess() = default;
    // The creation time (FILETIME units) read from this handle; nothing when
    // the system does not give it.
    virtual std::optional<std::uint64_t> CreationTime() = 0;
    // TerminateProcess with the exit code; false when it fails.
    virtual bool Terminate(std::uint32_t exitCode) = 0;
    // SetPriorityClass; failures are silent.
    virtual void SetPriorityClass(std::uint32_t priorityClass) = 0;
};

// What an opened process is for.
enum class ProcessRight { Terminate, SetInformation };

// The calls a kill or a priority change makes on the system.
class ProcessControl {
public:
    virtual ~ProcessControl() = default;
    // Asks the user before a protected process is killed; true only for an
    // explicit Yes (a box that could not be shown is no consent).
    virtual bool Confirm() = 0;
    // Opens process `pid` with `right`, and with the right to read its times
    // when `withTimes`; null when it cannot be opened so.
    virtual std::unique_ptr<OpenedProcess> Open(std::uint32_t pid, ProcessRight right, bool withTimes) = 0;
};

// Whether a process opened by identifier `pid`, whose handle gives the
// creation time `created`, is the one a row with `key` was made from. A key
// without a creation time (a system that reports none) is not checked, and a
// key counts only for the identifier it was read with.
bool IsRowProcess(std::uint32_t pid, RowKey key, std::optional<std::uint64_t> created);

// Opens the process that a row was made from, checked against the row's key
// on the handle that will act: null when it cannot be opened, and also when
// the handle is not the row's process (IsRowProcess: the process has ended
// and a new one has its identifier).
std::unique_ptr<OpenedProcess> OpenRowProcess(ProcessControl& control, std::uint32_t pid, RowKey key,
                                              ProcessRight right);

// True when a name cell contains "KERNEL32" or "EXPLORER" (letter case significant).
bool IsProtectedProcessName(std::string_view name);

// The process identifier of a decimal identifier cell: a 64-bit parse whose
// low 32 bits are the identifier. Throws Error("'<text>' is not a valid
// integer value") for anything that is not a whole number.
std::uint32_t ParseProcessId(const std::string& cell);

// Kills the process of a table row. The row's name, identifier and priority
// cells and its key are read once, at the start; a row that no longer holds
// its process by the time of the kill is reported as a kill that failed. Returns the status bar text, or nothing
// when the user declined the confirmation. Throws for a bad identifier cell
// (after the confirmation), with nothing terminated.
std::optional<std::string> KillProcess(const GridModel& table, int row, ProcessControl& control);

// The priority class of a menu level: 4 -> 0x40, 8 -> 0x20, 13 -> 0x80,
// 24 -> 0x100; 0 for any other level.
std::uint32_t PriorityClassOfLevel(int level);

// Sets the priority class of the level on a process; another level makes no
// call. With the creation time of the row's key (0: unknown), a process that
// took over the identifier is left alone, silently.
void SetProcPriority(std::uint32_t pid, int level, ProcessControl& control, std::uint64_t created = 0);

}  // namespace zelvane
