// Drives the running program from the outside as a user would: finds its
// windows over its process and sends real input (SendInput: keys, Unicode
// characters, mouse clicks at screen points), then checks the outcome of each
// journey. Meant for a Wine virtual desktop under Xvfb (tools/journeys.sh).
//   journey_driver.exe <dir of zelvane.exe, sleeper_child.exe and journey_hook.dll> <screenshot dir>
// Prints "PASS <journey>" or "FAIL <journey>: <why>" per journey, and
// "SHOT <name>" when the screen shows what is worth a picture: the script then
// takes it and creates an empty file <name> in the screenshot dir, which the
// driver waits for. Exit code: the number of failed journeys.
//
// Every step confirms that its input reached the program, and outcomes are
// never retried (journeys/journey_input.h); the program's processes and
// windows are found from the outside (journeys/journey_program.h). Every wait
// is for a condition, bounded by kPatienceMs.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "journeys/journey_basics.h"
#include "journeys/journey_input.h"
#include "journeys/journey_program.h"
#include "journeys/journey_steps.h"

using namespace journey;

namespace {

// The program's notification icon reports to its window with this message.
constexpr UINT kTrayCallback = WM_USER + 1;

int g_failures = 0;

// Takes one journey's steps and prints how it went; true when it passed.
bool Run(const char* name, const std::function<void(Journey&)>& steps) {
    Journey j{name, {}};
    steps(j);
    if (j.failure.empty()) {
        std::printf("PASS %s\n", j.name);
    } else {
        std::printf("FAIL %s: %s\n", j.name, j.failure.c_str());
        ++g_failures;
    }
    std::fflush(stdout);
    return j.failure.empty();
}

// ---- whole steps -------------------------------------------------------------------

bool ClickToolButton(const Program& p, int index, const std::string& what, Journey& j) {
    HWND toolbar = ChildOfClass(p.main, TOOLBARCLASSNAMEW);
    RECT r{};
    if (!j.Check(toolbar && ToolButtonRect(toolbar, p.pid, index, r), what + ": no such tool button")) return false;
    const bool ok = Click(p, toolbar, Centre(r), what, j);
    MoveAway();
    return ok;
}

// Gives the process table the keyboard focus, as a user does by a click: on
// its header row, where a click selects nothing and a double click kills nothing.
bool FocusTable(const Program& p, Journey& j) {
    HWND grid = TableOf(p);
    if (!j.Check(grid != nullptr, "no process table")) return false;
    if (HasKeys(p.main, grid)) return true;
    RECT r{};
    ::GetWindowRect(grid, &r);
    return Click(p, grid, {r.left + 40, r.top + 8}, "click on the table's header", j) &&
           j.Check(WaitFor([&] { return HasKeys(p.main, grid); }), "the click on the table did not give it the focus");
}

// Clicks into a field, selects its text and types over it.
bool EnterField(const Program& p, HWND root, HWND edit, const std::wstring& value, Journey& j) {
    return Click(p, edit, Centre(edit), "click into a field", j) &&
           Press(p, root, edit, VK_END, "End", j) && Press(p, root, edit, VK_HOME, "Home", j, VK_SHIFT, "Shift+") &&
           Type(p, root, edit, value, j) &&
           j.Check(WaitFor([&] { return TextOf(edit) == value; }),
                   "the field shows \"" + Narrow(TextOf(edit)) + "\" after typing \"" + Narrow(value) + "\"");
}

// Starts the program and waits until it has finished starting: its main window
// and, created after the first paint, the notification icon and the four
// hidden windows. The hook then goes into its GUI thread.
bool StartProgram(Program& p, const std::wstring& args, Journey& j) {
    Detach(p);
    p.child.Close();
    p.child = Start(L"zelvane.exe", args);
    if (!j.Check(p.child.pi.hProcess != nullptr, "zelvane.exe did not start")) return false;
    p.pid = p.child.pi.dwProcessId;
    const DWORD pid = p.pid;
    if (!j.Check(WaitFor([&] { return (p.main = MainWindow(pid)) != nullptr; }), "no main window")) return false;
    const wchar_t* const hidden[] = {L"Options ...", L"About Program.", L"Search...", L"ProcsInfo"};
    if (!j.Check(WaitFor([&] {
                     return std::all_of(std::begin(hidden), std::end(hidden),
                                        [&](const wchar_t* t) { return WindowTitled(pid, t) != nullptr; });
                 }),
                 "the hidden windows were not created")) {
        return false;
    }
    return j.Check(Attach(p), "the input hook did not come into the program");
}

// Ctrl+F4 in the process table, which ends the program.
bool PressCtrlF4(const Program& p, Journey& j) {
    return FocusTable(p, j) && Press(p, p.main, TableOf(p), VK_F4, "F4", j, VK_CONTROL, "Ctrl+");
}

// Ends the running program with Ctrl+F4 (`why` names the start that follows)
// and starts it again with `args`.
bool RestartProgram(Program& p, const std::wstring& args, const std::string& why, Journey& j) {
    if (!PressCtrlF4(p, j)) return false;
    const DWORD code = p.child.WaitExit();
    if (!j.Check(code == 0, "exit code " + std::to_string(code) + " of the program ended " + why)) return false;
    return StartProgram(p, args, j);
}

// Esc goes down in `target` of `root` (by default its focus: a box's button
// stays itself after the box is gone) and closes `what` there (`closed`); its
// release, then, comes to `under`, which must stay shown.
bool EscClosesOnly(const Program& p, HWND root, HWND target, const std::function<bool()>& closed, HWND under,
                   const std::string& what, Journey& j) {
    if (!target && !j.Check(WaitFor([&] { return (target = FocusOf(root)) != nullptr; }), what + " has no focus")) {
        return false;
    }
    return KeyDown(p, root, target, VK_ESCAPE, "Esc", j) && j.Check(WaitFor(closed), "Esc did not close " + what) &&
           KeyUp(p, under, under, VK_ESCAPE, "Esc", j) &&
           j.Check(Idle(p) && Visible(under), "Esc that closed " + what + " also hid " + Describe(under));
}

// The context menu by `key` (with `modifier`) on `target` of `root`, closed by Esc.
bool MenuEscape(const Program& p, HWND root, HWND target, WORD key, const char* name, WORD modifier,
                const char* modifierName, Journey& j) {
    HWND menu = nullptr;
    const std::string what = std::string(modifierName) + name + "'s menu";
    return Press(p, root, target, key, name, j, modifier, modifierName) &&
           (menu = WaitShownOfClass(p, L"#32768", what, j)) &&
           EscClosesOnly(p, root, target, [&] { return !Visible(menu); }, root, what, j);
}

// Each case of a release whose press something else took, with the press and the release apart, as a user's hand
// gives them: Esc closes a menu, a message box, the colour dialog or the
// font list on its press, and the window under it stays. First the main
// window's menus, the kill question and the search window's error box.
void KeyReleasesInMain(Program& p, Journey& j) {
    HWND grid = TableOf(p);
    if (!FocusTable(p, j) || !MenuEscape(p, p.main, grid, VK_F10, "F10", VK_SHIFT, "Shift+", j) ||
        !MenuEscape(p, p.main, grid, VK_APPS, "Menu", 0, "", j)) {
        return;
    }
    // The kill question comes for a protected name: a sleeper called KERNEL32.
    const std::wstring named = g_dir + L"\\KERNEL32_SLEEPER.exe";
    HWND box = nullptr;
    if (j.Check(::CopyFileW((g_dir + L"\\sleeper_child.exe").c_str(), named.c_str(), FALSE), "no KERNEL32 copy")) {
        WithSleeper(L"KERNEL32_SLEEPER.exe", j, [&](const Child& sleeper) {
            if (Press(p, p.main, grid, VK_SPACE, "Space", j) && Press(p, p.main, grid, VK_END, "End", j) &&
                Press(p, p.main, grid, VK_DELETE, "Delete", j) &&
                (box = WaitShownOfClass(p, L"#32770", "kill question", j))) {
                EscClosesOnly(p, box, nullptr, [&] { return !Visible(box); }, p.main, "the kill question", j);
                j.Check(sleeper.Running(), "Esc on the kill question killed the sleeper");
            }
        });
    }
    ::DeleteFileW(named.c_str());
    if (!j.failure.empty()) return;

    // The search window: Enter with nothing found shows the error box.
    HWND search = nullptr;
    if (Press(p, p.main, grid, VK_F3, "F3", j) && (search = WaitShown(p, L"Search...", "search window", j))) {
        HWND edit = ChildOfClass(search, L"Edit");
        if (j.Check(edit != nullptr, "no filter box") && Type(p, search, edit, L"zzzq", j) &&
            KeyDown(p, search, edit, VK_RETURN, "Enter", j) &&
            (box = WaitShownOfClass(p, L"#32770", "error box", j)) && KeyUp(p, box, box, VK_RETURN, "Enter", j)) {
            EscClosesOnly(p, box, nullptr, [&] { return !Visible(box); }, search, "the error box", j);
        }
        if (Visible(search)) EscapeHides(p, search, "the search window", j);
    }
}

// The settings dialog: the colour dialog, the preview's preset menu, the font list.
void KeyReleasesInSettings(Program& p, Journey& j) {
    HWND dialog = nullptr;
    if (!ClickToolButton(p, 6, "the settings button", j) ||
        !(dialog = WaitShown(p, L"Options ...", "settings dialog", j))) {
        return;
    }
    HWND panel = ChildOfClass(dialog, L"ZelvanePanel");
    HWND preview = panel ? ChildOfClass(panel, L"ZelvaneGrid") : nullptr;
    HWND fonts = panel ? ChildOfClass(panel, L"ComboBox") : nullptr;
    const std::vector<HWND> edits = panel ? ChildrenOfClass(panel, L"Edit") : std::vector<HWND>{};
    if (!j.Check(preview && fonts && edits.size() == 3, "no preview, font list or fields in the settings dialog")) {
        return;
    }
    RECT r{};
    ::GetWindowRect(panel, &r);
    // "Цвет фона" at (75, 38) of the 377-pixel-wide panel at 96 DPI.
    const int w = r.right - r.left;
    HWND colours = nullptr;
    if (Click(p, panel, {r.left + 75 * w / 377, r.top + 38 * w / 377}, "click on \"Цвет фона\"", j) &&
        (colours = WaitShownOfClass(p, L"#32770", "colour dialog", j))) {
        EscClosesOnly(p, colours, nullptr, [&] { return !Visible(colours); }, dialog, "the colour dialog", j);
    }
    // Edit2, then Tab to the preview, and Tab once more to the font list.
    if (j.failure.empty() && Click(p, edits[1], Centre(edits[1]), "click into the second field", j) &&
        Press(p, dialog, dialog, VK_TAB, "Tab", j) &&
        MenuEscape(p, dialog, preview, VK_F10, "F10", VK_SHIFT, "Shift+", j) &&
        Press(p, dialog, dialog, VK_TAB, "Tab", j) && Press(p, dialog, fonts, VK_F4, "F4", j) &&
        j.Check(WaitFor([&] { return Ask(fonts, CB_GETDROPPEDSTATE) != 0; }), "F4 did not drop the font list down")) {
        EscClosesOnly(p, dialog, fonts, [&] { return Ask(fonts, CB_GETDROPPEDSTATE) == 0; }, dialog, "the font list",
                      j);
    }
    if (Visible(dialog)) EscapeHides(p, dialog, "the settings dialog", j);
}

std::vector<std::wstring> FieldTexts(HWND dialog) {
    std::vector<std::wstring> texts;
    for (HWND h : ChildrenOfClass(dialog, L"Edit")) texts.push_back(TextOf(h));
    return texts;
}

std::string Joined(const std::vector<std::wstring>& texts) {
    std::wstring all;
    for (const std::wstring& t : texts) all += (all.empty() ? L"" : L"/") + t;
    return Narrow(all);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: journey_driver.exe <build dir> <screenshot dir>\n");
        return 100;
    }
    g_dir = argv[1];
    g_shots = argv[2];
    if (!OpenInputLog()) {
        std::printf("FAIL start: no input log or no journey_hook.dll\n");
        return 100;
    }
    DeleteSettings();
    // The desktop with its taskbar and notification area: asking for the
    // desktop window starts it (Wine's explorer) when it is not there yet.
    ::GetDesktopWindow();
    if (!Run("desktop", [](Journey& j) {
            j.Check(WaitFor([] { return ::FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr; }), "no taskbar");
        })) {
        return 100;
    }

