// The status bar shows the hint of the tool button under the pointer, and
// clears it when the pointer leaves, also straight onto another program's
// window, which sends this program no mouse move.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include "tests/win32/ProgramFixture.h"

using namespace zelvane;
using namespace zelvane::testing;

namespace {

// A point of the screen over a window of another process, if there is one.
bool PointOverAnotherProgram(POINT& found) {
    for (int y = 2; y < ::GetSystemMetrics(SM_CYSCREEN); y += 37) {
        for (int x = 2; x < ::GetSystemMetrics(SM_CXSCREEN); x += 37) {
            DWORD pid = 0;
            ::GetWindowThreadProcessId(::WindowFromPoint(POINT{x, y}), &pid);
            if (pid != 0 && pid != ::GetCurrentProcessId()) {
                found = POINT{x, y};
                return true;
            }
        }
    }
    return false;
}

class StatusHint : public ProgramFixture {};

}  // namespace

TEST_F(StatusHint, ToolButtonHintLeavesWithThePointer) {
    POINT away{};
    ASSERT_TRUE(PointOverAnotherProgram(away));
    const std::string before = Probe(*form1).StatusText();

    RECT button{};
    ASSERT_TRUE(::SendMessageW(Probe(*form1).ToolBar(), TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&button)));
    POINT centre{(button.left + button.right) / 2, (button.top + button.bottom) / 2};
    ::ClientToScreen(Probe(*form1).ToolBar(), &centre);
    ::SetCursorPos(centre.x, centre.y);
    ASSERT_TRUE(PumpUntil([&] { return !Probe(*form1).StatusText().empty() && Probe(*form1).StatusText() != before; }));

    ::SetCursorPos(away.x, away.y);
    EXPECT_TRUE(PumpUntil([&] { return Probe(*form1).StatusText().empty(); }));
}
