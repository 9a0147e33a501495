// The toolkit's change of DPI on the program's own windows: a change sent as
// the system sends it scales everything and a change back restores every
// pixel; one that comes through the queue, or with a DPI no display has,
// changes nothing, and a pointer the window cannot trust is not read.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>
#include <tuple>
#include <vector>

#include "base/Dpi.h"
#include "tests/win32/ProgramFixture.h"

namespace zelvane::testing {
namespace {

using Edges = std::tuple<int, int, int, int>;  // left, top, right, bottom

struct BoxWalk {
    HWND top;
    std::map<HWND, Edges> boxes;
};

BOOL CALLBACK CollectBox(HWND child, LPARAM lp) {
    auto& walk = *reinterpret_cast<BoxWalk*>(lp);
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, walk.top, reinterpret_cast<POINT*>(&r), 2);
    walk.boxes[child] = {r.left, r.top, r.right, r.bottom};
    return TRUE;
}

// Every child window of `top` (at any depth) with its box in `top`'s client
// coordinates.
std::map<HWND, Edges> ChildBoxes(HWND top) {
    BoxWalk walk{top, {}};
    ::EnumChildWindows(top, &CollectBox, reinterpret_cast<LPARAM>(&walk));
    return walk.boxes;
}

std::vector<int> ColumnWidths(StringGrid& grid) {
    std::vector<int> widths;
    for (int c = 0; c < grid.Model().ColCount(); ++c) widths.push_back(grid.ColWidth(c));
    return widths;
}

RECT Scaled(const RECT& r, int from, int to) {
    const Box b = RescaledBounds({r.left, r.top, r.right, r.bottom}, from, to);
    return {b.left, b.top, b.right, b.bottom};
}

LRESULT SendDpiChange(HWND window, int dpi, const RECT& bounds) {
    RECT suggested = bounds;
    return ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

int ToolBarImageSize(HWND bar) {
    int w = 0, h = 0;
    ::ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(::SendMessageW(bar, TB_GETIMAGELIST, 0, 0)), &w, &h);
    return w;
}

using DisplayScaleTest = ProgramFixture;

TEST_F(DisplayScaleTest, ASentChangeScalesTheMainWindowAndAChangeBackRestoresEveryBox) {
    if (form1->Dpi() != kBaseDpi) GTEST_SKIP() << "the prefix runs at " << form1->Dpi() << " DPI";
    const HWND main = form1->Handle();
    StringGrid& grid = Probe(*form1).Grid();
    const HWND bar = Probe(*form1).ToolBar();
    // The user dragged the first column wider; the toggle button is down.
    grid.SetColWidth(0, 151);
    ::SendMessageW(bar, TB_CHECKBUTTON, 1002, MAKELPARAM(TRUE, 0));
    const RECT start = form1->Bounds();
    const auto boxes = ChildBoxes(main);
    const std::vector<int> widths = ColumnWidths(grid);

    SendDpiChange(main, 144, Scaled(start, 96, 144));
    EXPECT_EQ(144, form1->Dpi());
    EXPECT_EQ(144, grid.Dpi());
    RECT client{};
    ::GetClientRect(main, &client);
    EXPECT_EQ(ScaleSize(626, 144), client.right);
    EXPECT_EQ(ScaleSize(460, 144), client.bottom);
    EXPECT_EQ(24, grid.RowHeight());
    EXPECT_EQ(24, ToolBarImageSize(bar)) << "the strip drawn for 150 %";
    EXPECT_NE(0, ::SendMessageW(bar, TB_ISBUTTONCHECKED, 1002, 0)) << "the toggle keeps its state";
    // Every box grew by the scale, within the rounding of its edges; the
    // dragged column kept its share of the table.
    for (const auto& [child, now] : ChildBoxes(main)) {
        ASSERT_TRUE(boxes.count(child));
        const auto [left, top, right, bottom] = boxes.at(child);
        const auto [left2, top2, right2, bottom2] = now;
        EXPECT_NEAR(ScaleEdge(left, 144), left2, 1);
        EXPECT_NEAR(ScaleEdge(top, 144), top2, 1);
        EXPECT_NEAR(ScaleEdge(right - left, 144), right2 - left2, 2);
        EXPECT_NEAR(ScaleEdge(bottom - top, 144), bottom2 - top2, 2);
    }
    EXPECT_NEAR(151 * 1.5, grid.ColWidth(0), 1);
    EXPECT_EQ(25, grid.HeaderHeight());
    EXPECT_EQ(25, grid.CellRect(0, grid.Model().TopRow()).top) << "the first data row starts below the header";

    SendDpiChange(main, 96, start);
    EXPECT_EQ(96, form1->Dpi());
    EXPECT_EQ(start.right - start.left, form1->Width());
    EXPECT_EQ(boxes, ChildBoxes(main));
    EXPECT_EQ(widths, ColumnWidths(grid));
    EXPECT_EQ(16, ToolBarImageSize(bar));
    EXPECT_TRUE(errors.empty());
}

TEST_F(DisplayScaleTest, AQueuedChangeOrOneWithAnInsaneDpiChangesNothing) {
    if (form1->Dpi() != kBaseDpi) GTEST_SKIP() << "the prefix runs at " << form1->Dpi() << " DPI";
    const HWND windows[] = {form1->Handle(), form2->Handle(), form3->Handle(), form4->Handle(), form5->Handle()};
    const RECT start = form1->Bounds();
    const auto boxes = ChildBoxes(form1->Handle());
    // Posted by another program with a pointer into nowhere: dropped by the
    // program's loop, and by the loops of menus and message boxes.
    const auto nowhere = static_cast<LPARAM>(0x10);
    for (HWND w : windows) ASSERT_TRUE(::PostMessageW(w, WM_DPICHANGED, MAKEWPARAM(144, 144), nowhere));
    PumpWaiting();
    for (HWND w : windows) ASSERT_TRUE(::PostMessageW(w, WM_DPICHANGED, MAKEWPARAM(192, 192), nowhere));
    {
        const ForeignLoopScope menuLoop;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    }
    // Sent with a DPI no display has.
    for (const int dpi : {0, 47, 961, 0xFFFF}) SendDpiChange(form1->Handle(), dpi, Scaled(start, 96, 144));
    EXPECT_EQ(96, form1->Dpi());
    for (HWND w : windows) EXPECT_EQ(96, Window::FromHandle(w)->Dpi());
    EXPECT_EQ(start.right - start.left, form1->Width());
    EXPECT_EQ(boxes, ChildBoxes(form1->Handle()));

    // Sent with bounds no screen holds, or with bounds that are not on this
    // thread's stack (as another thread's or program's would be): the window
    // keeps its corner and works out its size itself.
    SendDpiChange(form3->Handle(), 192, RECT{0, 0, -5, 70000});
    EXPECT_EQ(192, form3->Dpi());
    EXPECT_EQ(ScaleSize(278, 192), form3->Width());
    EXPECT_EQ(ScaleSize(273, 192), form3->Height());
    static RECT elsewhere{1, 2, 300, 400};
    const RECT was = form5->Bounds();
    ::SendMessageW(form5->Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&elsewhere));
    EXPECT_EQ(144, form5->Dpi());
    EXPECT_EQ(was.left, form5->Left());
    EXPECT_EQ(was.top, form5->Top());
    EXPECT_EQ(ScaleSize(224, 144), form5->Width());
    EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace zelvane::testing
