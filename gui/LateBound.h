// A function of a system library that only some commands need, bound at its
// first use: the program then starts without loading that library (shell32,
// comdlg32 and version.dll cost start-up time under Wine and on Windows alike).
#pragma once

#include <windows.h>

#include "sys/SystemLibrary.h"

namespace zelvane {

// The function, or null when the library or the function is missing. The
// library comes from the system folder only and stays loaded for the rest of
// the run.
template <typename Fn>
Fn LateBound(const wchar_t* library, const char* name) {
    const HMODULE module = LoadSystemLibrary(library);
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}

}  // namespace zelvane
