// A popup menu built from a tree of named items: the notification-area icon's
// menu and the process table's context menu. It owns its menu handle; a chosen
// item's handler runs after the menu has closed.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/Handles.h"

namespace zelvane {

class PopupMenu {
public:
    struct Item {
        std::string name;                // e.g. "N2"
        std::string caption;             // UTF-8; "-" for a separator line
        std::function<void()> onClick;   // may be empty for a submenu
        bool isDefault = false;          // drawn bold; clicked by ClickDefault
        std::vector<Item> children;      // a submenu when not empty
    };

    explicit PopupMenu(std::vector<Item> items);
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;

    // Shows the menu at a screen point and runs the chosen item's handler once
    // the menu has closed. Exceptions from the handler reach the caller.
    void Popup(HWND owner, POINT screenPoint);

    // The two halves of Popup, for callers that must act between them (the
    // notification-area icon posts WM_NULL once the menu is closed).
    // Track returns the chosen command (0 when the menu was dismissed).
    int Track(HWND owner, POINT screenPoint);
    void RunCommand(int command);

    // Clicks the first top-level item marked default; false when there is none.
    bool ClickDefault();
    // Runs the handler of the item with this name (shared actions, tests);
    // throws Error for a name the menu does not have.
    void Click(const std::string& name);

    HMENU Handle() const { return menu_.Get(); }

private:
    MenuHandle Build(const std::vector<Item>& items);
    static void Run(const Item& item);

    std::vector<Item> items_;
    std::vector<const Item*> commands_;  // command id - 1 -> leaf item
    MenuHandle menu_;
};

}  // namespace zelvane
