// What the journey hook (journey_hook.dll, in the program's GUI thread) hands
// to the journey driver: every input message the thread took off its queue,
// and the answers to the driver's probes. One writer (the hooked thread), one
// reader (the driver), in a named shared memory block.
#pragma once

#include <windows.h>

namespace journey {

inline constexpr wchar_t kLogName[] = L"ZelvaneJourneyInputLog";
// Posted by the driver to a window of the program with a probe number in
// wParam. The hook notes it, with the thread's queue status at that moment in
// lParam (HIWORD of GetQueueStatus(QS_ALLINPUT)), and turns it into WM_NULL:
// the program never sees it.
inline constexpr wchar_t kProbeMessageName[] = L"ZelvaneJourneyProbe";
// lParam of a probe: the thread's drawing goes to the screen first.
inline constexpr LPARAM kProbeFlushes = 1;
inline constexpr LONG kLogCapacity = 1 << 16;

struct Entry {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    HWND hwnd;
};

struct InputLog {
    volatile LONG count;  // entries written; entry k is at k % kLogCapacity
    Entry entries[kLogCapacity];
};

}  // namespace journey
