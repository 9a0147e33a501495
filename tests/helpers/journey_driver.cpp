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
// Input under Xvfb can fail to arrive (docs/RELIABILITY.md), so every step
// confirms its input: journey_hook.dll, set into the program's GUI thread,
// logs each input message the thread takes off its queue, and a probe posted
// after the input shows when the thread has taken everything that was queued
// for it. Input that arrived at the window it was meant for counts as given;
// input that by then neither arrived nor waits in the queue never reached the
// program and is sent again; anything else fails the journey. Outcomes are
// never retried: a step whose input arrived and whose effect does not follow
// fails. Every wait is for a condition, bounded by kPatienceMs.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "journey_hook/input_log.h"

namespace {

// How long a wait lasts before it ends a failing journey: only a failing one
// ever reaches it, also on a machine many times slower than a developer's.
constexpr DWORD kPatienceMs = 60000;
// Sends of one step's input, each one after the last was shown not to have
// reached the program.
constexpr int kMostSends = 5;

constexpr wchar_t kSettingsKey[] = L"Software\\QuilbySoft\\Zelvane";
constexpr DWORD kKilledExitCode = 4;
// The program's notification icon reports to its window with this message.
constexpr UINT kTrayCallback = WM_USER + 1;

std::wstring g_dir;
std::wstring g_shots;
int g_failures = 0;
// What the input took: steps given, probes posted, sends after a loss.
int g_steps = 0;
int g_resends = 0;

// ---- waiting ---------------------------------------------------------------

// Waits until `done` holds; false when kPatienceMs passed without it.
bool WaitFor(const std::function<bool()>& done) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start >= kPatienceMs) return done();
        ::Sleep(10);
    }
    return true;
}

void Note(const std::string& text) {
    std::printf("  note: %s\n", text.c_str());
    std::fflush(stdout);
}

std::string Utf8(const std::wstring& w) {
    std::string s(static_cast<std::size_t>(::WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr)),
                  '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, s.data(), static_cast<int>(s.size()), nullptr, nullptr);
    if (!s.empty()) s.pop_back();
    return s;
}

// ---- processes -------------------------------------------------------------

struct Child {
    PROCESS_INFORMATION pi{};
    bool Running() const { return pi.hProcess && ::WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; }
    // The exit code, or STILL_ACTIVE when the process did not end within kPatienceMs.
    DWORD WaitExit() const {
        if (::WaitForSingleObject(pi.hProcess, kPatienceMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
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

// Whether the process is the newest of the snapshot, which is the process
// table's last row.
bool IsLastInSnapshot(DWORD pid) {
    const std::vector<DWORD> ids = ProcessIds();
    return !ids.empty() && ids.back() == pid;
}

// ---- windows ---------------------------------------------------------------

std::wstring ClassOf(HWND h) {
    wchar_t buf[64] = {};
    ::GetClassNameW(h, buf, 64);
    return buf;
}

// A control's text (WM_GETTEXT, which controls of another process answer).
std::wstring TextOf(HWND h) {
    wchar_t buf[512] = {};
    ::SendMessageTimeoutW(h, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, kPatienceMs, nullptr);
    return buf;
}

// A message to a window of another process that answers with a number.
LRESULT Ask(HWND h, UINT message, WPARAM wp = 0, LPARAM lp = 0) {
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(h, message, wp, lp, SMTO_ABORTIFHUNG, kPatienceMs, &answer);
    return static_cast<LRESULT>(answer);
}

// An item of a list box of another process.
std::wstring ListItem(HWND list, int index) {
    wchar_t buf[512] = {};
    if (Ask(list, LB_GETTEXTLEN, static_cast<WPARAM>(index)) >= 512) return L"";
    ::SendMessageTimeoutW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buf),
                          SMTO_ABORTIFHUNG, kPatienceMs, nullptr);
    return buf;
}

// A window's own title, without a message to its process.
std::wstring TitleOf(HWND h) {
    wchar_t buf[256] = {};
    ::GetWindowTextW(h, buf, 256);
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

std::vector<HWND> ChildrenOfClass(HWND parent, const wchar_t* cls) {
    std::vector<HWND> found;
    for (HWND h : ChildrenOf(parent)) {
        if (ClassOf(h) == cls) found.push_back(h);
    }
    return found;
}

HWND ChildOfClass(HWND parent, const wchar_t* cls) {
    const std::vector<HWND> found = ChildrenOfClass(parent, cls);
    return found.empty() ? nullptr : found.front();
}

HWND ChildWithText(HWND parent, const std::wstring& text) {
    for (HWND h : ChildrenOf(parent)) {
        if (TitleOf(h) == text) return h;
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
        if (TitleOf(h) == text) return h;
    }
    return nullptr;
}

bool Visible(HWND h) { return h && ::IsWindowVisible(h); }

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

// Whether `h` is `target` or lies inside it.
bool Within(HWND h, HWND target) { return h && (h == target || ::IsChild(target, h)); }

std::string Describe(HWND h) {
    if (!h) return "no window";
    const std::wstring title = TitleOf(h);
    return Utf8(ClassOf(h)) + (title.empty() ? "" : " \"" + Utf8(title) + "\"");
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
                                  reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, kPatienceMs, &answer) &&
            answer && ::ReadProcessMemory(proc, remote, &out, sizeof out, nullptr)) {
            ::MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&out), 2);
            ok = true;
        }
        ::VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
    }
    ::CloseHandle(proc);
    return ok;
}

