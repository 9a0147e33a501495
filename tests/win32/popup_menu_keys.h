// Drives the next popup menu of this thread with the keyboard: the keys are
// queued before the menu opens; a guard timer closes the menu should they go
// astray, so that a test cannot hang.
#pragma once

#include <windows.h>

#include <initializer_list>

namespace zelvane {

class MenuKeys {
public:
    MenuKeys(HWND window, std::initializer_list<WPARAM> keys) {
        for (WPARAM key : keys) ::PostMessageW(window, WM_KEYDOWN, key, 0);
        guard_ = ::SetTimer(nullptr, 0, 5000, &CloseMenu);
    }
    ~MenuKeys() { ::KillTimer(nullptr, guard_); }
    MenuKeys(const MenuKeys&) = delete;
    MenuKeys& operator=(const MenuKeys&) = delete;

private:
    static void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD) { ::EndMenu(); }
    UINT_PTR guard_;
};

}  // namespace zelvane
