#include "journeys/journey_program.h"

#include <commctrl.h>
#include <tlhelp32.h>

namespace journey {

std::wstring g_dir;

// ---- processes -------------------------------------------------------------

Child Start(const std::wstring& exe, const std::wstring& args) {
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

std::wstring TextOf(HWND h) {
    wchar_t buf[512] = {};
    ::SendMessageTimeoutW(h, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, kPatienceMs, nullptr);
    return buf;
}

LRESULT Ask(HWND h, UINT message, WPARAM wp, LPARAM lp) {
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(h, message, wp, lp, SMTO_ABORTIFHUNG, kPatienceMs, &answer);
    return static_cast<LRESULT>(answer);
}

std::wstring ListItem(HWND list, int index) {
    wchar_t buf[512] = {};
    if (Ask(list, LB_GETTEXTLEN, static_cast<WPARAM>(index)) >= 512) return L"";
    ::SendMessageTimeoutW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buf),
                          SMTO_ABORTIFHUNG, kPatienceMs, nullptr);
    return buf;
}

std::wstring TitleOf(HWND h) {
    wchar_t buf[256] = {};
    ::GetWindowTextW(h, buf, 256);
    return buf;
}

namespace {

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

}  // namespace

std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<HWND> found;
    ::EnumChildWindows(parent, AddChild, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<HWND> TopLevelOf(DWORD pid) {
    TopLevelSearch search{pid, {}};
    ::EnumWindows(AddTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
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

bool Within(HWND h, HWND target) { return h && (h == target || ::IsChild(target, h)); }

std::string Describe(HWND h) {
    if (!h) return "no window";
    const std::wstring title = TitleOf(h);
    return Narrow(ClassOf(h)) + (title.empty() ? "" : " \"" + Narrow(title) + "\"");
}

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

}  // namespace journey
