#include "journeys/journey_steps.h"

#include <cstdio>

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

bool EscapeHides(const Program& p, HWND window, const std::string& what, Journey& j) {
    return Press(p, window, window, VK_ESCAPE, "Esc", j) &&
           j.Check(WaitFor([&] { return !Visible(window); }), "Esc did not hide " + what);
}

}  // namespace journey
