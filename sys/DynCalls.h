// The one list of system functions that the program binds at run time: each
// is named once below, with the library it comes from and its type.
//
// A function is bound at its first use: its library is loaded then, from the
// system folder only (sys/SystemLibrary.h), and stays loaded for the rest of
// the run, so that the program starts without loading the libraries only
// some commands need (shell32, comdlg32 and version.dll cost start-up time).
// The accessor of a function gives the function, or null when its library or
// the function itself is missing; callers then do without it. A library that
// failed to load is tried again at the next use.
//
// Use: `if (const auto notify = dyn::Shell_NotifyIconW()) notify(NIM_ADD, &data);`
#pragma once

#include <windows.h>

#include <commdlg.h>
#include <oleacc.h>
#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>
#include <winver.h>

#include "sys/NtNative.h"

// The display-scale functions of Windows 8.1 and 10, which the build's
// WINVER (Windows 7) keeps out of the headers.
namespace zelvane::dpi {
using AwarenessContext = HANDLE;  // DPI_AWARENESS_CONTEXT
enum Awareness : int { kInvalid = -1, kUnaware = 0, kSystemAware = 1, kPerMonitorAware = 2 };
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int index, UINT dpi);
using GetThreadDpiAwarenessContextFn = AwarenessContext(WINAPI*)();
using GetAwarenessFromDpiAwarenessContextFn = Awareness(WINAPI*)(AwarenessContext);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int type, UINT* x, UINT* y);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD style, BOOL menu, DWORD exStyle, UINT dpi);
}  // namespace zelvane::dpi

// X(library, function, type). The libraries are the values of
// zelvane::dyn::Lib. kernel32, ntdll and user32 are always loaded: theirs are
// the functions that older systems (NT 4, 9x, Windows 7) lack. oleacc, ole32
// and oleaut32 serve screen readers and are loaded at a reader's first request.
#define ZELVANE_DYN_CALLS(X)                                                                  \
    X(Kernel32, CreateToolhelp32Snapshot, decltype(&::CreateToolhelp32Snapshot))              \
    X(Kernel32, Process32FirstW, decltype(&::Process32FirstW))                                \
    X(Kernel32, Process32NextW, decltype(&::Process32NextW))                                  \
    X(Kernel32, QueryFullProcessImageNameW, decltype(&::QueryFullProcessImageNameW))          \
    X(Kernel32, GetTickCount64, decltype(&::GetTickCount64))                                  \
    X(Kernel32, IsWow64Process, decltype(&::IsWow64Process))                                  \
    X(Ntdll, NtQuerySystemInformation, ::zelvane::nt::NtQuerySystemInformationFn)             \
    X(Psapi, EnumProcessModules, decltype(&::EnumProcessModules))                             \
    X(Psapi, GetModuleFileNameExW, decltype(&::GetModuleFileNameExW))                         \
    X(Psapi, GetProcessMemoryInfo, decltype(&::GetProcessMemoryInfo))                         \
    X(Shell32, Shell_NotifyIconW, decltype(&::Shell_NotifyIconW))                             \
    X(Comdlg32, ChooseColorW, decltype(&::ChooseColorW))                                      \
    X(Version, GetFileVersionInfoSizeW, decltype(&::GetFileVersionInfoSizeW))                 \
    X(Version, GetFileVersionInfoW, decltype(&::GetFileVersionInfoW))                         \
    X(Version, VerQueryValueW, decltype(&::VerQueryValueW))                                   \
    X(User32, NotifyWinEvent, decltype(&::NotifyWinEvent))                                    \
    X(User32, IsWinEventHookInstalled, decltype(&::IsWinEventHookInstalled))                  \
    X(User32, GetDpiForWindow, ::zelvane::dpi::GetDpiForWindowFn)                             \
    X(User32, GetSystemMetricsForDpi, ::zelvane::dpi::GetSystemMetricsForDpiFn)               \
    X(User32, GetThreadDpiAwarenessContext, ::zelvane::dpi::GetThreadDpiAwarenessContextFn)   \
    X(User32, GetAwarenessFromDpiAwarenessContext, ::zelvane::dpi::GetAwarenessFromDpiAwarenessContextFn) \
    X(User32, AdjustWindowRectExForDpi, ::zelvane::dpi::AdjustWindowRectExForDpiFn)           \
    X(Shcore, GetDpiForMonitor, ::zelvane::dpi::GetDpiForMonitorFn)                           \
    X(Oleacc, LresultFromObject, decltype(&::LresultFromObject))                              \
    X(Oleacc, CreateStdAccessibleObject, decltype(&::CreateStdAccessibleObject))              \
    X(Oleacc, AccessibleObjectFromWindow, decltype(&::AccessibleObjectFromWindow))            \
    X(Ole32, CoInitializeEx, decltype(&::CoInitializeEx))                                     \
    X(Ole32, CoDisconnectObject, decltype(&::CoDisconnectObject))                             \
    X(Oleaut32, SysAllocStringLen, decltype(&::SysAllocStringLen))                            \
    X(Oleaut32, SysFreeString, decltype(&::SysFreeString))                                    \
    X(Oleaut32, VariantClear, decltype(&::VariantClear))

namespace zelvane::dyn {

enum class Lib { Kernel32, Ntdll, User32, Psapi, Shell32, Comdlg32, Version, Shcore, Oleacc, Ole32, Oleaut32, kCount };

// The accessors: `Type Name()`, the function or null. (The PSAPI functions are
// named by their PSAPI.dll exports; <psapi.h> maps the names to kernel32's
// K32 variants, which older systems do not have.)
#define ZELVANE_DYN_DECLARE(lib, name, type) type name();
ZELVANE_DYN_CALLS(ZELVANE_DYN_DECLARE)
#undef ZELVANE_DYN_DECLARE

}  // namespace zelvane::dyn
