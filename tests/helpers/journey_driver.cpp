// Drives the running program from the outside as a user would: finds its
// windows over its process and sends real input (SendInput: keys, mouse moves
// and clicks at screen coordinates), then checks the outcome of each journey.
// Meant for a Wine virtual desktop under Xvfb (tools/journeys.sh).
//   journey_driver.exe <dir of zelvane.exe and sleeper_child.exe>
// Prints "PASS <journey>" or "FAIL <journey>: <why>" per journey and
// "SHOT <journey>" when the screen shows the journey's outcome (the script
// takes the screenshot then; the driver waits a moment for it).
// Exit code: the number of failed journeys.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

std::wstring g_dir;
int g_failures = 0;

constexpr wchar_t kSettingsKey[] = L"Software\\QuilbySoft\\Zelvane";
constexpr DWORD kKilledExitCode = 4;

// ---- processes -----------------------------------------------------------

struct Child {
    PROCESS_INFORMATION pi{};
    bool Running() const { return pi.hProcess && ::WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; }
    DWORD WaitExit(DWORD ms) const {
        if (::WaitForSingleObject(pi.hProcess, ms) != WAIT_OBJECT_0) return STILL_ACTIVE;
        DWORD code = 0;
        ::GetExitCodeProcess(pi.hProcess, &code);
        return code;
    }
    void Close() {
        if (pi.hProcess) ::CloseHandle(pi.hProcess);
        if (pi.hThread) ::CloseHandle(pi.hThread);
        pi = {};
    }
};

Child Start(const std::wstring& exe, const std::wstring& args = L"") {
    Child c;
    std::wstring cmd = L"\"" + g_dir + L"\\" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    if (!::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, g_dir.c_str(), &si, &c.pi)) {
        c.pi = {};
    }
    return c;
}

// ---- windows -------------------------------------------------------------

std::wstring ClassOf(HWND h) {
    wchar_t buf[64] = {};
    ::GetClassNameW(h, buf, 64);
    return buf;
}

std::wstring TextOf(HWND h) {
    wchar_t buf[512] = {};
    // WM_GETTEXT, so that controls of the other process answer with their text.
    ::SendMessageTimeoutW(h, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, nullptr);
    return buf;
}

struct TopLevelSearch {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK AddTopLevel(HWND h, LPARAM lp) {
    auto* search = reinterpret_cast<TopLevelSearch*>(lp);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(h, &owner);
    if (owner == search->pid) search->found.push_back(h);
    return TRUE;
}

BOOL CALLBACK AddChild(HWND h, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
    return TRUE;
}

std::vector<HWND> TopLevelOf(DWORD pid) {
    TopLevelSearch search{pid, {}};
    ::EnumWindows(AddTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<HWND> found;
    ::EnumChildWindows(parent, AddChild, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND ChildOfClass(HWND parent, const wchar_t* cls) {
    for (HWND h : ChildrenOf(parent)) {
        if (ClassOf(h) == cls) return h;
    }
    return nullptr;
}

HWND ChildWithText(HWND parent, const std::wstring& text) {
    for (HWND h : ChildrenOf(parent)) {
        if (TextOf(h) == text) return h;
    }
    return nullptr;
}

// The main window: a top-level "ZelvaneForm" with a tool bar.
HWND MainWindow(DWORD pid) {
    for (HWND h : TopLevelOf(pid)) {
        if (ClassOf(h) == L"ZelvaneForm" && ChildOfClass(h, TOOLBARCLASSNAMEW)) return h;
    }
    return nullptr;
}

HWND WindowTitled(DWORD pid, const std::wstring& text) {
    for (HWND h : TopLevelOf(pid)) {
        if (TextOf(h) == text) return h;
    }
    return nullptr;
}

bool WaitFor(const std::function<bool()>& done, DWORD ms = 10000) {
    for (DWORD waited = 0; waited < ms; waited += 50) {
        if (done()) return true;
        ::Sleep(50);
    }
    return done();
}

bool Visible(HWND h) { return h && ::IsWindowVisible(h); }

// ---- input ---------------------------------------------------------------

void SendKey(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    const bool extended = vk == VK_DELETE || vk == VK_END || vk == VK_HOME || vk == VK_UP || vk == VK_DOWN ||
                          vk == VK_LEFT || vk == VK_RIGHT || vk == VK_PRIOR || vk == VK_NEXT;
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
    ::SendInput(1, &in, sizeof in);
    ::Sleep(30);
}

void Press(WORD vk, WORD modifier = 0) {
    if (modifier) SendKey(modifier, false);
    SendKey(vk, false);
    SendKey(vk, true);
    if (modifier) SendKey(modifier, true);
    ::Sleep(150);
}

void Type(const std::wstring& text) {
    for (wchar_t ch : text) {
        INPUT in[2]{};
        for (int k = 0; k < 2; ++k) {
            in[k].type = INPUT_KEYBOARD;
            in[k].ki.wScan = ch;
            in[k].ki.dwFlags = KEYEVENTF_UNICODE | (k ? KEYEVENTF_KEYUP : 0);
        }
        ::SendInput(2, in, sizeof in[0]);
        ::Sleep(40);
    }
    ::Sleep(150);
}

void MoveTo(int x, int y) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &in, sizeof in);
    ::Sleep(60);
}

void Click(int x, int y) {
    MoveTo(x, y);
    ::Sleep(200);  // as a hand rests before it clicks
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &in[0], sizeof in[0]);
    ::Sleep(80);
    ::SendInput(1, &in[1], sizeof in[1]);
    ::Sleep(250);
}

void ClickWindow(HWND h, int dx = -1, int dy = -1) {
    RECT r{};
    ::GetWindowRect(h, &r);
    Click(dx < 0 ? (r.left + r.right) / 2 : r.left + dx, dy < 0 ? (r.top + r.bottom) / 2 : r.top + dy);
}

void Shot(const char* name) {
    ::Sleep(800);  // the last paints land
    std::printf("SHOT %s\n", name);
    std::fflush(stdout);
    ::Sleep(2000);  // the script takes the screenshot meanwhile
}

// A button's rectangle on the screen: TB_GETITEMRECT into memory of the
// tool bar's process.
bool ToolButtonRect(HWND toolbar, DWORD pid, int index, RECT& out) {
    HANDLE proc = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!proc) return false;
    void* remote = ::VirtualAllocEx(proc, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    bool ok = false;
    if (remote) {
        DWORD_PTR answer = 0;
        if (::SendMessageTimeoutW(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index),
                                  reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 2000, &answer) &&
            answer && ::ReadProcessMemory(proc, remote, &out, sizeof out, nullptr)) {
            ::MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&out), 2);
            ok = true;
        }
        ::VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
    }
    ::CloseHandle(proc);
    return ok;
}

