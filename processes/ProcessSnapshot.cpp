#include "processes/ProcessSnapshot.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "base/Text.h"
#include "processes/KnownPaths.h"
#include "processes/ProcessTable.h"
#include "processes/SystemProcessList.h"
#include "sys/DynCalls.h"
#include "sys/Handles.h"
#include "sys/NtNative.h"

namespace zelvane {

namespace {

// Room for a path: more than MAX_PATH, so long paths are not cut.
constexpr DWORD kPathRoom = 1024;

// The file name of a process's first module, or 0 characters.
DWORD FirstModulePath(HANDLE process, wchar_t* buffer) {
    const auto enumModules = dyn::EnumProcessModules();
    const auto moduleFileName = dyn::GetModuleFileNameExW();
    if (!enumModules || !moduleFileName) return 0;
    HMODULE first = nullptr;
    DWORD needed = 0;
    if (!enumModules(process, &first, sizeof first, &needed)) return 0;
    const DWORD length = moduleFileName(process, first, buffer, kPathRoom);
    return length < kPathRoom ? length : 0;
}

DWORD ImagePath(HANDLE process, wchar_t* buffer) {
    const auto query = dyn::QueryFullProcessImageNameW();
    DWORD size = kPathRoom;
    if (!query || !query(process, 0, buffer, &size)) return 0;
    return size;
}

// Whether `process` is a 64-bit process seen from this 32-bit program on a
// 64-bit system: its module list cannot be read from here (the query reads
// its memory and then fails), so the image name serves at once.
bool IsBeyondOurBitness(HANDLE process) {
    const auto isWow64 = dyn::IsWow64Process();
    if (!isWow64) return false;  // Windows 2000 and older: no 64-bit processes
    static const bool weAreWow64 = [isWow64] {
        BOOL wow64 = FALSE;
        return isWow64(::GetCurrentProcess(), &wow64) && wow64;
    }();
    BOOL wow64 = FALSE;
    return weAreWow64 && isWow64(process, &wow64) && !wow64;
}

// Column 5 on the NT family, read from the process. The module query needs
// full query and read access, which 32-bit programs do not get usefully on
// 64-bit processes and nobody gets on protected ones; the image name needs
// only limited access (`limited`, opened here when null). The path is noted
// in `known` for this pass.
void ReadProcessPath(DWORD pid, HANDLE limited, ULONGLONG created, std::string& path, KnownPaths& known) {
    wchar_t buffer[kPathRoom];
    DWORD length = 0;
    if (KernelHandle process{::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid)}) {
        if (!IsBeyondOurBitness(process.Get())) length = FirstModulePath(process.Get(), buffer);
        if (length == 0) length = ImagePath(process.Get(), buffer);
    } else if (limited) {
        length = ImagePath(limited, buffer);
    } else if (KernelHandle opened{::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid)}) {
        length = ImagePath(opened.Get(), buffer);
    }
    path = Narrow(std::wstring_view(buffer, length));
    // A process that is still starting may not answer yet: only a path is kept.
    known.Keep(pid, created, path);
}

// The snapshot walk's path: the creation time comes from the process itself
// (0 where it cannot be opened) and is returned for the row's key.
ULONGLONG QueryProcessPath(DWORD pid, std::string& path, KnownPaths& known) {
    KernelHandle limited(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    const ULONGLONG created = limited ? ProcessCreationTime(limited.Get()).value_or(0) : 0;
    if (known.Reuse(pid, created, path)) return created;
    ReadProcessPath(pid, limited.Get(), created, path, known);
    return created;
}

// ---- the process list in one system call (NT family) ----

constexpr std::size_t kListRoomLimit = std::size_t{64} << 20;

// The snapshot walk names the idle process so; the list leaves its name empty.
constexpr char kIdleProcessName[] = "[System Process]";

}  // namespace

