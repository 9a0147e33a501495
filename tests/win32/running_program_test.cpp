// zelvane.exe as it runs, from the outside: its own priority, and its
// notification-area icon wired to the menu and the windows. The process table
// is read through the search window, which lists the table's names.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/Text.h"
#include "gui/Handles.h"
#include "tests/win32/ProgramFixture.h"
#include "tests/win32/reliability_support.h"

using namespace zelvane;
using namespace zelvane::testing;

namespace {

constexpr UINT kTrayCallback = WM_USER + 1;

// The search window of the running program: at every paint it reloads the
// names from the process table and clears its filter; its filter then shows
// the names that contain the text typed.
class SearchList {
public:
    explicit SearchList(HWND window)
        : window_(window), edit_(ChildOfClass(window, L"Edit")), list_(ChildOfClass(window, L"ListBox")) {}
    bool Valid() const { return edit_ && list_; }

    // How many processes of the table, as it is now, have `name` in their name.
    int Count(const std::string& name) const {
        Type(L"\x1F no name has this \x1F");
        ::InvalidateRect(window_, nullptr, FALSE);
        if (!WaitUntil([&] { return journey::TextOf(edit_).empty(); })) return -1;  // the paint ran
        Type(Widen(name));
        DWORD_PTR count = 0;
        ::SendMessageTimeoutW(list_, LB_GETCOUNT, 0, 0, SMTO_NORMAL, kPatienceMs, &count);
        return static_cast<int>(count);
    }

private:
    void Type(const std::wstring& text) const {
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(edit_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, kPatienceMs,
                              &ignored);
    }

    HWND window_;
    HWND edit_;
    HWND list_;
};

}  // namespace

TEST(RunningProgram, RunsAtHighPriorityAndItsTrayMenuDoesWhatEachItemSays) {
    // The table is rebuilt only by commands: the one-shot rebuild after start
    // and after kills never fires with an interval of 0.
    RegistryGuard registry;
    StoreQuietSettings();

    ProgramInstance program;
    const HWND main = program.MainWindow();
    ASSERT_NE(nullptr, main);
    // The icon's window follows the main window's first paint, after start-up.
    const HWND tray = program.FindWindow(L"ZelvaneTrayIconWindow");
    ASSERT_NE(nullptr, tray);

    EXPECT_EQ(static_cast<DWORD>(HIGH_PRIORITY_CLASS), ::GetPriorityClass(program.Handle()));
    const KernelHandle guiThread(
        ::OpenThread(THREAD_QUERY_INFORMATION, FALSE, ::GetWindowThreadProcessId(main, nullptr)));
    ASSERT_TRUE(guiThread);
    EXPECT_EQ(THREAD_PRIORITY_TIME_CRITICAL, ::GetThreadPriority(guiThread.Get()));

    // F3 opens the search window, through which the test reads the table.
    PostKey(main, VK_F3);
    ASSERT_TRUE(WaitUntil([&] { return VisibleWindowOf(program.Pid(), L"ZelvaneForm", L"Search..."); }));
    const SearchList table(VisibleWindowOf(program.Pid(), L"ZelvaneForm", L"Search..."));
    ASSERT_TRUE(table.Valid());

    // A right click on the icon opens the tray menu; after each item (whose
    // own part tray_commands_test.cpp checks) the main window is shown and the
    // table rebuilt, also when the menu was dismissed. A left double click
    // runs the default item alone.
    const struct {
        const char* item;
        UINT event;
        int downs;  // in the menu, then the key
        WORD key;
    } steps[] = {
        {"N2", WM_RBUTTONUP, 1, VK_RETURN},
        {"N3", WM_RBUTTONUP, 2, VK_RETURN},
        {"About1", WM_RBUTTONUP, 3, VK_RETURN},
        {"dismissed", WM_RBUTTONUP, 0, VK_ESCAPE},
        {"default", WM_LBUTTONDBLCLK, 0, 0},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.item);
        PostRequest(L"Zelvane_Hide");
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(main); }));
        Victim victim(std::string("traykid") + step.item);
        ASSERT_TRUE(victim.Start());
        EXPECT_EQ(0, table.Count(victim.Name()));

        ::PostMessageW(tray, kTrayCallback, TJvTrayIcon::kIconId, step.event);
        if (step.event == WM_RBUTTONUP) {
            ASSERT_TRUE(WaitUntil([&] { return VisibleWindowOf(program.Pid(), L"#32768"); }));
            for (int i = 0; i < step.downs; ++i) ::PostMessageW(tray, WM_KEYDOWN, VK_DOWN, 0);
            ::PostMessageW(tray, WM_KEYDOWN, step.key, 0);
        }
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }));
        EXPECT_EQ(1, table.Count(victim.Name()));
    }

    // The last item ends the program, and its icon with it.
    ::PostMessageW(tray, kTrayCallback, TJvTrayIcon::kIconId, WM_RBUTTONUP);
    ASSERT_TRUE(WaitUntil([&] { return VisibleWindowOf(program.Pid(), L"#32768"); }));
    for (WORD key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}) ::PostMessageW(tray, WM_KEYDOWN, key, 0);
    EXPECT_EQ(0u, program.WaitExitCode());
}