    Program program;

    // The main window comes up with its process table.
    Run("start", [&](Journey& j) {
        if (StartProgram(program, L"", j)) {
            j.Check(Visible(program.main), "main window not visible");
            j.Check(WindowTitled(program.pid, L"Zelvane") != nullptr, "no application window \"Zelvane\"");
            j.Check(TableOf(program) != nullptr, "no process table");
            Shot(&program, j.name, j);
        }
    });
    if (!program.hook) return 100;

    // Every command that a click gives, from the keyboard alone.
    Run("keyboard", [&](Journey& j) {
        KeyboardOnly(program, j);
        Shot(&program, j.name, j);
        // The journeys that follow find the program as it starts, without the
        // preset it took.
        if (j.failure.empty()) RestartProgram(program, L"", "after the keyboard journey", j);
    });

    // Hidden by Esc, shown again by a second start that ends with 0.
    Run("second_start", [&](Journey& j) {
        if (FocusTable(program, j) && EscapeHides(program, program.main, "the main window", j)) {
            Child second = Start(L"zelvane.exe");
            const DWORD code = second.WaitExit();
            j.Check(code == 0, "second start exit code " + std::to_string(code));
            j.Check(WaitFor([&] { return Visible(program.main); }), "first instance not shown");
            j.Check(program.child.Running(), "first instance ended");
            second.Close();
            Shot(&program, j.name, j);
        }
    });