bool ClickToolButton(HWND main, DWORD pid, int index) {
    RECT r{};
    if (!ToolButtonRect(ChildOfClass(main, TOOLBARCLASSNAMEW), pid, index, r)) return false;
    Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    // The window the button opens may come up under the cursor: the hand
    // moves off to an empty corner of the desktop.
    MoveTo(1000, 40);
    return true;
}

// Brings the main window forward and gives the process table the focus by a
// click on its first row.
void FocusTable(HWND main) {
    ::SetForegroundWindow(main);
    ::Sleep(200);
    HWND grid = ChildOfClass(main, L"ZelvaneGrid");
    RECT r{};
    ::GetWindowRect(grid, &r);
    Click(r.left + 60, r.top + 26);
}

std::vector<DWORD> ProcessIds() {
    std::vector<DWORD> ids;
    HANDLE snap = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W e{};
    e.dwSize = sizeof e;
    for (BOOL more = ::Process32FirstW(snap, &e); more; more = ::Process32NextW(snap, &e)) {
        ids.push_back(e.th32ProcessID);
    }
    ::CloseHandle(snap);
    return ids;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

// Clicks into a field, selects its text and types over it. Under Wine an
// injected click now and then does not arrive: the field's focus and text are
// checked, and the entry is repeated (noted) until they hold.
void EnterField(HWND edit, const std::wstring& value) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt) std::printf("  note: entry into a field repeated\n");
        ClickWindow(edit);
        if (!WaitFor([&] { return FocusOf(edit) == edit; }, 2000)) continue;
        Press(VK_END);
        Press(VK_HOME, VK_SHIFT);
        Type(value);
        if (WaitFor([&] { return TextOf(edit) == value; }, 1000)) return;
    }
}

// Whether the sleeper is the newest process of the snapshot, which is the
// process table's last row.
bool IsLastInSnapshot(DWORD pid) {
    const std::vector<DWORD> ids = ProcessIds();
    return !ids.empty() && ids.back() == pid;
}

// ---- registry --------------------------------------------------------------

bool ReadDword(const wchar_t* name, DWORD& value) {
    DWORD size = sizeof value;
    return ::RegGetValueW(HKEY_LOCAL_MACHINE, kSettingsKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) ==
           ERROR_SUCCESS;
}

void DeleteSettings() { ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSettingsKey); }

// ---- journeys --------------------------------------------------------------

