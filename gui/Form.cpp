#include "gui/Form.h"

#include "gui/Application.h"

namespace zelvane {

Form::~Form() { Application::Get().RemoveForm(this); }

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
    RECT r{0, 0, clientW, clientH};
    ::AdjustWindowRectEx(&r, style, FALSE, exStyle);
    Application& app = Application::Get();
    CreateSurface(L"ZelvaneForm", exStyle, style, windowText, x, y, r.right - r.left, r.bottom - r.top, app.Handle(),
                  color);
    app.AddForm(this);
}

void Form::Show() {
    if (!Visible()) {
        ::ShowWindow(hwnd_, SW_SHOW);
        Application::Get().UpdateTaskbarEntry();
        OnVisibilityChanged(true);
    }
    ::SetForegroundWindow(hwnd_);
    ::BringWindowToTop(hwnd_);
}

void Form::Hide() {
    if (!Visible()) return;
    ::ShowWindow(hwnd_, SW_HIDE);
    Application::Get().UpdateTaskbarEntry();
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
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        OnKeyDown(key, CurrentShiftState());
    } else if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP) {
        OnKeyUp(key, CurrentShiftState());
    }
    return false;
}

void Form::FocusLastControl() {
    const bool usable = lastFocus_ && ::IsWindow(lastFocus_) && ::IsChild(hwnd_, lastFocus_) &&
                        ::IsWindowVisible(lastFocus_) && ::IsWindowEnabled(lastFocus_);
    ::SetFocus(usable ? lastFocus_ : firstFocus_);
}

LRESULT Form::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ACTIVATE:
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
        if (Application::Get().MainForm() == this) Application::Get().Terminate(0);
        break;
    }
    return Surface::WndProc(msg, wp, lp);
}

}  // namespace zelvane
