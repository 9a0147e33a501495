#include "journeys/journey_basics.h"

#include <cstdio>

namespace journey {

bool WaitFor(const std::function<bool()>& done) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start >= kPatienceMs) return done();
        ::Sleep(10);
    }
    return true;
}

void Note(const std::string& text) {
    std::printf("  note: %s\n", text.c_str());
    std::fflush(stdout);
}

std::string Utf8(const std::wstring& w) {
    std::string s(static_cast<std::size_t>(::WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr)),
                  '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, s.data(), static_cast<int>(s.size()), nullptr, nullptr);
    if (!s.empty()) s.pop_back();
    return s;
}

std::wstring Widen(const char* text) {
    std::wstring w(static_cast<std::size_t>(::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0)), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, w.data(), static_cast<int>(w.size()));
    if (!w.empty()) w.pop_back();
    return w;
}

}  // namespace journey
