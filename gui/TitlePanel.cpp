#include "gui/TitlePanel.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "base/Dpi.h"
#include "base/Keys.h"
#include "gui/Accessible.h"
#include "gui/Draw.h"
#include "gui/SurfaceAccessible.h"

namespace zelvane {

namespace {
// Left, right, top and bottom of the focus around a picture's box, at 96 DPI:
// in the gap beside it and on the free row under it, within the bevel.
constexpr int kFocusBeside = 2;
constexpr int kFocusBelow = 1;
}  // namespace

TitlePanel::TitlePanel(HWND parent, const Box& at96)
    : Panel(TakesFocus{}, parent, at96, kPanelColor, Bevel::Raised) {}

void TitlePanel::AddPicture(Picture picture) {
    Place(picture);
    const auto at = std::upper_bound(pictures_.begin(), pictures_.end(), picture.at96.left,
                                     [](int left, const Picture& p) { return left < p.at96.left; });
    pictures_.insert(at, std::move(picture));
    Refresh();
}

void TitlePanel::Place(Picture& p) const {
    const Box b = ScaleBox(p.at96, dpi_);
    p.bounds = {b.left, b.top, b.right, b.bottom};
    p.bitmap = p.drawing ? p.drawing(dpi_) : nullptr;
}

void TitlePanel::ApplyDpi(int dpi) {
    Panel::ApplyDpi(dpi);
    for (Picture& p : pictures_) Place(p);
}

IAccessible* TitlePanel::NewAccessibleObject() { return NewTitlePanelAccessible(hwnd_); }

void TitlePanel::Press(int index) {
    if (index < 0 || index >= static_cast<int>(pictures_.size())) return;
    if (const auto& click = pictures_[static_cast<std::size_t>(index)].onClick) click();
}

void TitlePanel::OnKeyRelease(WORD key) {
    if (key == kVkReturn && HasFocus()) Press(current_);
}

int TitlePanel::PictureAt(POINT p) const {
    for (std::size_t i = 0; i < pictures_.size(); ++i) {
        if (::PtInRect(&pictures_[i].bounds, p)) return static_cast<int>(i);
    }
    return -1;
}

void TitlePanel::MoveTo(int index) {
    if (pictures_.empty()) return;
    const int count = static_cast<int>(pictures_.size());
    current_ = (index % count + count) % count;  // the ends wrap round, as in a tool bar
    Refresh();
    TellFocus();
}

void TitlePanel::TellFocus() const {
    if (HasFocus() && !pictures_.empty()) NotifyAccessibleEvent(EVENT_OBJECT_FOCUS, hwnd_, OBJID_CLIENT, current_ + 1);
}

RECT TitlePanel::FocusBox(int index) const {
    const Box& b = pictures_.at(static_cast<std::size_t>(index)).at96;
    const Box f = ScaleBox({b.left - kFocusBeside, b.top, b.right + kFocusBeside, b.bottom + kFocusBelow}, dpi_);
    return {f.left, f.top, f.right, f.bottom};
}

void TitlePanel::PaintSurface(HDC dc, const RECT& client) {
    Panel::PaintSurface(dc, client);
    for (const Picture& p : pictures_) {
        if (!p.bitmap) continue;
        BITMAP bm{};
        ::GetObjectW(p.bitmap, sizeof bm, &bm);
        MemoryDc src(::CreateCompatibleDC(dc));
        SelectObjectScope selected(src.Get(), p.bitmap);
        // Centred: a box scaled by its edges may be a pixel larger than the
        // drawing. The bottom-left pixel's colour is the transparent one.
        const int x = (p.bounds.left + p.bounds.right - bm.bmWidth) / 2;
        const int y = (p.bounds.top + p.bounds.bottom - bm.bmHeight) / 2;
        const COLORREF key = ::GetPixel(src.Get(), 0, bm.bmHeight - 1);
        ::GdiTransparentBlt(dc, x, y, bm.bmWidth, bm.bmHeight, src.Get(), 0, 0, bm.bmWidth, bm.bmHeight, key);
    }
    if (HasFocus() && !pictures_.empty()) {
        DrawFocusFrame(dc, FocusBox(current_));
    }
}

LRESULT TitlePanel::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_SETFOCUS:
        Refresh();
        TellFocus();
        return 0;
    case WM_KILLFOCUS:
        Refresh();
        return 0;
    case WM_KEYDOWN:
        switch (wp) {
        case VK_LEFT: MoveTo(current_ - 1); return 0;
        case VK_RIGHT: MoveTo(current_ + 1); return 0;
        case VK_HOME: MoveTo(0); return 0;
        case VK_END: MoveTo(static_cast<int>(pictures_.size()) - 1); return 0;
        }
        break;
    // A click is a press and a release on the same picture: the press
    // captures the mouse, and the release counts only over that picture.
    // Neither takes the focus, as a window's caption buttons take none.
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:  // a quick second click on a picture is a click too
        pressedPicture_ = PictureAt({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        if (pressedPicture_ >= 0) {
            ::SetCapture(hwnd_);
            return 0;
        }
        break;
    case WM_LBUTTONUP: {
        const int pressed = std::exchange(pressedPicture_, -1);
        if (::GetCapture() == hwnd_) ::ReleaseCapture();
        if (pressed >= 0 && pressed == PictureAt({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)})) {
            Press(pressed);
            return 0;
        }
        break;
    }
    case WM_CAPTURECHANGED:
        pressedPicture_ = -1;
        break;
    }
    return Panel::WndProc(msg, wp, lp);
}

}  // namespace zelvane
