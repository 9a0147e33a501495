// A hostile neighbour for the reliability tests: posts random registered
// messages, WM_COMMAND, WM_DPICHANGED (with DPIs of every kind and bounds
// pointers into nothing) and key messages with random parameters to every
// window of another process, and checks between batches that the process
// still answers.
//   hostile_poster.exe <pid> [count] [seed]
// Left out, because they are commands a user gives on purpose and would end
// the program or kill a process of the machine: the registered
// "Zelvane_Close", the tool bar's kill command (1003), a list's double-click
// notification, and the keys Delete and Enter (kill in the main and search
// windows). System keys are not sent (Alt+F4 closes).
// Between batches of 100 it waits until every window answers and the queue
// is empty (WaitForInputIdle).
// Exit code: 0 when the process answered to the end; 2 when it stopped
// answering; 3 when it ended; 1 on bad arguments.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "journeys/journey_program.h"

namespace {

// Every window of the process, each top-level one followed by its descendants.
std::vector<HWND> WindowsOf(DWORD pid) {
    std::vector<HWND> windows;
    for (HWND h : journey::TopLevelOf(pid)) {
        windows.push_back(h);
        for (HWND child : journey::ChildrenOf(h)) windows.push_back(child);
    }
    return windows;
}

// Waits until every window of the process answers; false when one does not
// within a few seconds (a window may vanish meanwhile: that is no failure).
bool Answers(const std::vector<HWND>& windows) {
    for (HWND h : windows) {
        if (!::IsWindow(h) || ::GetParent(h)) continue;
        DWORD_PTR result = 0;
        if (!::SendMessageTimeoutW(h, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result) && ::IsWindow(h)) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 1;
    const DWORD pid = static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10));
    const int count = argc > 2 ? std::atoi(argv[2]) : 10000;
    const unsigned seed = argc > 3 ? static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)) : 1;
    HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (!process) return 1;

    const UINT close = ::RegisterWindowMessageW(L"Zelvane_Close");
    const UINT named[] = {::RegisterWindowMessageW(L"Zelvane_Show"), ::RegisterWindowMessageW(L"Zelvane_Hide"),
                          ::RegisterWindowMessageW(L"TaskbarCreated")};
    std::mt19937 random(seed);
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };

    std::vector<HWND> windows;
    int sent = 0;
    for (int i = 0; sent < count; ++i) {
        if (i % 100 == 0) {
            if (::WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
                std::printf("hostile: the process ended after %d messages\n", sent);
                return 3;
            }
            windows = WindowsOf(pid);
            // Sent messages overtake posted ones: wait until the queue is
            // empty as well, so that the batches do not pile up.
            if (!Answers(windows) || ::WaitForInputIdle(process, 30000) != 0) {
                std::printf("hostile: no answer after %d messages\n", sent);
                return 2;
            }
            if (windows.empty()) return 3;
        }
        const HWND target = windows[pick(windows.size())];
        UINT msg = 0;
        WPARAM wp = random();
        LPARAM lp = static_cast<LPARAM>(random());
        switch (pick(5)) {
        case 0:  // a registered message: a random one, or one of the names we know
            msg = pick(4) == 0 ? named[pick(3)] : 0xC000 + static_cast<UINT>(pick(0x4000));
            if (msg == close) continue;
            break;
        case 1: {  // WM_COMMAND: random id and code, from a menu or from one of the windows
            msg = WM_COMMAND;
            const bool fromWindow = pick(2) == 0;
            const HWND from = fromWindow ? windows[pick(windows.size())] : nullptr;
            const WORD id = pick(2) ? static_cast<WORD>(1000 + pick(16)) : static_cast<WORD>(random());
            const WORD code = static_cast<WORD>(pick(2) ? pick(0x20) : random());
            if (id == 1003 || (fromWindow && code == LBN_DBLCLK && journey::ClassOf(from) == L"ListBox")) continue;
            wp = MAKEWPARAM(id, code);
            lp = fromWindow ? reinterpret_cast<LPARAM>(from) : 0;
            break;
        }
        case 3: {  // WM_DPICHANGED: any DPI (none, absurd, sane), bounds at any address
            msg = WM_DPICHANGED;
            static const WORD dpis[] = {0, 1, 47, 96, 144, 961, 0x7FFF, 0xFFFF};
            const WORD x = pick(2) ? dpis[pick(8)] : static_cast<WORD>(random()), y = pick(2) ? x : static_cast<WORD>(random());
            wp = MAKEWPARAM(x, y);
            static const LPARAM pointers[] = {0, 1, 0x10, 0x7FFE0000, -1};
            lp = pick(2) ? pointers[pick(5)] : lp;
            break;
        }
        default: {  // a key: down, up or a character
            static const UINT kinds[] = {WM_KEYDOWN, WM_KEYUP, WM_CHAR};
            msg = kinds[pick(3)];
            wp = static_cast<WPARAM>(pick(256));
            if (msg != WM_CHAR && (wp == VK_DELETE || wp == VK_RETURN)) continue;
            if (msg == WM_CHAR && wp == '\r') continue;
            break;
        }
        }
        ::PostMessageW(target, msg, wp, lp);
        ++sent;
    }
    if (!Answers(WindowsOf(pid)) || ::WaitForInputIdle(process, 30000) != 0) return 2;
    std::printf("hostile: %d messages posted to the windows of process %lu\n", sent, static_cast<unsigned long>(pid));
    return ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0 ? 3 : 0;
}
