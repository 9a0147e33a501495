#include "gui/Form.h"

#include <cstddef>
#include <cstdint>
#include <utility>

#include "base/Dpi.h"
#include "gui/Dpi.h"
#include "gui/FormOwner.h"

namespace zelvane {

namespace {

// Whether `size` bytes at `address` lie in committed memory of the calling
// thread's stack (the reservation that holds this function's own frame).
bool OnOwnStack(LPARAM address, std::size_t size) {
    if (!address) return false;
    const int local = 0;
    MEMORY_BASIC_INFORMATION stack{}, at{};
    if (!::VirtualQuery(&local, &stack, sizeof stack) ||
        !::VirtualQuery(reinterpret_cast<const void*>(address), &at, sizeof at)) {
        return false;
    }
    const auto end = reinterpret_cast<std::uintptr_t>(at.BaseAddress) + at.RegionSize;
    return at.AllocationBase == stack.AllocationBase && at.State == MEM_COMMIT &&
           end - static_cast<std::uintptr_t>(address) >= size;
}

// Whether `focus` is, or lies in, a combo box whose list is dropped down: a
// key pressed there is the list's.
bool InOpenDropDown(HWND focus, HWND root) {
    for (HWND h = focus; h && h != root; h = ::GetParent(h)) {
        wchar_t cls[16] = {};
        if (::GetClassNameW(h, cls, 16) && ::lstrcmpiW(cls, L"ComboBox") == 0) {
            return ::SendMessageW(h, CB_GETDROPPEDSTATE, 0, 0) != 0;
        }
    }
    return false;
}

}  // namespace

Form::~Form() { FormOwner::Get().RemoveForm(this); }

void Form::CreateForm(const std::string& windowText, Frame frame, bool stayOnTop, int x, int y, int clientW,
                      int clientH, COLORREF color) {
    DWORD style = WS_CLIPCHILDREN;
    DWORD exStyle = WS_EX_CONTROLPARENT;
    if (frame == Frame::None) {
        style |= WS_POPUP;
    } else {
        style |= WS_POPUP | WS_CAPTION | WS_SYSMENU;
        exStyle |= WS_EX_TOOLWINDOW;
    }
    if (stayOnTop) exStyle |= WS_EX_TOPMOST;
    // Placed first at the DPI of the whole screen; a window that opens on a
    // screen of another DPI takes that one before its children are made.
    dpi_ = SystemDpi();
    size96_ = {clientW, clientH};
    const auto at = [this](int v) { return v == CW_USEDEFAULT ? v : Scale(v); };
    const SIZE size = FrameAround(style, exStyle, clientW, clientH);
    FormOwner& owner = FormOwner::Get();
    CreateSurface(L"ZelvaneForm", exStyle, style, windowText, at(x), at(y), size.cx, size.cy, owner.OwnerWindow(),
                  color);
    owner.AddForm(this);
    if (const int own = WindowDpi(hwnd_); own != dpi_ && SaneDpi(own)) {
        Surface::ApplyDpi(own);
        const SIZE sized = FrameAround(style, exStyle, clientW, clientH);
        ::SetWindowPos(hwnd_, nullptr, 0, 0, sized.cx, sized.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

SIZE Form::FrameAround(DWORD style, DWORD exStyle, int clientW, int clientH) const {
    RECT r{0, 0, Scale(clientW), Scale(clientH)};
    // The system's own frame follows the window's DPI where the system knows
    // a DPI per window; otherwise it is drawn at the screen's.
    const auto forDpi = dpi_ == SystemDpi() ? nullptr : dyn::AdjustWindowRectExForDpi();
    if (!forDpi || !forDpi(&r, style, FALSE, exStyle, static_cast<UINT>(dpi_))) {
        ::AdjustWindowRectEx(&r, style, FALSE, exStyle);
    }
    return {r.right - r.left, r.bottom - r.top};
}

void Form::MoveToDpi(int dpi, const RECT& bounds) {
    if (!SaneDpi(dpi) || !hwnd_) return;
    // Fonts, pictures and the children's boxes first, moved without drawing;
    // then the window in one move, which lays out what follows its size.
    ApplyDpi(dpi);
    ::SetWindowPos(hwnd_, nullptr, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    PlaceChildren(false, SWP_NOZORDER | SWP_NOACTIVATE);
    ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void Form::OnDpiChanged(WPARAM wp, LPARAM lp) {
    const int dpi = LOWORD(wp);
    if (!SaneDpi(dpi)) return;
    // The suggestion is read only when it comes from this thread, as the
    // system's does, and lies on this thread's stack, where the system puts
    // what it sends: a pointer from another thread or program is not ours to
    // read, and the window then works out its own bounds.
    const RECT now = Bounds();
    const Box current{now.left, now.top, now.right, now.bottom};
    Box target = RescaledBounds(current, dpi_, dpi);
    if (OnOwnStack(lp, sizeof(RECT)) && (::InSendMessageEx(nullptr) & ISMEX_SEND) == 0) {
        const RECT& suggested = *reinterpret_cast<const RECT*>(lp);
        const Box s{suggested.left, suggested.top, suggested.right, suggested.bottom};
        if (SaneBounds(s)) target = s;
    }
    MoveToDpi(dpi, RECT{target.left, target.top, target.right, target.bottom});
}

void Form::Show() {
    if (!Visible()) {
        ::ShowWindow(hwnd_, SW_SHOW);
        FormOwner::Get().FormShownOrHidden();
        OnVisibilityChanged(true);
    }
    ::SetForegroundWindow(hwnd_);
    ::BringWindowToTop(hwnd_);
}

void Form::Hide() {
    if (!Visible()) return;
    ::ShowWindow(hwnd_, SW_HIDE);
    FormOwner::Get().FormShownOrHidden();
    OnVisibilityChanged(false);
}

bool Form::CloseQuery() {
    if (!hidesOnClose_) return true;
    Hide();
    return false;
}

void Form::OnKeyUp(WORD key, ShiftState) {
    if (hidesOnClose_ && key == kVkEscape) Hide();
}

void Form::Close() { ::SendMessageW(hwnd_, WM_CLOSE, 0, 0); }

RECT Form::Bounds() const {
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    return r;
}

void Form::SetPosition(int left, int top) {
    ::SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

POINT Form::BelowTopRightOf(const RECT& r, int down96) const {
    return {r.right - Width(), r.top + ScaleSize(down96, dpi_)};
}

void Form::CenterOnDesktop() {
    const POINT p = CentredPosition();
    SetPosition(p.x, p.y);
}

POINT Form::CentredPosition() const {
    // The whole screen, taskbar included (not the work area).
    const int screenW = ::GetSystemMetrics(SM_CXSCREEN), screenH = ::GetSystemMetrics(SM_CYSCREEN);
    const RECT r = Bounds();
    const int w = r.right - r.left, h = r.bottom - r.top;
    return {(screenW - w) / 2, (screenH - h) / 2};
}

ShiftState Form::CurrentShiftState() {
    ShiftState s = 0;
    if (::GetKeyState(VK_SHIFT) < 0) s |= kShift;
    if (::GetKeyState(VK_MENU) < 0) s |= kAlt;
    if (::GetKeyState(VK_CONTROL) < 0) s |= kCtrl;
    return s;
}

bool Form::PreviewKey(const MSG& msg) {
    const WORD key = static_cast<WORD>(msg.wParam);
    HWND& pressedIn = pressedIn_[key & 0xFF];
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        pressedIn = InOpenDropDown(msg.hwnd, hwnd_) ? nullptr : msg.hwnd;
        OnKeyDown(key, CurrentShiftState());
    } else if ((msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP) && pressedIn) {
        const HWND where = std::exchange(pressedIn, nullptr);
        releasedFrom_ = where;
        OnKeyUp(key, CurrentShiftState());
        releasedFrom_ = nullptr;
        // The window's own keys first; then the control that had both the
        // press and the release acts on it (if the window's key left it).
        if (where == msg.hwnd && where != hwnd_ && ::IsWindow(where)) {
            if (Window* control = FromHandle(where)) control->OnKeyRelease(key);
        }
    }
    return false;
}

bool Form::PressedAndReleasedIn(HWND control) const {
    return control && releasedFrom_ == control && ::GetFocus() == control;
}

void Form::FocusLastControl() {
    const bool usable = lastFocus_ && ::IsWindow(lastFocus_) && ::IsChild(hwnd_, lastFocus_) &&
                        ::IsWindowVisible(lastFocus_) && ::IsWindowEnabled(lastFocus_);
    ::SetFocus(usable ? lastFocus_ : firstFocus_);
}

LRESULT Form::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ACTIVATE:
        if (LOWORD(wp) == WA_INACTIVE) ForgetPressedKeys();
        if (!firstFocus_) break;
        if (LOWORD(wp) == WA_INACTIVE) {
            const HWND focus = ::GetFocus();
            if (focus && ::IsChild(hwnd_, focus)) lastFocus_ = focus;
        } else if (!::IsIconic(hwnd_)) {
            FocusLastControl();
        }
        return 0;
    case WM_SETFOCUS:
        if (!firstFocus_) break;
        FocusLastControl();
        return 0;
    case WM_CLOSE:
    case WM_QUERYENDSESSION:
        if (CloseQuery()) {
            if (msg == WM_QUERYENDSESSION) return TRUE;
            ::DestroyWindow(hwnd_);
            return 0;
        }
        return msg == WM_QUERYENDSESSION ? TRUE : 0;
    case WM_PAINT:
        OnPaint();
        break;
    case WM_DESTROY:
        FormOwner::Get().FormDestroyed(this);
        break;
    case WM_DPICHANGED:
        OnDpiChanged(wp, lp);
        return 0;
    case WM_ENTERSIZEMOVE:
        moveLoop_ = std::make_unique<ForeignLoopScope>();
        break;
    case WM_EXITSIZEMOVE:
        moveLoop_.reset();
        break;
    }
    return Surface::WndProc(msg, wp, lp);
}

}  // namespace zelvane
