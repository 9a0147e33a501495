// The benchmark's small harness: a QueryPerformanceCounter clock, medians of
// many repetitions, helper children, and the windows of another process.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "gui/Handles.h"

namespace zelvane::bench {

inline double Microseconds(LONGLONG ticks) {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    return static_cast<double>(ticks) * 1e6 / static_cast<double>(frequency);
}

inline LONGLONG Now() {
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return t.QuadPart;
}

// Times one call of `fn` in microseconds.
template <typename Fn>
double TimeOnce(Fn&& fn) {
    const LONGLONG start = Now();
    fn();
    return Microseconds(Now() - start);
}

inline double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    if (values.size() % 2) return *middle;
    const double upper = *middle;
    const double lower = *std::max_element(values.begin(), middle);
    return (lower + upper) / 2;
}

// Times `a` and `b` alternately, `reps` times each after `warmup` untimed
// rounds, so that both see the same noise; returns the two medians. With a
// pause (`gapMs`), each timed call comes after an untimed pause of its own, as
// a timer's call comes after the program has slept: were only every second
// call to follow the pause, half of each set would be cold and half warm, and
// a median could land anywhere between the two.
template <typename A, typename B>
std::pair<double, double> MedianPair(A&& a, B&& b, int reps, int warmup = 3, DWORD gapMs = 0) {
    for (int i = 0; i < warmup; ++i) {
        a();
        b();
    }
    std::vector<double> ta, tb;
    for (int i = 0; i < reps; ++i) {
        if (gapMs) {
            ta.push_back(TimeOnce(a));
            ::Sleep(gapMs);
            tb.push_back(TimeOnce(b));
            ::Sleep(gapMs);
        } else if (i % 2) {
            tb.push_back(TimeOnce(b));
            ta.push_back(TimeOnce(a));
        } else {
            ta.push_back(TimeOnce(a));
            tb.push_back(TimeOnce(b));
        }
    }
    return {Median(ta), Median(tb)};
}

// The directory of this executable, with a trailing backslash.
inline std::wstring OwnDirectory() {
    wchar_t path[MAX_PATH];
    const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, n);
    return dir.substr(0, dir.find_last_of(L"\\/") + 1);
}

// Starts a program; returns its process and thread handles (null on failure).
inline PROCESS_INFORMATION Start(const std::wstring& exe, const std::wstring& args = L"") {
    std::wstring line = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::fprintf(stderr, "cannot start %ls (error %lu)\n", exe.c_str(), ::GetLastError());
        return {};
    }
    return pi;
}

// Extra processes for the run: sleeper children started at once and ended
// when this object goes.
class Children {
public:
    explicit Children(int count) {
        const std::wstring exe = OwnDirectory() + L"sleeper_child.exe";
        for (int i = 0; i < count; ++i) {
            PROCESS_INFORMATION pi = Start(exe);
            if (!pi.hProcess) break;
            KernelHandle thread(pi.hThread);
            processes_.emplace_back(pi.hProcess);
        }
    }
    ~Children() {
        for (auto& p : processes_) ::TerminateProcess(p.Get(), 0);
        for (auto& p : processes_) ::WaitForSingleObject(p.Get(), 5000);
    }
    Children(const Children&) = delete;
    Children& operator=(const Children&) = delete;
    int Count() const { return static_cast<int>(processes_.size()); }

private:
    std::vector<KernelHandle> processes_;
};

// The first visible top-level window of process `pid` whose title starts with
// `titlePrefix`; null while there is none.
inline HWND FindVisibleWindow(DWORD pid, const std::wstring& titlePrefix) {
    struct Search {
        DWORD pid;
        const std::wstring* prefix;
        HWND found;
    } search{pid, &titlePrefix, nullptr};
    struct Visitor {
        static BOOL CALLBACK Visit(HWND hwnd, LPARAM lp) {
            auto& s = *reinterpret_cast<Search*>(lp);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(hwnd, &owner);
            if ((s.pid && owner != s.pid) || !::IsWindowVisible(hwnd)) return TRUE;
            wchar_t title[256];
            const int n = ::GetWindowTextW(hwnd, title, 256);
            if (std::wstring_view(title, static_cast<std::size_t>(n)).starts_with(*s.prefix)) {
                s.found = hwnd;
                return FALSE;
            }
            return TRUE;
        }
    };
    ::EnumWindows(&Visitor::Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// True when neither the window nor any of its children has anything left to
// paint.
inline bool Painted(HWND hwnd) {
    if (::GetUpdateRect(hwnd, nullptr, FALSE)) return false;
    bool clean = true;
    struct Visitor {
        static BOOL CALLBACK Visit(HWND child, LPARAM lp) {
            if (::IsWindowVisible(child) && ::GetUpdateRect(child, nullptr, FALSE)) {
                *reinterpret_cast<bool*>(lp) = false;
                return FALSE;
            }
            return TRUE;
        }
    };
    ::EnumChildWindows(hwnd, &Visitor::Visit, reinterpret_cast<LPARAM>(&clean));
    return clean;
}

}  // namespace zelvane::bench