    HWND grid = TableOf(program);

    // Kill from the search window: F3, part of the name, Down, Enter.
    Run("kill_search", [&](Journey& j) {
        HWND search = nullptr;
        KillJourney(j, [&] {
            if (!FocusTable(program, j) || !Press(program, program.main, grid, VK_SPACE, "Space", j) ||
                !Press(program, program.main, grid, VK_F3, "F3", j)) {
                return;
            }
            if (!(search = WaitShown(program, L"Search...", "search window", j))) return;
            if (!ChooseInSearch(program, search, L"sleeper_ch", L"sleeper_child", j)) return;
            Shot(&program, j.name, j);
            Press(program, search, ChildOfClass(search, L"Edit"), VK_RETURN, "Enter", j);
        });
        if (Visible(search)) EscapeHides(program, search, "the search window", j);
    });

    // The sleeper's row, the tool bar's 5th button.
    Run("properties", [&](Journey& j) {
        WithSleeper(L"sleeper_child.exe", j, [&](const Child&) {
            HWND info = nullptr;
            if (FocusTable(program, j) && Press(program, program.main, grid, VK_SPACE, "Space", j) &&
                Press(program, program.main, grid, VK_END, "End", j) &&
                ClickToolButton(program, 4, "the 5th tool button", j) &&
                (info = WaitShown(program, L"ProcsInfo", "properties window", j))) {
                Shot(&program, j.name, j);
                EscapeHides(program, info, "the properties window", j);
            }
        });
    });

