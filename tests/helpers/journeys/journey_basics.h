// What every part of the journey driver uses: waits for a condition, notes
// on the output, and a journey's record of what failed. Texts go to the
// output as UTF-8 (zelvane::Narrow).
#pragma once

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

#include "base/Text.h"

namespace journey {

// How long a wait lasts before it ends a failing journey: only a failing one
// ever reaches it, also on a machine many times slower than a developer's.
inline constexpr DWORD kPatienceMs = 60000;

using zelvane::Narrow;

// Waits until `done` holds; false when kPatienceMs passed without it.
inline bool WaitFor(const std::function<bool()>& done) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start >= kPatienceMs) return done();
        ::Sleep(10);
    }
    return true;
}

// A line "  note: <text>" among the journeys' results.
inline void Note(const std::string& text) {
    std::printf("  note: %s\n", text.c_str());
    std::fflush(stdout);
}

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
