// The settings dialog in the whole program, on a first start: no settings key
// and no autorun value (the registry guard finds none and removes what the
// test stored).
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "base/Text.h"
#include "gui/Controls.h"
#include "settings/Settings.h"
#include "settings/WinRegistry.h"
#include "tests/win32/ProgramFixture.h"

using namespace zelvane;
using namespace zelvane::testing;

namespace {

void Type(HWND edit, const std::string& text) { ::SetWindowTextW(edit, Widen(text).c_str()); }

// A left click (or another button) on a window, as the mouse gives it.
void ClickOn(HWND hwnd, int x, int y, UINT down = WM_LBUTTONDOWN, UINT up = WM_LBUTTONUP) {
    ::SendMessageW(hwnd, down, 0, MAKELPARAM(x, y));
    ::SendMessageW(hwnd, up, 0, MAKELPARAM(x, y));
}

bool IsStored(const char* key, const char* name) {
    WinRegistry reg;
    return reg.OpenKey(key, false) && reg.QueryValue(name).has_value();
}

uint32_t StoredNumber(const char* name) {
    WinRegistry reg;
    reg.OpenKey(kSettingsKey, false);
    return ReadInteger(reg, name);
}

std::string StoredText(const char* key, const char* name) {
    WinRegistry reg;
    reg.OpenKey(key, false);
    return ReadString(reg, name);
}

class SettingsDialog : public ProgramFixture {
protected:
    void Open() {
        Probe(*form1).SettingClick();
        Pump();
        ASSERT_TRUE(form2->Visible());
    }
    void Apply() { ClickOn(form2->ApplyButton().Handle(), 10, 10); }
    void Save() { ClickOn(form2->SaveButton().Handle(), 10, 10); }
    void SetFields(const std::string& list, const std::string& delay, const std::string& cpu) {
        Type(form2->Edit1Handle(), list);
        Type(form2->Edit2Handle(), delay);
        Type(form2->Edit3Handle(), cpu);
    }
    bool AutorunTicked() { return ::SendMessageW(form2->AutorunBox(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

    RegistryGuard registry_;  // made before SetUp, undone after TearDown
};

TEST_F(SettingsDialog, FirstOpenShowsTheSettingsInForce) {
    EXPECT_FALSE(form2->Visible());
    Open();
    RECT w, c;
    ::GetWindowRect(form2->Handle(), &w);
    ::GetClientRect(form2->Handle(), &c);
    EXPECT_EQ(231, w.left);
    EXPECT_EQ(123, w.top);
    EXPECT_EQ((Xywh{0, 0, 377, 294}), XywhOf(c));
    EXPECT_EQ("Options ...", WindowText(form2->Handle()));

    EXPECT_EQ("1", WindowText(form2->Edit1Handle()));
    EXPECT_EQ("200", WindowText(form2->Edit2Handle()));
    EXPECT_EQ("1", WindowText(form2->Edit3Handle()));
    EXPECT_FALSE(AutorunTicked());
    // The fields are flat: a frame one pixel wide, then the field's colour
    // (their right ends hold no text).
    for (HWND edit : {form2->Edit1Handle(), form2->Edit2Handle(), form2->Edit3Handle()}) {
        EXPECT_FALSE(::GetWindowLongW(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        ::RedrawWindow(edit, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
        RECT r;
        ::GetWindowRect(edit, &r);
        const int w = r.right - r.left, h = r.bottom - r.top;
        EXPECT_EQ(17, h);
        const HDC dc = ::GetWindowDC(edit);  // the frame may be drawn outside the client area
        EXPECT_NE(0xA8A8A8u, ::GetPixel(dc, w - 1, h / 2)) << "right edge";
        EXPECT_NE(0xA8A8A8u, ::GetPixel(dc, w - 3, 0)) << "top edge";
        EXPECT_NE(0xA8A8A8u, ::GetPixel(dc, w - 3, h - 1)) << "bottom edge";
        EXPECT_EQ(0xA8A8A8u, ::GetPixel(dc, w - 2, h / 2)) << "inside the right edge";
        EXPECT_EQ(0xA8A8A8u, ::GetPixel(dc, w - 3, 1)) << "inside the top edge";
        ::ReleaseDC(edit, dc);
    }
    StringGrid& preview = form2->Preview();
    EXPECT_EQ(0xA8A8A8u, preview.Color());
    EXPECT_EQ(0xC0C0C0u, preview.FixedColor());
    EXPECT_EQ(0x800000u, preview.FontColor());
    EXPECT_EQ("MS Sans Serif", preview.FontName());
    EXPECT_EQ("Имя программы", preview.Model().Cell(0, 0));
    EXPECT_EQ("ProcessID32", preview.Model().Cell(1, 0));
    EXPECT_EQ("Wincmd.exe", preview.Model().Cell(0, 1));
    EXPECT_EQ("ff099875", preview.Model().Cell(1, 2));
    EXPECT_EQ("System", WindowText(form2->FontList()));
    EXPECT_GT(::SendMessageW(form2->FontList(), CB_GETCOUNT, 0, 0), 1);
    EXPECT_FALSE(form2->ConfirmationVisible());
    EXPECT_FALSE(form2->ConfirmTimer().Enabled());
    EXPECT_EQ(1000u, form2->ConfirmTimer().Interval());

    // Focus order: Edit1, Edit2, testtabl, FontComboBox1, Edit3, CheckBox1,
    // then Apply and Save, and round to Edit1.
    const HWND order[] = {form2->Edit1Handle(), form2->Edit2Handle(),           form2->Preview().Handle(),
                          form2->FontList(),    form2->Edit3Handle(),           form2->AutorunBox(),
                          form2->ApplyButton().Handle(), form2->SaveButton().Handle(), form2->Edit1Handle()};
    for (int i = 0; i + 1 < 9; ++i) {
        EXPECT_EQ(order[i + 1], ::GetNextDlgTabItem(form2->Handle(), order[i], FALSE)) << "after stop " << i;
    }
}

TEST_F(SettingsDialog, StandardAfterFarGivesBlackText) {
    Open();
    form2->PresetMenu().Click("Far1");
    EXPECT_EQ(0xFFFC58u, form2->Preview().FontColor());
    ClickOn(form2->Background().Handle(), 140, 52);  // "Стандарт"
    EXPECT_EQ(0xA8A8A8u, form2->Preview().Color());
    EXPECT_EQ(0xC0C0C0u, form2->Preview().FixedColor());
    EXPECT_EQ(0x000000u, form2->Preview().FontColor());

    // The preview's menu has the four colour labels' commands below the
    // presets: the same "Стандарт" from the keyboard.
    const HMENU menu = form2->PresetMenu().Handle();
    ASSERT_EQ(9, ::GetMenuItemCount(menu));
    EXPECT_EQ(static_cast<UINT>(MF_SEPARATOR), ::GetMenuState(menu, 4, MF_BYPOSITION) & MF_SEPARATOR);
    const char* labels[] = {"Цвет фона", "Цвет текста", "Цвет заголовка", "Стандарт"};
    for (int i = 0; i < 4; ++i) {
        wchar_t text[64] = {};
        ::GetMenuStringW(menu, static_cast<UINT>(5 + i), text, 64, MF_BYPOSITION);
        EXPECT_EQ(labels[i], Narrow(text));
    }
    form2->PresetMenu().Click("Far1");
    form2->PresetMenu().Click("Def");
    EXPECT_EQ(0xA8A8A8u, form2->Preview().Color());
    EXPECT_EQ(0x000000u, form2->Preview().FontColor());
}

// The DOS preset reaches the table only through Apply, which stores nothing.
TEST_F(SettingsDialog, EnterAndSpaceOnTheButtonsPressThemOnTheirRelease) {
    Open();
    form2->PresetMenu().Click("DOS1");
    EXPECT_EQ(0x000000u, form2->Preview().Color());
    EXPECT_EQ(0xC0C0C0u, Probe(*form1).Grid().FixedColor()) << "nothing reaches the table before Apply";
    const HWND apply = form2->ApplyButton().Handle();
    ClickOn(apply, 10, 10, WM_RBUTTONDOWN, WM_RBUTTONUP);
    EXPECT_TRUE(form2->Visible()) << "only the left button acts";
    ::SetFocus(form2->AutorunBox());
    PressKey(VK_TAB);
    ASSERT_EQ(apply, ::GetFocus());
    // The focus is drawn: the panel differs from its look without it.
    auto shot = [](HWND h) { return PixelsOf(h, {0, 4, 90, 5}); };
    const std::vector<COLORREF> focused = shot(apply);
    ::SetFocus(form2->AutorunBox());
    EXPECT_NE(focused, shot(apply));
    ::SetFocus(apply);
    EXPECT_EQ(focused, shot(apply));

    PressKey(VK_RETURN, true, false);
    EXPECT_TRUE(form2->Visible()) << "on the press";
    PressKey(VK_RETURN, false, true);
    EXPECT_FALSE(form2->Visible());
    EXPECT_EQ(0x000000u, Probe(*form1).Grid().Color());
    EXPECT_EQ(0xA8A8A8u, Probe(*form1).Grid().FixedColor());
    EXPECT_EQ(0xFFFFFFu, Probe(*form1).Grid().FontColor());
    EXPECT_FALSE(IsStored(kSettingsKey, "CFon"));

    // Opened again, the focus is back on Apply: a release alone presses nothing.
    Open();
    ASSERT_EQ(apply, ::GetFocus());
    PressKey(VK_RETURN, false, true);
    EXPECT_TRUE(form2->Visible());
    PressKey(VK_TAB);
    ASSERT_EQ(form2->SaveButton().Handle(), ::GetFocus());
    PressKey(VK_SPACE);
    EXPECT_TRUE(errors.empty());
    EXPECT_FALSE(form2->Visible());
    EXPECT_EQ(0x000000u, StoredNumber("CFon"));
}

TEST_F(SettingsDialog, ApplySetsTheThreeIntervalsAndTheFace) {
    Open();
    SetFields("3", "500", "2");
    const LRESULT index = ::SendMessageW(form2->FontList(), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(L"Tahoma"));
    const int pick = index == CB_ERR ? 0 : static_cast<int>(index);
    ::SendMessageW(form2->FontList(), CB_SETCURSEL, pick, 0);
    ::SendMessageW(form2->Background().Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(form2->FontList()));
    const std::string face = WindowText(form2->FontList());
    EXPECT_EQ(face, form2->Preview().FontName());

    Apply();
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(3000u, Probe(*form1).UpdateTimerObject().Interval());
    EXPECT_EQ(2000u, Probe(*form1).CpuTimer().Interval());
    EXPECT_EQ(500u, Probe(*form1).RepaintTimer().Interval());
    EXPECT_FALSE(Probe(*form1).UpdateTimerObject().Enabled()) << "a new interval does not switch a timer on";
    EXPECT_EQ(face, Probe(*form1).Grid().FontName());
    EXPECT_FALSE(form2->Visible());
}

TEST_F(SettingsDialog, FractionOfASecondIsShownButNotAccepted) {
    Probe(*form1).UpdateTimerObject().SetInterval(1500);
    Open();
    const std::string shown = "1" + LocaleText(LOCALE_SDECIMAL) + "5";
    EXPECT_EQ(shown, WindowText(form2->Edit1Handle()));
    form2->PresetMenu().Click("DOS1");
    Apply();
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ("'" + shown + "' is not a valid integer value.", errors[0]);
    EXPECT_TRUE(form2->Visible());
    EXPECT_EQ(1500u, Probe(*form1).UpdateTimerObject().Interval());
    EXPECT_EQ(0xA8A8A8u, Probe(*form1).Grid().Color());

    Save();
    EXPECT_EQ(2u, errors.size());
    EXPECT_FALSE(form2->ConfirmationVisible());
    EXPECT_TRUE(form2->Visible());
}

TEST_F(SettingsDialog, BadCpuFieldChangesTheListPeriodOnly) {
    Probe(*form1).UpdateTimerObject().SetEnabled(true);
    const unsigned cpuPeriods = TimerProbe::PeriodsStarted(Probe(*form1).CpuTimer());
    Open();
    SetFields("3", "500", "x");
    form2->PresetMenu().Click("DOS1");
    Apply();
    EXPECT_EQ(cpuPeriods, TimerProbe::PeriodsStarted(Probe(*form1).CpuTimer())) << "a new list period leaves the CPU period alone";
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ("'x' is not a valid integer value.", errors[0]);
    EXPECT_EQ(3000u, Probe(*form1).UpdateTimerObject().Interval());
    EXPECT_EQ(1000u, Probe(*form1).CpuTimer().Interval());
    EXPECT_EQ(200u, Probe(*form1).RepaintTimer().Interval());
    EXPECT_EQ(0xA8A8A8u, Probe(*form1).Grid().Color());
    EXPECT_TRUE(form2->Visible());
}

TEST_F(SettingsDialog, SaveStoresAppliesAndConfirmsForASecond) {
    Open();
    SetFields("5", "300", "2");
    form2->PresetMenu().Click("DOS1");
    Save();
    // Checked before any message is taken: the confirmation's second may pass
    // at any later moment on a slow machine.
    EXPECT_TRUE(form2->ConfirmationVisible());
    EXPECT_TRUE(form2->ConfirmTimer().Enabled());
    EXPECT_EQ(1000u, form2->ConfirmTimer().Interval());
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(2000u, StoredNumber("CPUUpdate"));
    EXPECT_EQ(5000u, StoredNumber("Update"));
    EXPECT_EQ(300u, StoredNumber("Repaint"));
    EXPECT_EQ(0x000000u, StoredNumber("CFon"));
    EXPECT_EQ(0xA8A8A8u, StoredNumber("CHead"));
    EXPECT_EQ(0xFFFFFFu, StoredNumber("CFont"));
    EXPECT_EQ("MS Sans Serif", StoredText(kSettingsKey, "Font"));
    EXPECT_FALSE(IsStored(kRunKey, kAutorunValueName));
    EXPECT_FALSE(form2->Visible());
    EXPECT_EQ(5000u, Probe(*form1).UpdateTimerObject().Interval());
    EXPECT_EQ(0x000000u, Probe(*form1).Grid().Color());

    Open();
    EXPECT_EQ("5", WindowText(form2->Edit1Handle()));
    // The second ends: the confirmation goes and its timer stops.
    EXPECT_TRUE(PumpUntil([&] { return !form2->ConfirmationVisible(); }));
    EXPECT_FALSE(form2->ConfirmTimer().Enabled());
}

TEST_F(SettingsDialog, AutorunFlagFollowsASuccessfulSave) {
    Open();
    ::SendMessageW(form2->AutorunBox(), BM_SETCHECK, BST_CHECKED, 0);
    Save();
    ASSERT_TRUE(errors.empty());
    EXPECT_EQ(AutorunCommand(RunningExecutablePath()), StoredText(kRunKey, kAutorunValueName));
    EXPECT_TRUE(AutorunRegistered);
    Open();
    EXPECT_TRUE(AutorunTicked());

    ::SendMessageW(form2->AutorunBox(), BM_SETCHECK, BST_UNCHECKED, 0);
    Save();
    EXPECT_FALSE(IsStored(kRunKey, kAutorunValueName));
    EXPECT_FALSE(AutorunRegistered);
    Open();
    EXPECT_FALSE(AutorunTicked());
}

TEST_F(SettingsDialog, ColourDialogOpensOnTheLastConfirmedColourAndCancelChangesNothing) {
    Open();
    COLORREF openedOn = 1;
    COLORREF answer = 0x123456;
    bool confirm = true;
    form2->Colore().choose = [&](CHOOSECOLORW& cc) {
        openedOn = cc.rgbResult;
        EXPECT_TRUE(cc.Flags & CC_RGBINIT);
        if (confirm) cc.rgbResult = answer;
        return confirm ? TRUE : FALSE;
    };
    form2->FonClick();
    EXPECT_EQ(0x000000u, openedOn) << "black before the first confirmation";
    EXPECT_EQ(0x123456u, form2->Preview().Color());

    confirm = false;
    form2->HedClick();
    EXPECT_EQ(0x123456u, openedOn);
    EXPECT_EQ(0xC0C0C0u, form2->Preview().FixedColor()) << "a cancelled choice leaves the preview";

    confirm = true;
    answer = 0x00FF00;
    ClickOn(form2->Background().Handle(), 50, 52);  // "Цвет текста"
    EXPECT_EQ(0x123456u, openedOn);
    EXPECT_EQ(0x00FF00u, form2->Preview().FontColor());
}

TEST_F(SettingsDialog, HoverTurnsColourLabelsBlueAndThePanelTurnsThemBack) {
    Open();
    Panel& panel = form2->Background();
    ::SendMessageW(panel.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(50, 36));   // "Цвет фона"
    ::SendMessageW(panel.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(140, 36));  // "Цвет заголовка"
    EXPECT_EQ(0xFF0000u, panel.FindLabel("Fon")->color);
    EXPECT_EQ(0xFF0000u, panel.FindLabel("Hed")->color);
    EXPECT_EQ(0x000000u, panel.FindLabel("txt")->color);
    ::SendMessageW(panel.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 280));
    EXPECT_EQ(0x000000u, panel.FindLabel("Fon")->color);
    EXPECT_EQ(0x000000u, panel.FindLabel("Hed")->color);
}

TEST_F(SettingsDialog, OpenCommandsKeepPendingChoicesAndHidingDropsThem) {
    Probe(*form1).TrayMenu().Click("N3");
    Pump();
    ASSERT_TRUE(form2->Visible());
    form2->PresetMenu().Click("DOS1");
    ::RedrawWindow(form2->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Probe(*form1).SettingClick();
    Pump();
    EXPECT_EQ(0x000000u, form2->Preview().Color()) << "neither a repaint nor a second open refills";
    EXPECT_EQ(form2->Handle(), ::GetForegroundWindow());

    PostKey(form2->Edit1Handle(), VK_ESCAPE);
    Pump();
    EXPECT_FALSE(form2->Visible());
    EXPECT_EQ(0xA8A8A8u, Probe(*form1).Grid().Color());
    Open();
    EXPECT_EQ(0xA8A8A8u, form2->Preview().Color());

    form2->Close();
    Pump();
    EXPECT_FALSE(form2->Visible());
    EXPECT_TRUE(::IsWindow(form2->Handle()));
}

}  // namespace
