// Loading the system libraries that the program does not link: always from the
// system folder, never from the program's own folder or the current directory,
// where a file of the same name could have been left (a download folder).
#pragma once

#include <windows.h>

#include <string>

namespace zelvane {

// The full path of the file `name` in the system folder, or an empty text when
// the system does not say where that folder is.
std::wstring SystemFolderPath(const wchar_t* name);

// How a library is found in the system folder.
enum class SystemFolderRoute {
    // LoadLibraryExW with LOAD_LIBRARY_SEARCH_SYSTEM32, on systems that know
    // the flag; the full path otherwise.
    Best,
    // The full path from GetSystemDirectoryW, as on systems without the flag.
    FullPath,
};

// The system library `name` (a bare file name such as L"version.dll"), loaded
// from the system folder and kept loaded by the caller, or null when it cannot
// be loaded from there.
HMODULE LoadSystemLibrary(const wchar_t* name, SystemFolderRoute route = SystemFolderRoute::Best);

}  // namespace zelvane
