// The title strip's panel of window buttons (`Panel2` of the borderless
// windows). It paints its pictures as items of its own and makes each of them
// a push button: for the mouse (a press and a release on the same picture),
// for the keyboard (the panel is a tab stop; arrows, Home and End move between
// the pictures, Enter presses the one in focus on its release) and for screen
// readers (one child per picture, left to right).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/Surface.h"

namespace zelvane {

class TitlePanel : public Panel {
public:
    // The drawing of a picture for a DPI (not taken over).
    using Drawing = std::function<HBITMAP(int dpi)>;
    struct Picture {
        Box at96;                           // in the panel, at 96 DPI
        Drawing drawing;                    // drawn with its bottom-left colour transparent
        std::function<std::string()> name;  // what a screen reader calls it
        std::function<void()> onClick;
        HBITMAP bitmap = nullptr;  // the drawing for the panel's DPI
        RECT bounds{};             // the box at the panel's DPI
    };

    // Position and size in 96-DPI pixels: a raised panel of the panel colour.
    TitlePanel(HWND parent, const Box& at96);

    // Adds a picture; the pictures are kept in the order they are read, left
    // to right, whatever the order they are added in.
    void AddPicture(Picture picture);
    const std::vector<Picture>& Pictures() const { return pictures_; }
    // The picture the keyboard is on: drawn with the focus while the panel
    // has the focus.
    int Current() const { return current_; }
    // Gives the panel the keyboard focus, on the picture it was on.
    void TakeFocus() { ::SetFocus(hwnd_); }
    bool HasFocus() const { return hwnd_ && ::GetFocus() == hwnd_; }
    // Runs the action of picture `index`, as a click on it does.
    void Press(int index);

    void ApplyDpi(int dpi) override;
    IAccessible* NewAccessibleObject() override;
    // Enter released, its press in this panel: presses the picture in focus.
    void OnKeyRelease(WORD key) override;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void PaintSurface(HDC dc, const RECT& client) override;

private:
    // The picture under `p` (client coordinates), or -1.
    int PictureAt(POINT p) const;
    // Moves the keyboard to picture `index` (readers are told).
    void MoveTo(int index);
    void Place(Picture& p) const;
    // The focus around picture `index`, at the panel's DPI.
    RECT FocusBox(int index) const;
    void TellFocus() const;

    std::vector<Picture> pictures_;
    int current_ = 0;
    int pressedPicture_ = -1;  // the picture the left button went down on
};

}  // namespace zelvane