struct Journey {
    const char* name;
    std::string failure;
    bool Check(bool ok, const std::string& why) {
        if (!ok) failure += (failure.empty() ? "" : "; ") + why;
        return ok;
    }
};

void Report(Journey& j) {
    if (j.failure.empty()) {
        std::printf("PASS %s\n", j.name);
    } else {
        std::printf("FAIL %s: %s\n", j.name, j.failure.c_str());
        ++g_failures;
    }
    std::fflush(stdout);
}

std::string Utf8(const std::wstring& w) {
    std::string s(static_cast<std::size_t>(::WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr)),
                  '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, s.data(), static_cast<int>(s.size()), nullptr, nullptr);
    if (!s.empty()) s.pop_back();
    return s;
}

// Starts the program and waits for its main window; false when it does not come.
bool StartProgram(Child& program, const std::wstring& args, Journey& j) {
    program = Start(L"zelvane.exe", args);
    if (!j.Check(program.pi.hProcess != nullptr, "zelvane.exe did not start")) return false;
    const DWORD pid = program.pi.dwProcessId;
    if (!j.Check(WaitFor([&] { return MainWindow(pid) != nullptr; }, 20000), "no main window")) return false;
    ::Sleep(1500);  // first paint, the tray icon, the hidden windows
    return true;
}

// Ends the running program with Ctrl+F4 (`why` names the start that follows)
// and starts it again with `args`; `pid` and `main` follow the new program.
bool RestartProgram(Child& program, const std::wstring& args, const std::string& why, Journey& j, DWORD& pid,
                    HWND& main) {
    FocusTable(main);
    Press(VK_F4, VK_CONTROL);
    j.Check(program.WaitExit(10000) == 0, "program did not end " + why);
    program.Close();
    if (!StartProgram(program, args, j)) return false;
    pid = program.pi.dwProcessId;
    main = MainWindow(pid);
    return true;
}

