// The program from the outside: processes started and listed, and the
// windows of another process found and asked (messages with a time limit,
// which controls of another process answer).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "journeys/journey_basics.h"

namespace journey {

// The directory of zelvane.exe, sleeper_child.exe and journey_hook.dll.
extern std::wstring g_dir;

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

// Starts `exe` of g_dir, in g_dir; a Child without a process when it failed.
Child Start(const std::wstring& exe, const std::wstring& args = L"");

std::vector<DWORD> ProcessIds();

// Whether the process is the newest of the snapshot, which is the process
// table's last row.
bool IsLastInSnapshot(DWORD pid);

// The running program: its process, its GUI thread and main window, and the
// input hooks set into that thread (journeys/journey_input.h).
struct Program {
    Child child;
    DWORD pid = 0;
    DWORD thread = 0;
    HWND main = nullptr;
    HHOOK hook = nullptr;
    HHOOK callHook = nullptr;
};

// ---- windows ---------------------------------------------------------------

std::wstring ClassOf(HWND h);

// A control's text (WM_GETTEXT, which controls of another process answer).
std::wstring TextOf(HWND h);

// A message to a window of another process that answers with a number.
LRESULT Ask(HWND h, UINT message, WPARAM wp = 0, LPARAM lp = 0);

// An item of a list box of another process.
std::wstring ListItem(HWND list, int index);

// A window's own title, without a message to its process.
std::wstring TitleOf(HWND h);

std::vector<HWND> TopLevelOf(DWORD pid);
std::vector<HWND> ChildrenOf(HWND parent);  // every descendant
std::vector<HWND> ChildrenOfClass(HWND parent, const wchar_t* cls);
HWND ChildOfClass(HWND parent, const wchar_t* cls);
HWND ChildWithText(HWND parent, const std::wstring& text);

// The main window: a top-level "ZelvaneForm" with a tool bar.
HWND MainWindow(DWORD pid);

HWND WindowTitled(DWORD pid, const std::wstring& text);

bool Visible(HWND h);

// The window with the keyboard focus in the thread of `window`.
HWND FocusOf(HWND window);

// Whether `h` is `target` or lies inside it.
bool Within(HWND h, HWND target);

// A window's class and title, for the output.
std::string Describe(HWND h);

// A button's rectangle on the screen: TB_GETITEMRECT into memory of the
// tool bar's process.
bool ToolButtonRect(HWND toolbar, DWORD pid, int index, RECT& out);

}  // namespace journey
