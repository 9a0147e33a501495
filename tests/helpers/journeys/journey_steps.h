// Whole steps that more than one journey takes: the program's stored
// settings, its process table, and its windows coming up and going with Esc;
// and the keyboard journey (journeys/journey_keyboard.cpp).
#pragma once

#include <windows.h>

#include <functional>
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

// Starts `exe` (sleeper_child.exe or a copy of it) and, once it is the newest
// process and so the table's last row after a rebuild, takes `steps` with it;
// then ends it if it still runs.
void WithSleeper(const std::wstring& exe, Journey& j, const std::function<void(const Child&)>& steps);

// Kills a sleeper the user selected: `command` (once the sleeper is the
// newest process) brings it into the table, selects it and gives the
// command; it ends with the killed code, and no other process ends.
void KillJourney(Journey& j, const std::function<void()>& command);

// A shown window of the program of class `cls`: a menu "#32768", a message
// box or common dialog "#32770"; null while there is none.
HWND ShownOfClass(const Program& p, const wchar_t* cls);
HWND WaitShownOfClass(const Program& p, const wchar_t* cls, const std::string& what, Journey& j);

// In the search window: types `part` of a name into the filter box, which
// shows it, and Down chooses the first name found, which must be `chosen`.
bool ChooseInSearch(const Program& p, HWND search, const std::wstring& part, const std::wstring& chosen, Journey& j);

// Esc in a window of the program hides it.
bool EscapeHides(const Program& p, HWND window, const std::string& what, Journey& j);

// The journey of a user without a mouse, from the program as it starts (its
// main window in front, the focus on the table): Tab to the tool bar, whose
// buttons Right and Enter press in turn (refresh, auto-refresh on and off,
// search, properties, settings, about), each window worked and left by its
// keys; then Tab on over the title strip's picture panel back to the table,
// the window shown. The settings take a colour preset through the preview's
// menu, Apply and Save.
void KeyboardOnly(Program& p, Journey& j);

}  // namespace journey
