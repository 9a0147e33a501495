// The pictures of the title strips, painted by their panel: a click is a
// press and a release on the same picture (a release alone, or one away from
// the picture, does nothing), and from the keyboard the panel is a tab stop
// whose arrows move between the pictures and whose Enter presses on its
// release, when its press came to the same panel.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "tests/win32/ProgramFixture.h"

using namespace zelvane;
using namespace zelvane::testing;

namespace {

class ClosePicture : public ProgramFixture {
protected:
    // A press or a release at the centre of picture `index` of a panel,
    // moved by (dx, dy).
    static void Mouse(TitlePanel& panel, int index, UINT msg, int dx = 0, int dy = 0) {
        const RECT& r = panel.Pictures().at(static_cast<std::size_t>(index)).bounds;
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2 + dx, (r.top + r.bottom) / 2 + dy);
        ::SendMessageW(panel.Handle(), msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, at);
    }
    // Whether the focus is drawn beside picture `index` (its left-hand gap,
    // otherwise all panel colour).
    static bool FocusDrawn(TitlePanel& panel, int index) {
        const RECT& r = panel.Pictures().at(static_cast<std::size_t>(index)).bounds;
        const std::vector<COLORREF> gap = PixelsOf(panel.Handle(), {r.left - 2, r.top, r.left - 1, r.bottom});
        return std::any_of(gap.begin(), gap.end(), [](COLORREF c) { return c != kPanelColor; });
    }
};

}  // namespace

TEST_F(ClosePicture, HidesTheWindowOnAPressAndAReleaseOnIt) {
    form3->Show();
    TitlePanel& panel = form3->Panel2();
    ASSERT_EQ(1u, panel.Pictures().size());
    // The picture is painted by the panel: no window of its own.
    EXPECT_EQ(nullptr, ::GetWindow(panel.Handle(), GW_CHILD));

    // Pressed elsewhere, released over the picture.
    Mouse(panel, 0, WM_LBUTTONUP);
    EXPECT_TRUE(form3->Visible());
    // Pressed on the picture, released away from it.
    Mouse(panel, 0, WM_LBUTTONDOWN);
    EXPECT_EQ(panel.Handle(), ::GetCapture());
    Mouse(panel, 0, WM_LBUTTONUP, -40);
    EXPECT_TRUE(form3->Visible());
    EXPECT_EQ(nullptr, ::GetCapture());
    // That press is spent: a later release alone still does nothing.
    Mouse(panel, 0, WM_LBUTTONUP);
    EXPECT_TRUE(form3->Visible());
    // A press on the panel beside the picture is no press on it.
    Mouse(panel, 0, WM_LBUTTONDOWN, 0, -20);
    Mouse(panel, 0, WM_LBUTTONUP);
    EXPECT_TRUE(form3->Visible());

    Mouse(panel, 0, WM_LBUTTONDOWN);
    Mouse(panel, 0, WM_LBUTTONUP, 1, 1);
    EXPECT_FALSE(form3->Visible());
    EXPECT_TRUE(errors.empty());
}

TEST_F(ClosePicture, MainWindowPicturesFromTheKeyboard) {
    TitlePanel& panel = form1->Panel2();
    ASSERT_EQ(3u, panel.Pictures().size());
    // A tab stop of the window, on the first picture; the focus is drawn
    // only while the panel has the focus.
    EXPECT_TRUE(::GetWindowLongW(panel.Handle(), GWL_STYLE) & WS_TABSTOP);
    EXPECT_FALSE(FocusDrawn(panel, 0));
    panel.TakeFocus();
    ASSERT_EQ(panel.Handle(), ::GetFocus());
    EXPECT_TRUE(FocusDrawn(panel, 0));
    // Right and Left move, round the ends; Home and End go to them.
    const std::pair<WORD, int> moves[] = {{VK_RIGHT, 1}, {VK_LEFT, 0}, {VK_LEFT, 2},
                                          {VK_HOME, 0},  {VK_END, 2},  {VK_RIGHT, 0}};
    for (const auto& [key, to] : moves) {
        PressKey(key);
        EXPECT_EQ(to, panel.Current()) << key;
    }
    PressKey(VK_RIGHT);
    EXPECT_TRUE(FocusDrawn(panel, 1));
    EXPECT_FALSE(FocusDrawn(panel, 0));

    // Enter presses on its release: the middle picture maximises and restores.
    PressKey(VK_RETURN, true, false);
    EXPECT_FALSE(::IsZoomed(form1->Handle()));
    PressKey(VK_RETURN, false, true);
    EXPECT_TRUE(::IsZoomed(form1->Handle()));
    PressKey(VK_RETURN);
    EXPECT_FALSE(::IsZoomed(form1->Handle()));
    // An Enter pressed in the table and released on the panel presses
    // nothing; nor does a release with no press.
    ::SetFocus(Probe(*form1).Grid().Handle());
    EXPECT_FALSE(FocusDrawn(panel, 1));
    PressKey(VK_RETURN, true, false);
    panel.TakeFocus();
    PressKey(VK_RETURN, false, true);
    PressKey(VK_RETURN, false, true);
    EXPECT_FALSE(::IsZoomed(form1->Handle()));
    // The window's keys keep their meaning on the panel: Esc hides it.
    PressKey(VK_ESCAPE);
    EXPECT_FALSE(form1->Visible());
    EXPECT_TRUE(errors.empty());
}
