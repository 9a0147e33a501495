// The few native (ntdll) types and values the program uses, written once:
// NtQuerySystemInformation's signature, the information classes asked for,
// the status it answers a short buffer with, and the per-processor times
// record. <winternl.h> is not used: its declarations differ between SDKs.
#pragma once

#include <windows.h>

namespace zelvane::nt {

using NTSTATUS = LONG;

// NtQuerySystemInformation(class, buffer, buffer bytes, returned bytes).
using NtQuerySystemInformationFn = NTSTATUS(WINAPI*)(ULONG, void*, ULONG, ULONG*);

// SYSTEM_INFORMATION_CLASS values.
inline constexpr ULONG kSystemProcessInformation = 5;
inline constexpr ULONG kSystemProcessorPerformanceInformation = 8;

// STATUS_INFO_LENGTH_MISMATCH: the buffer is too small for the answer.
inline constexpr NTSTATUS kStatusInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);

inline bool Succeeded(NTSTATUS status) { return status >= 0; }

// SYSTEM_PROCESSOR_PERFORMANCE_INFORMATION, one per processor (100-ns units).
struct ProcessorTimes {
    LARGE_INTEGER IdleTime;
    LARGE_INTEGER KernelTime;
    LARGE_INTEGER UserTime;
    LARGE_INTEGER DpcTime;
    LARGE_INTEGER InterruptTime;
    ULONG InterruptCount;
};
static_assert(sizeof(ProcessorTimes) == 48);

}  // namespace zelvane::nt
