#include "processes/ProcessSnapshot.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "base/Text.h"
#include "gui/Handles.h"
#include "gui/LateBound.h"
#include "processes/KnownPaths.h"
#include "processes/ProcessTable.h"
#include "processes/SystemProcessList.h"
#include "sys/SystemLibrary.h"

namespace zelvane {

namespace {

using CreateSnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
using ProcessWalkFn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32W*);
using QueryImageNameFn = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
using EnumModulesFn = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, LPDWORD);
using ModuleFileNameFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPWSTR, DWORD);
using MemoryInfoFn = BOOL(WINAPI*)(HANDLE, PROCESS_MEMORY_COUNTERS*, DWORD);

// Room for a path: more than MAX_PATH, so long paths are not cut.
constexpr DWORD kPathRoom = 1024;

template <typename Fn>
Fn Resolve(HMODULE module, const char* name) {
    if (!module) return nullptr;
    // Through a plain function pointer type: GetProcAddress's FARPROC does not
    // match any real signature.
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

// The snapshot functions of the already loaded kernel32.
struct Kernel32Functions {
    CreateSnapshotFn createSnapshot;
    ProcessWalkFn processFirst;
    ProcessWalkFn processNext;
    QueryImageNameFn queryImageName;
};

const Kernel32Functions& Kernel32() {
    static const Kernel32Functions functions = [] {
        const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
        return Kernel32Functions{
            Resolve<CreateSnapshotFn>(kernel32, "CreateToolhelp32Snapshot"),
            Resolve<ProcessWalkFn>(kernel32, "Process32FirstW"),
            Resolve<ProcessWalkFn>(kernel32, "Process32NextW"),
            Resolve<QueryImageNameFn>(kernel32, "QueryFullProcessImageNameW"),
        };
    }();
    return functions;
}

struct PsapiFunctions {
    EnumModulesFn enumModules;
    ModuleFileNameFn moduleFileName;
    MemoryInfoFn memoryInfo;
};

// PSAPI.dll, loaded at the first use that succeeds and kept loaded; a failed
// load is tried again at the next use. Null while it cannot be loaded.
const PsapiFunctions* Psapi() {
    static Library library;
    static PsapiFunctions functions{};
    if (!library) {
        const HMODULE module = LoadSystemLibrary(L"PSAPI.dll");
        if (reinterpret_cast<UINT_PTR>(module) < 32) return nullptr;
        library.Reset(module);
        functions = PsapiFunctions{
            Resolve<EnumModulesFn>(module, "EnumProcessModules"),
            Resolve<ModuleFileNameFn>(module, "GetModuleFileNameExW"),
            Resolve<MemoryInfoFn>(module, "GetProcessMemoryInfo"),
        };
    }
    return &functions;
}

// The file name of a process's first module, or 0 characters.
DWORD FirstModulePath(HANDLE process, wchar_t* buffer) {
    const PsapiFunctions* psapi = Psapi();
    if (!psapi || !psapi->enumModules || !psapi->moduleFileName) return 0;
    HMODULE first = nullptr;
    DWORD needed = 0;
    if (!psapi->enumModules(process, &first, sizeof first, &needed)) return 0;
    const DWORD length = psapi->moduleFileName(process, first, buffer, kPathRoom);
    return length < kPathRoom ? length : 0;
}

DWORD ImagePath(HANDLE process, wchar_t* buffer) {
    const QueryImageNameFn query = Kernel32().queryImageName;
    DWORD size = kPathRoom;
    if (!query || !query(process, 0, buffer, &size)) return 0;
    return size;
}

// The raw paths of the last complete pass (processes/KnownPaths.h).
KnownPaths& LastPassPaths() {
    static KnownPaths paths;
    return paths;
}

ULONGLONG CreationTime(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// Column 5 on the NT family, read from the process. The module query needs
// full query and read access, which 32-bit programs do not get usefully on
// 64-bit processes and nobody gets on protected ones; the image name needs
// only limited access (`limited`, opened here when null).
void ReadProcessPath(DWORD pid, HANDLE limited, ULONGLONG created, std::string& path) {
    wchar_t buffer[kPathRoom];
    DWORD length = 0;
    if (KernelHandle process{::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid)}) {
        length = FirstModulePath(process.Get(), buffer);
        if (length == 0) length = ImagePath(process.Get(), buffer);
    } else if (limited) {
        length = ImagePath(limited, buffer);
    } else if (KernelHandle opened{::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid)}) {
        length = ImagePath(opened.Get(), buffer);
    }
    path = Narrow(std::wstring_view(buffer, length));
    // A process that is still starting may not answer yet: only a path is kept.
    LastPassPaths().Keep(pid, created, path);
}

// The snapshot walk's path: the creation time comes from the process itself
// (0 where it cannot be opened) and is returned for the row's key.
ULONGLONG QueryProcessPath(DWORD pid, std::string& path) {
    KernelHandle limited(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    const ULONGLONG created = limited ? CreationTime(limited.Get()) : 0;
    if (LastPassPaths().Reuse(pid, created, path)) return created;
    ReadProcessPath(pid, limited.Get(), created, path);
    return created;
}

// ---- the process list in one system call (NT family) ----

using NtQuerySystemInformationFn = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
constexpr ULONG kSystemProcessInformation = 5;
constexpr LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);
constexpr std::size_t kListRoomLimit = std::size_t{64} << 20;

