#include "gui/PopupMenu.h"

#include "base/Error.h"
#include "base/Text.h"
#include "gui/ForeignLoop.h"

namespace zelvane {

namespace {

const PopupMenu::Item* FindByName(const std::vector<PopupMenu::Item>& items, const std::string& name) {
    for (const auto& item : items) {
        if (item.name == name) return &item;
        if (const auto* found = FindByName(item.children, name)) return found;
    }
    return nullptr;
}

}  // namespace

PopupMenu::PopupMenu(std::vector<Item> items) : items_(std::move(items)) { menu_ = Build(items_); }

MenuHandle PopupMenu::Build(const std::vector<Item>& items) {
    MenuHandle menu(::CreatePopupMenu());
    if (!menu) throw Error("CreatePopupMenu failed");
    for (const auto& item : items) {
        const std::wstring caption = Widen(item.caption);
        if (!item.children.empty()) {
            MenuHandle sub = Build(item.children);
            if (!::AppendMenuW(menu.Get(), MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(sub.Get()),
                               caption.c_str()))
                throw Error("AppendMenu failed");
            sub.Release();  // destroyed with its parent from now on
            continue;
        }
        if (item.caption == "-") {
            if (!::AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr)) throw Error("AppendMenu failed");
            continue;
        }
        commands_.push_back(&item);
        const UINT id = static_cast<UINT>(commands_.size());
        if (!::AppendMenuW(menu.Get(), MF_STRING, id, caption.c_str())) throw Error("AppendMenu failed");
        if (item.isDefault) ::SetMenuDefaultItem(menu.Get(), id, FALSE);
    }
    return menu;
}

int PopupMenu::Track(HWND owner, POINT screenPoint) {
    const ForeignLoopScope loop;
    return static_cast<int>(::TrackPopupMenu(menu_.Get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON,
                                             screenPoint.x, screenPoint.y, 0, owner, nullptr));
}

void PopupMenu::RunCommand(int command) {
    if (command >= 1 && static_cast<size_t>(command) <= commands_.size()) Run(*commands_[command - 1]);
}

void PopupMenu::Popup(HWND owner, POINT screenPoint) { RunCommand(Track(owner, screenPoint)); }

bool PopupMenu::ClickDefault() {
    for (const auto& item : items_) {
        if (item.isDefault) {
            Run(item);
            return true;
        }
    }
    return false;
}

void PopupMenu::Click(const std::string& name) {
    const Item* item = FindByName(items_, name);
    if (!item) throw Error(FormatMessage1("No menu item '%s'", name));
    Run(*item);
}

void PopupMenu::Run(const Item& item) {
    // A copy: the handler may destroy this menu (the tray menu's "close program").
    if (auto handler = item.onClick) handler();
}

}  // namespace zelvane