    // Type values, Apply, save, restart, the dialog shows them.
    Run("settings", [&](Journey& j) {
        const std::vector<std::wstring> values = {L"3", L"150", L"2"};
        HWND dialog = nullptr;
        if (ClickToolButton(program, 6, "the settings button", j) &&
            (dialog = WaitShown(program, L"Options ...", "settings dialog", j))) {
            // Created in the order Edit1 (list, s), Edit2 (delay, ms), Edit3 (indicator, s).
            const std::vector<HWND> edits = ChildrenOfClass(dialog, L"Edit");
            HWND apply = ChildWithText(dialog, L"Применить");
            HWND save = ChildWithText(dialog, L"Сохранить установки по умолчанию");
            bool entered = j.Check(edits.size() == 3, "expected 3 fields, found " + std::to_string(edits.size())) &&
                           j.Check(apply && save, "no Apply or save button");
            for (std::size_t k = 0; entered && k < 3; ++k) entered = EnterField(program, dialog, edits[k], values[k], j);
            // Apply sets the timers and closes the dialog; opened again it shows them.
            if (entered && Click(program, apply, Centre(apply), "click on Apply", j) &&
                j.Check(WaitFor([&] { return !Visible(dialog); }), "Apply did not close the dialog") &&
                ClickToolButton(program, 6, "the settings button again", j) &&
                j.Check(WaitFor([&] { return Visible(dialog); }), "settings dialog not shown again")) {
                j.Check(FieldTexts(dialog) == values, "after Apply the fields show " + Joined(FieldTexts(dialog)));
                // Saving closes the dialog; what it stored the restart shows.
                if (Click(program, save, Centre(save), "click on the save button", j) &&
                    j.Check(WaitFor([&] { return !Visible(dialog); }), "saving did not close the dialog")) {
                    Shot(&program, j.name, j);
                }
            }
            // No colour dialog came up on the way.
            j.Check(!ShownOfClass(program, L"#32770"), "a colour dialog came up");
            if (Visible(dialog)) EscapeHides(program, dialog, "the settings dialog", j);
        }
        // Restart: Ctrl+F4 ends the program, the new one reads the stored values.
        if (j.failure.empty() && RestartProgram(program, L"", "for the restart", j) &&
            ClickToolButton(program, 6, "the settings button after the restart", j) &&
            (dialog = WaitShown(program, L"Options ...", "settings dialog after the restart", j))) {
            j.Check(FieldTexts(dialog) == values, "after the restart the fields show " + Joined(FieldTexts(dialog)));
            Shot(&program, "settings_restart", j);
            EscapeHides(program, dialog, "the settings dialog", j);
        }
        DeleteSettings();
    });
    if (!program.child.Running()) return 100;

