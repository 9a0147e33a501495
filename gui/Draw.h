// Drawing steps that the surfaces and the grid share.
#pragma once

#include <windows.h>

#include <optional>

namespace zelvane {

// Fills `r` with `color` through the DC's own brush (no brush to make).
void FillSolid(HDC dc, const RECT& r, COLORREF color);

// A one-pixel frame just inside `r`: its left and top edges in `topLeft`, its
// right and bottom edges in `bottomRight` (raised or sunken, by the colours).
void DrawFrame(HDC dc, const RECT& r, HPEN topLeft, HPEN bottomRight);

// The keyboard focus as Windows draws it, a dotted frame on `r`, in black
// and white whatever the DC's text colours are.
void DrawFocusFrame(HDC dc, const RECT& r);

// The paint messages of a window that paints all of itself through a memory
// bitmap: WM_ERASEBKGND is answered at once (an erase would flicker) and
// WM_PAINT goes to `paint`. The answer for those two, nothing for others.
template <typename Paint>
std::optional<LRESULT> SelfPaintMessage(UINT msg, Paint&& paint) {
    if (msg == WM_ERASEBKGND) return 1;
    if (msg != WM_PAINT) return std::nullopt;
    paint();
    return 0;
}

}  // namespace zelvane