// Kills a sleeper the user selected; `select` selects it and gives the command.
void KillJourney(Journey& j, const std::function<void()>& select, bool shotBeforeResult) {
    Child sleeper = Start(L"sleeper_child.exe");
    if (!j.Check(sleeper.pi.hProcess != nullptr, "sleeper_child.exe did not start")) return;
    ::Sleep(500);
    if (j.Check(IsLastInSnapshot(sleeper.pi.dwProcessId), "the sleeper is not the newest process")) {
        const std::vector<DWORD> before = ProcessIds();
        select();
        const DWORD code = sleeper.WaitExit(8000);
        j.Check(code == kKilledExitCode, "sleeper exit code " + std::to_string(code) + ", expected 4");
        // No other process ended meanwhile.
        const std::vector<DWORD> after = ProcessIds();
        for (DWORD id : before) {
            const bool alive = std::find(after.begin(), after.end(), id) != after.end();
            j.Check(alive || id == sleeper.pi.dwProcessId, "process " + std::to_string(id) + " ended too");
        }
        if (!shotBeforeResult) Shot(j.name);
    }
    if (sleeper.Running()) ::TerminateProcess(sleeper.pi.hProcess, 1);
    sleeper.Close();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: journey_driver.exe <build dir>\n");
        return 100;
    }
    g_dir.resize(static_cast<std::size_t>(::MultiByteToWideChar(CP_ACP, 0, argv[1], -1, nullptr, 0)));
    ::MultiByteToWideChar(CP_ACP, 0, argv[1], -1, g_dir.data(), static_cast<int>(g_dir.size()));
    g_dir.pop_back();
    DeleteSettings();

    Child program;
    HWND main = nullptr;
    DWORD pid = 0;

    {  // start: the main window comes up with its process table
        Journey j{"start", {}};
        if (StartProgram(program, L"", j)) {
            pid = program.pi.dwProcessId;
            main = MainWindow(pid);
            j.Check(Visible(main), "main window not visible");
            j.Check(WindowTitled(pid, L"Zelvane") != nullptr, "no application window \"Zelvane\"");
            j.Check(ChildOfClass(main, L"ZelvaneGrid") != nullptr, "no process table");
            Shot(j.name);
        }
        Report(j);
        if (!main) return 100;
    }

    {  // second start: hidden by Esc, shown again by a second start that ends with 0
        Journey j{"second_start", {}};
        FocusTable(main);
        Press(VK_ESCAPE);
        j.Check(WaitFor([&] { return !Visible(main); }, 5000), "Esc did not hide the main window");
        Child second = Start(L"zelvane.exe");
        const DWORD code = second.WaitExit(20000);
        j.Check(code == 0, "second start exit code " + std::to_string(code));
        j.Check(WaitFor([&] { return Visible(main); }, 5000), "first instance not shown");
        j.Check(program.Running(), "first instance ended");
        second.Close();
        Shot(j.name);
        Report(j);
    }

    {  // kill by Delete: the sleeper's row (the last) selected by keyboard
        Journey j{"kill_delete", {}};
        KillJourney(
            j,
            [&] {
                FocusTable(main);
                Press(VK_SPACE);  // rebuild the table now
                ::Sleep(500);
                Press(VK_END);
                Press(VK_DELETE);
            },
            false);
        Report(j);
    }

    {  // kill from the search window: F3, part of the name, Down, Enter
        Journey j{"kill_search", {}};
        KillJourney(
            j,
            [&] {
                FocusTable(main);
                Press(VK_SPACE);
                ::Sleep(500);
                Press(VK_F3);
                HWND search = nullptr;
                if (!j.Check(WaitFor([&] { return Visible(search = WindowTitled(pid, L"Search...")); }, 5000),
                             "search window not shown")) {
                    return;
                }
                Type(L"sleeper_ch");
                Press(VK_DOWN);
                Shot(j.name);
                Press(VK_RETURN);
            },
            true);
        if (HWND search = WindowTitled(pid, L"Search..."); Visible(search)) {
            ::SetForegroundWindow(search);
            Press(VK_ESCAPE);
        }
        Report(j);
    }

    {  // properties: the sleeper's row, the tool bar's 5th button, the boxes filled
        Journey j{"properties", {}};
        Child sleeper = Start(L"sleeper_child.exe");
        ::Sleep(500);
        j.Check(IsLastInSnapshot(sleeper.pi.dwProcessId), "the sleeper is not the newest process");
        FocusTable(main);
        Press(VK_SPACE);
        ::Sleep(500);
        Press(VK_END);
        j.Check(ClickToolButton(main, pid, 4), "no 5th tool button");
        HWND info = nullptr;
        if (j.Check(WaitFor([&] { return Visible(info = WindowTitled(pid, L"ProcsInfo")); }, 5000),
                    "properties window not shown")) {
            ::Sleep(500);
            int boxes = 0;
            for (HWND h : ChildrenOf(info)) {
                if (ClassOf(h) != L"Edit") continue;
                ++boxes;
                const std::wstring text = TextOf(h);
                j.Check(text != L"<empty param>" && !text.empty(), "box " + std::to_string(boxes) + ": \"" +
                                                                      Utf8(text) + "\"");
            }
            j.Check(boxes == 11, "expected 11 boxes, found " + std::to_string(boxes));
            Shot(j.name);
            ::SetForegroundWindow(info);
            Press(VK_ESCAPE);
            j.Check(WaitFor([&] { return !Visible(info); }, 3000), "Esc did not hide the properties window");
        }
        ::TerminateProcess(sleeper.pi.hProcess, 1);
        sleeper.Close();
        Report(j);
    }

    {  // settings: type values, Apply, save, restart, the dialog shows them
        Journey j{"settings", {}};
        j.Check(ClickToolButton(main, pid, 6), "no settings button");
        HWND dialog = nullptr;
        if (j.Check(WaitFor([&] { return Visible(dialog = WindowTitled(pid, L"Options ...")); }, 5000),
                    "settings dialog not shown")) {
            ::Sleep(500);
            // A colour dialog must not have come up by the click that opened the dialog.
            for (HWND h : TopLevelOf(pid)) {
                if (Visible(h) && ClassOf(h) == L"#32770") {
                    j.Check(false, "a colour dialog came up with the settings dialog");
                    ::PostMessageW(h, WM_COMMAND, IDCANCEL, 0);
                    ::Sleep(500);
                }
            }
            std::vector<HWND> edits;
            for (HWND h : ChildrenOf(dialog)) {
                if (ClassOf(h) == L"Edit") edits.push_back(h);
            }
            // Created in the order Edit1 (list, s), Edit2 (delay, ms), Edit3 (indicator, s).
            const wchar_t* values[] = {L"3", L"150", L"2"};
            if (j.Check(edits.size() == 3, "expected 3 fields, found " + std::to_string(edits.size()))) {
                for (std::size_t k = 0; k < 3; ++k) EnterField(edits[k], values[k]);
                HWND apply = ChildWithText(dialog, L"Применить");
                HWND save = ChildWithText(dialog, L"Сохранить установки по умолчанию");
                if (j.Check(apply && save, "no Apply or save button")) {
                    // Apply sets the timers and closes the dialog; opened again it shows them.
                    ClickWindow(apply);
                    j.Check(WaitFor([&] { return !Visible(dialog); }, 3000), "Apply did not close the dialog");
                    ClickToolButton(main, pid, 6);
                    j.Check(WaitFor([&] { return Visible(dialog); }, 3000), "settings dialog not shown again");
                    ::Sleep(300);
                    j.Check(TextOf(edits[0]) == L"3" && TextOf(edits[1]) == L"150" && TextOf(edits[2]) == L"2",
                            "after Apply the fields show " + Utf8(TextOf(edits[0]) + L"/" + TextOf(edits[1]) +
                                                                  L"/" + TextOf(edits[2])));
                    ClickWindow(save);
                    DWORD stored = 0;
                    WaitFor([&] { return ReadDword(L"Update", stored); }, 3000);
                    Shot(j.name);
                    DWORD update = 0, repaint = 0, cpu = 0;
                    j.Check(ReadDword(L"Update", update) && update == 3000, "Update " + std::to_string(update));
                    j.Check(ReadDword(L"Repaint", repaint) && repaint == 150, "Repaint " + std::to_string(repaint));
                    j.Check(ReadDword(L"CPUUpdate", cpu) && cpu == 2000, "CPUUpdate " + std::to_string(cpu));
                }
            }
            ::SetForegroundWindow(dialog);
            Press(VK_ESCAPE);
            ::PostMessageW(dialog, WM_CLOSE, 0, 0);
        }
        // Restart: Ctrl+F4 ends the program, the new one reads the stored values.
        if (RestartProgram(program, L"", "for the restart", j, pid, main)) {
            ::SetForegroundWindow(main);
            j.Check(ClickToolButton(main, pid, 6), "no settings button after restart");
            if (j.Check(WaitFor([&] { return Visible(dialog = WindowTitled(pid, L"Options ...")); }, 5000),
                        "settings dialog not shown after restart")) {
                std::vector<std::wstring> shown;
                for (HWND h : ChildrenOf(dialog)) {
                    if (ClassOf(h) == L"Edit") shown.push_back(TextOf(h));
                }
                j.Check(shown.size() == 3 && shown[0] == L"3" && shown[1] == L"150" && shown[2] == L"2",
                        "after restart the fields show " +
                            (shown.size() == 3 ? Utf8(shown[0] + L"/" + shown[1] + L"/" + shown[2]) : "?"));
                Shot("settings_restart");
                ::SetForegroundWindow(dialog);
                Press(VK_ESCAPE);
                ::PostMessageW(dialog, WM_CLOSE, 0, 0);
            }
        }
        DeleteSettings();
        Report(j);
        if (!main) return 100;
    }

    {  // about: the last tool button shows the about window
        Journey j{"about", {}};
        ::SetForegroundWindow(main);
        ::Sleep(200);
        j.Check(ClickToolButton(main, pid, 8), "no about button");
        HWND about = nullptr;
        j.Check(WaitFor([&] { return Visible(about = WindowTitled(pid, L"About Program.")); }, 5000),
                "about window not shown");
        ::Sleep(500);
        Shot(j.name);
        if (about) {
            ::SetForegroundWindow(about);
            Press(VK_ESCAPE);
        }
        Report(j);
    }

    {  // tray: started with -h nothing shows; a click on the tray icon shows the main window
        Journey j{"tray", {}};
        if (RestartProgram(program, L"-h", "before the -h start", j, pid, main)) {
            j.Check(!Visible(main), "-h showed the main window");
            HWND tray = ::FindWindowW(L"Shell_TrayWnd", nullptr);
            RECT r{};
            if (j.Check(tray != nullptr, "no Shell_TrayWnd")) {
                ::GetWindowRect(tray, &r);
                std::printf("  tray %ld,%ld-%ld,%ld\n", r.left, r.top, r.right, r.bottom);
                std::fflush(stdout);
                Shot("tray_hidden");
                // Ours is the only icon: the rightmost square of the notification area.
                const int size = r.bottom - r.top;
                Click(r.right - size / 2 - 2, (r.top + r.bottom) / 2);
                j.Check(WaitFor([&] { return Visible(main); }, 5000), "the tray click did not show the main window");
                Shot(j.name);
            }
        }
        Report(j);
    }

    {  // Ctrl+F4 ends the program with 0
        Journey j{"ctrl_f4", {}};
        if (main) {
            FocusTable(main);
            Press(VK_F4, VK_CONTROL);
            const DWORD code = program.WaitExit(10000);
            j.Check(code == 0, "exit code " + std::to_string(code));
            Shot(j.name);
        } else {
            j.Check(false, "no program running");
        }
        Report(j);
    }

    if (program.Running()) ::TerminateProcess(program.pi.hProcess, 1);
    program.Close();
    DeleteSettings();
    return g_failures;
}
