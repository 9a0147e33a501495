#include "gui/Window.h"

#include <set>

#include "base/Dpi.h"
#include "base/Error.h"
#include "base/Text.h"
#include "gui/Accessible.h"
#include "gui/Dpi.h"
#include "gui/ErrorReport.h"
#include "resources/resource.h"

namespace zelvane {

namespace {

// `this` lives in the window's extra bytes: reading them is a look into the
// window's own memory, where a window property would cost a trip to the
// system for every message.
constexpr int kThisSlot = 0;

Window* Stored(HWND hwnd) { return reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, kThisSlot)); }
void Store(HWND hwnd, Window* self) { ::SetWindowLongPtrW(hwnd, kThisSlot, reinterpret_cast<LONG_PTR>(self)); }

// The program's icon drawn nearest to `size` pixels; shared, never destroyed.
HICON LoadAppIcon(int size) {
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, size,
                                           size, LR_SHARED));
}

}  // namespace

Window::~Window() {
    if (hwnd_ && ::IsWindow(hwnd_)) {
        Store(hwnd_, nullptr);
        ::DestroyWindow(hwnd_);
    }
}

Window* Window::FromHandle(HWND hwnd) {
    // Only a window of one of our classes, in this process, has our slot.
    if (!hwnd) return nullptr;
    DWORD process = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    if (process != ::GetCurrentProcessId() ||
        ::GetClassLongPtrW(hwnd, GCLP_WNDPROC) != reinterpret_cast<ULONG_PTR>(&Window::Trampoline)) {
        return nullptr;
    }
    return Stored(hwnd);
}

int Window::Scale(int at96) const { return ScaleEdge(at96, dpi_); }

int Window::DpiOf(HWND hwnd) {
    if (const Window* ours = FromHandle(hwnd)) return ours->Dpi();
    return WindowDpi(hwnd);
}

void Window::CreateWindowOfClass(const wchar_t* className, UINT classStyle, DWORD exStyle, DWORD style,
                                 const std::string& text, int x, int y, int w, int h, HWND parent, HMENU id) {
    if (!TryCreateWindowOfClass(className, classStyle, exStyle, style, text, x, y, w, h, parent, id)) {
        throw Error(FormatMessage1("Cannot create a window of class %s", Narrow(className)));
    }
}

bool Window::TryCreateWindowOfClass(const wchar_t* className, UINT classStyle, DWORD exStyle, DWORD style,
                                    const std::string& text, int x, int y, int w, int h, HWND parent, HMENU id) {
    static std::set<std::wstring> registered;
    HINSTANCE inst = ::GetModuleHandleW(nullptr);
    if (!registered.count(className)) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = classStyle;
        wc.lpfnWndProc = &Window::Trampoline;
        wc.cbWndExtra = sizeof(Window*);
        wc.hInstance = inst;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        // A child window never shows its class's icon (registering one costs
        // the system a copy at the small size); a top-level one shows the
        // program's icon in the sizes of the system's DPI (the class is
        // shared by windows on every screen).
        if (!(style & WS_CHILD)) {
            wc.hIcon = LoadAppIcon(::GetSystemMetrics(SM_CXICON));
            wc.hIconSm = LoadAppIcon(SmallIconSize());
        }
        wc.lpszClassName = className;
        if (!::RegisterClassExW(&wc)) {
            throw Error(FormatMessage1("Cannot register the window class %s", Narrow(className)));
        }
        registered.insert(className);
    }
    return ::CreateWindowExW(exStyle, className, Widen(text).c_str(), style, x, y, w, h, parent, id, inst, this) !=
           nullptr;
}

LRESULT Window::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    // A child window without a frame or scroll bars has no non-client area:
    // there is nothing to paint, and the system would take a device context
    // for it all the same.
    if (msg == WM_NCPAINT && !HasNonClientArea()) return 0;
    if (msg == WM_GETOBJECT) {
        if (const auto answer = AnswerClientObject(wp, lp, [this] { return NewAccessibleObject(); })) return *answer;
    }
    return DefaultProc(msg, wp, lp);
}

bool Window::HasNonClientArea() const {
    constexpr LONG_PTR kFramed = WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_VSCROLL | WS_HSCROLL;
    constexpr LONG_PTR kEdged = WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME;
    const LONG_PTR style = ::GetWindowLongPtrW(hwnd_, GWL_STYLE);
    return !(style & WS_CHILD) || (style & kFramed) || (::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) & kEdged);
}
void Window::CreateChildOfClass(const wchar_t* className, UINT classStyle, DWORD exStyle, DWORD style,
                                const std::string& text, int x, int y, int w, int h, HWND parent) {
    dpi_ = DpiOf(parent);
    const Box b = ScaleBox(x, y, w, h, dpi_);
    CreateWindowOfClass(className, classStyle, exStyle, style, text, b.left, b.top, b.Width(), b.Height(), parent);
    if (Window* owner = FromHandle(parent)) owner->AdoptChild(hwnd_, BoxAt(x, y, w, h));
}


std::string WindowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

LRESULT CALLBACK Window::Trampoline(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Window* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        Store(hwnd, self);
    } else {
        self = Stored(hwnd);
    }
    if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        DisconnectAccessibleObjects(hwnd);
        Store(hwnd, nullptr);
        const LRESULT r = ::DefWindowProcW(hwnd, msg, wp, lp);
        self->hwnd_ = nullptr;
        return r;
    }
    try {
        return self->WndProc(msg, wp, lp);
    } catch (const std::exception& e) {
        ReportError(e);
    } catch (...) {
        ReportUnknownError();
    }
    return 0;
}

}  // namespace zelvane
