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

bool StaysVisible(HWND h) {
    Pump(1500);
    return ::IsWindowVisible(h) != FALSE;
}

bool BecomesHidden(HWND h) {
    return PumpUntil([&] { return !::IsWindowVisible(h); }, 8000);
}

void Post(const wchar_t* message) {
    HWND app = ::FindWindowW(nullptr, L"Zelvane");
    ASSERT_NE(nullptr, app);
    ::PostMessageW(app, ::RegisterWindowMessageW(message), 0, 0);
}

}  // namespace

TEST(Instance, PlainStartShowsTheMainWindowAndTheApplicationWindowCarriesTheTitle) {
    ProgramInstance first;
    HWND main = first.MainWindow();
    ASSERT_NE(nullptr, main);
    EXPECT_TRUE(StaysVisible(main));
    HWND app = ::FindWindowW(nullptr, L"Zelvane");
    ASSERT_NE(nullptr, app);
    EXPECT_NE(main, app);
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
        EXPECT_TRUE(StaysVisible(main));
    }
    {
        ProgramInstance second(L"x -h");
        HWND main = second.MainWindow();
        ASSERT_NE(nullptr, main);
        EXPECT_TRUE(StaysVisible(main));
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
    EXPECT_EQ(0u, second.WaitExitCode(15000));
    EXPECT_TRUE(PumpUntil([&] { return ::IsWindowVisible(main) != FALSE; }, 8000));
    EXPECT_TRUE(first.Running());
}

TEST(Instance, RegisteredMessagesHideShowAndClose) {
    ProgramInstance first;
    HWND main = first.MainWindow();
    ASSERT_NE(nullptr, main);
    ASSERT_TRUE(StaysVisible(main));
    Post(L"Zelvane_Hide");
    EXPECT_TRUE(BecomesHidden(main));
    Post(L"Zelvane_Show");
    EXPECT_TRUE(PumpUntil([&] { return ::IsWindowVisible(main) != FALSE; }, 8000));
    Post(L"Zelvane_Close");
    EXPECT_EQ(0u, first.WaitExitCode(10000));
}
