#include "gui/Application.h"

#include <algorithm>

#include "base/Text.h"
#include "gui/ErrorReport.h"
#include "gui/ForeignLoop.h"
#include "gui/Form.h"

namespace zelvane {

Application& Application::Get() {
    static Application app;
    return app;
}

FormOwner& FormOwner::Get() { return Application::Get(); }

Application::Application() {
    SetErrorHandler([this](const std::string& boxText) { ShowError(boxText); });
}

void Application::Initialize() {
    terminated_ = false;
    if (hwnd_) return;
    // A zero-sized, unowned popup: invisible on screen, but while it is shown
    // it carries the program's taskbar entry.
    CreateWindowOfClass(L"ZelvaneApplication", 0, WS_EX_APPWINDOW, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                        "", 0, 0, 0, 0, nullptr);
}

void Application::SetTitle(const std::string& title) {
    title_ = title;
    ::SetWindowTextW(hwnd_, Widen(title).c_str());
}

void Application::AddForm(Form* form) { forms_.push_back(form); }

void Application::RemoveForm(Form* form) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
    if (mainForm_ == form) mainForm_ = nullptr;
}

void Application::FormDestroyed(Form* form) {
    if (form == mainForm_) Terminate(0);
}

void Application::ForgetPressedKeys() {
    for (Form* f : forms_) f->ForgetPressedKeys();
}

void Application::FormShownOrHidden() {
    if (!hwnd_) return;
    const bool any = std::any_of(forms_.begin(), forms_.end(), [](Form* f) { return f->Visible(); });
    if (any == (::IsWindowVisible(hwnd_) != FALSE)) return;
    if (any) {
        // After a minimise to the notification area the window is iconic too.
        ::ShowWindow(hwnd_, ::IsIconic(hwnd_) ? SW_SHOWNOACTIVATE : SW_SHOWNA);
    } else {
        ::ShowWindow(hwnd_, SW_HIDE);
    }
}

void Application::SetHint(HWND control, std::function<std::string(POINT)> hint) {
    hints_.push_back({control, std::move(hint)});
}

void Application::ShowError(const std::string& boxText) {
    HWND owner = ::GetActiveWindow();
    const ForeignLoopScope loop;
    ::MessageBoxW(owner, Widen(boxText).c_str(), Widen(title_.empty() ? "Zelvane" : title_).c_str(),
                  MB_OK | MB_ICONERROR);
}

void Application::TrackHint(const MSG& msg) {
    if (!onHint) return;
    POINT screen;
    ::GetCursorPos(&screen);
    HWND under = ::WindowFromPoint(screen);
    // A leave report ends its window's tracking.
    if (msg.message == WM_MOUSELEAVE && msg.hwnd == leaveTracked_) leaveTracked_ = nullptr;
    std::string hint;
    for (const auto& h : hints_) {
        if (h.hwnd == under) {
            POINT client = screen;
            ::ScreenToClient(under, &client);
            hint = h.fn(client);
            // The pointer may leave straight onto another program's window,
            // which sends us no move: the leave comes as WM_MOUSELEAVE. Asked
            // for once per entry into the control, not at every move.
            if (under != leaveTracked_) {
                TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE, under, 0};
                if (::TrackMouseEvent(&leave)) leaveTracked_ = under;
            }
            break;
        }
    }
    if (hint != lastHint_) {
        lastHint_ = hint;
        onHint(hint);
    }
}

bool Application::PreTranslate(MSG& msg) {
    // Posted by another program (see OnlyEverSent): never dispatched.
    if (OnlyEverSent(msg.message)) return true;
    if (onMessage && (msg.hwnd != hwnd_ || !hwnd_)) {
        const MSG copy = msg;
        Guarded([&] { onMessage(copy); });
    }
    if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE || msg.message == WM_MOUSELEAVE) {
        Guarded([&] { TrackHint(msg); });
    }
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && msg.hwnd) {
        HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
        auto* form = dynamic_cast<Form*>(Window::FromHandle(root));
        if (form && std::find(forms_.begin(), forms_.end(), form) != forms_.end()) {
            bool handled = false;
            Guarded([&] { handled = form->PreviewKey(msg); });
            if (handled) return true;
            if (form->UsesDialogKeys() && ::IsDialogMessageW(root, &msg)) return true;
        }
    }
    return false;
}

void Application::Dispatch(MSG& msg) {
    if (PreTranslate(msg)) return;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

int Application::Run() {
    MSG msg;
    while (!terminated_) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            if (got == 0) exitCode_ = static_cast<int>(msg.wParam);
            break;
        }
        Dispatch(msg);
    }
    terminated_ = true;
    return exitCode_;
}

void Application::Terminate(int exitCode) {
    exitCode_ = exitCode;
    ::PostQuitMessage(exitCode);
}

LRESULT Application::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (onMessage) {
        const MSG copy{hwnd_, msg, wp, lp, 0, {}};
        Guarded([&] { onMessage(copy); });
    }
    switch (msg) {
    case WM_ACTIVATE:
        // A click on the taskbar entry activates this window: hand the focus
        // on to the main form (or the first visible one).
        if (LOWORD(wp) != WA_INACTIVE) {
            Form* target = (mainForm_ && mainForm_->Visible()) ? mainForm_ : nullptr;
            if (!target) {
                for (Form* f : forms_) {
                    if (f->Visible()) { target = f; break; }
                }
            }
            if (target) ::SetActiveWindow(target->Handle());
        }
        return 0;
    case WM_SYSCOMMAND:
        if ((wp & 0xFFF0) == SC_MINIMIZE && onMinimize && onMinimize()) return 0;
        // This window is never seen: no keyboard system menu for it (Alt with a
        // key that reaches it would otherwise open a menu loop that takes the
        // keys meant for the program's windows).
        if ((wp & 0xFFF0) == SC_KEYMENU) return 0;
        break;
    case WM_CLOSE:
        if (mainForm_) mainForm_->Close();
        return 0;
    }
    return DefaultProc(msg, wp, lp);
}

}  // namespace zelvane
