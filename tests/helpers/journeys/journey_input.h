// Real input to the program (SendInput: keys, Unicode characters, mouse
// clicks at screen points), each step of it confirmed.
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
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "journey_hook/input_log.h"
#include "journeys/journey_basics.h"
#include "journeys/journey_program.h"

namespace journey {

// ---- the input log and the hook ----------------------------------------------

// Opens the shared input log and loads journey_hook.dll from g_dir.
bool OpenInputLog();

LONG LogCount();
const Entry& LogEntry(LONG k);

// The hook goes into the program's GUI thread; a probe shows that it works.
bool Attach(Program& p);
void Detach(Program& p);

// Waits until the program's thread has nothing left to do but its timers: no
// input and no paint waiting. `flush`: and what it drew is on the screen.
bool Idle(const Program& p, bool flush = false);

// "input: <steps> steps confirmed by <probes> probes, <resends> sent again"
void PrintInputSummary();

// ---- input -------------------------------------------------------------------

// A left click at a screen point, unconfirmed: for Send.
std::vector<INPUT> ClickInputs(POINT at);
bool Send(const std::vector<INPUT>& inputs);

// Whether `root` is the foreground window and, when given, `focus` has the
// keyboard focus: keys go there.
bool HasKeys(HWND root, HWND focus);

// Presses `vk` (with `modifier` held) in `root`, where `target` (root or one
// of its controls) has the focus.
bool Press(const Program& p, HWND root, HWND target, WORD vk, const char* name, Journey& j, WORD modifier = 0,
           const char* modifierName = "");

// Each half of a press on its own, awaited in `target`, as when the press is
// taken by a menu or a box and the release, later, comes to the window under it.
bool KeyDown(const Program& p, HWND root, HWND target, WORD vk, const char* name, Journey& j);
bool KeyUp(const Program& p, HWND root, HWND target, WORD vk, const char* name, Journey& j);

// Types `text` into the focused field `edit` of `root`, one character at a time.
bool Type(const Program& p, HWND root, HWND edit, const std::wstring& text, Journey& j);

// Two clicks close together make a double click, whenever they come: a click
// near the last one moves aside by the size of the double-click square.
POINT AwayFromLastClick(POINT at);

// Clicks at a screen point that must lie on `target`, a window of the program.
bool Click(const Program& p, HWND target, POINT at, const std::string& what, Journey& j);

POINT Centre(const RECT& r);
POINT Centre(HWND h);

// The hand moves off to an empty corner of the desktop, so that a window
// that comes up under it shows no hover.
void MoveAway();

}  // namespace journey
