// A child process for the CPU tests: keeps one processor busy until it is
// terminated, or for at most the number of seconds given as its argument
// (30 by default), so that it never outlives a test that died.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 30;
    const ULONGLONG end = ::GetTickCount64() + 1000ull * seconds;
    volatile unsigned long long spins = 0;
    while (::GetTickCount64() < end) {
        for (int i = 0; i < 1000000; ++i) spins = spins + 1;
    }
    return 0;
}
