#include "journeys/journey_input.h"

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace journey {

namespace {

// Sends of one step's input, each one after the last was shown not to have
// reached the program.
constexpr int kMostSends = 5;

// What the input took: steps given, probes posted, sends after a loss.
int g_steps = 0;
int g_resends = 0;
WPARAM g_lastProbe = 0;

InputLog* g_log = nullptr;
UINT g_probeMessage = 0;
HMODULE g_hookDll = nullptr;
HOOKPROC g_hookProc = nullptr;      // WH_GETMESSAGE: what the thread takes off its queue
HOOKPROC g_callHookProc = nullptr;  // WH_CALLWNDPROC: what other threads send it

POINT g_lastClick{-100, -100};

HOOKPROC HookProc(const char* name, int argumentBytes) {
    // Exported with or without the stdcall decoration.
    FARPROC proc = ::GetProcAddress(g_hookDll, (std::string(name) + "@" + std::to_string(argumentBytes)).c_str());
    if (!proc) proc = ::GetProcAddress(g_hookDll, name);
    return reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(proc));
}

bool IsKeyMessage(UINT m) { return m >= WM_KEYFIRST && m <= WM_KEYLAST; }
bool IsButtonMessage(UINT m) {
    return (m >= WM_LBUTTONDOWN && m <= WM_MOUSELAST && m != WM_MOUSEWHEEL && m != WM_MOUSEHWHEEL) ||
           (m >= WM_NCLBUTTONDOWN && m <= WM_NCXBUTTONDBLCLK);
}

std::string DescribeEntry(const Entry& e) {
    char text[160];
    std::snprintf(text, sizeof text, "0x%04x(%lx,%lx)", e.message, static_cast<unsigned long>(e.wParam),
                  static_cast<unsigned long>(e.lParam));
    return text + std::string(" at ") + Describe(e.hwnd);
}

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
            const Entry& e = LogEntry(k);
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

// Where keys would go now: the foreground window and the focus in the thread
// of `root`.
std::string KeyboardState(HWND root) {
    return "foreground " + Describe(::GetForegroundWindow()) + ", focus " + Describe(FocusOf(root));
}

// A message that a step's input must bring to the program.
struct Expected {
    std::string what;
    std::function<bool(const Entry&)> match;
};

Expected KeyArrives(WORD vk, bool up, HWND target, const char* name) {
    return {std::string(name) + (up ? " up" : " down"), [=](const Entry& e) {
                const bool kind = up ? (e.message == WM_KEYUP || e.message == WM_SYSKEYUP)
                                     : (e.message == WM_KEYDOWN || e.message == WM_SYSKEYDOWN);
                return kind && e.wParam == vk && Within(e.hwnd, target);
            }};
}

Expected ButtonArrives(UINT message, HWND target) {
    return {message == WM_LBUTTONDOWN ? "button down" : "button up",
            [=](const Entry& e) { return e.message == message && e.hwnd == target; }};
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
            if (!j.Check(at - mark < kLogCapacity, what + ": the input log ran over")) return false;
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
                const Entry& e = LogEntry(k);
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
        Note(what + " did not reach the program (send " + std::to_string(send) + "; " + KeyboardState(p.main) + ")");
    }
    return j.Check(false, what + ": did not reach the program in " + std::to_string(kMostSends) + " sends");
}

// Waits until HasKeys(root, focus), and tells where the keys go when it does not come.
bool ReadyForKeys(HWND root, HWND focus, const std::string& what, Journey& j) {
    return j.Check(WaitFor([&] { return HasKeys(root, focus); }),
                   what + ": " + Describe(root) + " did not get the keyboard (" + KeyboardState(root) + ")");
}

}  // namespace

// ---- the input log and the hook ----------------------------------------------

bool OpenInputLog() {
    HANDLE mapping =
        ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(InputLog), kLogName);
    if (!mapping) return false;
    g_log = static_cast<InputLog*>(::MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    g_probeMessage = ::RegisterWindowMessageW(kProbeMessageName);
    g_hookDll = ::LoadLibraryW((g_dir + L"\\journey_hook.dll").c_str());
    if (!g_hookDll) return false;
    g_hookProc = HookProc("JourneyGetMessageHook", 12);
    g_callHookProc = HookProc("JourneyCallWindowHook", 12);
    return g_log && g_hookProc && g_callHookProc;
}

LONG LogCount() { return g_log->count; }
const Entry& LogEntry(LONG k) { return g_log->entries[k % kLogCapacity]; }

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

