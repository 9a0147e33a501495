// The Win32 side of the process table: the system's process snapshot walked
// into a ProcessTableRebuild, and the PSAPI functions. Every function is
// resolved by name at its first use, so the program also starts on systems
// that lack them; a missing function makes its call report failure.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <string_view>

#include "base/GridModel.h"

namespace zelvane {

// Status bar text for a snapshot that the system refused.
inline constexpr std::string_view kSnapshotClosedText = "Информация о процессах закрыта.";

enum class RebuildResult {
    Ok,               // the table holds the snapshot
    SnapshotRefused,  // the system refused the snapshot; the table is unchanged
    NoEntries,        // no first entry (or no snapshot functions); the table is unchanged
};

// Rebuilds the process table from a fresh snapshot (see ProcessTableRebuild
// for rows and selection). On the NT family the snapshot is the system's
// process list in one call (NtQuerySystemInformation), and the Toolhelp walk
// where that call is missing or fails; on Windows 9x/ME the Toolhelp walk.
// Path column: on the NT family (`winNT`, normally
// IsWinNT() of sys/WindowsVersion.h) the first module's file name through PSAPI, or, where the
// process or its module list cannot be read, QueryFullProcessImageNameW; on
// Windows 9x/ME the snapshot's executable name. A process seen again (same
// identifier, same creation time) keeps the path found for it before; every
// process opened is closed within the pass. Row keys: the creation time from
// the system's list, on the Toolhelp walk from the process opened for its
// path; 0 where it cannot be read and on Windows 9x/ME.
RebuildResult RebuildFromSnapshot(GridModel& table, bool winNT);

// GetProcessMemoryInfo from PSAPI (for the properties window); false when the
// call fails or PSAPI cannot be loaded.
bool QueryProcessMemoryInfo(HANDLE process, PROCESS_MEMORY_COUNTERS& counters);

}  // namespace zelvane
