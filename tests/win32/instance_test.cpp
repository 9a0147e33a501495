// zelvane.exe from the outside: one instance per desktop, the hidden start
// and the registered messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "gui/Handles.h"
#include "tests/win32/ProgramFixture.h"

using namespace zelvane;
using namespace zelvane::testing;

namespace {

// A zelvane.exe started by the test, ended by it when still running.
class Instance {
public:
    explicit Instance(const std::wstring& args = L"") {
        PROCESS_INFORMATION pi = StartChild(L"zelvane.exe", args);
        process_.Reset(pi.hProcess);
        KernelHandle thread(pi.hThread);
        pid_ = pi.dwProcessId;
    }
    ~Instance() {
        if (Running()) {
            ::TerminateProcess(process_.Get(), 1);
            ::WaitForSingleObject(process_.Get(), 5000);
        }
    }
    bool Running() const { return ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT; }
    // Waits for the end; the exit code, or -1 while still running.
    long WaitExit(DWORD ms) const {
        if (::WaitForSingleObject(process_.Get(), ms) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        ::GetExitCodeProcess(process_.Get(), &code);
        return static_cast<long>(code);
    }
    // The main window: the program's top-level form with the tool bar.
    HWND MainWindow() const {
        struct Search {
            DWORD pid;
            HWND found;
        } s{pid_, nullptr};
        ::EnumWindows(
            [](HWND h, LPARAM lp) WINAPI -> BOOL {
                auto* s = reinterpret_cast<Search*>(lp);
                DWORD pid = 0;
                ::GetWindowThreadProcessId(h, &pid);
                wchar_t cls[64] = {};
                ::GetClassNameW(h, cls, 64);
                if (pid == s->pid && std::wstring(cls) == L"ZelvaneForm" &&
                    ::FindWindowExW(h, nullptr, L"ToolbarWindow32", nullptr)) {
                    s->found = h;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&s));
        return s.found;
    }
    HWND WaitMainWindow() const {
        HWND h = nullptr;
        PumpUntil([&] { return (h = MainWindow()) != nullptr; }, 15000);
        return h;
    }

private:
    KernelHandle process_;
    DWORD pid_ = 0;
};

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
    Instance first;
    HWND main = first.WaitMainWindow();
    ASSERT_NE(nullptr, main);
    EXPECT_TRUE(StaysVisible(main));
    HWND app = ::FindWindowW(nullptr, L"Zelvane");
    ASSERT_NE(nullptr, app);
    EXPECT_NE(main, app);
}

TEST(Instance, HiddenStartHidesAtTheFirstPaintOnlyForLowerCaseFirstArgument) {
    {
        Instance hidden(L"-h");
        HWND main = hidden.WaitMainWindow();
        ASSERT_NE(nullptr, main);
        EXPECT_TRUE(BecomesHidden(main));
        EXPECT_TRUE(hidden.Running());
    }
    {
        Instance upper(L"-H");
        HWND main = upper.WaitMainWindow();
        ASSERT_NE(nullptr, main);
        EXPECT_TRUE(StaysVisible(main));
    }
    {
        Instance second(L"x -h");
        HWND main = second.WaitMainWindow();
        ASSERT_NE(nullptr, main);
        EXPECT_TRUE(StaysVisible(main));
    }
    {
        Instance embedded(L"/x-hy");
        HWND main = embedded.WaitMainWindow();
        ASSERT_NE(nullptr, main);
        EXPECT_TRUE(BecomesHidden(main));
    }
}

TEST(Instance, SecondStartEndsWithZeroAndShowsTheHiddenFirst) {
    Instance first(L"-h");
    HWND main = first.WaitMainWindow();
    ASSERT_NE(nullptr, main);
    ASSERT_TRUE(BecomesHidden(main));
    Instance second(L"-h");
    EXPECT_EQ(0, second.WaitExit(15000));
    EXPECT_TRUE(PumpUntil([&] { return ::IsWindowVisible(main) != FALSE; }, 8000));
    EXPECT_TRUE(first.Running());
}

TEST(Instance, RegisteredMessagesHideShowAndClose) {
    Instance first;
    HWND main = first.WaitMainWindow();
    ASSERT_NE(nullptr, main);
    ASSERT_TRUE(StaysVisible(main));
    Post(L"Zelvane_Hide");
    EXPECT_TRUE(BecomesHidden(main));
    Post(L"Zelvane_Show");
    EXPECT_TRUE(PumpUntil([&] { return ::IsWindowVisible(main) != FALSE; }, 8000));
    Post(L"Zelvane_Close");
    EXPECT_EQ(0, first.WaitExit(10000));
}
