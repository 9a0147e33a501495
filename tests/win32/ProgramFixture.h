// The whole program in the test process: the application window and the five
// windows, created as the program creates them. Error boxes are recorded
// instead of shown.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ProgramWindows.h"
#include "app/main.h"
#include "base/Error.h"
#include "base/Text.h"
#include "cpu/LoadIndicator.h"
#include "gui/Application.h"
#include "gui/ErrorReport.h"
#include "gui/Handles.h"
#include "journeys/journey_basics.h"
#include "settings/Unit2.h"
#include "tests/win32/TForm1Probe.h"
#include "windows/Search.h"
#include "windows/Unit3.h"
#include "windows/Unit5.h"

namespace zelvane::testing {

// How long a test waits for something that should happen: long enough that
// only a failing test ever reaches it, even on a machine many times slower
// than a developer's. A passing test waits only until the thing happened.
inline constexpr int kPatienceMs = 60000;

// Whether a pump has taken WM_QUIT: the program has ended, and, as after the
// program's own loop, no message is handled any more (until the next test
// initializes the application).
inline bool quitTaken = false;

// Takes and handles the messages waiting in the queue, as the program's loop
// does, up to WM_QUIT.
inline void PumpWaiting() {
    MSG msg;
    while (!quitTaken && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quitTaken = true;
            break;
        }
        Application::Get().Dispatch(msg);
    }
}

// The application window, ready for a test's program.
inline void InitializeApplication() {
    Application::Get().Initialize();
    quitTaken = false;
}

