// The keyboard journey (KeyboardOnly, journeys/journey_steps.h).
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "journeys/journey_input.h"
#include "journeys/journey_steps.h"

namespace journey {

namespace {

// The main window's parts that take the focus.
struct MainStops {
    HWND table = nullptr;
    HWND bar = nullptr;
    HWND pictures = nullptr;  // the title strip's panel with the three pictures
};

MainStops StopsOf(const Program& p) {
    MainStops s{TableOf(p), ChildOfClass(p.main, TOOLBARCLASSNAMEW), nullptr};
    for (HWND panel : ChildrenOfClass(p.main, L"ZelvanePanel")) {
        if (!Within(s.table, panel)) s.pictures = panel;
    }
    return s;
}

// Tab `count` times (Shift+Tab when `back`) in window `root` takes the focus to `to`.
bool TabTo(const Program& p, HWND root, HWND to, const std::string& what, Journey& j, int count = 1,
           bool back = false) {
    for (int i = 0; i < count; ++i) {
        if (!Press(p, root, root, VK_TAB, "Tab", j, back ? VK_SHIFT : 0, back ? "Shift+" : "")) return false;
    }
    return j.Check(WaitFor([&] { return HasKeys(root, to); }), "Tab did not take the focus to " + what);
}

// Right `steps` times in the tool bar, then Enter: the button pressed.
bool PressButton(const Program& p, HWND bar, int steps, Journey& j) {
    for (int i = 0; i < steps; ++i) {
        if (!Press(p, p.main, bar, VK_RIGHT, "Right", j)) return false;
    }
    return Press(p, p.main, bar, VK_RETURN, "Enter", j);
}

// The window `title` comes up with the focus on `focus(window)`.
HWND ShownWithFocus(const Program& p, const std::wstring& title, HWND (*focus)(HWND), const std::string& what,
                    Journey& j) {
    HWND window = WaitShown(p, title, what, j);
    if (window && !j.Check(WaitFor([&] { return HasKeys(window, focus(window)); }),
                           what + " opened with the focus on " + Describe(FocusOf(window)))) {
        return nullptr;
    }
    return window;
}

HWND FirstEdit(HWND window) { return ChildOfClass(window, L"Edit"); }

// Esc leaves `window`, and the keys come back to the tool bar.
bool LeaveBack(const Program& p, HWND window, HWND bar, const std::string& what, Journey& j) {
    return EscapeHides(p, window, what, j) &&
           j.Check(WaitFor([&] { return HasKeys(p.main, bar); }), "the focus did not come back to the tool bar");
}

// Refresh: a process started after the table was made shows up in it only by
// the rebuild, and then is the last row, which End and Delete kill.
void Refresh(const Program& p, const MainStops& s, Journey& j) {
    KillJourney(j, [&] {
        TabTo(p, p.main, s.bar, "the tool bar", j) && PressButton(p, s.bar, 0, j) &&
            TabTo(p, p.main, s.table, "the table", j, 1, true) && Press(p, p.main, s.table, VK_END, "End", j) &&
            Press(p, p.main, s.table, VK_DELETE, "Delete", j);
    });
}

// Auto-refresh: the button stays down after one Enter, and comes up at the next.
void AutoRefresh(const Program& p, HWND bar, Journey& j) {
    if (PressButton(p, bar, 1, j)) {
        j.Check(WaitFor([&] { return Ask(bar, TB_ISBUTTONCHECKED, 1002) != 0; }), "auto-refresh did not go on");
    }
    if (j.failure.empty() && PressButton(p, bar, 0, j)) {
        j.Check(WaitFor([&] { return Ask(bar, TB_ISBUTTONCHECKED, 1002) == 0; }), "auto-refresh did not go off");
    }
}

// Search: type a part of the program's own name, Down chooses it, Esc leaves.
void Search(const Program& p, HWND bar, Journey& j) {
    HWND search = nullptr;
    if (!PressButton(p, bar, 2, j) ||
        !(search = ShownWithFocus(p, L"Search...", FirstEdit, "the search window", j))) {
        return;
    }
    ChooseInSearch(p, search, L"zelvane", L"zelvane", j);
    LeaveBack(p, search, bar, "the search window", j);
}

// Settings (one button on from properties, past the separator): Tab to the
// preview, its menu key, the preset "Под DOS", Tab on to Apply and Enter; opened again (the focus on Apply), Tab
// to Save and Enter: the preset is stored.
void Settings(const Program& p, HWND bar, Journey& j) {
    HWND dialog = nullptr;
    if (!PressButton(p, bar, 1, j) ||
        !(dialog = ShownWithFocus(p, L"Options ...", FirstEdit, "the settings dialog", j))) {
        return;
    }
    HWND panel = ChildOfClass(dialog, L"ZelvanePanel");
    HWND preview = panel ? ChildOfClass(panel, L"ZelvaneGrid") : nullptr;
    HWND apply = ChildWithText(dialog, L"Применить");
    HWND save = ChildWithText(dialog, L"Сохранить установки по умолчанию");
    if (!j.Check(preview && apply && save, "no preview, Apply or Save in the settings dialog")) return;
    HWND menu = nullptr;
    if (!TabTo(p, dialog, preview, "the preview", j, 2) ||
        !Press(p, dialog, preview, VK_F10, "F10", j, VK_SHIFT, "Shift+") ||
        !(menu = WaitShownOfClass(p, L"#32768", "the preview's menu", j))) {
        return;
    }
    // Home lights the first item, "Под Far"; two Downs "Под DOS".
    for (WORD key : {WORD(VK_HOME), WORD(VK_DOWN), WORD(VK_DOWN)}) {
        if (!Press(p, dialog, preview, key, key == VK_HOME ? "Home" : "Down", j)) return;
    }
    if (!Press(p, dialog, preview, VK_RETURN, "Enter", j) ||
        !j.Check(WaitFor([&] { return !Visible(menu); }), "Enter did not close the menu") ||
        !TabTo(p, dialog, apply, "Apply", j, 4) || !Press(p, dialog, apply, VK_RETURN, "Enter", j) ||
        !j.Check(WaitFor([&] { return !Visible(dialog) && HasKeys(p.main, bar); }), "Apply did not close the dialog") ||
        !PressButton(p, bar, 0, j) ||
        !j.Check(WaitFor([&] { return Visible(dialog) && HasKeys(dialog, apply); }),
                 "the dialog did not open again with the focus on Apply") ||
        !TabTo(p, dialog, save, "Save", j) ||
        (Shot(&p, "keyboard_settings", j), !Press(p, dialog, save, VK_RETURN, "Enter", j))) {
        return;
    }
    DWORD background = 1;
    j.Check(WaitFor([&] { return ReadDword(L"CFon", background) && background == 0; }),
            "the preset's black background was not stored");
    j.Check(WaitFor([&] { return !Visible(dialog) && HasKeys(p.main, bar); }), "Save did not close the dialog");
}

}  // namespace

void KeyboardOnly(Program& p, Journey& j) {
    const MainStops s = StopsOf(p);
    if (!j.Check(s.table && s.bar && s.pictures, "no table, tool bar or picture panel") ||
        !j.Check(WaitFor([&] { return HasKeys(p.main, s.table); }), "the program did not start with the keys")) {
        return;
    }
    Refresh(p, s, j);
    if (!j.failure.empty() || !TabTo(p, p.main, s.bar, "the tool bar", j)) return;
    AutoRefresh(p, s.bar, j);
    if (j.failure.empty()) Search(p, s.bar, j);
    HWND window = nullptr;
    if (j.failure.empty() && PressButton(p, s.bar, 1, j) &&
        (window = ShownWithFocus(p, L"ProcsInfo", FirstEdit, "the properties window", j))) {
        LeaveBack(p, window, s.bar, "the properties window", j);
    }
    if (j.failure.empty()) Settings(p, s.bar, j);
    if (j.failure.empty()) Shot(&p, "keyboard_toolbar", j);
    if (j.failure.empty() && PressButton(p, s.bar, 1, j) &&
        (window = WaitShown(p, L"About Program.", "the about window", j))) {
        LeaveBack(p, window, s.bar, "the about window", j);
    }
    // On to the picture panel: Right to the maximise picture, Enter
    // maximises and Enter again restores; then round to the table.
    if (j.failure.empty() && TabTo(p, p.main, s.pictures, "the picture panel", j) &&
        Press(p, p.main, s.pictures, VK_RIGHT, "Right", j) && Press(p, p.main, s.pictures, VK_RETURN, "Enter", j) &&
        j.Check(WaitFor([&] { return ::IsZoomed(p.main) != FALSE; }), "Enter on the picture did not maximise") &&
        Press(p, p.main, s.pictures, VK_RETURN, "Enter", j) &&
        j.Check(WaitFor([&] { return ::IsZoomed(p.main) == FALSE; }), "Enter on the picture did not restore") &&
        TabTo(p, p.main, s.table, "the table", j)) {
        j.Check(Visible(p.main), "the main window is not shown");
    }
    DeleteSettings();
}

}  // namespace journey
