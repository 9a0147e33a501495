// TJvTrayIcon with the shell behind a recorder: the records it sends, the
// image and tip rules, the re-add after a new taskbar, and the events of the
// icon (the right-button menu is real and driven with the keyboard).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/TrayIcon.h"
#include "base/Error.h"
#include "base/Text.h"
#include "gui/Application.h"
#include "gui/ErrorReport.h"
#include "gui/ImageList.h"
#include "gui/PopupMenu.h"
#include "resources/resource.h"
#include "tests/win32/popup_menu_keys.h"

namespace zelvane {
namespace {

struct Call {
    DWORD message;
    DWORD size;
    UINT flags;
    UINT id;
    HWND window;
    UINT callback;
    HICON icon;
    std::string tip;
    UINT version;
};

struct TrayFixture : ::testing::Test {
    std::vector<Call> calls;
    HWND taskbar = reinterpret_cast<HWND>(0x1000);
    unsigned version = 6;
    std::vector<std::string> events;
    ImageList gauge = ImageList::FromResource(::GetModuleHandleW(nullptr), IDB_GAUGE, ZELVANE_STRIP_CELL,
                                              ZELVANE_MASK_COLOR);

    TrayShell Recorder() {
        return TrayShell{[this](DWORD message, const NOTIFYICONDATAW& d) {
                             calls.push_back({message, d.cbSize, d.uFlags, d.uID, d.hWnd, d.uCallbackMessage, d.hIcon,
                                              Narrow(d.szTip), d.uVersion});
                         },
                         [this] { return taskbar; }, [this] { return version; }};
    }
    std::unique_ptr<TJvTrayIcon> MakeActive() {
        auto tray = std::make_unique<TJvTrayIcon>(Recorder());
        tray->icons = &gauge;
        tray->onClick = [this](MouseButton b) {
            events.push_back(b == MouseButton::Left ? "Left" : b == MouseButton::Right ? "Right" : "Middle");
        };
        tray->SetActive(true);
        calls.clear();
        return tray;
    }
    static void Event(TJvTrayIcon& tray, UINT event) {
        ::SendMessageW(tray.Window(), TJvTrayIcon::kCallbackMessage, TJvTrayIcon::kIconId, event);
    }
};

TEST_F(TrayFixture, AddsWithFlagsSizeAndIdThenSetsTheVersion) {
    version = ShellMajorVersion();  // Wine's shell32 reports 6
    ASSERT_GE(version, 5u);
    {
        TJvTrayIcon tray(Recorder());
        tray.SetActive(true);
        ASSERT_EQ(calls.size(), 2u);
        const Call& add = calls[0];
        EXPECT_EQ(add.message, static_cast<DWORD>(NIM_ADD));
        EXPECT_EQ(add.flags, 0x17u);
        EXPECT_EQ(add.size, static_cast<DWORD>(NOTIFYICONDATAW_V2_SIZE));
        EXPECT_EQ(add.size, 936u);
        EXPECT_EQ(add.id, 1u);
        EXPECT_EQ(add.callback, static_cast<UINT>(WM_USER + 1));
        EXPECT_EQ(add.window, tray.Window());
        EXPECT_NE(add.icon, nullptr);  // the program's own icon until the first image
        EXPECT_EQ(add.tip, "");
        EXPECT_EQ(calls[1].message, static_cast<DWORD>(NIM_SETVERSION));
        EXPECT_EQ(calls[1].version, 3u);
        tray.SetActive(false);
        ASSERT_EQ(calls.size(), 3u);
        EXPECT_EQ(calls[2].message, static_cast<DWORD>(NIM_DELETE));
        EXPECT_EQ(calls[2].id, 1u);
        tray.SetActive(true);
        calls.clear();
    }
    ASSERT_EQ(calls.size(), 1u);  // the destructor removes the icon
    EXPECT_EQ(calls[0].message, static_cast<DWORD>(NIM_DELETE));
}

TEST_F(TrayFixture, OldShellsGetTheVersionOneRecordAndPlainTips) {
    version = 4;
    TJvTrayIcon tray(Recorder());
    tray.SetActive(true);
    ASSERT_EQ(calls.size(), 1u);  // no NIM_SETVERSION
    EXPECT_EQ(calls[0].size, static_cast<DWORD>(NOTIFYICONDATAW_V1_SIZE));
    EXPECT_EQ(calls[0].size, 152u);
    tray.SetHint("ЦП\r\n12%|подсказка");
    Event(tray, WM_MOUSEMOVE);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].tip, "ЦП - 12%");
}

