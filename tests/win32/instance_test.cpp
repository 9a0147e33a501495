// zelvane.exe from the outside: one instance per desktop, the hidden start
// and the registered messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

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

void Post(const wchar_t* message) {
    HWND app = ::FindWindowW(nullptr, L"Zelvane");
    ASSERT_NE(nullptr, app);
    ::PostMessageW(app, ::RegisterWindowMessageW(message), 0, 0);
}

}  // namespace

// A plain start shows the main window, and the application window carries
// the title; the requests of other programs hide, show and close it.
TEST(Instance, PlainStartShowsTheMainWindowAndObeysTheRegisteredMessages) {
    ProgramInstance first;
    HWND main = first.MainWindow();
    ASSERT_NE(nullptr, main);
    EXPECT_TRUE(StaysVisible(first, main));
    HWND app = ::FindWindowW(nullptr, L"Zelvane");
    ASSERT_NE(nullptr, app);
    EXPECT_NE(main, app);
    Post(L"Zelvane_Hide");
    EXPECT_TRUE(BecomesHidden(main));
    Post(L"Zelvane_Show");
    EXPECT_TRUE(BecomesVisible(main));
    Post(L"Zelvane_Close");
    EXPECT_EQ(0u, first.WaitExitCode(kPatienceMs));
}

TEST(Instance, HiddenStartHidesAtTheFirstPaintOnlyForLowerCaseFirstArgument) {
    {
        ProgramInstance hidden(L"-h");
        HWND main = hidden.MainWindow();
        ASSERT_NE(nullptr, main);
        EXPECT_TRUE(BecomesHidden(main));
        EXPECT_TRUE(hidden.Running());
    }
    {
        ProgramInstance upper(L"-H");
        HWND main = upper.MainWindow();
        ASSERT_NE(nullptr, main);
        EXPECT_TRUE(StaysVisible(upper, main));
    }
    {
        ProgramInstance second(L"x -h");
        HWND main = second.MainWindow();
        ASSERT_NE(nullptr, main);
        EXPECT_TRUE(StaysVisible(second, main));
    }
    {
        ProgramInstance embedded(L"/x-hy");
        HWND main = embedded.MainWindow();
        ASSERT_NE(nullptr, main);
        EXPECT_TRUE(BecomesHidden(main));
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
