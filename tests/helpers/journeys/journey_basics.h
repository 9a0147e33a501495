// What every part of the journey driver uses: waits for a condition, notes
// on the output, text conversions, and a journey's record of what failed.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace journey {

// How long a wait lasts before it ends a failing journey: only a failing one
// ever reaches it, also on a machine many times slower than a developer's.
inline constexpr DWORD kPatienceMs = 60000;

// Waits until `done` holds; false when kPatienceMs passed without it.
bool WaitFor(const std::function<bool()>& done);

// A line "  note: <text>" among the journeys' results.
void Note(const std::string& text);

std::string Utf8(const std::wstring& w);
// A command-line argument (in the ANSI code page) as a wide string.
std::wstring Widen(const char* text);

// One journey: what failed on it, empty while nothing did.
struct Journey {
    const char* name;
    std::string failure;
    bool Check(bool ok, const std::string& why) {
        if (!ok) failure += (failure.empty() ? "" : "; ") + why;
        return ok;
    }
};

}  // namespace journey
