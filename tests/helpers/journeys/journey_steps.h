// Whole steps that more than one journey takes: the program's stored
// settings, its process table, and its windows coming up and going with Esc.
#pragma once

#include <windows.h>

#include <string>

#include "journeys/journey_basics.h"
#include "journeys/journey_program.h"

namespace journey {

inline constexpr wchar_t kSettingsKey[] = L"Software\\QuilbySoft\\Zelvane";

// Where the script leaves word of each screenshot taken.
extern std::wstring g_shots;

// The screen shows `name`: once the program has painted, the script takes
// the screenshot, and the driver goes on when it has.
void Shot(const Program* p, const std::string& name, Journey& j);

// A number the program stored under its settings key.
bool ReadDword(const wchar_t* name, DWORD& value);
void DeleteSettings();

// The main window's process table.
HWND TableOf(const Program& p);

// Waits until a window of the program comes up, and returns it.
HWND WaitShown(const Program& p, const std::wstring& title, const std::string& what, Journey& j);

// Esc in a window of the program hides it.
bool EscapeHides(const Program& p, HWND window, const std::string& what, Journey& j);

}  // namespace journey