bool Idle(const Program& p, bool flush) {
    for (;;) {
        LONG at = 0;
        WORD status = 0;
        if (!Probe(p, LogCount(), at, status, flush ? kProbeFlushes : 0)) return false;
        if (!(status & (QS_INPUT | QS_PAINT))) return true;
    }
}

void PrintInputSummary() {
    std::printf("input: %d steps confirmed by %lu probes, %d sent again\n", g_steps,
                static_cast<unsigned long>(g_lastProbe), g_resends);
}

// ---- input -------------------------------------------------------------------

std::vector<INPUT> ClickInputs(POINT at) {
    return {MouseInput(at, MOUSEEVENTF_LEFTDOWN), MouseInput(at, MOUSEEVENTF_LEFTUP)};
}

bool Send(const std::vector<INPUT>& inputs) {
    std::vector<INPUT> copy = inputs;
    return ::SendInput(static_cast<UINT>(copy.size()), copy.data(), sizeof(INPUT)) == copy.size();
}

bool HasKeys(HWND root, HWND focus) {
    return ::GetForegroundWindow() == root && (!focus || FocusOf(root) == focus);
}

namespace {

// The key goes `down` and/or `up`; the modifier's release is not awaited: the
// command may end the program.
bool Keys(const Program& p, HWND root, HWND target, WORD vk, const char* name, Journey& j, WORD modifier,
          const char* modifierName, bool down, bool up) {
    const std::string what =
        std::string(modifier ? modifierName : "") + name + (down && up ? "" : down ? " down" : " up");
    std::vector<INPUT> inputs;
    std::vector<Expected> expected;
    if (modifier && down) {
        inputs.push_back(KeyInput(modifier, false));
        expected.push_back(KeyArrives(modifier, false, target, modifierName));
    }
    for (bool release : {false, true}) {
        if (release ? !up : !down) continue;
        inputs.push_back(KeyInput(vk, release));
        expected.push_back(KeyArrives(vk, release, target, name));
    }
    if (modifier && up) inputs.push_back(KeyInput(modifier, true));
    return Deliver(
        p, what, [&] { return ReadyForKeys(root, target == root ? nullptr : target, what, j); }, inputs, expected, j);
}

}  // namespace

bool Press(const Program& p, HWND root, HWND target, WORD vk, const char* name, Journey& j, WORD modifier,
           const char* modifierName) {
    return Keys(p, root, target, vk, name, j, modifier, modifierName, true, true);
}

bool KeyDown(const Program& p, HWND root, HWND target, WORD vk, const char* name, Journey& j) {
    return Keys(p, root, target, vk, name, j, 0, "", true, false);
}

bool KeyUp(const Program& p, HWND root, HWND target, WORD vk, const char* name, Journey& j) {
    return Keys(p, root, target, vk, name, j, 0, "", false, true);
}

bool Type(const Program& p, HWND root, HWND edit, const std::wstring& text, Journey& j) {
    for (wchar_t ch : text) {
        const std::string what = "typing '" + Narrow(std::wstring(1, ch)) + "'";
        if (!Deliver(p, what, [&] { return ReadyForKeys(root, edit, what, j); },
                     {CharInput(ch, false), CharInput(ch, true)},
                     {KeyArrives(VK_PACKET, false, edit, "character"), KeyArrives(VK_PACKET, true, edit, "character")},
                     j)) {
            return false;
        }
    }
    return true;
}

POINT AwayFromLastClick(POINT at) {
    const int cx = ::GetSystemMetrics(SM_CXDOUBLECLK), cy = ::GetSystemMetrics(SM_CYDOUBLECLK);
    if (std::abs(at.x - g_lastClick.x) <= cx && std::abs(at.y - g_lastClick.y) <= cy) at.x += cx + 1;
    g_lastClick = at;
    return at;
}

bool Click(const Program& p, HWND target, POINT at, const std::string& what, Journey& j) {
    at = AwayFromLastClick(at);
    const auto ready = [&] {
        return j.Check(WaitFor([&] { return ::WindowFromPoint(at) == target; }),
                       what + ": " + Describe(::WindowFromPoint(at)) + " lies where " + Describe(target) +
                           " was expected");
    };
    return Deliver(p, what, ready, ClickInputs(at),
                   {ButtonArrives(WM_LBUTTONDOWN, target), ButtonArrives(WM_LBUTTONUP, target)}, j);
}

POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

POINT Centre(HWND h) {
    RECT r{};
    ::GetWindowRect(h, &r);
    return Centre(r);
}

void MoveAway() {
    Send({MouseInput({1000, 40}, 0)});
}

}  // namespace journey
