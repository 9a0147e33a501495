#include "sys/SystemLibrary.h"

#include <string>

namespace zelvane {

namespace {

// Whether LoadLibraryExW takes the LOAD_LIBRARY_SEARCH_* flags: the systems
// that do (Windows 8 and later, 7 and Vista with the update KB2533623) also
// have AddDllDirectory, which is the documented way to tell.
bool SystemKnowsSearchFlags() {
    static const bool known = ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "AddDllDirectory") != nullptr;
    return known;
}

}  // namespace

std::wstring SystemFolderPath(const wchar_t* name) {
    wchar_t dir[MAX_PATH];
    const UINT n = ::GetSystemDirectoryW(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    std::wstring path(dir, n);
    if (path.back() != L'\\') path += L'\\';
    return path + name;
}

HMODULE LoadSystemLibraryByFullPath(const wchar_t* name) {
    const std::wstring path = SystemFolderPath(name);
    if (path.empty()) return nullptr;
    // The library's own imports are then found as the system finds them for
    // a library of the system folder.
    return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    if (SystemKnowsSearchFlags()) return ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return LoadSystemLibraryByFullPath(name);
}

}  // namespace zelvane
