#include "journeys/journey_steps.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "journeys/journey_input.h"

namespace journey {

std::wstring g_shots;

void Shot(const Program* p, const std::string& name, Journey& j) {
    if (p && p->child.Running()) j.Check(Idle(*p, true), "the program did not come to rest for the screenshot " + name);
    const std::wstring done = g_shots + L"\\" + std::wstring(name.begin(), name.end());
    ::DeleteFileW(done.c_str());
    std::printf("SHOT %s\n", name.c_str());
    std::fflush(stdout);
    j.Check(WaitFor([&] { return ::GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; }),
            "no screenshot " + name);
}

bool ReadDword(const wchar_t* name, DWORD& value) {
    DWORD size = sizeof value;
    return ::RegGetValueW(HKEY_LOCAL_MACHINE, kSettingsKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) ==
           ERROR_SUCCESS;
}

void DeleteSettings() { ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSettingsKey); }

HWND TableOf(const Program& p) { return ChildOfClass(p.main, L"ZelvaneGrid"); }

HWND WaitShown(const Program& p, const std::wstring& title, const std::string& what, Journey& j) {
    HWND h = nullptr;
    j.Check(WaitFor([&] { return Visible(h = WindowTitled(p.pid, title)); }), what + " not shown");
    return Visible(h) ? h : nullptr;
}

HWND ShownOfClass(const Program& p, const wchar_t* cls) {
    for (HWND h : TopLevelOf(p.pid)) {
        if (Visible(h) && ClassOf(h) == cls) return h;
    }
    return nullptr;
}

HWND WaitShownOfClass(const Program& p, const wchar_t* cls, const std::string& what, Journey& j) {
    HWND h = nullptr;
    j.Check(WaitFor([&] { return (h = ShownOfClass(p, cls)) != nullptr; }), what + " not shown");
    return h;
}

void WithSleeper(const std::wstring& exe, Journey& j, const std::function<void(const Child&)>& steps) {
    Child sleeper = Start(exe);
    if (j.Check(sleeper.pi.hProcess != nullptr, Narrow(exe) + " did not start") &&
        j.Check(IsLastInSnapshot(sleeper.pi.dwProcessId), "the sleeper is not the newest process")) {
        steps(sleeper);
    }
    if (sleeper.Running()) ::TerminateProcess(sleeper.pi.hProcess, 1);
    sleeper.WaitExit();
    sleeper.Close();
}

void KillJourney(Journey& j, const std::function<void()>& command) {
    constexpr DWORD kKilledExitCode = 4;
    WithSleeper(L"sleeper_child.exe", j, [&](const Child& sleeper) {
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
    });
}

bool ChooseInSearch(const Program& p, HWND search, const std::wstring& part, const std::wstring& chosen, Journey& j) {
    HWND edit = ChildOfClass(search, L"Edit");
    HWND list = ChildOfClass(search, L"ListBox");
    return j.Check(edit && list, "no filter box or list in the search window") && Type(p, search, edit, part, j) &&
           j.Check(WaitFor([&] { return TextOf(edit) == part; }),
                   "the filter box shows \"" + Narrow(TextOf(edit)) + "\"") &&
           Press(p, search, edit, VK_DOWN, "Down", j) &&
           j.Check(WaitFor([&] { return Ask(list, LB_GETCURSEL) == 0; }), "Down did not choose the first name") &&
           j.Check(ListItem(list, 0).find(L"-> " + chosen) != std::wstring::npos,
                   "Down chose \"" + Narrow(ListItem(list, 0)) + "\"");
}

bool EscapeHides(const Program& p, HWND window, const std::string& what, Journey& j) {
    return Press(p, window, window, VK_ESCAPE, "Esc", j) &&
           j.Check(WaitFor([&] { return !Visible(window); }), "Esc did not hide " + what);
}

}  // namespace journey
