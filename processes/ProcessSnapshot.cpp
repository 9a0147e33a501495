#include "processes/ProcessSnapshot.h"

#include <tlhelp32.h>

#include <cwchar>
#include <string>
#include <unordered_map>

#include "base/Text.h"
#include "gui/Handles.h"
#include "processes/ProcessTable.h"

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
        const HMODULE module = ::LoadLibraryW(L"PSAPI.dll");
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

// The raw paths found in the last pass, by process identifier, each with the
// process's creation time. The path of a running process does not change, and
// an identifier that the system has given to another process since then comes
// with another creation time; so a process seen again costs one open and one
// time query instead of the walk through its module list in its memory.
struct KnownPath {
    ULONGLONG created;
    std::string path;
};
using KnownPaths = std::unordered_map<DWORD, KnownPath>;

KnownPaths& LastPassPaths() {
    static KnownPaths paths;
    return paths;
}

ULONGLONG CreationTime(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// Column 5 on the NT family. The module query needs full query and read
// access, which 32-bit programs do not get usefully on 64-bit processes and
// nobody gets on protected ones; the image name needs only limited access.
// Paths found are noted in `seen` for the next pass.
void QueryProcessPath(DWORD pid, std::string& path, KnownPaths& seen) {
    KernelHandle limited(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    const ULONGLONG created = limited ? CreationTime(limited.Get()) : 0;
    if (created) {
        KnownPaths& last = LastPassPaths();
        const auto known = last.find(pid);
        if (known != last.end() && known->second.created == created) {
            path = known->second.path;
            seen.emplace(pid, std::move(known->second));
            return;
        }
    }
    wchar_t buffer[kPathRoom];
    DWORD length = 0;
    if (KernelHandle process{::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid)}) {
        length = FirstModulePath(process.Get(), buffer);
        if (length == 0) length = ImagePath(process.Get(), buffer);
    } else if (limited) {
        length = ImagePath(limited.Get(), buffer);
    }
    path = Narrow(std::wstring_view(buffer, length));
    // A process that is still starting may not answer yet: only a path is kept.
    if (created && !path.empty()) seen.emplace(pid, KnownPath{created, path});
}

}  // namespace

bool IsWinNT() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    return ::GetVersionExW(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

RebuildResult RebuildFromSnapshot(GridModel& table, bool winNT) {
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
    KnownPaths seen;
    do {
        entry.pid = record.th32ProcessID;
        entry.threads = record.cntThreads;
        entry.priBase = record.pcPriClassBase;
        entry.exeFile = Narrow(std::wstring_view(record.szExeFile, ::wcsnlen(record.szExeFile, MAX_PATH)));
        if (winNT) {
            QueryProcessPath(record.th32ProcessID, entry.path, seen);
        } else {
            entry.path = entry.exeFile;
        }
        rebuild.Add(entry);
    } while (kernel32.processNext && kernel32.processNext(snapshot.Get(), &record));
    rebuild.Finish();
    if (winNT) LastPassPaths() = std::move(seen);  // processes gone since are forgotten
    return RebuildResult::Ok;
}

bool QueryProcessMemoryInfo(HANDLE process, PROCESS_MEMORY_COUNTERS& counters) {
    const PsapiFunctions* psapi = Psapi();
    if (!psapi || !psapi->memoryInfo) return false;
    counters.cb = sizeof counters;
    return psapi->memoryInfo(process, &counters, sizeof counters) != FALSE;
}

}  // namespace zelvane
