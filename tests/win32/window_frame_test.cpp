// What the window base leaves out for child windows: the class icon (only a
// top-level window can show it) and the non-client paint of a child that has
// no frame; a framed child still gets its frame.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "tests/win32/ProgramFixture.h"

using namespace zelvane;
using namespace zelvane::testing;

namespace {

using WindowFrame = ProgramFixture;

HICON ClassIcon(HWND hwnd) { return reinterpret_cast<HICON>(::GetClassLongPtrW(hwnd, GCLP_HICON)); }

}  // namespace

TEST_F(WindowFrame, TopLevelClassesKeepTheIconAndFramedChildrenTheirFrame) {
    EXPECT_NE(nullptr, ClassIcon(Application::Get().Handle()));
    EXPECT_NE(nullptr, ClassIcon(form1->Handle()));
    EXPECT_EQ(nullptr, ClassIcon(form1->Panel1().Handle()));
    StringGrid& grid = Probe(*form1).Grid();
    EXPECT_EQ(nullptr, ClassIcon(grid.Handle()));

    // The grid's sunken client edge: shadow outside, dark shadow inside.
    ::RedrawWindow(grid.Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    const HDC dc = ::GetWindowDC(grid.Handle());
    ASSERT_NE(nullptr, dc);
    EXPECT_EQ(::GetSysColor(COLOR_BTNSHADOW), ::GetPixel(dc, 0, 5));
    EXPECT_EQ(::GetSysColor(COLOR_3DDKSHADOW), ::GetPixel(dc, 1, 5));
    ::ReleaseDC(grid.Handle(), dc);
}

namespace {

// The colours of columns `left` and `left + 1` of `hwnd`'s client area, rows
// `top` to `bottom` (excluded), as they are on the screen.
std::vector<COLORREF> TwoColumns(HWND hwnd, int left, int top, int bottom) {
    return PixelsOf(hwnd, {left, top, left + 2, bottom}, false);
}

// Paints what is waiting to be painted, and nothing else, as the program's
// loop would.
void PaintWaiting(HWND hwnd) {
    Pump(20);
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace

TEST_F(WindowFrame, MaximisingLeavesNoOldRightEdgeOnTheStatusBarOrTheStrip) {
    const HWND form = form1->Handle();
    const HWND status = Probe(*form1).StatusBar();
    PaintWaiting(form);
    RECT client{}, bar{};
    ::GetClientRect(form, &client);
    ::GetClientRect(status, &bar);
    const int oldEdge = client.right - 2;  // the last two columns at the normal width
    const int strip = form1->Scale(22);
    // At the normal width both end in an edge, unlike the rest of them.
    ASSERT_NE(TwoColumns(status, oldEdge, 0, bar.bottom), TwoColumns(status, oldEdge - 100, 0, bar.bottom));
    ASSERT_NE(TwoColumns(form, oldEdge, 0, strip), TwoColumns(form, oldEdge - 100, 0, strip));

    Probe(*form1).Image2Click();
    PaintWaiting(form);
    ASSERT_TRUE(::IsZoomed(form));
    ::GetClientRect(form, &client);
    ::GetClientRect(status, &bar);
    ASSERT_GT(client.right, oldEdge + 100);
    // Where the old edges were, the status bar and the strip look as they do
    // further right (no text, no picture there).
    EXPECT_EQ(TwoColumns(status, oldEdge + 50, 0, bar.bottom), TwoColumns(status, oldEdge, 0, bar.bottom));
    EXPECT_EQ(TwoColumns(form, oldEdge + 50, 0, strip), TwoColumns(form, oldEdge, 0, strip));
    Probe(*form1).Image2Click();
    PaintWaiting(form);
}
