// What the window base leaves out for child windows: the class icon (only a
// top-level window can show it) and the non-client paint of a child that has
// no frame; a framed child still gets its frame.
#include <windows.h>

#include <gtest/gtest.h>

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
