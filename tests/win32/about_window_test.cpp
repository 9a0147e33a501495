// The about window: its place on the desktop across shows, Esc, and the
// picture under the text.
#include <windows.h>

#include "gui/Handles.h"
#include "tests/win32/ProgramFixture.h"

using namespace zelvane;
using namespace zelvane::testing;

namespace {

using AboutWindow = ProgramFixture;

TEST_F(AboutWindow, CentredAtTheFirstShowThenWhereTheUserLeftIt) {
    // Centred on the whole screen, the taskbar's strip included.
    const POINT centre{(::GetSystemMetrics(SM_CXSCREEN) - 278) / 2, (::GetSystemMetrics(SM_CYSCREEN) - 273) / 2};
    Probe(*form1).AboutProgClick();
    Pump(20);
    ASSERT_TRUE(form3->Visible());
    EXPECT_EQ((Xywh{centre.x, centre.y, 278, 273}), XywhOf(form3->Bounds()));
    EXPECT_FALSE(::GetWindowLongW(form3->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);

    form3->SetPosition(centre.x - 100, centre.y + 40);
    form3->Image1Click();
    EXPECT_FALSE(form3->Visible());
    Probe(*form1).About1Click();  // the tray menu's item
    Pump(20);
    EXPECT_TRUE(form3->Visible());
    EXPECT_EQ(centre.x - 100, form3->Left());
    EXPECT_EQ(centre.y + 40, form3->Top());
}

TEST_F(AboutWindow, EscAndCloseRequestsHideItAndLeaveTheMainWindowAsItWas) {
    const RECT main = form1->Bounds();
    Probe(*form1).AboutProgClick();
    Pump(20);
    ::PostMessageW(form3->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    ::PostMessageW(form3->Handle(), WM_KEYUP, VK_ESCAPE, 0xC0000001);
    ASSERT_TRUE(PumpUntil([&] { return !form3->Visible(); }));
    EXPECT_TRUE(form1->Visible());
    const RECT after = form1->Bounds();
    EXPECT_TRUE(::EqualRect(&main, &after));

    Probe(*form1).AboutProgClick();
    form3->Close();
    Pump(20);
    EXPECT_FALSE(form3->Visible());
    EXPECT_TRUE(::IsWindow(form3->Handle()));
    EXPECT_TRUE(form1->Visible());
    EXPECT_FALSE(quitTaken);
    EXPECT_TRUE(errors.empty());
}

TEST_F(AboutWindow, PictureGlowsInThePanelsBottomLeftCorner) {
    ASSERT_NE(nullptr, form3->Picture());
    Probe(*form1).AboutProgClick();
    Pump(20);
    HWND panel = form3->Panel1().Handle();
    ::RedrawWindow(panel, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    WindowDc dc(panel);
    // The emblem's centre: Image2 sits at (2, 174) and is 64 x 74.
    const COLORREF centre = ::GetPixel(dc.Get(), 2 + 32, 174 + 35);
    EXPECT_GT(GetRValue(centre), 200);
    EXPECT_GT(GetRValue(centre), GetGValue(centre));
    EXPECT_GT(GetRValue(centre), 2 * GetBValue(centre));
    // Its corner is dark; the panel beside it is the panel's colour.
    const COLORREF corner = ::GetPixel(dc.Get(), 2 + 1, 174 + 72);
    EXPECT_LT(GetRValue(corner) + GetGValue(corner) + GetBValue(corner), 150);
    EXPECT_EQ(RGB(212, 208, 200), ::GetPixel(dc.Get(), 2 + 64 + 2, 174 + 72));
}

}  // namespace
