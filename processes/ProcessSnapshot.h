// The Win32 side of the process table: the system's processes walked into a
// ProcessTableRebuild, and the PSAPI functions. Every function is
// resolved by name at its first use, so the program also starts on systems
// that lack them; a missing function makes its call report failure.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "base/GridModel.h"
#include "processes/KnownPaths.h"
#include "processes/SystemProcessList.h"

namespace zelvane {

// Status bar text for a snapshot that the system refused.
inline constexpr std::string_view kSnapshotClosedText = "Информация о процессах закрыта.";

enum class RebuildResult {
    Ok,               // the table holds the snapshot
    SnapshotRefused,  // the system refused the snapshot; the table is unchanged
    NoEntries,        // no first entry (or no snapshot functions); the table is unchanged
};

// Where the main window's process table comes from: the system's processes
// (SystemProcessSource), or a test's own.
class ProcessSource {
public:
    // Rebuilds `table` from a fresh look at the processes (see
    // ProcessTableRebuild for rows and selection).
    virtual RebuildResult Rebuild(GridModel& table) = 0;

protected:
    ~ProcessSource() = default;
};

// The system's processes. On the NT family (`winNT`, normally IsWinNT() of
// sys/WindowsVersion.h) the snapshot is the system's process list in one call
// (NtQuerySystemInformation), and the Toolhelp walk where that call is missing
// or fails; on Windows 9x/ME the Toolhelp walk.
// Path column: on the NT family the first module's file name through PSAPI,
// or, where the process or its module list cannot be read,
// QueryFullProcessImageNameW; on Windows 9x/ME the snapshot's executable name.
// A process seen again by the same source (same identifier, same creation
// time) keeps the path found for it before; every process opened is closed
// within the pass. Row keys: the creation time from the system's list, on the
// Toolhelp walk from the process opened for its path; 0 where it cannot be
// read and on Windows 9x/ME.
class SystemProcessSource final : public ProcessSource {
public:
    explicit SystemProcessSource(bool winNT) : winNT_(winNT) {}
    SystemProcessSource(const SystemProcessSource&) = delete;
    SystemProcessSource& operator=(const SystemProcessSource&) = delete;

    RebuildResult Rebuild(GridModel& table) override;

private:
    const std::vector<SystemProcessRecord>* QueryProcessList();
    RebuildResult RebuildFromList(GridModel& table, const std::vector<SystemProcessRecord>& records);
    RebuildResult RebuildFromWalk(GridModel& table);

    bool winNT_;
    // The raw paths of the last complete pass.
    KnownPaths paths_;
    // The system's list and its buffer, kept from pass to pass (8-byte
    // aligned, the size the last list needed), so that a steady pass asks the
    // system once.
    std::vector<std::uint64_t> listBuffer_;
    std::vector<SystemProcessRecord> records_;
};

// GetProcessMemoryInfo from PSAPI (for the properties window); false when the
// call fails or PSAPI cannot be loaded.
bool QueryProcessMemoryInfo(HANDLE process, PROCESS_MEMORY_COUNTERS& counters);

// The creation time of a process (FILETIME units) from a handle with query
// rights; nothing when the system does not give it.
std::optional<std::uint64_t> ProcessCreationTime(HANDLE process);

}  // namespace zelvane
