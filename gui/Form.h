// A top-level window of the program: owned by the application window (so it
// has no taskbar entry of its own), created hidden, with key preview.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "base/Keys.h"
#include "gui/ForeignLoop.h"
#include "gui/Surface.h"

namespace zelvane {

class Form : public Surface {
public:
    enum class Frame { None, ToolWindow };

    ~Form() override;

    // Show: make visible and bring to the front. Hide: invisible, kept alive.
    void Show();
    void Hide();
    bool Visible() const { return hwnd_ && ::IsWindowVisible(hwnd_); }
    // Asks the window to close (as the system's close command does).
    void Close();

    RECT Bounds() const;
    int Left() const { return Bounds().left; }
    int Top() const { return Bounds().top; }
    int Width() const { return Bounds().right - Bounds().left; }
    int Height() const { return Bounds().bottom - Bounds().top; }
    void SetPosition(int left, int top);
    void CenterOnDesktop();
    // The top-left corner that centres the window on the whole screen.
    POINT CentredPosition() const;
    // The top-left corner that puts the window's top-right corner at the
    // right edge of `r` (screen pixels), `down96` pixels at 96 DPI below its
    // top.
    POINT BelowTopRightOf(const RECT& r, int down96) const;

    // Sees every key message for this window or its controls before the
    // control does; true swallows it. A release reaches OnKeyUp only when
    // its press came here and was not taken by a control's open drop-down,
    // and the control's OnKeyRelease only when its press came to that same
    // control.
    virtual bool PreviewKey(const MSG& msg);
    // Forgets the keys pressed so far: their releases will not act. When a
    // loop that is not ours opens (a menu, a message box, a dialog) and when
    // the window is deactivated.
    void ForgetPressedKeys() { pressedIn_.fill(nullptr); }
    // Tab and arrow navigation between the controls.
    virtual bool UsesDialogKeys() const { return true; }

    static ShiftState CurrentShiftState();

    // Takes the window to `dpi` as a move to a screen of that DPI does: the
    // window's fonts, pictures and children for the new DPI, the window
    // itself at `bounds` (screen pixels) in one move, its children laid out
    // again, and everything redrawn once. A DPI outside the sane range
    // changes nothing.
    void MoveToDpi(int dpi, const RECT& bounds);

protected:
    Form() = default;
    // Creates the window: `clientW` × `clientH` client area at (x, y), all in
    // 96-DPI pixels, scaled to the DPI of the screen it opens on (x and y may
    // be CW_USEDEFAULT).
    void CreateForm(const std::string& windowText, Frame frame, bool stayOnTop, int x, int y, int clientW,
                    int clientH, COLORREF color);
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

    // As a dialog does: the focus leaves with the window and comes back to
    // the control that had it; to `first` at first and whenever that control
    // is gone, hidden or disabled. The window itself takes no keys.
    void KeepFocusIn(HWND first) { firstFocus_ = first; }
    // An auxiliary window (every one but the main window) only hides on a
    // close request and on Esc: it stays alive for the next show.
    void HideOnClose() { hidesOnClose_ = true; }

    virtual void OnKeyDown(WORD key, ShiftState shift) { (void)key; (void)shift; }
    // Esc hides a window that hides on close. Called only for a release whose
    // press reached this window (PreviewKey).
    virtual void OnKeyUp(WORD key, ShiftState shift);
    // Within OnKeyUp: whether the key's press came while `control` had the
    // focus, and it has the focus still (a release that presses the control
    // in focus).
    bool PressedAndReleasedIn(HWND control) const;
    // A close request: return true to let the window be destroyed (the main
    // window, which ends the program), false when it was handled (hidden, for
    // a window that hides on close).
    virtual bool CloseQuery();
    // Runs before the window paints itself.
    virtual void OnPaint() {}
    virtual void OnVisibilityChanged(bool visible) { (void)visible; }

private:
    void FocusLastControl();
    // WM_DPICHANGED, as the system sends it on a move to another screen.
    void OnDpiChanged(WPARAM wp, LPARAM lp);
    // The window's size around a client area given in 96-DPI pixels, at the
    // window's DPI.
    SIZE FrameAround(DWORD style, DWORD exStyle, int clientW, int clientH) const;

    // Open while the system's loop moves or sizes the window.
    std::unique_ptr<ForeignLoopScope> moveLoop_;
    bool hidesOnClose_ = false;
    HWND firstFocus_ = nullptr;
    HWND lastFocus_ = nullptr;  // the control that had the focus when the window was last active
    // For each key whose press reached PreviewKey and whose release has not:
    // the window the press was sent to.
    std::array<HWND, 256> pressedIn_{};
    HWND releasedFrom_ = nullptr;  // during OnKeyUp: the window the key's press was sent to
};

}  // namespace zelvane