// ---- the input log -----------------------------------------------------------

journey::InputLog* g_log = nullptr;
UINT g_probeMessage = 0;
WPARAM g_lastProbe = 0;
HMODULE g_hookDll = nullptr;
HOOKPROC g_hookProc = nullptr;      // WH_GETMESSAGE: what the thread takes off its queue
HOOKPROC g_callHookProc = nullptr;  // WH_CALLWNDPROC: what other threads send it

HOOKPROC HookProc(const char* name, int argumentBytes) {
    // Exported with or without the stdcall decoration.
    FARPROC proc = ::GetProcAddress(g_hookDll, (std::string(name) + "@" + std::to_string(argumentBytes)).c_str());
    if (!proc) proc = ::GetProcAddress(g_hookDll, name);
    return reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(proc));
}

bool OpenInputLog() {
    HANDLE mapping = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(journey::InputLog),
                                          journey::kLogName);
    if (!mapping) return false;
    g_log = static_cast<journey::InputLog*>(::MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    g_probeMessage = ::RegisterWindowMessageW(journey::kProbeMessageName);
    g_hookDll = ::LoadLibraryW((g_dir + L"\\journey_hook.dll").c_str());
    if (!g_hookDll) return false;
    g_hookProc = HookProc("JourneyGetMessageHook", 12);
    g_callHookProc = HookProc("JourneyCallWindowHook", 12);
    return g_log && g_hookProc && g_callHookProc;
}

LONG LogCount() { return g_log->count; }
const journey::Entry& LogEntry(LONG k) { return g_log->entries[k % journey::kLogCapacity]; }

bool IsKeyMessage(UINT m) { return m >= WM_KEYFIRST && m <= WM_KEYLAST; }
bool IsButtonMessage(UINT m) {
    return (m >= WM_LBUTTONDOWN && m <= WM_MOUSELAST && m != WM_MOUSEWHEEL && m != WM_MOUSEHWHEEL) ||
           (m >= WM_NCLBUTTONDOWN && m <= WM_NCXBUTTONDBLCLK);
}

std::string DescribeEntry(const journey::Entry& e) {
    char text[160];
    std::snprintf(text, sizeof text, "0x%04x(%lx,%lx)", e.message, static_cast<unsigned long>(e.wParam),
                  static_cast<unsigned long>(e.lParam));
    return text + std::string(" at ") + Describe(e.hwnd);
}

// ---- the program ---------------------------------------------------------------

struct Program {
    Child child;
    DWORD pid = 0;
    DWORD thread = 0;
    HWND main = nullptr;
    HHOOK hook = nullptr;
    HHOOK callHook = nullptr;
};