// The system's process list, or null when the call is missing or fails or the
// list does not read back; the snapshot walk serves then.
const std::vector<SystemProcessRecord>* SystemProcessSource::QueryProcessList() {
    const auto query = dyn::NtQuerySystemInformation();
    if (!query) return nullptr;
    std::vector<std::uint64_t>& buffer = listBuffer_;
    if (buffer.empty()) buffer.resize((std::size_t{64} << 10) / sizeof(std::uint64_t));
    for (;;) {
        const std::size_t room = buffer.size() * sizeof(std::uint64_t);
        ULONG returned = 0;
        const nt::NTSTATUS status =
            query(nt::kSystemProcessInformation, buffer.data(), static_cast<ULONG>(room), &returned);
        if (status == nt::kStatusInfoLengthMismatch && room < kListRoomLimit) {
            // The list may grow before the next call: some room to spare.
            const std::size_t wanted = std::max<std::size_t>(room * 2, std::size_t{returned} + (16 << 10));
            buffer.assign(std::min(wanted, kListRoomLimit) / sizeof(std::uint64_t), 0);
            continue;
        }
        if (!nt::Succeeded(status)) return nullptr;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(buffer.data());
        const std::size_t size = std::min<std::size_t>(returned, room);
        if (!ParseSystemProcessList(bytes, size, static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(bytes)),
                                    records_)) {
            return nullptr;
        }
        return &records_;
    }
}

RebuildResult SystemProcessSource::RebuildFromList(GridModel& table, const std::vector<SystemProcessRecord>& records) {
    if (records.empty()) return RebuildResult::NoEntries;
    ProcessTableRebuild rebuild(table);
    ProcessEntry entry;  // one record for the pass: its strings keep their storage
    KnownPaths& known = paths_;
    known.BeginPass();
    for (const SystemProcessRecord& r : records) {
        entry.pid = r.pid;
        entry.threads = r.threads;
        entry.priBase = r.basePriority;
        entry.created = r.created;
        entry.exeFile = r.name.empty() && r.pid == 0 ? kIdleProcessName : Utf16ToUtf8(r.name);
        if (!known.Reuse(r.pid, r.created, entry.path)) ReadProcessPath(r.pid, nullptr, r.created, entry.path, known);
        rebuild.Add(entry);
    }
    rebuild.Finish();
    known.PassComplete();
    return RebuildResult::Ok;
}

RebuildResult SystemProcessSource::Rebuild(GridModel& table) {
    if (winNT_) {
        if (const std::vector<SystemProcessRecord>* list = QueryProcessList()) return RebuildFromList(table, *list);
    }
    return RebuildFromWalk(table);
}

RebuildResult SystemProcessSource::RebuildFromWalk(GridModel& table) {
    const bool winNT = winNT_;
    const auto createSnapshot = dyn::CreateToolhelp32Snapshot();
    const auto processFirst = dyn::Process32FirstW();
    const auto processNext = dyn::Process32NextW();
    const HANDLE raw = createSnapshot ? createSnapshot(TH32CS_SNAPPROCESS, 0) : nullptr;
    if (raw == INVALID_HANDLE_VALUE) return RebuildResult::SnapshotRefused;
    const FileHandle snapshot(raw);  // closed also when a row fails

    PROCESSENTRY32W record;
    record.dwSize = sizeof record;
    if (!snapshot || !processFirst || !processFirst(snapshot.Get(), &record)) {
        return RebuildResult::NoEntries;
    }
    ProcessTableRebuild rebuild(table);
    ProcessEntry entry;  // one record for the pass: its strings keep their storage
    if (winNT) paths_.BeginPass();
    do {
        entry.pid = record.th32ProcessID;
        entry.threads = record.cntThreads;
        entry.priBase = record.pcPriClassBase;
        entry.exeFile = Narrow(std::wstring_view(record.szExeFile, ::wcsnlen(record.szExeFile, MAX_PATH)));
        if (winNT) {
            entry.created = QueryProcessPath(record.th32ProcessID, entry.path, paths_);
        } else {
            entry.path = entry.exeFile;  // Windows 9x/ME: no creation time, the key holds 0
        }
        rebuild.Add(entry);
    } while (processNext && processNext(snapshot.Get(), &record));
    rebuild.Finish();
    if (winNT) paths_.PassComplete();
    return RebuildResult::Ok;
}

bool QueryProcessMemoryInfo(HANDLE process, PROCESS_MEMORY_COUNTERS& counters) {
    const auto memoryInfo = dyn::GetProcessMemoryInfo();
    if (!memoryInfo) return false;
    counters.cb = sizeof counters;
    return memoryInfo(process, &counters, sizeof counters) != FALSE;
}

std::optional<std::uint64_t> ProcessCreationTime(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) return std::nullopt;
    return (std::uint64_t{created.dwHighDateTime} << 32) | created.dwLowDateTime;
}

}  // namespace zelvane
