// PopupMenu: the built menu (order, bold default, submenus), the clicks by
// name and by default, a real popup driven with the keyboard, and ownership.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Error.h"
#include "base/Text.h"
#include "gui/PopupMenu.h"
#include "tests/win32/popup_menu_keys.h"

namespace zelvane {
namespace {

std::string Caption(HMENU menu, int position) {
    wchar_t text[128] = {};
    ::GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
    return Narrow(text);
}

struct MenuFixture : ::testing::Test {
    std::vector<std::string> ran;
    PopupMenu::Item Leaf(const std::string& name, const std::string& caption, bool isDefault = false) {
        return {name, caption, [this, name] { ran.push_back(name); }, isDefault, {}};
    }
    std::vector<PopupMenu::Item> TrayItems() {
        return {Leaf("N2", "Открыть список процессов", true), Leaf("N3", "Настройка"), Leaf("About1", "About"),
                Leaf("N4", "Закрыть программу")};
    }
    std::vector<PopupMenu::Item> GridItems() {
        return {Leaf("N6", "Выгрузить процесс"),
                {"N1", "Установить прооритет", nullptr, false,
                 {Leaf("Idle", "4 (Idle)"), Leaf("Normal", "8 (Normal)"), Leaf("High", "13 (High)"),
                  Leaf("Realtime", "24 (Realtime)")}},
                Leaf("N5", "Свойства")};
    }
};

TEST_F(MenuFixture, ItemsInOrderWithTheDefaultBold) {
    PopupMenu menu(TrayItems());
    const HMENU h = menu.Handle();
    ASSERT_EQ(::GetMenuItemCount(h), 4);
    EXPECT_EQ(Caption(h, 0), "Открыть список процессов");
    EXPECT_EQ(Caption(h, 1), "Настройка");
    EXPECT_EQ(Caption(h, 2), "About");
    EXPECT_EQ(Caption(h, 3), "Закрыть программу");
    EXPECT_EQ(::GetMenuDefaultItem(h, TRUE, 0), 0u);  // by position: the first item
}

TEST_F(MenuFixture, SubmenuCarriesItsItems) {
    PopupMenu menu(GridItems());
    const HMENU sub = ::GetSubMenu(menu.Handle(), 1);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(Caption(menu.Handle(), 1), "Установить прооритет");
    ASSERT_EQ(::GetMenuItemCount(sub), 4);
    EXPECT_EQ(Caption(sub, 0), "4 (Idle)");
    EXPECT_EQ(Caption(sub, 3), "24 (Realtime)");
    EXPECT_EQ(::GetMenuDefaultItem(menu.Handle(), TRUE, 0), static_cast<UINT>(-1));  // no default
}

TEST_F(MenuFixture, ClickByNameAndByDefault) {
    PopupMenu tray(TrayItems());
    EXPECT_TRUE(tray.ClickDefault());
    tray.Click("N4");
    PopupMenu grid(GridItems());
    EXPECT_FALSE(grid.ClickDefault());
    grid.Click("High");  // inside the submenu
    grid.Click("N1");    // a submenu without a handler: nothing to run
    EXPECT_EQ(ran, (std::vector<std::string>{"N2", "N4", "High"}));
    EXPECT_THROW(grid.Click("N9"), Error);
}

TEST_F(MenuFixture, HandlerErrorsReachTheCaller) {
    PopupMenu menu({{"N2", "x", [] { throw Error("boom"); }, true, {}}});
    EXPECT_THROW(menu.ClickDefault(), Error);
    EXPECT_THROW(menu.RunCommand(1), Error);
}

TEST_F(MenuFixture, PopupRunsTheChosenItemAfterTheMenuClosed) {
    PopupMenu menu(GridItems());
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    ::SetForegroundWindow(owner);
    {
        // Second entry, into its submenu, third entry there.
        MenuKeys keys(owner, {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN});
        menu.Popup(owner, POINT{100, 100});
    }
    ::DestroyWindow(owner);
    EXPECT_EQ(ran, (std::vector<std::string>{"High"}));
}

TEST_F(MenuFixture, OwnsExactlyOneMenuHandle) {
    const long before = MenuHandle::LiveCount();
    {
        PopupMenu menu(GridItems());
        EXPECT_EQ(MenuHandle::LiveCount(), before + 1);  // the submenu goes with its parent
    }
    EXPECT_EQ(MenuHandle::LiveCount(), before);
}

}  // namespace
}  // namespace zelvane