// Posts a probe to the program's GUI thread and waits until the thread took
// it; everything the thread took before is in the log by then. `at` is the
// probe's place in the log, `status` the thread's queue status (QS_ bits) at
// that moment. False when the program ended or took no probe within kPatienceMs.
bool Probe(const Program& p, LONG from, LONG& at, WORD& status, LPARAM flags = 0) {
    const WPARAM number = ++g_lastProbe;
    if (!::PostMessageW(p.main, g_probeMessage, number, flags)) {
        // The main window is gone: the program is ending.
        WaitFor([&] { return !p.child.Running(); });
        return false;
    }
    bool found = false;
    WaitFor([&] {
        for (LONG k = LogCount() - 1; k >= from && !found; --k) {
            const journey::Entry& e = LogEntry(k);
            if (e.message == g_probeMessage && e.wParam == number) {
                at = k;
                status = static_cast<WORD>(e.lParam);
                found = true;
            }
        }
        return found || !p.child.Running();
    });
    return found;
}

// Waits until the program's thread has nothing left to do but its timers: no
// input and no paint waiting. `flush`: and what it drew is on the screen.
bool Idle(const Program& p, bool flush = false) {
    for (;;) {
        LONG at = 0;
        WORD status = 0;
        if (!Probe(p, LogCount(), at, status, flush ? journey::kProbeFlushes : 0)) return false;
        if (!(status & (QS_INPUT | QS_PAINT))) return true;
    }
}

// The hook goes into the program's GUI thread; a probe shows that it works.
bool Attach(Program& p) {
    p.thread = ::GetWindowThreadProcessId(p.main, nullptr);
    p.hook = ::SetWindowsHookExW(WH_GETMESSAGE, g_hookProc, g_hookDll, p.thread);
    p.callHook = ::SetWindowsHookExW(WH_CALLWNDPROC, g_callHookProc, g_hookDll, p.thread);
    return p.hook && p.callHook && Idle(p);
}

void Detach(Program& p) {
    if (p.hook) ::UnhookWindowsHookEx(p.hook);
    if (p.callHook) ::UnhookWindowsHookEx(p.callHook);
    p.hook = p.callHook = nullptr;
}

// ---- journeys ------------------------------------------------------------------

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

// The screen shows `name`: once the program has painted, the script takes
// the screenshot, and the driver goes on when it has.
void Shot(const Program* p, const std::string& name, Journey& j) {
    if (p && p->child.Running()) j.Check(Idle(*p, true), "the program did not come to rest for the screenshot " + name);
    const std::wstring done = g_shots + L"\\" + std::wstring(name.begin(), name.end());
    ::DeleteFileW(done.c_str());
    std::printf("SHOT %s\n", name.c_str());
    std::fflush(stdout);
    j.Check(WaitFor([&] { return ::GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; }),
            "no screenshot " + name);
}

// ---- input ---------------------------------------------------------------------

// A message that a step's input must bring to the program.
struct Expected {
    std::string what;
    std::function<bool(const journey::Entry&)> match;
};

Expected KeyArrives(WORD vk, bool up, HWND target, const char* name) {
    return {std::string(name) + (up ? " up" : " down"), [=](const journey::Entry& e) {
                const bool kind = up ? (e.message == WM_KEYUP || e.message == WM_SYSKEYUP)
                                     : (e.message == WM_KEYDOWN || e.message == WM_SYSKEYDOWN);
                return kind && e.wParam == vk && Within(e.hwnd, target);
            }};
}

Expected ButtonArrives(UINT message, HWND target) {
    return {message == WM_LBUTTONDOWN ? "button down" : "button up",
            [=](const journey::Entry& e) { return e.message == message && e.hwnd == target; }};
}

INPUT KeyInput(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    const bool extended = vk == VK_DELETE || vk == VK_END || vk == VK_HOME || vk == VK_UP || vk == VK_DOWN ||
                          vk == VK_LEFT || vk == VK_RIGHT || vk == VK_PRIOR || vk == VK_NEXT;
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
    return in;
}

INPUT CharInput(wchar_t ch, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wScan = ch;
    in.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
    return in;
}

