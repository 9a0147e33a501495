// GetTickCount64 for the static runtime, so that zelvane.exe loads on Windows
// XP, whose kernel32 has no GetTickCount64.
//
// The posix-thread runtime (winpthreads) measures its timed waits with
// GetTickCount64, called through the import slot `__imp__GetTickCount64@0`.
// This file defines that slot, so the linker takes no import for it: the slot
// starts at a function that binds kernel32's own GetTickCount64 where the
// system has one (Vista and later) and otherwise carries GetTickCount on into
// 64 bits, then calls through the slot's new value from then on.
//
// It must be one of the executable's own objects: in a library it would be
// looked for only after the runtime had already taken kernel32's import.
#include <windows.h>

#include <atomic>

#include "base/TickCount.h"
#include "sys/DynCalls.h"

namespace {

using TickCount64Fn = ULONGLONG(WINAPI*)();

std::atomic<ULONGLONG> lastTickCount{0};

ULONGLONG WINAPI TickCountFromGetTickCount() {
    ULONGLONG last = lastTickCount.load();
    for (;;) {
        const ULONGLONG count = zelvane::ContinueTickCount(last, ::GetTickCount());
        // A reading older than another thread's last one is not kept.
        if (count <= last) return count;
        if (lastTickCount.compare_exchange_weak(last, count)) return count;
    }
}

ULONGLONG WINAPI BindTickCount64();

}  // namespace

extern "C" {
TickCount64Fn tickCount64Slot __asm__("__imp__GetTickCount64@0") = BindTickCount64;
}

namespace {

ULONGLONG WINAPI BindTickCount64() {
    TickCount64Fn bound = zelvane::dyn::GetTickCount64();
    if (!bound) bound = TickCountFromGetTickCount;
    __atomic_store_n(&tickCount64Slot, bound, __ATOMIC_RELEASE);
    return bound();
}

}  // namespace