NtQuerySystemInformationFn NtQuery() {
    static const auto fn = LateBound<NtQuerySystemInformationFn>(L"ntdll.dll", "NtQuerySystemInformation");
    return fn;
}

// The list and its buffer are kept from pass to pass (8-byte aligned, the
// size the last list needed), so that a steady pass asks the system once.
struct ProcessList {
    std::vector<std::uint64_t> buffer;
    std::vector<SystemProcessRecord> records;
};

ProcessList& KeptList() {
    static ProcessList list;
    return list;
}

// The system's process list, or null when the call is missing or fails or the
// list does not read back; the snapshot walk serves then.
const std::vector<SystemProcessRecord>* QueryProcessList() {
    const NtQuerySystemInformationFn query = NtQuery();
    if (!query) return nullptr;
    ProcessList& list = KeptList();
    if (list.buffer.empty()) list.buffer.resize((std::size_t{64} << 10) / sizeof(std::uint64_t));
    for (;;) {
        const std::size_t room = list.buffer.size() * sizeof(std::uint64_t);
        ULONG returned = 0;
        const LONG status = query(kSystemProcessInformation, list.buffer.data(), static_cast<ULONG>(room), &returned);
        if (status == kStatusInfoLengthMismatch && room < kListRoomLimit) {
            // The list may grow before the next call: some room to spare.
            const std::size_t wanted = std::max<std::size_t>(room * 2, std::size_t{returned} + (16 << 10));
            list.buffer.assign(std::min(wanted, kListRoomLimit) / sizeof(std::uint64_t), 0);
            continue;
        }
        if (status < 0) return nullptr;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(list.buffer.data());
        const std::size_t size = std::min<std::size_t>(returned, room);
        if (!ParseSystemProcessList(bytes, size, static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(bytes)),
                                    list.records)) {
            return nullptr;
        }
        return &list.records;
    }
}

// The snapshot walk names the idle process so; the list leaves its name empty.
constexpr char kIdleProcessName[] = "[System Process]";

RebuildResult RebuildFromList(GridModel& table, const std::vector<SystemProcessRecord>& records) {
    if (records.empty()) return RebuildResult::NoEntries;
    ProcessTableRebuild rebuild(table);
    ProcessEntry entry;  // one record for the pass: its strings keep their storage
    KnownPaths& known = LastPassPaths();
    known.BeginPass();
    for (const SystemProcessRecord& r : records) {
        entry.pid = r.pid;
        entry.threads = r.threads;
        entry.priBase = r.basePriority;
        entry.created = r.created;
        entry.exeFile = r.name.empty() && r.pid == 0 ? kIdleProcessName : Utf16ToUtf8(r.name);
        if (!known.Reuse(r.pid, r.created, entry.path)) ReadProcessPath(r.pid, nullptr, r.created, entry.path);
        rebuild.Add(entry);
    }
    rebuild.Finish();
    known.PassComplete();
    return RebuildResult::Ok;
}

}  // namespace

bool IsWinNT() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    return ::GetVersionExW(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

RebuildResult RebuildFromSnapshot(GridModel& table, bool winNT) {
    if (winNT) {
        if (const std::vector<SystemProcessRecord>* list = QueryProcessList()) return RebuildFromList(table, *list);
    }
    const Kernel32Functions& kernel32 = Kernel32();
    const HANDLE raw = kernel32.createSnapshot ? kernel32.createSnapshot(TH32CS_SNAPPROCESS, 0) : nullptr;
    if (raw == INVALID_HANDLE_VALUE) return RebuildResult::SnapshotRefused;
    const FileHandle snapshot(raw);  // closed also when a row fails

    PROCESSENTRY32W record;
    record.dwSize = sizeof record;
    if (!snapshot || !kernel32.processFirst || !kernel32.processFirst(snapshot.Get(), &record)) {
        return RebuildResult::NoEntries;
    }
    ProcessTableRebuild rebuild(table);
    ProcessEntry entry;  // one record for the pass: its strings keep their storage
    if (winNT) LastPassPaths().BeginPass();
    do {
        entry.pid = record.th32ProcessID;
        entry.threads = record.cntThreads;
        entry.priBase = record.pcPriClassBase;
        entry.exeFile = Narrow(std::wstring_view(record.szExeFile, ::wcsnlen(record.szExeFile, MAX_PATH)));
        if (winNT) {
            entry.created = QueryProcessPath(record.th32ProcessID, entry.path);
        } else {
            entry.path = entry.exeFile;  // Windows 9x/ME: no creation time, the key holds 0
        }
        rebuild.Add(entry);
    } while (kernel32.processNext && kernel32.processNext(snapshot.Get(), &record));
    rebuild.Finish();
    if (winNT) LastPassPaths().PassComplete();
    return RebuildResult::Ok;
}

bool QueryProcessMemoryInfo(HANDLE process, PROCESS_MEMORY_COUNTERS& counters) {
    const PsapiFunctions* psapi = Psapi();
    if (!psapi || !psapi->memoryInfo) return false;
    counters.cb = sizeof counters;
    return psapi->memoryInfo(process, &counters, sizeof counters) != FALSE;
}

}  // namespace zelvane
