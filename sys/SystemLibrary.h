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

// The system library `name` (a bare file name such as L"version.dll"), loaded
// from the system folder and kept loaded by the caller, or null when it cannot
// be loaded from there: LoadLibraryExW with LOAD_LIBRARY_SEARCH_SYSTEM32 on
// systems that know the flag, LoadSystemLibraryByFullPath on the others.
HMODULE LoadSystemLibrary(const wchar_t* name);

// The same library by its full path in the folder that GetSystemDirectoryW
// names (its own imports then found as for a library of that folder).
HMODULE LoadSystemLibraryByFullPath(const wchar_t* name);

}  // namespace zelvane
