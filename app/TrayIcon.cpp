#include "app/TrayIcon.h"

#include <cwchar>
#include <utility>
#include <vector>

#include "base/Error.h"
#include "base/Text.h"
#include "gui/ImageList.h"
#include "gui/Pictures.h"
#include "gui/PopupMenu.h"
#include "sys/DynCalls.h"
#include "sys/SystemLibrary.h"

namespace zelvane {

namespace {

constexpr wchar_t kWindowClass[] = L"ZelvaneTrayIconWindow";
constexpr UINT kShowFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;  // every modify
constexpr UINT kAddFlags = kShowFlags | NIF_INFO;              // 0x17

}  // namespace

TrayShell TrayShell::System() {
    return TrayShell{
        [](DWORD message, const NOTIFYICONDATAW& data) {
            NOTIFYICONDATAW copy = data;  // the call takes a non-const record
            if (const auto notifyIcon = dyn::Shell_NotifyIconW()) notifyIcon(message, &copy);
        },
        [] { return ::FindWindowW(L"Shell_TrayWnd", nullptr); },
        &ShellMajorVersion,
    };
}

unsigned ShellMajorVersion() {
    const std::wstring path = SystemFolderPath(L"shell32.dll");
    if (path.empty()) return 0;
    DWORD ignored = 0;
    const auto infoSize = dyn::GetFileVersionInfoSizeW();
    const auto versionInfo = dyn::GetFileVersionInfoW();
    const auto queryValue = dyn::VerQueryValueW();
    if (!infoSize || !versionInfo || !queryValue) return 0;
    const DWORD size = infoSize(path.c_str(), &ignored);
    if (size == 0) return 0;
    std::vector<BYTE> block(size);
    if (!versionInfo(path.c_str(), 0, size, block.data())) return 0;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!queryValue(block.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
        length < sizeof *info)
        return 0;
    return HIWORD(info->dwFileVersionMS);
}

std::wstring TrayTipText(const std::string& hint, unsigned shellVersion) {
    std::string text = hint.substr(0, hint.find('|'));
    if (shellVersion < 5) {
        for (size_t pos = 0; (pos = text.find("\r\n", pos)) != std::string::npos; pos += 3)
            text.replace(pos, 2, " - ");
    }
    std::wstring tip = Widen(text);
    const size_t limit = shellVersion >= 5 ? 127 : 63;
    if (tip.size() > limit) {
        size_t cut = limit;
        if (tip[cut - 1] >= 0xD800 && tip[cut - 1] <= 0xDBFF) --cut;  // keep surrogate pairs whole
        tip.resize(cut);
    }
    return tip;
}

TJvTrayIcon::IconWindow::IconWindow(TJvTrayIcon& icon) : icon_(icon) {
    // A hidden top-level window: a message-only one cannot become the
    // foreground window, which the menu needs to close when the user clicks away.
    if (!TryCreateWindowOfClass(kWindowClass, 0, WS_EX_TOOLWINDOW, WS_POPUP, "", 0, 0, 0, 0, nullptr)) {
        throw Error("Cannot create the notification icon window");
    }
}

LRESULT TJvTrayIcon::IconWindow::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != kCallbackMessage) return DefaultProc(msg, wp, lp);
    // A handler may destroy the icon, and this window with it: nothing of
    // either is touched after the call.
    icon_.OnCallback(LOWORD(lp));
    return 0;
}

TJvTrayIcon::TJvTrayIcon(TrayShell shell) : shell_(std::move(shell)) {
    shellVersion_ = shell_.shellMajorVersion();
}

TJvTrayIcon::~TJvTrayIcon() {
    *alive_ = false;
    if (active_) Notify(NIM_DELETE, 0);
}

void TJvTrayIcon::SetActive(bool active) {
    if (active == active_) return;
    if (active) {
        Add(shell_.findTaskbar());
    } else {
        Notify(NIM_DELETE, 0);
    }
    active_ = active;
}

void TJvTrayIcon::SetIconIndex(int index) {
    if (!icons || index < 0 || index >= icons->Count()) {
        iconIndex_ = -1;
        return;
    }
    IconHandle shown = std::exchange(icon_, icons->Icon(index));
    iconIndex_ = index;
    if (active_) {
        Notify(NIM_MODIFY, kShowFlags);
        CheckTaskbar();
    }
    // `shown`, the icon the shell had before, is destroyed here, after the shell took the new one.
}

void TJvTrayIcon::SetHint(const std::string& hint) {
    hint_ = hint;
    if (active_) CheckTaskbar();
}

bool TJvTrayIcon::MinimizeApplication(HWND appWindow) {
    if (!active_) return false;
    ::ShowWindow(appWindow, SW_MINIMIZE);
    ::ShowWindow(appWindow, SW_HIDE);
    return true;
}

void TJvTrayIcon::Add(HWND taskbar) {
    taskbar_ = taskbar;
    sentHint_ = hint_;
    Notify(NIM_ADD, kAddFlags);
    if (shellVersion_ >= 5) Notify(NIM_SETVERSION, 0);
}

void TJvTrayIcon::CheckTaskbar() {
    const HWND taskbar = shell_.findTaskbar();
    if (taskbar == taskbar_) return;
    Notify(NIM_DELETE, 0);
    Add(taskbar);
}

void TJvTrayIcon::Notify(DWORD message, UINT flags) {
    NOTIFYICONDATAW data{};
    data.cbSize = shellVersion_ >= 5 ? NOTIFYICONDATAW_V2_SIZE : NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = Window();
    data.uID = kIconId;
    data.uFlags = flags;
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = icon_ ? icon_.Get() : NotificationAreaProgramIcon();
    const std::wstring tip = TrayTipText(sentHint_, shellVersion_);
    std::wmemcpy(data.szTip, tip.c_str(), tip.size() + 1);
    if (message == NIM_SETVERSION) data.uVersion = NOTIFYICON_VERSION;
    shell_.notifyIcon(message, data);
}

void TJvTrayIcon::RefreshTip() {
    if (!active_ || hint_ == sentHint_) return;
    sentHint_ = hint_;
    Notify(NIM_MODIFY, kShowFlags);
}

void TJvTrayIcon::ShowMenu() {
    const HWND hwnd = Window();
    ::SetForegroundWindow(hwnd);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    const int command = popupMenu->Track(hwnd, cursor);
    // Lets the menu close properly the next time the user clicks away from it.
    ::PostMessageW(hwnd, WM_NULL, 0, 0);
    popupMenu->RunCommand(command);
}

void TJvTrayIcon::OnCallback(UINT event) {
    // A handler may destroy this icon (the menu's "close program"): look at
    // `alive` before touching it again.
    const std::shared_ptr<bool> alive = alive_;
    switch (event) {
    case WM_RBUTTONUP:
    case NIN_KEYSELECT:
        if (popupMenu) ShowMenu();
        if (*alive && onClick) onClick(MouseButton::Right);
        break;
    case WM_LBUTTONUP:
        if (onClick) onClick(MouseButton::Left);
        break;
    case WM_MBUTTONUP:
        if (onClick) onClick(MouseButton::Middle);
        break;
    case WM_LBUTTONDBLCLK:
        if (popupMenu) popupMenu->ClickDefault();
        break;
    case WM_MOUSEMOVE:
        RefreshTip();
        break;
    default:
        break;
    }
}

}  // namespace zelvane
