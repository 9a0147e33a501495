// The whole program in the test process: the application window and the five
// windows, created as the program creates them. Error boxes are recorded
// instead of shown.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/main.h"
#include "gui/Application.h"
#include "windows/Forms.h"

namespace zelvane::testing {

// How long a test waits for something that should happen: long enough that
// only a failing test ever reaches it, even on a machine many times slower
// than a developer's. A passing test waits only until the thing happened.
inline constexpr int kPatienceMs = 60000;

// Takes and dispatches messages for about `ms` milliseconds (at least once).
inline void Pump(int ms = 0) {
    const DWORD end = ::GetTickCount() + static_cast<DWORD>(ms);
    do {
        Application::Get().ProcessMessages();
        if (ms > 0) ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (static_cast<LONG>(end - ::GetTickCount()) > 0);
}

// Pumps messages until `done` holds or about `ms` milliseconds passed.
template <typename Pred>
bool PumpUntil(Pred done, int ms = kPatienceMs) {
    const DWORD end = ::GetTickCount() + static_cast<DWORD>(ms);
    while (!done()) {
        if (static_cast<LONG>(end - ::GetTickCount()) <= 0) return false;
        Application::Get().ProcessMessages();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

class ProgramFixture : public ::testing::Test {
protected:
    void SetUp() override {
        Application& app = Application::Get();
        app.Initialize();
        app.errorSink = [this](const std::string& text) { errors.push_back(text); };
        form1 = std::make_unique<TForm1>();
        ASSERT_TRUE(form1->FormCreate(FirstArgument())) << "another Zelvane is running";
        form2 = std::make_unique<TForm2>(*form1);
        form3 = std::make_unique<TForm3>();
        form4 = std::make_unique<TForm4>(*form1);
        form5 = std::make_unique<TForm5>(*form1);
        form1->AttachWindows(form2.get(), form3.get(), form4.get(), form5.get());
        form1->CenterOnDesktop();
        form1->Show();
        Pump();
    }

    void TearDown() override {
        form5.reset();
        form4.reset();
        form3.reset();
        form2.reset();
        form1.reset();
        Application::Get().errorSink = nullptr;
    }

    virtual std::string FirstArgument() const { return ""; }

    std::vector<std::string> errors;
    std::unique_ptr<TForm1> form1;
    std::unique_ptr<TForm2> form2;
    std::unique_ptr<TForm3> form3;
    std::unique_ptr<TForm4> form4;
    std::unique_ptr<TForm5> form5;
};

// Starts a helper program from the test build directory; the child's process
// handle, closed by the caller through KernelHandle.
PROCESS_INFORMATION StartChild(const std::wstring& exeName, const std::wstring& args = L"");
// The directory of the running test executable, with a trailing backslash.
std::wstring TestDirectory();

}  // namespace zelvane::testing
