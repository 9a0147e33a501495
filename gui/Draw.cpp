#include "gui/Draw.h"

#include "gui/Handles.h"

namespace zelvane {

void FillSolid(HDC dc, const RECT& r, COLORREF color) {
    ::SetDCBrushColor(dc, color);
    ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

void DrawFrame(HDC dc, const RECT& r, HPEN topLeft, HPEN bottomRight) {
    {
        SelectObjectScope s(dc, topLeft);
        ::MoveToEx(dc, r.left, r.bottom - 1, nullptr);
        ::LineTo(dc, r.left, r.top);
        ::LineTo(dc, r.right - 1, r.top);
    }
    SelectObjectScope s(dc, bottomRight);
    ::MoveToEx(dc, r.right - 1, r.top, nullptr);
    ::LineTo(dc, r.right - 1, r.bottom - 1);
    ::LineTo(dc, r.left - 1, r.bottom - 1);
}

void DrawFocusFrame(HDC dc, const RECT& r) {
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SetBkColor(dc, RGB(255, 255, 255));
    ::DrawFocusRect(dc, &r);
}

}  // namespace zelvane
