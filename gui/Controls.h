// Typed wrappers of the standard controls the program puts on its windows:
// one small class per control with the operations the program uses, UTF-8
// text in and out. A wrapper is a handle and the surface it is on: it is
// created on the surface, which destroys the control with itself and keeps
// its geometry (given at 96 DPI) for every DPI, and it may be copied.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gui/PictureSizes.h"
#include "gui/Surface.h"

namespace zelvane {

class Control {
public:
    HWND Handle() const { return hwnd_; }
    explicit operator bool() const { return hwnd_ != nullptr; }

    std::string Text() const { return WindowText(hwnd_); }
    void SetText(const std::string& text);
    // The control's box within its surface at 96 DPI, and which of its
    // edges follow the surface's size (Surface::Follow).
    void SetBounds(const Box& at96, unsigned follow = Surface::kFixed);
    // What a screen reader calls the control (asked at each request).
    void SetAccessibleName(std::function<std::string()> name);

protected:
    Control() = default;
    Control(Surface& parent, const wchar_t* className, DWORD style, int x, int y, int w, int h,
            const std::string& text = "");
    LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::SendMessageW(hwnd_, msg, wp, lp); }

    HWND hwnd_ = nullptr;
    Surface* surface_ = nullptr;
};

// A flat single-line field: a one-pixel frame instead of the sunken 3-D edge,
// a tab stop, scrolling sideways under long text.
class Edit : public Control {
public:
    Edit() = default;
    Edit(Surface& parent, int x, int y, int w, int h);
};

class ListBox : public Control {
public:
    ListBox() = default;
    ListBox(Surface& parent, int x, int y, int w, int h, DWORD style);

    int Count() const;
    // The text of item `index`; raises "List index out of bounds (index)"
    // for an index outside the items.
    std::string ItemText(int index) const;
    // Adds an item (in sorted place on a sorted list) and returns its index,
    // or -1 when the list could not take it.
    int Add(const std::string& text);
    void Clear();
    // Room for `count` more items of about `textLength` characters each.
    void Reserve(int count, int textLength);
    // A number kept with each item.
    void SetItemData(int index, std::uintptr_t data);
    std::uintptr_t ItemData(int index) const;
    // -1: none selected.
    int SelectedIndex() const;
    // Selects item `index`; -1 selects nothing, other indices outside the
    // items are ignored.
    void SetSelectedIndex(int index);
    // The height of every item of a fixed owner-drawn list, at 96 DPI.
    void SetItemHeight(int at96);
    // Draws an owner-drawn item's text in the DC's colours, `indent96`
    // pixels at 96 DPI from the item's left and centred in its height;
    // background and text in one opaque call.
    void DrawItemText(const DRAWITEMSTRUCT& item, const std::string& text, int indent96) const;
    // Off: changes are not drawn until it is switched on again.
    void SetRedraw(bool on);
};

// A drop-down list the user picks from (no typing).
class ComboBox : public Control {
public:
    ComboBox() = default;
    ComboBox(Surface& parent, int x, int y, int w, int h, DWORD style);

    int Add(const std::string& text);
    // The index of the item with exactly this text (case aside), or -1.
    int FindExact(const std::string& text) const;
    // The text of item `index`; "" for an index outside the items.
    std::string ItemText(int index) const;
    // -1: none selected.
    int SelectedIndex() const;
    void SetSelectedIndex(int index);
    // The height of the selection field's text at 96 DPI (the items of the
    // list keep theirs). The field's frame is the system's and does not
    // scale with the layout: at another DPI the whole field is its 96-DPI
    // height scaled, and the text takes what the frame leaves. And the
    // field's whole height with its frame, in pixels.
    void SetFieldHeight(int at96);
    int FieldHeight() const;
};

// A check box with its caption, which the user ticks with a click or Space.
class CheckBox : public Control {
public:
    CheckBox() = default;
    CheckBox(Surface& parent, int x, int y, int w, int h, const std::string& caption);

    bool Checked() const;
    void SetChecked(bool checked);
};

// A flat tool bar of picture buttons with tooltips, placed by its owner.
class ToolBar : public Control {
public:
    enum class Kind { Button, Toggle, Separator };

    ToolBar() = default;
    ToolBar(Surface& parent, int x, int y, int w, int h);

    // A button: its command (sent in WM_COMMAND), its picture in the strip;
    // a separator's `image` is its width at 96 DPI.
    struct Button {
        int command;
        int image;
        Kind kind;
    };
    // The buttons, left to right, each `w` × `h` at 96 DPI, with the pictures
    // of the strip `pictures` drawn for the bar's DPI; laid out again with the
    // drawing for the new DPI at every change of DPI, each toggle keeping its
    // state.
    void SetButtons(PictureKind pictures, int w, int h, std::vector<Button> buttons);
    // Whether the toggle button of `command` is down; puts it down or up.
    bool IsChecked(int command) const;  // false for a command the bar has no button of
    void SetChecked(int command, bool checked);
    // The index of the button at `client`, or -1 where there is none.
    int HitTest(POINT client) const;
    // The command of the button at `index`.
    int CommandOf(int index) const;
    // The tooltip window (null until the tool bar has made it).
    HWND ToolTips() const;
    // What a screen reader calls the bar and each button (by its command).
    void SetAccessibleNames(std::function<std::string()> name, std::function<std::string(int command)> buttonName);

    // The bar takes the keyboard focus as one stop: it keeps a focused
    // button (the first at first), Left/Up and Right/Down move it to the
    // button before or after (separators skipped, no wrap), Home and End to
    // the first and the last. Enter and Space go down to nobody: pressing is
    // left to the bar's owner (PressFocused), so that the bar never acts on a
    // key's press. The focus does not make a button hot (raised): that stays
    // the pointer's; it is drawn by the owner's custom drawing (DrawFocus).
    void TakeKeyboardFocus();
    // The index of the focused button (separators count); -1 before
    // TakeKeyboardFocus.
    int FocusedButton() const;
    // Presses the focused button as a click does: a toggle changes its
    // state, and the owner gets the button's WM_COMMAND.
    void PressFocused();
    // Draws the focus, as the system draws a focused button's, on the
    // focused button while the bar has the keyboard focus; for the bar's
    // custom drawing after it has painted (CDDS_POSTPAINT).
    void DrawFocus(HDC dc) const;

private:
    void LayOutButtons(HIMAGELIST images, int dpi, int w, int h, const std::vector<Button>& buttons);
};

// The index of the button of tool bar `bar` that has the keyboard focus
// while the bar has it (ToolBar::TakeKeyboardFocus), else -1.
int FocusedToolButton(HWND bar);

// The text of item `index` of a list box (LB_GETTEXTLEN, LB_GETTEXT) or a
// drop-down list (CB_GETLBTEXTLEN, CB_GETLBTEXT); nothing when there is no
// such item (`error`).
std::optional<std::wstring> ItemString(HWND list, UINT lengthMsg, UINT textMsg, int index, LRESULT error);

// A one-part status line, placed by its owner; drawn through the off-screen
// bitmap, and all of it again after a change of size.
class StatusBar : public Control {
public:
    StatusBar() = default;
    StatusBar(Surface& parent, int x, int y, int w, int h);

    // The text of its one part.
    void SetText(const std::string& text);
};

}  // namespace zelvane
