// The floor for the start-up benchmark: a Win32 program that opens one
// window with one common control (a status bar), paints it and waits for
// WM_CLOSE. Same runtime, same linking and the same manifest as zelvane.exe
// (common controls 6), nothing else: the least that any program with the
// program's look must do.
//
// With "--floor" it is the floor of tools/idle.sh instead: the least that any
// program showing what Zelvane shows must do while idle – a line of text drawn
// anew every 200 ms (the title ticker), and every second the system's process
// list and the processors' times (the table and the CPU gauge), with no table,
// no gauge and nothing else. "--floor-hidden": no window shown, and every
// second only the processors' times (the gauge of a program in the
// notification area).
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <cwchar>
#include <vector>

#include "sys/NtNative.h"  // types and values only: nothing of ours is linked

namespace {

constexpr UINT_PTR kTickerTimer = 1;
constexpr UINT_PTR kListTimer = 2;

bool g_hidden = false;

void QuerySystem() {
    namespace nt = zelvane::nt;
    static const auto query = reinterpret_cast<nt::NtQuerySystemInformationFn>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    static std::vector<std::uint64_t> buffer(std::size_t{1} << 13);
    ULONG returned = 0;
    while (!g_hidden && query(nt::kSystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size() * 8),
                              &returned) == nt::kStatusInfoLengthMismatch) {
        buffer.resize(buffer.size() * 2);
    }
    static nt::ProcessorTimes times[64];
    query(nt::kSystemProcessorPerformanceInformation, times, sizeof times, &returned);
}

void DrawTicker(HWND hwnd) {
    static int step = 0;
    wchar_t text[32];
    const int n = std::swprintf(text, 32, L"http://example.org/%d_", step++ % 20);
    HDC dc = ::GetDC(hwnd);
    RECT r{8, 8, 428, 21};
    ::ExtTextOutW(dc, 8, 8, ETO_OPAQUE, &r, text, static_cast<UINT>(n), nullptr);
    ::ReleaseDC(hwnd, dc);
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        ::FillRect(dc, &ps.rcPaint, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_TIMER:
        if (wp == kTickerTimer) DrawTicker(hwnd);
        if (wp == kListTimer) QuerySystem();
        return 0;
    case WM_DESTROY: ::PostQuitMessage(0); return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int show) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"ZelvaneMinimalWindow";
    ::RegisterClassW(&wc);
    HWND hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"Minimal window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 626, 460, nullptr, nullptr, instance, nullptr);
    ::CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd, nullptr, instance, nullptr);
    g_hidden = std::wcsstr(commandLine, L"--floor-hidden") != nullptr;
    if (!g_hidden) {
        ::ShowWindow(hwnd, show);
        ::UpdateWindow(hwnd);
    }
    if (std::wcsstr(commandLine, L"--floor")) {
        ::SetTimer(hwnd, kListTimer, 1000, nullptr);
        if (!g_hidden) ::SetTimer(hwnd, kTickerTimer, 200, nullptr);
    }
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
