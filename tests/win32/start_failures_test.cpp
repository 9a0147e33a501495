// The program when the notification icon's window cannot be created: the
// deferred start reports it once, and the CPU ticks that cannot hand the gauge
// to the icon keep to one error box at a time.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/ProgramStart.h"
#include "tests/win32/ProgramFixture.h"

using namespace zelvane;
using namespace zelvane::testing;

namespace {

// Refuses the creation of every window of one class on this thread (the
// notification icon's unless a test says otherwise), as a system out of
// window resources would.
const wchar_t* refusedClass = L"ZelvaneTrayIconWindow";

LRESULT CALLBACK RefuseTrayWindow(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND) {
        wchar_t name[64] = {};
        ::GetClassNameW(reinterpret_cast<HWND>(wp), name, 64);
        if (std::wstring(name) == refusedClass) return 1;
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

class NoTrayWindow : public ProgramFixture {
protected:
    // The fixture's start, with the hook in place and an error report that
    // also notes whether the start's deferred work was still scheduled when
    // the box opened (its loop would run it again): the failure can come
    // while the start is still being pumped.
    void SetUp() override {
        hook_ = ::SetWindowsHookExW(WH_CBT, &RefuseTrayWindow, nullptr, ::GetCurrentThreadId());
        ASSERT_NE(nullptr, hook_);
        InitializeApplication();
        boxHandler = SetErrorHandler([this](const std::string& text) {
            errors.push_back(text);
            pendingAtBox.push_back(form1 && Probe(*form1).StartPending());
        });
        form1 = std::make_unique<TForm1>();
        ASSERT_TRUE(form1->FormCreate(""));
        CreateOtherWindows();
        form1->Show();
        Pump();
    }
    void TearDown() override {
        ProgramFixture::TearDown();
        ::UnhookWindowsHookEx(hook_);
    }

    std::vector<bool> pendingAtBox;

private:
    HHOOK hook_ = nullptr;
};

constexpr char kNoTrayWindowText[] = "Cannot create the notification icon window.";

}  // namespace

TEST(StartWithoutItsWindows, SaysWhyAndEndsWithCodeOne) {
    // Without the application window, or without the main window, the
    // program shows the reason in its error box and ends with code 1.
    Application::Get();  // installs the error box, which the recorder replaces
    std::vector<std::string> errors;
    ErrorHandler box = SetErrorHandler([&](const std::string& text) { errors.push_back(text); });
    for (const wchar_t* cls : {L"ZelvaneApplication", L"ZelvaneForm"}) {
        refusedClass = cls;
        const HHOOK hook = ::SetWindowsHookExW(WH_CBT, &RefuseTrayWindow, nullptr, ::GetCurrentThreadId());
        EXPECT_EQ(1, RunProgram(""));
        ::UnhookWindowsHookEx(hook);
    }
    SetErrorHandler(std::move(box));
    EXPECT_EQ((std::vector<std::string>{"Cannot create a window of class ZelvaneApplication.",
                                        "Cannot create a window of class ZelvaneForm."}),
              errors);
}

TEST_F(NoTrayWindow, TheDeferredStartReportsOnceAndStopsThenCpuTicksShowOneBoxAtATime) {
    ASSERT_TRUE(PumpUntil([&] { return !errors.empty(); }));
    EXPECT_EQ(kNoTrayWindowText, errors[0]);
    EXPECT_FALSE(pendingAtBox[0]);
    EXPECT_FALSE(Probe(*form1).StartPending());
    errors.clear();
    TestSampler sampler;
    form1->SetSampler(&sampler);
    const auto tick = [&] {
        ::SendMessageW(form1->Handle(), WM_TIMER, TimerProbe::Id(Probe(*form1).CpuTimer()), 0);
    };
    // While the box is open its loop runs further ticks: none opens a box.
    int depth = 0;
    SetErrorHandler([&](const std::string& text) {
        errors.push_back(text);
        if (++depth == 1) {
            for (int i = 0; i < 3; ++i) tick();
        }
        --depth;
    });
    tick();
    EXPECT_EQ(std::vector<std::string>{kNoTrayWindowText}, errors);
    // Once it is closed, the next failing tick is reported again.
    tick();
    EXPECT_EQ(2u, errors.size());
}
