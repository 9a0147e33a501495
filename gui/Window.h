// The base of every window class of ours: one registered class per kind, one
// static trampoline that stores `this` at WM_NCCREATE and forwards to the
// virtual WndProc. The trampoline is the exception barrier: nothing thrown by
// a handler escapes into Windows; it is reported (gui/ErrorReport) and goes
// to the application's error box.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "base/Box.h"

struct IAccessible;

namespace zelvane {

// The text of any window (a control's contents, a caption), as UTF-8.
std::string WindowText(HWND hwnd);

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return hwnd_; }

    // The object behind a window of ours, or null for a foreign window.
    static Window* FromHandle(HWND hwnd);

    // What a screen reader calls the window when the program shows no text
    // for it (a picture, a table); set by its owner, asked at each request.
    std::function<std::string()> accessibleName;
    // The DPI the window is drawn for: set before its children are created
    // (a top-level window's from the screen it opens on, a child's from its
    // parent) and changed only by ApplyDpi.
    int Dpi() const { return dpi_; }
    // A 96-DPI coordinate (or a length from an origin) at the window's DPI.
    int Scale(int at96) const;
    // The DPI of `hwnd`: ours as recorded, a foreign window's as the system
    // reports it.
    static int DpiOf(HWND hwnd);
    // Redraws everything the window shows for `dpi`: its fonts, pictures
    // and the geometry of its children. The base records the DPI.
    virtual void ApplyDpi(int dpi) { dpi_ = dpi; }
    // A window of ours whose children keep their 96-DPI boxes keeps this one's.
    virtual void AdoptChild(HWND child, const Box& at96) { (void)child; (void)at96; }

    // The object that answers screen readers for the client area, made at a
    // reader's request (null: the system's default object answers).
    virtual IAccessible* NewAccessibleObject() { return nullptr; }

    // A key released in this window whose press came to this same window
    // (the form pairs them): where a control acts on a key's release.
    virtual void OnKeyRelease(WORD key) { (void)key; }

protected:
    // Creates the window with our class `className` (registered on first use
    // with the given class style and no background brush: we paint everything).
    // Raises the program's error when the class cannot be registered or the
    // window cannot be created.
    void CreateWindowOfClass(const wchar_t* className, UINT classStyle, DWORD exStyle, DWORD style,
                             const std::string& text, int x, int y, int w, int h, HWND parent, HMENU id = nullptr);
    // The same for a window whose owner reports its own failure: returns
    // whether the window was created (a class that cannot be registered still
    // raises the error).
    [[nodiscard]] bool TryCreateWindowOfClass(const wchar_t* className, UINT classStyle, DWORD exStyle, DWORD style,
                                              const std::string& text, int x, int y, int w, int h, HWND parent,
                                              HMENU id = nullptr);
    // The same for a child of `parent` whose box is given in 96-DPI pixels:
    // it takes its parent's DPI, is created at the scaled box, and the
    // parent keeps the box for a change of DPI.
    void CreateChildOfClass(const wchar_t* className, UINT classStyle, DWORD exStyle, DWORD style,
                            const std::string& text, int x, int y, int w, int h, HWND parent);
    virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp) { return ::DefWindowProcW(hwnd_, msg, wp, lp); }
    // False for a child window with neither frame, edge nor scroll bar.
    bool HasNonClientArea() const;

    HWND hwnd_ = nullptr;
    int dpi_ = 96;

private:
    static LRESULT CALLBACK Trampoline(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
};

}  // namespace zelvane
