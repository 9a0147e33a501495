// The notification-area icon of the main window: a thin owner of one
// Shell_NotifyIconW icon (uID 1) on a hidden window of its own, with the
// image, the tip, the right-button menu and the click event the program uses.
// The window is one of ours (gui/Window): errors thrown by the handlers go to
// the application's error box.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>

#include "gui/Handles.h"
#include "gui/Window.h"

namespace zelvane {

class ImageList;
class PopupMenu;

// The calls the icon makes to the shell; tests put recorders in their place.
struct TrayShell {
    std::function<void(DWORD message, const NOTIFYICONDATAW& data)> notifyIcon;  // Shell_NotifyIconW
    std::function<HWND()> findTaskbar;             // the window of class "Shell_TrayWnd"
    std::function<unsigned()> shellMajorVersion;  // read once, when the icon is created
    static TrayShell System();
};

// Major number of shell32.dll's fixed file version; 0 when it cannot be read.
unsigned ShellMajorVersion();

// The tip text sent for a hint: the part before the first "|", CR LF turned
// into " - " on shells before version 5, cut to what the record holds (127
// characters; 63 in the version-1 record, which has room for no more).
std::wstring TrayTipText(const std::string& hint, unsigned shellVersion);

enum class MouseButton { Left, Right, Middle };

class TJvTrayIcon {
public:
    static constexpr UINT kIconId = 1;
    static constexpr UINT kCallbackMessage = WM_USER + 1;

    explicit TJvTrayIcon(TrayShell shell = TrayShell::System());
    ~TJvTrayIcon();
    TJvTrayIcon(const TJvTrayIcon&) = delete;
    TJvTrayIcon& operator=(const TJvTrayIcon&) = delete;

    // In the notification area or not: true adds the icon, false removes it.
    void SetActive(bool active);

    // Index of the shown image in `icons`; -1 when no image from the list is
    // set. An index outside the list sets -1 and keeps the shown image.
    int IconIndex() const { return iconIndex_; }
    void SetIconIndex(int index);

    // Only stored: the shell gets it at the next mouse move over the icon.
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);

    ImageList* icons = nullptr;          // Icons: the list IconIndex selects from
    PopupMenu* popupMenu = nullptr;      // PopupMenu: opened on a right-button release
    std::function<void(MouseButton)> onClick;  // OnClick: release of any button over the icon

    // For SC_MINIMIZE of the application window: while the icon is active,
    // minimizes the application window and hides its taskbar button, so that
    // only the icon remains. Returns whether it did.
    bool MinimizeApplication(HWND appWindow);

    // The hidden window that the shell reports to (kCallbackMessage).
    HWND Window() const { return window_.Handle(); }

private:
    // The hidden window: hands the shell's reports to the icon.
    class IconWindow : public zelvane::Window {
    public:
        explicit IconWindow(TJvTrayIcon& icon);

    protected:
        LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

    private:
        TJvTrayIcon& icon_;
    };

    void OnCallback(UINT event);
    void ShowMenu();
    void RefreshTip();
    void Notify(DWORD message, UINT flags);
    void Add(HWND taskbar);
    void CheckTaskbar();

    TrayShell shell_;
    unsigned shellVersion_ = 0;
    bool active_ = false;
    int iconIndex_ = -1;
    std::string hint_;
    std::string sentHint_;   // the hint the shell shows
    IconHandle icon_;        // the one current image; null: the program's icon
    HWND taskbar_ = nullptr;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    IconWindow window_{*this};  // last: made when the rest is in place, destroyed first
};

}  // namespace zelvane
