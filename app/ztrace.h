#pragma once
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <string>
inline std::string& ZTraceBuf() { static std::string s; return s; }
inline void ZT(const char* name) {
    static LONGLONG created = [] {
        FILETIME c, e, k, u;
        ::GetProcessTimes(::GetCurrentProcess(), &c, &e, &k, &u);
        return (static_cast<LONGLONG>(c.dwHighDateTime) << 32) | c.dwLowDateTime;
    }();
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    const LONGLONG t = (static_cast<LONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    char b[96];
    std::snprintf(b, sizeof b, "%s=%.1f ", name, (t - created) / 1e4);
    ZTraceBuf() += b;
    if (std::getenv("ZT_NOW")) std::fprintf(stderr, "%lu.%03lu:ZT %s\n", ::GetTickCount() / 1000, ::GetTickCount() % 1000, b);
}
inline void ZTFlush() {
    const char* f = std::getenv("ZELVANE_TRACE");
    if (!f || ZTraceBuf().empty()) return;
    if (FILE* fp = std::fopen(f, "a")) { std::fprintf(fp, "%s\n", ZTraceBuf().c_str()); std::fclose(fp); }
    ZTraceBuf().clear();
}
