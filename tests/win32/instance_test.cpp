// zelvane.exe from the outside: one instance per desktop and the hidden
// start (tests/win32/hostile_input_test.cpp sends the registered messages).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/Text.h"
#include "tests/win32/ProgramFixture.h"
#include "tests/win32/reliability_support.h"

using namespace zelvane;
using namespace zelvane::testing;

namespace {

// The main window is still shown once its first paint has passed (the paint
// that hides a hidden start). The tray icon's window comes right after that
// paint: its presence says the paint is done, however slow the machine.
bool StaysVisible(const ProgramInstance& program, HWND main) {
    return program.FindWindow(L"ZelvaneTrayIconWindow") != nullptr && ::IsWindowVisible(main) != FALSE;
}

bool BecomesHidden(HWND h) {
    return PumpUntil([&] { return !::IsWindowVisible(h); });
}

}  // namespace

// A hidden start hides at the first paint, only for a lower-case first
// argument; a second start (hidden or not) ends with 0 and shows the first.
TEST(Instance, HiddenStartHidesOnlyForLowerCaseFirstArgumentAndASecondStartShowsIt) {
    const struct {
        const wchar_t* args;
        bool hides;
    } starts[] = {{L"-h", true}, {L"-H", false}, {L"x -h", false}, {L"/x-hy", true}};
    for (const auto& start : starts) {
        SCOPED_TRACE(Narrow(start.args));
        ProgramInstance program(start.args);
        HWND main = program.MainWindow();
        ASSERT_NE(nullptr, main);
        EXPECT_TRUE(start.hides ? BecomesHidden(main) : StaysVisible(program, main));
        EXPECT_TRUE(program.Running());
        if (start.args != std::wstring(L"-h")) continue;
        ProgramInstance second(L"-h");
        EXPECT_EQ(0u, second.WaitExitCode(kPatienceMs));
        EXPECT_TRUE(PumpUntil([&] { return ::IsWindowVisible(main) != FALSE; }));
        EXPECT_TRUE(program.Running());
    }
}