TEST(TrayTipText, CutAtTheBarAndToTheRecord) {
    EXPECT_EQ(TrayTipText("12%|long", 6), L"12%");
    EXPECT_EQ(TrayTipText("a\r\nb", 6), L"a\r\nb");
    EXPECT_EQ(TrayTipText(std::string(200, 'x'), 6), std::wstring(127, L'x'));
    EXPECT_EQ(TrayTipText(std::string(200, 'x'), 4), std::wstring(63, L'x'));
    // A character outside the basic plane is never split in two.
    EXPECT_EQ(TrayTipText(std::string(126, 'x') + "\xF0\x9F\x98\x80", 6), std::wstring(126, L'x'));
}

TEST_F(TrayFixture, IndexOutsideTheListKeepsTheImage) {
    auto tray = MakeActive();
    EXPECT_EQ(tray->IconIndex(), -1);
    tray->SetIconIndex(3);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(calls[0].flags, 7u);
    EXPECT_EQ(tray->IconIndex(), 3);
    for (int bad : {13, -1, -7}) {
        tray->SetIconIndex(bad);
        EXPECT_EQ(tray->IconIndex(), -1);
    }
    EXPECT_EQ(calls.size(), 1u);  // nothing sent: the shown image stays
    tray->icons = nullptr;
    tray->SetIconIndex(0);
    EXPECT_EQ(tray->IconIndex(), -1);
    EXPECT_EQ(calls.size(), 1u);
}

TEST_F(TrayFixture, ImageChangesEverySecondLeakNoIcon) {
    auto tray = MakeActive();
    tray->SetIconIndex(0);
    const long live = IconHandle::LiveCount();
    HICON previous = calls.back().icon;
    for (int tick = 1; tick <= 200; ++tick) {
        tray->SetIconIndex(tick % 12);
        tray->SetHint(std::to_string(tick % 100) + "%");
        EXPECT_NE(calls.back().icon, previous);  // each modify carries the new image
        previous = calls.back().icon;
    }
    EXPECT_EQ(IconHandle::LiveCount(), live);  // one current icon, the old one freed
    EXPECT_EQ(calls.size(), 201u);             // one modify per image, hints only stored
}

TEST_F(TrayFixture, MouseMovesSendTheTipOncePerChange) {
    auto tray = MakeActive();
    tray->SetHint("10%");
    EXPECT_TRUE(calls.empty());  // only stored
    Event(*tray, WM_MOUSEMOVE);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(calls[0].flags, 7u);
    EXPECT_EQ(calls[0].tip, "10%");
    Event(*tray, WM_MOUSEMOVE);
    tray->SetHint("10%");
    Event(*tray, WM_MOUSEMOVE);
    EXPECT_EQ(calls.size(), 1u);
    tray->SetHint("11%");
    tray->SetHint("12%");
    tray->SetIconIndex(5);  // a new image goes with the tip last sent
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].tip, "10%");
    Event(*tray, WM_MOUSEMOVE);
    Event(*tray, WM_MOUSEMOVE);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[2].tip, "12%");
}