// A mouse event at a screen point: every event carries its point, so that a
// late pointer motion of the X server cannot move a click elsewhere.
INPUT MouseInput(POINT at, DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(at.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(at.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return in;
}

bool Send(const std::vector<INPUT>& inputs) {
    std::vector<INPUT> copy = inputs;
    return ::SendInput(static_cast<UINT>(copy.size()), copy.data(), sizeof(INPUT)) == copy.size();
}

// Matches each expected message to a logged message of its own in [from, to);
// returns what is missing, and marks in `used` the log entries matched.
std::vector<std::string> Missing(const std::vector<Expected>& expected, LONG from, LONG to, std::vector<bool>& used) {
    used.assign(static_cast<std::size_t>(to - from), false);
    std::vector<std::string> missing;
    for (const Expected& x : expected) {
        bool found = false;
        for (LONG k = from; k < to && !found; ++k) {
            if (!used[static_cast<std::size_t>(k - from)] && x.match(LogEntry(k))) {
                used[static_cast<std::size_t>(k - from)] = found = true;
            }
        }
        if (!found) missing.push_back(x.what);
    }
    return missing;
}

// Sends a step's input and confirms that every expected message reached the
// program, and that the program's thread took all of the input. The input is
// sent again only when a probe shows that none of it arrived and none of it
// waits in the program's queue; when part of it arrived, or it arrived at
// another window of the program, the journey fails. A step whose input ends
// the program expects only what comes before the end. `ready` waits, before
// each send, until the input can reach its window (and reports when not).
bool Deliver(const Program& p, const std::string& what, const std::function<bool()>& ready,
             const std::vector<INPUT>& inputs, const std::vector<Expected>& expected, Journey& j) {
    for (int send = 1; send <= kMostSends; ++send) {
        if (!ready()) return false;
        const LONG mark = LogCount();
        if (!j.Check(Send(inputs), what + ": SendInput refused the input")) return false;
        const DWORD sent = ::GetTickCount();
        std::vector<bool> used;
        std::vector<std::string> missing;
        for (;;) {
            LONG at = 0;
            WORD status = 0;
            if (!Probe(p, mark, at, status)) {
                if (p.child.Running()) return j.Check(false, what + ": the program took no message for 60 s");
                missing = Missing(expected, mark, LogCount(), used);
                if (missing.empty()) return true;
                return j.Check(false, what + ": the program ended before " + missing.front() + " arrived");
            }
            if (!j.Check(at - mark < journey::kLogCapacity, what + ": the input log ran over")) return false;
            missing = Missing(expected, mark, at, used);
            if (missing.empty() && !(status & QS_INPUT)) {
                ++g_steps;
                if (send > 1) Note(what + " arrived at the " + std::to_string(send) + ". send");
                return true;
            }
            if (!j.Check(::GetTickCount() - sent < kPatienceMs, what + ": the program did not take its input for 60 s")) {
                return false;
            }
            if (status & QS_INPUT) continue;  // some of it is still on its way
            std::string stray;
            for (LONG k = mark; k < at; ++k) {
                const journey::Entry& e = LogEntry(k);
                if ((IsKeyMessage(e.message) || IsButtonMessage(e.message)) && !used[static_cast<std::size_t>(k - mark)]) {
                    stray += (stray.empty() ? "" : ", ") + DescribeEntry(e);
                }
            }
            if (missing.size() < expected.size() || !stray.empty()) {
                std::string list;
                for (const std::string& m : missing) list += (list.empty() ? "" : ", ") + m;
                return j.Check(false, what + ": " + list + " did not arrive" +
                                          (stray.empty() ? "" : "; instead: " + stray));
            }
            break;  // none of it reached the program
        }
        ++g_resends;
        Note(what + " did not reach the program (send " + std::to_string(send) + "; foreground " +
             Describe(::GetForegroundWindow()) + ", focus " + Describe(FocusOf(p.main)) + ")");
    }
    return j.Check(false, what + ": did not reach the program in " + std::to_string(kMostSends) + " sends");
}

// Waits until `root` is the foreground window and, when given, `focus` has the
// keyboard focus: keys go there.
bool ReadyForKeys(HWND root, HWND focus, const std::string& what, Journey& j) {
    return j.Check(WaitFor([&] { return ::GetForegroundWindow() == root && (!focus || FocusOf(root) == focus); }),
                   what + ": " + Describe(root) + " did not get the keyboard (foreground " +
                       Describe(::GetForegroundWindow()) + ", focus " + Describe(FocusOf(root)) + ")");
}

// Presses `vk` (with `modifier` held) in `root`, where `target` (root or one
// of its controls) has the focus.
bool Press(const Program& p, HWND root, HWND target, WORD vk, const char* name, Journey& j, WORD modifier = 0,
           const char* modifierName = "") {
    const std::string what = std::string(modifier ? modifierName : "") + name;
    std::vector<INPUT> inputs;
    std::vector<Expected> expected;
    if (modifier) {
        inputs.push_back(KeyInput(modifier, false));
        expected.push_back(KeyArrives(modifier, false, target, modifierName));
    }
    inputs.push_back(KeyInput(vk, false));
    inputs.push_back(KeyInput(vk, true));
    expected.push_back(KeyArrives(vk, false, target, name));
    expected.push_back(KeyArrives(vk, true, target, name));
    // The modifier's release is not awaited: the command may end the program.
    if (modifier) inputs.push_back(KeyInput(modifier, true));
    return Deliver(
        p, what, [&] { return ReadyForKeys(root, target == root ? nullptr : target, what, j); }, inputs, expected, j);
}

// Types `text` into the focused field `edit` of `root`, one character at a time.
bool Type(const Program& p, HWND root, HWND edit, const std::wstring& text, Journey& j) {
    for (wchar_t ch : text) {
        const std::string what = "typing '" + Utf8(std::wstring(1, ch)) + "'";
        if (!Deliver(p, what, [&] { return ReadyForKeys(root, edit, what, j); },
                     {CharInput(ch, false), CharInput(ch, true)},
                     {KeyArrives(VK_PACKET, false, edit, "character"), KeyArrives(VK_PACKET, true, edit, "character")},
                     j)) {
            return false;
        }
    }
    return true;
}

POINT g_lastClick{-100, -100};

// Two clicks close together make a double click, whenever they come: a click
// near the last one moves aside by the size of the double-click square.
POINT AwayFromLastClick(POINT at) {
    const int cx = ::GetSystemMetrics(SM_CXDOUBLECLK), cy = ::GetSystemMetrics(SM_CYDOUBLECLK);
    if (std::abs(at.x - g_lastClick.x) <= cx && std::abs(at.y - g_lastClick.y) <= cy) at.x += cx + 1;
    g_lastClick = at;
    return at;
}

// Clicks at a screen point that must lie on `target`, a window of the program.
bool Click(const Program& p, HWND target, POINT at, const std::string& what, Journey& j) {
    at = AwayFromLastClick(at);
    const auto ready = [&] {
        return j.Check(WaitFor([&] { return ::WindowFromPoint(at) == target; }),
                       what + ": " + Describe(::WindowFromPoint(at)) + " lies where " + Describe(target) +
                           " was expected");
    };
    return Deliver(p, what, ready, {MouseInput(at, MOUSEEVENTF_LEFTDOWN), MouseInput(at, MOUSEEVENTF_LEFTUP)},
                   {ButtonArrives(WM_LBUTTONDOWN, target), ButtonArrives(WM_LBUTTONUP, target)}, j);
}

POINT Centre(HWND h) {
    RECT r{};
    ::GetWindowRect(h, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The hand moves off to an empty corner of the desktop, so that a window
// that comes up under it shows no hover.
void MoveAway() {
    Send({MouseInput({1000, 40}, 0)});
}

bool ClickToolButton(const Program& p, int index, const std::string& what, Journey& j) {
    HWND toolbar = ChildOfClass(p.main, TOOLBARCLASSNAMEW);
    RECT r{};
    if (!j.Check(toolbar && ToolButtonRect(toolbar, p.pid, index, r), what + ": no such tool button")) return false;
    const bool ok = Click(p, toolbar, {(r.left + r.right) / 2, (r.top + r.bottom) / 2}, what, j);
    MoveAway();
    return ok;
}

// Gives the process table the keyboard focus, as a user does by a click: on
// its header row, where a click selects nothing and a double click kills nothing.
bool FocusTable(const Program& p, Journey& j) {
    HWND grid = ChildOfClass(p.main, L"ZelvaneGrid");
    if (!j.Check(grid != nullptr, "no process table")) return false;
    if (::GetForegroundWindow() == p.main && FocusOf(p.main) == grid) return true;
    RECT r{};
    ::GetWindowRect(grid, &r);
    return Click(p, grid, {r.left + 40, r.top + 8}, "click on the table's header", j) &&
           j.Check(WaitFor([&] { return ::GetForegroundWindow() == p.main && FocusOf(p.main) == grid; }),
                   "the click on the table did not give it the focus");
}

// Clicks into a field, selects its text and types over it.
bool EnterField(const Program& p, HWND root, HWND edit, const std::wstring& value, Journey& j) {
    return Click(p, edit, Centre(edit), "click into a field", j) &&
           Press(p, root, edit, VK_END, "End", j) && Press(p, root, edit, VK_HOME, "Home", j, VK_SHIFT, "Shift+") &&
           Type(p, root, edit, value, j) &&
           j.Check(WaitFor([&] { return TextOf(edit) == value; }),
                   "the field shows \"" + Utf8(TextOf(edit)) + "\" after typing \"" + Utf8(value) + "\"");
}

// ---- registry --------------------------------------------------------------------

bool ReadDword(const wchar_t* name, DWORD& value) {
    DWORD size = sizeof value;
    return ::RegGetValueW(HKEY_LOCAL_MACHINE, kSettingsKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) ==
           ERROR_SUCCESS;
}

void DeleteSettings() { ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSettingsKey); }

// ---- whole steps -------------------------------------------------------------------

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

// Ends the running program with Ctrl+F4 (`why` names the start that follows)
// and starts it again with `args`.
bool RestartProgram(Program& p, const std::wstring& args, const std::string& why, Journey& j) {
    if (!FocusTable(p, j) || !Press(p, p.main, ChildOfClass(p.main, L"ZelvaneGrid"), VK_F4, "F4", j, VK_CONTROL, "Ctrl+")) {
        return false;
    }
    const DWORD code = p.child.WaitExit();
    if (!j.Check(code == 0, "exit code " + std::to_string(code) + " of the program ended " + why)) return false;
    return StartProgram(p, args, j);
}

// Waits until a window of the program comes up, and returns it.
HWND WaitShown(const Program& p, const std::wstring& title, const std::string& what, Journey& j) {
    HWND h = nullptr;
    j.Check(WaitFor([&] { return Visible(h = WindowTitled(p.pid, title)); }), what + " not shown");
    return Visible(h) ? h : nullptr;
}

// Esc in a window of the program hides it.
bool EscapeHides(const Program& p, HWND window, const std::string& what, Journey& j) {
    return Press(p, window, window, VK_ESCAPE, "Esc", j) &&
           j.Check(WaitFor([&] { return !Visible(window); }), "Esc did not hide " + what);
}

// Kills a sleeper the user selected; `command` selects it and gives the command.
void KillJourney(Journey& j, const std::function<void()>& command) {
    Child sleeper = Start(L"sleeper_child.exe");
    if (!j.Check(sleeper.pi.hProcess != nullptr, "sleeper_child.exe did not start")) return;
    if (j.Check(IsLastInSnapshot(sleeper.pi.dwProcessId), "the sleeper is not the newest process")) {
        const std::vector<DWORD> before = ProcessIds();
        command();
        if (j.failure.empty()) {
            const DWORD code = sleeper.WaitExit();
            j.Check(code == kKilledExitCode, "sleeper exit code " + std::to_string(code) + ", expected 4");
        }
        // No other process ended meanwhile.
        const std::vector<DWORD> after = ProcessIds();
        for (DWORD id : before) {
            const bool alive = std::find(after.begin(), after.end(), id) != after.end();
            j.Check(alive || id == sleeper.pi.dwProcessId, "process " + std::to_string(id) + " ended too");
        }
    }
    if (sleeper.Running()) ::TerminateProcess(sleeper.pi.hProcess, 1);
    sleeper.Close();
}

std::vector<std::wstring> FieldTexts(HWND dialog) {
    std::vector<std::wstring> texts;
    for (HWND h : ChildrenOfClass(dialog, L"Edit")) texts.push_back(TextOf(h));
    return texts;
}

std::string Joined(const std::vector<std::wstring>& texts) {
    std::wstring all;
    for (const std::wstring& t : texts) all += (all.empty() ? L"" : L"/") + t;
    return Utf8(all);
}

std::wstring Widen(const char* text) {
    std::wstring w(static_cast<std::size_t>(::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0)), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, w.data(), static_cast<int>(w.size()));
    if (!w.empty()) w.pop_back();
    return w;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: journey_driver.exe <build dir> <screenshot dir>\n");
        return 100;
    }
    g_dir = Widen(argv[1]);
    g_shots = Widen(argv[2]);
    if (!OpenInputLog()) {
        std::printf("FAIL start: no input log or no journey_hook.dll\n");
        return 100;
    }
    DeleteSettings();
    // The desktop with its taskbar and notification area: asking for the
    // desktop window starts it (Wine's explorer) when it is not there yet.
    ::GetDesktopWindow();
    {
        Journey j{"desktop", {}};
        if (!j.Check(WaitFor([] { return ::FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr; }), "no taskbar")) {
            Report(j);
            return 100;
        }
    }

    Program program;

    {  // start: the main window comes up with its process table
        Journey j{"start", {}};
        if (StartProgram(program, L"", j)) {
            j.Check(Visible(program.main), "main window not visible");
            j.Check(WindowTitled(program.pid, L"Zelvane") != nullptr, "no application window \"Zelvane\"");
            j.Check(ChildOfClass(program.main, L"ZelvaneGrid") != nullptr, "no process table");
            Shot(&program, j.name, j);
        }
        Report(j);
        if (!program.hook) return 100;
    }

    {  // second start: hidden by Esc, shown again by a second start that ends with 0
        Journey j{"second_start", {}};
        if (FocusTable(program, j) && EscapeHides(program, program.main, "the main window", j)) {
            Child second = Start(L"zelvane.exe");
            const DWORD code = second.WaitExit();
            j.Check(code == 0, "second start exit code " + std::to_string(code));
            j.Check(WaitFor([&] { return Visible(program.main); }), "first instance not shown");
            j.Check(program.child.Running(), "first instance ended");
            second.Close();
            Shot(&program, j.name, j);
        }
        Report(j);
    }

    HWND grid = ChildOfClass(program.main, L"ZelvaneGrid");

    {  // kill by Delete: the sleeper's row (the last) selected by keyboard
        Journey j{"kill_delete", {}};
        KillJourney(j, [&] {
            FocusTable(program, j) && Press(program, program.main, grid, VK_SPACE, "Space", j) &&
                Press(program, program.main, grid, VK_END, "End", j) &&
                Press(program, program.main, grid, VK_DELETE, "Delete", j);
        });
        Shot(&program, j.name, j);
        Report(j);
    }

    {  // kill from the search window: F3, part of the name, Down, Enter
        Journey j{"kill_search", {}};
        HWND search = nullptr;
        KillJourney(j, [&] {
            if (!FocusTable(program, j) || !Press(program, program.main, grid, VK_SPACE, "Space", j) ||
                !Press(program, program.main, grid, VK_F3, "F3", j)) {
                return;
            }
            if (!(search = WaitShown(program, L"Search...", "search window", j))) return;
            HWND edit = ChildOfClass(search, L"Edit");
            HWND list = ChildOfClass(search, L"ListBox");
            if (!j.Check(edit && list, "no filter box or list in the search window") ||
                !Type(program, search, edit, L"sleeper_ch", j) ||
                !j.Check(WaitFor([&] { return TextOf(edit) == L"sleeper_ch"; }),
                         "the filter box shows \"" + Utf8(TextOf(edit)) + "\"") ||
                !Press(program, search, edit, VK_DOWN, "Down", j) ||
                !j.Check(WaitFor([&] { return Ask(list, LB_GETCURSEL) == 0; }), "Down did not choose the first name") ||
                !j.Check(ListItem(list, 0).find(L"-> sleeper_child") != std::wstring::npos,
                         "Down chose \"" + Utf8(ListItem(list, 0)) + "\"")) {
                return;
            }
            Shot(&program, j.name, j);
            Press(program, search, edit, VK_RETURN, "Enter", j);
        });
        if (Visible(search)) EscapeHides(program, search, "the search window", j);
        Report(j);
    }

    {  // properties: the sleeper's row, the tool bar's 5th button, the boxes filled
        Journey j{"properties", {}};
        Child sleeper = Start(L"sleeper_child.exe");
        HWND info = nullptr;
        if (j.Check(IsLastInSnapshot(sleeper.pi.dwProcessId), "the sleeper is not the newest process") &&
            FocusTable(program, j) && Press(program, program.main, grid, VK_SPACE, "Space", j) &&
            Press(program, program.main, grid, VK_END, "End", j) &&
            ClickToolButton(program, 4, "the 5th tool button", j) &&
            (info = WaitShown(program, L"ProcsInfo", "properties window", j))) {
            int boxes = 0;
            for (HWND h : ChildrenOfClass(info, L"Edit")) {
                ++boxes;
                const std::wstring text = TextOf(h);
                j.Check(text != L"<empty param>" && !text.empty(),
                        "box " + std::to_string(boxes) + ": \"" + Utf8(text) + "\"");
            }
            j.Check(boxes == 11, "expected 11 boxes, found " + std::to_string(boxes));
            Shot(&program, j.name, j);
            EscapeHides(program, info, "the properties window", j);
        }
        ::TerminateProcess(sleeper.pi.hProcess, 1);
        sleeper.Close();
        Report(j);
    }

    {  // settings: type values, Apply, save, restart, the dialog shows them
        Journey j{"settings", {}};
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
                if (Click(program, save, Centre(save), "click on the save button", j)) {
                    DWORD update = 0, repaint = 0, cpu = 0;
                    const bool stored = WaitFor([&] {
                        return ReadDword(L"Update", update) && ReadDword(L"Repaint", repaint) &&
                               ReadDword(L"CPUUpdate", cpu);
                    });
                    j.Check(stored && update == 3000 && repaint == 150 && cpu == 2000,
                            "stored Update " + std::to_string(update) + ", Repaint " + std::to_string(repaint) +
                                ", CPUUpdate " + std::to_string(cpu));
                    // Saving applies too, and closes the dialog.
                    j.Check(WaitFor([&] { return !Visible(dialog); }), "saving did not close the dialog");
                    Shot(&program, j.name, j);
                }
            }
            // No colour dialog came up on the way.
            for (HWND h : TopLevelOf(program.pid)) {
                if (Visible(h) && ClassOf(h) == L"#32770") j.Check(false, "a colour dialog came up");
            }
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
        Report(j);
        if (!program.child.Running()) return 100;
    }

    {  // about: the last tool button shows the about window
        Journey j{"about", {}};
        HWND about = nullptr;
        if (ClickToolButton(program, 8, "the about button", j) &&
            (about = WaitShown(program, L"About Program.", "about window", j))) {
            Shot(&program, j.name, j);
            EscapeHides(program, about, "the about window", j);
        }
        Report(j);
    }

    {  // tray: started with -h nothing shows; a click on the tray icon shows the main window
        Journey j{"tray", {}};
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
                    j.Check(Send({MouseInput(at, MOUSEEVENTF_LEFTDOWN), MouseInput(at, MOUSEEVENTF_LEFTUP)}),
                            "SendInput refused the click") &&
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
        Report(j);
    }

    {  // Ctrl+F4 ends the program with 0
        Journey j{"ctrl_f4", {}};
        if (j.Check(program.child.Running(), "no program running") && FocusTable(program, j) &&
            Press(program, program.main, ChildOfClass(program.main, L"ZelvaneGrid"), VK_F4, "F4", j, VK_CONTROL,
                  "Ctrl+")) {
            const DWORD code = program.child.WaitExit();
            j.Check(code == 0, "exit code " + std::to_string(code));
            Shot(nullptr, j.name, j);
        }
        Report(j);
    }

    std::printf("input: %d steps confirmed by %lu probes, %d sent again\n", g_steps,
                static_cast<unsigned long>(g_lastProbe), g_resends);
    Detach(program);
    if (program.child.Running()) ::TerminateProcess(program.child.pi.hProcess, 1);
    program.child.Close();
    DeleteSettings();
    return g_failures;
}