// Takes and dispatches messages for about `ms` milliseconds (at least once).
inline void Pump(int ms = 0) {
    const DWORD end = ::GetTickCount() + static_cast<DWORD>(ms);
    do {
        PumpWaiting();
        if (ms > 0) ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (static_cast<LONG>(end - ::GetTickCount()) > 0);
}

// Pumps messages until `done` holds or about `ms` milliseconds passed.
template <typename Pred>
bool PumpUntil(Pred done, int ms = kPatienceMs) {
    const DWORD end = ::GetTickCount() + static_cast<DWORD>(ms);
    while (!done()) {
        if (static_cast<LONG>(end - ::GetTickCount()) <= 0) return false;
        PumpWaiting();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

// The table row of a process identifier, or -1.
inline int RowOfPid(const GridModel& model, DWORD pid) {
    const std::string text = std::to_string(pid);
    for (int row = 1; row < model.RowCount(); ++row) {
        if (model.Cell(1, row) == text) return row;
    }
    return -1;
}

// Waits for `done` without taking messages (for tests that own no window).
inline bool WaitUntil(const std::function<bool()>& done) { return journey::WaitFor(done); }

// The colours of `area` of a window's client area, row by row, as it draws
// itself now (or, unless `redraw`, as it is on the screen).
inline std::vector<COLORREF> PixelsOf(HWND h, RECT area, bool redraw = true) {
    if (redraw) ::RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const HDC dc = ::GetDC(h);
    std::vector<COLORREF> colours;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) colours.push_back(::GetPixel(dc, x, y));
    ::ReleaseDC(h, dc);
    return colours;
}

// A rectangle as {left, top, width, height}, held to a layout in one assertion.
using Xywh = std::array<LONG, 4>;
inline Xywh XywhOf(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }

// A child window's rectangle in the client area of `parent`.
inline RECT RectIn(HWND child, HWND parent) {
    RECT r;
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// One processor's load for the program's CPU timer, as a test sets it, and a
// sampling that fails on demand.
class TestSampler : public LoadSampler {
public:
    bool fail = false;
    double load = 0.5;
    int samples = 0;
    void TakeSample() override {
        ++samples;
        if (fail) throw Error("Unable to locate the \"Processor\" performance object");
    }
    std::int32_t ProcessorCount() override { return 1; }
    double ProcessorLoad(std::int32_t) override { return load; }
};

// A setting of the user's locale (a separator, for instance).
inline std::string LocaleText(LCTYPE type) {
    wchar_t buffer[16];
    const int n = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 16);
    return Narrow(std::wstring_view(buffer, static_cast<std::size_t>(n > 0 ? n - 1 : 0)));
}

// A key's press and release (or one half alone) where the focus is, through
// the program's loop.
inline void PressKey(WORD key, bool down = true, bool up = true) {
    const HWND focus = ::GetFocus();
    if (down) ::PostMessageW(focus, WM_KEYDOWN, key, 1);
    if (up) ::PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
    Pump();
}

// A key pressed and released in a window, through the message loop.
inline void PostKey(HWND target, WORD key) {
    ::PostMessageW(target, WM_KEYDOWN, key, 1);
    ::PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

class ProgramFixture : public ::testing::Test {
protected:
    void SetUp() override {
        InitializeApplication();
        boxHandler = SetErrorHandler([this](const std::string& text) { errors.push_back(text); });
        form1 = std::make_unique<TForm1>();
        ASSERT_TRUE(form1->FormCreate(FirstArgument())) << "another Zelvane is running";
        CreateOtherWindows();
        form1->CenterOnDesktop();
        form1->Show();
        Pump();
    }

    // All four at once, as a command that needs one of them does.
    void CreateOtherWindows() {
        windows = std::make_unique<ProgramWindows>(*form1);
        form1->SetOtherWindows(windows.get());
        while (windows->CreateNext()) {
        }
        form2 = windows->Settings();
        form3 = windows->About();
        form4 = windows->Search();
        form5 = windows->Properties();
    }

    void TearDown() override {
        // A test's own process source and load sampler go with the test.
        if (form1) {
            form1->SetProcessSource(nullptr);
            form1->SetSampler(nullptr);
        }
        form2 = nullptr;
        form3 = nullptr;
        form4 = nullptr;
        form5 = nullptr;
        windows.reset();
        form1.reset();
        SetErrorHandler(std::move(boxHandler));
    }

    virtual std::string FirstArgument() const { return ""; }
    // The five windows, the main window first.
    std::vector<Form*> Forms() { return {form1.get(), form2, form3, form4, form5}; }

    std::vector<std::string> errors;
    ErrorHandler boxHandler;  // the error box, back in place after the test
    std::unique_ptr<TForm1> form1;
    std::unique_ptr<ProgramWindows> windows;
    TForm2* form2 = nullptr;
    TForm3* form3 = nullptr;
    TForm4* form4 = nullptr;
    TForm5* form5 = nullptr;
};

// The directory of the running test executable, with a trailing backslash.
std::wstring TestDirectory();

// A program started by a test: an executable of the test directory (or one
// given by its full path) with its arguments, and the standard handles of
// `handles` when given (which it inherits). It owns the process handle; a child
// that still runs when it goes is ended (exit code 1) and waited for.
class ChildProcess {
public:
    explicit ChildProcess(const std::wstring& exe, const std::wstring& args = L"",
                          const STARTUPINFOW* handles = nullptr);
    ~ChildProcess() { End(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return static_cast<bool>(process_); }
    DWORD Pid() const { return pid_; }
    HANDLE Handle() const { return process_.Get(); }
    bool Running() const;
    // Waits up to `ms` for the end; the exit code, or STILL_ACTIVE.
    DWORD WaitExitCode(DWORD ms = kPatienceMs) const;
    // Ends the child if it still runs (exit code 1) and waits for the end.
    void End();

private:
    KernelHandle process_;
    DWORD pid_ = 0;
};

// A copy of a program of the test directory under another name (a process
// name no other process has), deleted when it goes. Declare it before the
// ChildProcess that runs it, so that the process ends first.
class ProgramCopy {
public:
    ProgramCopy(const std::wstring& original, const std::wstring& copyName);
    ~ProgramCopy();
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;

    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
    bool copied_;
};

// The program's settings key and autorun value as a test found them, put back
// when it goes: a settings key that was not there is deleted with everything
// the test stored in it, and so is an autorun value.
class RegistryGuard {
public:
    RegistryGuard();
    ~RegistryGuard();
    RegistryGuard(const RegistryGuard&) = delete;
    RegistryGuard& operator=(const RegistryGuard&) = delete;

private:
    bool hadVendor_;
    bool hadSettings_;
    bool hadAutorun_;
};

// One value in the program's settings key, which is created when absent;
// the raw one of any type and size.
void StoreRawSetting(const wchar_t* name, DWORD type, const void* data, DWORD size);
void StoreSetting(const wchar_t* name, DWORD value);
void StoreSetting(const wchar_t* name, const std::wstring& text);
// The stored settings of a quiet program: auto-refresh off, no one-shot
// rebuild (the table is rebuilt only by commands), the default look.
void StoreQuietSettings();

}  // namespace zelvane::testing
