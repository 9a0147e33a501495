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

bool BecomesVisible(HWND h) {
    return PumpUntil([&] { return ::IsWindowVisible(h) != FALSE; });
}

}  // namespace

TEST(Instance, HiddenStartHidesAtTheFirstPaintOnlyForLowerCaseFirstArgument) {
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
    }
}

TEST(Instance, SecondStartEndsWithZeroAndShowsTheHiddenFirst) {
    ProgramInstance first(L"-h");
    HWND main = first.MainWindow();
    ASSERT_NE(nullptr, main);
    ASSERT_TRUE(BecomesHidden(main));
    ProgramInstance second(L"-h");
    EXPECT_EQ(0u, second.WaitExitCode(kPatienceMs));
    EXPECT_TRUE(BecomesVisible(main));
    EXPECT_TRUE(first.Running());
}