    // The last tool button shows the about window.
    Run("about", [&](Journey& j) {
        HWND about = nullptr;
        if (ClickToolButton(program, 8, "the about button", j) &&
            (about = WaitShown(program, L"About Program.", "about window", j))) {
            Shot(&program, j.name, j);
            EscapeHides(program, about, "the about window", j);
        }
    });

    // Esc that closes a menu, a box, a dialog or a list hides nothing under it.
    Run("key_releases", [&](Journey& j) {
        KeyReleasesInMain(program, j);
        if (j.failure.empty()) KeyReleasesInSettings(program, j);
    });

    // Started with -h nothing shows; a click on the tray icon shows the main window.
    Run("tray", [&](Journey& j) {
        if (RestartProgram(program, L"-h", "before the -h start", j)) {
            j.Check(!Visible(program.main), "-h showed the main window");
            HWND tray = ::FindWindowW(L"Shell_TrayWnd", nullptr);
            RECT r{};
            if (j.Check(tray != nullptr, "no Shell_TrayWnd")) {
                ::GetWindowRect(tray, &r);
                Shot(&program, "tray_hidden", j);
                // Ours is the only icon: the rightmost square of the notification
                // area. The shell (another process) takes the click and reports it
                // to the program's icon window, which the log shows.
                const int size = r.bottom - r.top;
                const POINT at = AwayFromLastClick({r.right - size / 2 - 2, (r.top + r.bottom) / 2});
                const LONG mark = LogCount();
                if (j.Check(Within(::WindowFromPoint(at), tray), "the notification area is not at the taskbar's end") &&
                    j.Check(Send(ClickInputs(at)), "SendInput refused the click") &&
                    j.Check(WaitFor([&] {
                                for (LONG k = mark; k < LogCount(); ++k) {
                                    const journey::Entry& e = LogEntry(k);
                                    if (e.message == kTrayCallback && LOWORD(e.lParam) == WM_LBUTTONUP) return true;
                                }
                                return false;
                            }),
                            "the icon did not report the click")) {
                    j.Check(WaitFor([&] { return Visible(program.main); }),
                            "the tray click did not show the main window");
                    Shot(&program, j.name, j);
                }
                MoveAway();
            }
        }
    });

    // Ctrl+F4 ends the program with 0.
    Run("ctrl_f4", [&](Journey& j) {
        if (j.Check(program.child.Running(), "no program running") && PressCtrlF4(program, j)) {
            const DWORD code = program.child.WaitExit();
            j.Check(code == 0, "exit code " + std::to_string(code));
            Shot(nullptr, j.name, j);
        }
    });

    PrintInputSummary();
    Detach(program);
    if (program.child.Running()) ::TerminateProcess(program.child.pi.hProcess, 1);
    program.child.Close();
    DeleteSettings();
    return g_failures;
}
