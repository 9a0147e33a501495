// A child process for the process tests: it does nothing and waits until it
// is terminated.
#include <windows.h>

int main() {
    ::Sleep(INFINITE);
    return 0;
}
