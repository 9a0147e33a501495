// The pictures of the title strips act on a click, that is a press and a
// release on the picture: a release alone (the press was elsewhere) or a
// release away from the picture does nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/win32/ProgramFixture.h"

using namespace zelvane;
using namespace zelvane::testing;

namespace {

class ClosePicture : public ProgramFixture {
protected:
    // The about window's close picture, on the strip's right-hand panel.
    HWND Picture() const {
        const HWND picture = ::GetWindow(BorderlessProbe::Panel2(*form3).Handle(), GW_CHILD);
        wchar_t cls[32] = {};
        ::GetClassNameW(picture, cls, 32);
        return std::wstring(cls) == L"ZelvaneImage" ? picture : nullptr;
    }
    static void Mouse(HWND window, UINT msg, int x, int y) {
        ::SendMessageW(window, msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
    }
};

}  // namespace

TEST_F(ClosePicture, HidesTheWindowOnAPressAndAReleaseOnIt) {
    form3->Show();
    const HWND picture = Picture();
    ASSERT_NE(nullptr, picture);

    // Pressed elsewhere, released over the picture.
    Mouse(picture, WM_LBUTTONUP, 2, 2);
    EXPECT_TRUE(form3->Visible());
    // Pressed on the picture, released away from it.
    Mouse(picture, WM_LBUTTONDOWN, 2, 2);
    EXPECT_EQ(picture, ::GetCapture());
    Mouse(picture, WM_LBUTTONUP, -40, 2);
    EXPECT_TRUE(form3->Visible());
    EXPECT_EQ(nullptr, ::GetCapture());
    // That press is spent: a later release alone still does nothing.
    Mouse(picture, WM_LBUTTONUP, 2, 2);
    EXPECT_TRUE(form3->Visible());

    Mouse(picture, WM_LBUTTONDOWN, 2, 2);
    Mouse(picture, WM_LBUTTONUP, 3, 3);
    EXPECT_FALSE(form3->Visible());
    EXPECT_TRUE(errors.empty());
}
