// Drawing steps that the surfaces and the grid share.
#pragma once

#include <windows.h>

namespace zelvane {

// Fills `r` with `color` through the DC's own brush (no brush to make).
void FillSolid(HDC dc, const RECT& r, COLORREF color);

// A one-pixel frame just inside `r`: its left and top edges in `topLeft`, its
// right and bottom edges in `bottomRight` (raised or sunken, by the colours).
void DrawFrame(HDC dc, const RECT& r, HPEN topLeft, HPEN bottomRight);

}  // namespace zelvane
