// A library that does nothing but leave a mark in the process that loads it:
// the event "Local\zelvane_planted_<process id>". The tests put copies of it
// under the names of system libraries next to the program, where the program
// must never load them from.
#include <windows.h>

#include <cwchar>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t name[64];
        std::swprintf(name, 64, L"Local\\zelvane_planted_%lu", ::GetCurrentProcessId());
        // Kept open for the life of the process, so that the test can find it.
        ::CreateEventW(nullptr, TRUE, TRUE, name);
    }
    return TRUE;
}
