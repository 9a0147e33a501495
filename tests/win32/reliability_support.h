// Helpers of the reliability tests: a count knob from the environment,
// children that start and end on their own thread (the churn), a watch over
// every process that ran before a test, and a uniquely named victim.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <deque>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/Text.h"
#include "gui/Handles.h"
#include "journeys/journey_program.h"
#include "tests/win32/ProgramFixture.h"

namespace zelvane::testing {

// The exit code of the churn's own ends; the program's kills give 4.
inline constexpr DWORD kChurnExitCode = 7;

// The size of a long test: `quick` in `make test`, `full` in `make soak`
// (ZELVANE_SOAK=1). Long tests are sized by counts, never by the clock.
inline bool Soaking() {
    const char* text = std::getenv("ZELVANE_SOAK");
    return text && *text && *text != '0';
}
inline int Sized(int quick, int full) { return Soaking() ? full : quick; }

// The exit code of an ended process, or STILL_ACTIVE.
inline DWORD ExitCodeOf(HANDLE process) {
    DWORD code = STILL_ACTIVE;
    if (::WaitForSingleObject(process, 0) == WAIT_OBJECT_0) ::GetExitCodeProcess(process, &code);
    return code;
}

// Starts sleeper_child.exe every `period` ms on a thread of its own and ends
// the oldest with kChurnExitCode once `alive` are running. Every child it
// started is kept, so that the test can check afterwards that none of them
// was ended by anyone else. Its handles are raw on purpose: the program's
// handle types count live objects for one thread only, and this one is
// another.
class Churn {
public:
    explicit Churn(DWORD period = 50, std::size_t alive = 4)
        : thread_([this, period, alive] { Run(period, alive); }) {}
    ~Churn() {
        Stop();
        for (HANDLE h : ended_) ::CloseHandle(h);
    }
    Churn(const Churn&) = delete;
    Churn& operator=(const Churn&) = delete;

    void Stop() {
        if (!thread_.joinable()) return;
        stop_ = true;
        thread_.join();
        for (HANDLE child : running_) End(child);
        running_.clear();
    }
    // Children started, and those that ended otherwise than by the churn.
    std::size_t Started() const { return started_; }
    std::size_t StrayEnds() const {
        std::size_t n = 0;
        for (HANDLE h : ended_) n += ExitCodeOf(h) != kChurnExitCode;
        return n;
    }

private:
    void Run(DWORD period, std::size_t alive) {
        const std::wstring exe = TestDirectory() + L"sleeper_child.exe";
        while (!stop_) {
            STARTUPINFOW si{};
            si.cb = sizeof si;
            PROCESS_INFORMATION pi{};
            std::wstring cmd = L"\"" + exe + L"\"";
            if (::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
                ::CloseHandle(pi.hThread);
                running_.push_back(pi.hProcess);
                ++started_;
            }
            while (running_.size() > alive) {
                End(running_.front());
                running_.pop_front();
            }
            ::Sleep(period);
        }
    }
    void End(HANDLE child) {
        ::TerminateProcess(child, kChurnExitCode);  // fails when somebody else ended it first
        ::WaitForSingleObject(child, kPatienceMs);
        ended_.push_back(child);
    }

    std::atomic<bool> stop_{false};
    std::deque<HANDLE> running_;
    std::vector<HANDLE> ended_;
    std::atomic<std::size_t> started_{0};
    std::thread thread_;
};

// Every process that runs when it is made (but this one), to check later that
// none of them was killed by the program (exit code 4).
class ProcessWatch {
public:
    ProcessWatch() {
        for (const DWORD pid : journey::ProcessIds()) {
            if (pid == ::GetCurrentProcessId() || pid == 0) continue;
            HANDLE h = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
            if (h) processes_.emplace_back(h);
        }
    }
    std::size_t KilledByUs() const {
        std::size_t n = 0;
        for (const auto& h : processes_) n += ExitCodeOf(h.Get()) == 4;
        return n;
    }

private:
    std::vector<KernelHandle> processes_;
};

// A sleeper_child.exe copy whose name no other process has, started anew by
// Start() and ended by End() or at the end; the copy is deleted then.
class Victim {
public:
    explicit Victim(const std::string& stem)
        : name_(stem + std::to_string(::GetCurrentProcessId())), copy_(L"sleeper_child.exe", Widen(name_) + L".exe") {}

    bool Start() {
        child_.reset();
        child_.emplace(copy_.Path());
        return child_->Started();
    }
    // Waits up to `ms` for the end; the exit code, or STILL_ACTIVE.
    DWORD WaitExitCode(DWORD ms = kPatienceMs) const { return child_ ? child_->WaitExitCode(ms) : STILL_ACTIVE; }
    bool Running() const { return child_ && child_->Running(); }
    const std::string& Name() const { return name_; }
    const std::wstring& Path() const { return copy_.Path(); }
    DWORD Pid() const { return child_ ? child_->Pid() : 0; }
    void End() {
        if (child_) child_->End();
    }

private:
    std::string name_;
    ProgramCopy copy_;
    std::optional<ChildProcess> child_;
};

// A visible top-level window of the process with this class and, when
// given, this title.
inline HWND VisibleWindowOf(DWORD pid, const wchar_t* cls, const wchar_t* title = nullptr) {
    for (HWND h : journey::TopLevelOf(pid)) {
        if (journey::Visible(h) && journey::ClassOf(h) == cls && (!title || journey::TitleOf(h) == title)) return h;
    }
    return nullptr;
}

// The first window of this class among the descendants of `parent`, or null.
using journey::ChildOfClass;

// A request to the running program ("Zelvane_Show", "Zelvane_Hide",
// "Zelvane_Close"), as another program posts it to its application window.
inline void PostRequest(const wchar_t* name) {
    ::PostMessageW(::FindWindowW(nullptr, L"Zelvane"), ::RegisterWindowMessageW(name), 0, 0);
}

// A zelvane.exe started by a test, ended by it when still running.
class ProgramInstance : public ChildProcess {
public:
    explicit ProgramInstance(const std::wstring& args = L"") : ChildProcess(L"zelvane.exe", args) {}

    // The first top-level window of the process with this class and,
    // when given, a descendant of class `childClass`; waits up to `ms`.
    HWND FindWindow(const wchar_t* cls, const wchar_t* childClass = nullptr, DWORD ms = kPatienceMs) const {
        const DWORD end = ::GetTickCount() + ms;
        for (;;) {
            for (HWND h : journey::TopLevelOf(Pid())) {
                if (journey::ClassOf(h) == cls && (!childClass || ChildOfClass(h, childClass))) return h;
            }
            if (static_cast<LONG>(end - ::GetTickCount()) <= 0) return nullptr;
            ::Sleep(50);
        }
    }
    // The main window: the program's form with the tool bar.
    HWND MainWindow(DWORD ms = kPatienceMs) const { return FindWindow(L"ZelvaneForm", L"ToolbarWindow32", ms); }
    // Closes every message box of the process with its default button; how many there were.
    int CloseMessageBoxes() const {
        int n = 0;
        while (HWND box = FindWindow(L"#32770", nullptr, 0)) {
            ::PostMessageW(box, WM_COMMAND, IDOK, 0);
            ::PostMessageW(box, WM_CLOSE, 0, 0);
            WaitUntil([&] { return !::IsWindow(box); });
            if (++n > 1000) break;
        }
        return n;
    }
};

}  // namespace zelvane::testing
