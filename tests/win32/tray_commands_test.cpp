// The tray menu's commands in the whole program: the right click that opened
// the menu shows the main window after the command, as every click on the icon
// does, and must neither bury what the command opened nor act on a main
// window that the command destroyed.
#include <windows.h>

#include <gtest/gtest.h>

#include "gui/Handles.h"
#include "tests/win32/ProgramFixture.h"
#include "tests/win32/popup_menu_keys.h"

using namespace zelvane;
using namespace zelvane::testing;

namespace {

class TrayCommands : public ProgramFixture {
protected:
    // A right click on the icon, and the menu item `down` steps from the top
    // chosen with the keyboard.
    void ChooseFromTrayMenu(int down) {
        TJvTrayIcon& tray = Probe(*form1).TrayIcon();
        const HWND window = tray.Window();
        std::vector<WPARAM> keys(static_cast<std::size_t>(down), VK_DOWN);
        keys.push_back(VK_RETURN);
        for (WPARAM key : keys) ::PostMessageW(window, WM_KEYDOWN, key, 0);
        MenuKeys guard(window, {});
        ::SendMessageW(window, TJvTrayIcon::kCallbackMessage, TJvTrayIcon::kIconId, WM_RBUTTONUP);
        Pump(20);
    }
    // Whether `above` lies above `below` in the z-order.
    static bool Above(HWND above, HWND below) {
        for (HWND w = ::GetWindow(below, GW_HWNDPREV); w; w = ::GetWindow(w, GW_HWNDPREV)) {
            if (w == above) return true;
        }
        return false;
    }
};

}  // namespace

TEST_F(TrayCommands, SettingsAndAboutOpenInFrontOfTheShownMainWindow) {
    struct Case {
        int down;
        Form* opened;
    };
    for (const Case c : {Case{2, form2}, Case{3, form3}}) {
        form1->Hide();
        ChooseFromTrayMenu(c.down);
        EXPECT_TRUE(form1->Visible());  // the click still shows the main window
        EXPECT_TRUE(c.opened->Visible());
        EXPECT_EQ(c.opened->Handle(), ::GetActiveWindow());
        EXPECT_TRUE(Above(c.opened->Handle(), form1->Handle()));
        c.opened->Hide();
    }
    EXPECT_TRUE(errors.empty());

    // "Открыть список процессов": the main window in front, as before.
    form1->Hide();
    ChooseFromTrayMenu(1);
    EXPECT_TRUE(form1->Visible());
    EXPECT_EQ(form1->Handle(), ::GetActiveWindow());
}

TEST_F(TrayCommands, CloseProgramEndsWithoutTouchingTheDestroyedWindow) {
    const ChildProcess child(L"sleeper_child.exe");
    const int pathWidth = Probe(*form1).Grid().ColWidth(5);
    const unsigned long long revision = Probe(*form1).Grid().Model().Revision();

    ChooseFromTrayMenu(4);
    EXPECT_EQ(nullptr, form1->Handle());
    EXPECT_TRUE(quitTaken);
    // The click after the menu neither rebuilt the table (no new process in
    // it) nor laid out the path column from a window that is gone.
    EXPECT_EQ(revision, Probe(*form1).Grid().Model().Revision());
    EXPECT_EQ(pathWidth, Probe(*form1).Grid().ColWidth(5));
    EXPECT_TRUE(errors.empty());
}
