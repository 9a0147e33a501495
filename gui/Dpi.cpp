#include "gui/Dpi.h"

#include "base/Dpi.h"

namespace zelvane {

int SystemDpi() {
    const HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : kBaseDpi;
    if (screen) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kBaseDpi;
}

int WindowDpi(HWND hwnd) {
    if (hwnd) {
        if (const auto forWindow = dyn::GetDpiForWindow()) {
            if (const UINT dpi = forWindow(hwnd)) return static_cast<int>(dpi);
        }
        if (const auto forMonitor = dyn::GetDpiForMonitor()) {
            UINT x = 0, y = 0;
            const HMONITOR monitor = ::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST);
            if (SUCCEEDED(forMonitor(monitor, dpi::kEffectiveDpi, &x, &y)) && x) return static_cast<int>(x);
        }
    }
    return SystemDpi();
}

int SmallIconSize() {
    if (const auto metrics = dyn::GetSystemMetricsForDpi()) {
        if (const int size = metrics(SM_CXSMICON, static_cast<UINT>(SystemDpi()))) return size;
    }
    return ::GetSystemMetrics(SM_CXSMICON);
}

dpi::Awareness ThreadDpiAwareness() {
    const auto context = dyn::GetThreadDpiAwarenessContext();
    const auto awareness = dyn::GetAwarenessFromDpiAwarenessContext();
    if (!context || !awareness) return dpi::kInvalid;
    return awareness(context());
}

}  // namespace zelvane