TEST_F(TrayFixture, NewTaskbarMakesOneDeleteAndOneAdd) {
    auto tray = MakeActive();
    tray->SetIconIndex(2);
    tray->SetHint("5%");
    ASSERT_EQ(calls.size(), 1u);  // the modify; same taskbar, nothing else
    const HICON image = calls[0].icon;
    calls.clear();
    taskbar = reinterpret_cast<HWND>(0x2000);  // the shell restarted
    tray->SetHint("6%");
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(calls[1].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(calls[1].flags, 0x17u);
    EXPECT_EQ(calls[1].icon, image);  // with the current image and hint
    EXPECT_EQ(calls[1].tip, "6%");
    EXPECT_EQ(calls[2].message, static_cast<DWORD>(NIM_SETVERSION));
    calls.clear();
    tray->SetHint("7%");
    Event(*tray, WM_MOUSEMOVE);
    ASSERT_EQ(calls.size(), 1u);  // recorded: no second re-add
    EXPECT_EQ(calls[0].message, static_cast<DWORD>(NIM_MODIFY));
    // No taskbar at all (a failed add), then a new one: added again.
    taskbar = nullptr;
    tray->SetIconIndex(3);
    taskbar = reinterpret_cast<HWND>(0x3000);
    calls.clear();
    tray->SetIconIndex(4);
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[1].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(calls[2].message, static_cast<DWORD>(NIM_ADD));
}

TEST_F(TrayFixture, RightButtonShowsTheMenuThenClicks) {
    PopupMenu menu({{"N2", "Открыть список процессов", [this] { events.push_back("N2"); }, true, {}},
                    {"N4", "Закрыть программу", [this] { events.push_back("N4"); }, false, {}}});
    auto tray = MakeActive();
    tray->popupMenu = &menu;
    {
        MenuKeys keys(tray->Window(), {VK_DOWN, VK_DOWN, VK_RETURN});
        Event(*tray, WM_RBUTTONUP);
    }
    EXPECT_EQ(events, (std::vector<std::string>{"N4", "Right"}));
    events.clear();
    {
        MenuKeys keys(tray->Window(), {VK_ESCAPE});
        Event(*tray, NIN_KEYSELECT);  // dismissed: the click fires all the same
    }
    EXPECT_EQ(events, (std::vector<std::string>{"Right"}));
}

TEST_F(TrayFixture, LeftDoubleClickRunsTheDefaultItem) {
    PopupMenu menu({{"About1", "About", [this] { events.push_back("About1"); }, false, {}},
                    {"N2", "Открыть список процессов", [this] { events.push_back("N2"); }, true, {}}});
    auto tray = MakeActive();
    tray->popupMenu = &menu;
    for (UINT e : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) Event(*tray, e);
    EXPECT_EQ(events, (std::vector<std::string>{"Left", "N2", "Left"}));
    events.clear();
    for (UINT e : {WM_MBUTTONDOWN, WM_MBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK, WM_MBUTTONUP}) Event(*tray, e);
    EXPECT_EQ(events, (std::vector<std::string>{"Middle"}));
    EXPECT_TRUE(calls.empty());
}

TEST_F(TrayFixture, HandlerErrorsGoToTheErrorBox) {
    std::vector<std::string> reported;
    Application::Get();  // its error box is the handler that the recorder stands in for
    ErrorHandler box = SetErrorHandler([&](const std::string& text) { reported.push_back(text); });
    std::unique_ptr<TJvTrayIcon> tray = MakeActive();
    tray->onClick = [](MouseButton) { throw Error("Нет доступа"); };
    Event(*tray, WM_LBUTTONUP);
    // Also when the handler has destroyed the icon and its window first; the
    // click, which would report again, is not fired on an icon that is gone.
    PopupMenu menu({{"N4", "Закрыть программу", [&] {
                         tray.reset();
                         throw Error("Нет памяти");
                     }, false, {}}});
    tray->popupMenu = &menu;
    const HWND window = tray->Window();
    {
        MenuKeys keys(window, {VK_DOWN, VK_RETURN});
        Event(*tray, WM_RBUTTONUP);
    }
    SetErrorHandler(std::move(box));
    EXPECT_EQ(reported, (std::vector<std::string>{"Нет доступа.", "Нет памяти."}));
    EXPECT_EQ(tray, nullptr);
    EXPECT_FALSE(::IsWindow(window));
}

TEST_F(TrayFixture, MinimizeHidesTheApplicationWindowOnlyWhileActive) {
    HWND app = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                 nullptr);
    ::ShowWindow(app, SW_SHOWNORMAL);
    TJvTrayIcon tray(Recorder());
    EXPECT_FALSE(tray.MinimizeApplication(app));
    EXPECT_TRUE(::IsWindowVisible(app));
    tray.SetActive(true);
    EXPECT_TRUE(tray.MinimizeApplication(app));
    EXPECT_FALSE(::IsWindowVisible(app));
    EXPECT_TRUE(::IsIconic(app));
    ::DestroyWindow(app);
}

}  // namespace
}  // namespace zelvane
