// The DPI each window is drawn for, from the newest call the system has.
// Every layout value of the program is stated for 96 DPI and scaled with
// base/Dpi.h's rule.
#pragma once

#include <windows.h>

#include "sys/DynCalls.h"

namespace zelvane {

// The DPI of the screen as the whole program sees it (LOGPIXELSX): the scale
// of systems that know no per-monitor DPI (9x, NT 4, 2000, XP, Vista, 7, 8),
// and of the notification area.
int SystemDpi();

// The DPI `hwnd` is drawn for: GetDpiForWindow (Windows 10), else the DPI of
// its monitor (8.1), else the system's.
int WindowDpi(HWND hwnd);

// The size of a small icon (the notification area's) at the system DPI.
int SmallIconSize();

// The DPI awareness the calling thread runs with; kInvalid before Windows 10.
dpi::Awareness ThreadDpiAwareness();

}  // namespace zelvane
