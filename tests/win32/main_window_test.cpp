#include <windows.h>

#include <commctrl.h>

#include <functional>

#include "processes/ProcessTable.h"
#include "tests/win32/ProgramFixture.h"

using namespace zelvane;
using namespace zelvane::testing;

using MainWindowTest = ProgramFixture;

TEST_F(MainWindowTest, StartsWithTheHeaderTheTableAndTheTitle) {
    const auto& model = Probe(*form1).Grid().Model();
    EXPECT_EQ("Имя программы", model.Cell(0, 0));
    EXPECT_EQ("Путь к программе", model.Cell(5, 0));
    EXPECT_GT(model.RowCount(), 2);
    EXPECT_EQ("Перед вами всё что висит в памяти:", Probe(*form1).StatusText());
    EXPECT_EQ(::FindWindowW(nullptr, L"Zelvane"), Application::Get().Handle());
    RECT r;
    ::GetClientRect(form1->Handle(), &r);
    EXPECT_EQ((Xywh{0, 0, 626, 460}), XywhOf(r));
    EXPECT_EQ((::GetSystemMetrics(SM_CXSCREEN) - form1->Width()) / 2, form1->Left());
    EXPECT_EQ((::GetSystemMetrics(SM_CYSCREEN) - form1->Height()) / 2, form1->Top());
    EXPECT_EQ(300, Probe(*form1).Grid().ColWidth(5));
    EXPECT_FALSE(Probe(*form1).UpdateTimerObject().Enabled());
    // The one-shot rebuild after start switches itself off (its later ticks
    // are the kill tests').
    EXPECT_TRUE(PumpUntil([&] { return !Probe(*form1).RepaintTimer().Enabled(); }));
}

namespace {

// A look and intervals stored before the program starts, none of them the
// layout's own.
class StoredLook : public ProgramFixture {
protected:
    void SetUp() override {
        StoreSetting(L"Update", 3000);
        StoreSetting(L"Repaint", 700);
        StoreSetting(L"CPUUpdate", 2000);
        StoreSetting(L"CFon", 0x203040);
        StoreSetting(L"CHead", 0x00FFFF);
        StoreSetting(L"CFont", 0xFFFFFF);
        StoreSetting(L"Font", std::wstring(L"Courier New"));
        ProgramFixture::SetUp();
    }
    RegistryGuard registry_;  // made before SetUp, undone after TearDown
};

}  // namespace

TEST_F(StoredLook, AppliesToTheTableAndTheTimersAtStart) {
    ASSERT_TRUE(errors.empty()) << errors.front();
    StringGrid& grid = Probe(*form1).Grid();
    EXPECT_EQ(0x203040u, grid.Color());
    EXPECT_EQ(0x00FFFFu, grid.FixedColor());
    EXPECT_EQ(0xFFFFFFu, grid.FontColor());
    EXPECT_EQ("Courier New", grid.FontName());
    EXPECT_EQ(3000u, Probe(*form1).UpdateTimerObject().Interval());
    EXPECT_EQ(700u, Probe(*form1).RepaintTimer().Interval());
    EXPECT_EQ(2000u, Probe(*form1).CpuTimer().Interval());

    // As painted, beside the texts: the header of the path column, and the
    // identifier cell of a data row that is not selected.
    grid.SelectRow(1);
    ::RedrawWindow(grid.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    WindowDc dc(grid.Handle());
    const int middle = grid.RowHeight() / 2;
    int pathLeft = 0;
    for (int c = 0; c < 5; ++c) pathLeft += grid.ColWidth(c);
    EXPECT_EQ(0x00FFFFu, ::GetPixel(dc.Get(), pathLeft + 200, middle));
    EXPECT_EQ(0x203040u, ::GetPixel(dc.Get(), grid.ColWidth(0) + 60, 3 * grid.RowHeight() + middle));
}

TEST_F(MainWindowTest, OnlyOurOwnWindowsLeadBackToTheirObjects) {
    EXPECT_EQ(form1.get(), Window::FromHandle(form1->Handle()));
    EXPECT_EQ(&form1->Panel1(), Window::FromHandle(form1->Panel1().Handle()));
    // A common control of ours, the desktop, and the taskbar of another process.
    EXPECT_EQ(nullptr, Window::FromHandle(Probe(*form1).ToolBar()));
    EXPECT_EQ(nullptr, Window::FromHandle(::GetDesktopWindow()));
    EXPECT_EQ(nullptr, Window::FromHandle(::FindWindowW(L"Shell_TrayWnd", nullptr)));
    EXPECT_EQ(nullptr, Window::FromHandle(nullptr));
}

TEST_F(MainWindowTest, StripDragsTheWindowPanelsDoNot) {
    RECT w;
    ::GetWindowRect(form1->Handle(), &w);
    auto hit = [](HWND h, int x, int y) {
        return ::SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(x, y));
    };
    EXPECT_EQ(HTCAPTION, hit(form1->Handle(), w.left + 100, w.top + 10));
    RECT p1;
    ::GetWindowRect(form1->Panel1().Handle(), &p1);
    EXPECT_NE(HTCAPTION, hit(form1->Panel1().Handle(), p1.left + 5, p1.bottom - 5));
    RECT p2;
    ::GetWindowRect(form1->Panel2().Handle(), &p2);
    EXPECT_NE(HTCAPTION, hit(form1->Panel2().Handle(), p2.left + 1, p2.top + 1));
}

TEST_F(MainWindowTest, EscAndTheTitlePicturesHideWithoutEndingAndCtrlF4Ends) {
    const std::function<void()> hides[] = {[&] { Probe(*form1).FormKeyUp(VK_ESCAPE, 0); },
                                           [&] { Probe(*form1).Image1Click(); }, [&] { Probe(*form1).Image3Click(); }};
    for (const auto& hide : hides) {
        form1->Show();
        hide();
        EXPECT_FALSE(form1->Visible());
    }
    form1->Show();
    Probe(*form1).FormKeyUp(VK_F4, 0);
    Pump(50);
    EXPECT_FALSE(quitTaken);
    Probe(*form1).FormKeyUp(VK_F4, kCtrl | kShift);
    Pump(20);
    EXPECT_TRUE(quitTaken);
}

TEST_F(MainWindowTest, TickerTypesTheAddress) {
    // The ticker's own timer runs too, so the test looks at one step's result
    // only: a prefix of the address followed by the cursor.
    Probe(*form1).URLTimerTimer();
    const std::string text = Probe(*form1).TickerText();
    ASSERT_FALSE(text.empty());
    EXPECT_EQ('_', text.back());
    const std::string typed = text.substr(0, text.size() - 1);
    EXPECT_FALSE(typed.empty());
    EXPECT_EQ(0u, std::string(kHomePageUrl).find(typed));
}

TEST_F(MainWindowTest, ToolTipsShowTheButtonHintsAndNothingForOtherTips) {
    const HWND tips = reinterpret_cast<HWND>(::SendMessageW(Probe(*form1).ToolBar(), TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(nullptr, tips);
    auto ask = [&](HWND from, UINT_PTR id) {
        NMTTDISPINFOW info{};
        info.hdr.hwndFrom = from;
        info.hdr.idFrom = id;
        info.hdr.code = TTN_GETDISPINFOW;
        ::SendMessageW(form1->Handle(), WM_NOTIFY, id, reinterpret_cast<LPARAM>(&info));
        return std::wstring(info.lpszText ? info.lpszText : L"");
    };
    EXPECT_EQ(L"[Обновить]", ask(tips, 1001));
    EXPECT_EQ(L"[About]", ask(tips, 1007));
    // The button with an empty hint, and a request from another window.
    EXPECT_EQ(L"", ask(tips, 1004));
    EXPECT_EQ(L"", ask(Probe(*form1).StatusBar(), 1001));
}

TEST_F(MainWindowTest, MaximiseGivesThePathColumnTheRest) {
    Probe(*form1).Image2Click();
    Pump(20);
    EXPECT_TRUE(::IsZoomed(form1->Handle()));
    auto& g = Probe(*form1).Grid();
    EXPECT_EQ(form1->Width() - 30 - (g.ColWidth(0) + g.ColWidth(1) + g.ColWidth(2) + g.ColWidth(3) + g.ColWidth(4)),
              g.ColWidth(5));
    Probe(*form1).Image2Click();
    Pump(20);
    EXPECT_FALSE(::IsZoomed(form1->Handle()));
    EXPECT_EQ(300, g.ColWidth(5));

    // A width the user dragged survives hiding (Esc) and a tray click, which
    // size nothing; the next maximise toggle recomputes it.
    g.SetColWidth(5, 177);
    Probe(*form1).FormKeyUp(VK_ESCAPE, 0);
    Pump(20);
    ASSERT_FALSE(form1->Visible());
    Probe(*form1).JvTrayIcon1Click();
    Pump(20);
    ASSERT_TRUE(form1->Visible());
    EXPECT_EQ(177, g.ColWidth(5));
    Probe(*form1).Image2Click();
    Pump(20);
    EXPECT_EQ(form1->Width() - 30 - (g.ColWidth(0) + g.ColWidth(1) + g.ColWidth(2) + g.ColWidth(3) + g.ColWidth(4)),
              g.ColWidth(5));
}

TEST_F(MainWindowTest, AFirstColumnDraggedToTheEdgeKeepsEveryColumnReachableAfterMaximiseAndRestore) {
    StringGrid& g = Probe(*form1).Grid();
    const HWND grid = g.Handle();
    RECT client{};
    ::GetClientRect(grid, &client);
    // The first column's divider dragged to the table's right edge.
    const int divider = g.ColWidth(0) + 1, y = g.RowHeight() / 2;
    ::SendMessageW(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(divider, y));
    ::SendMessageW(grid, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(client.right - 1, y));
    ::SendMessageW(grid, WM_LBUTTONUP, 0, MAKELPARAM(client.right - 1, y));
    ASSERT_EQ(client.right - 2, g.ColWidth(0));

    Probe(*form1).Image2Click();
    Pump(20);
    ASSERT_TRUE(::IsZoomed(form1->Handle()));
    Probe(*form1).Image2Click();
    Pump(20);
    ASSERT_FALSE(::IsZoomed(form1->Handle()));
    // The rule's 626 - (others) - 30 is below nothing: the path column stops
    // at the narrowest a column is.
    EXPECT_EQ(kMinColWidth, g.ColWidth(5));

    // The scroll range is the row of columns as drawn, wider than the view.
    int row = 0;
    for (int c = 0; c < 6; ++c) row += g.ColWidth(c) + StringGrid::kHeaderLine;
    ::GetClientRect(grid, &client);
    SCROLLINFO sh{sizeof sh, SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(::GetScrollInfo(grid, SB_HORZ, &sh));
    EXPECT_EQ(row, sh.nMax + 1);
    EXPECT_EQ(static_cast<UINT>(client.right), sh.nPage);
    EXPECT_GT(sh.nMax + 1, static_cast<int>(sh.nPage));

    // Scrolled to its end, the table shows the first column's divider and
    // every column after it.
    for (int i = 0; i < 100 && g.CellRect(5, 0).right > client.right; ++i) {
        ::SendMessageW(grid, WM_HSCROLL, MAKEWPARAM(SB_PAGERIGHT, 0), 0);
    }
    EXPECT_LE(g.CellRect(5, 0).right, client.right);
    EXPECT_GE(g.CellRect(1, 0).left, 0);
    EXPECT_LT(g.CellRect(0, 0).right, client.right);
}

TEST_F(MainWindowTest, AutoRefreshFollowsTheButtonAlsoWhileHiddenAndArmsNoOtherTimer) {
    Timer& cpu = Probe(*form1).CpuTimer();
    Timer& update = Probe(*form1).UpdateTimerObject();
    ASSERT_TRUE(cpu.Enabled());
    const unsigned cpuPeriods = TimerProbe::PeriodsStarted(cpu);

    // The auto-refresh button starts a period for auto-refresh alone.
    ::SendMessageW(Probe(*form1).ToolBar(), TB_CHECKBUTTON, 1002, TRUE);
    Probe(*form1).AutoReLoadClick();
    ASSERT_TRUE(update.Enabled());
    EXPECT_EQ(cpuPeriods, TimerProbe::PeriodsStarted(cpu));

    // A child that starts while the window is hidden shows up by the timer alone.
    form1->Hide();
    update.SetInterval(50);
    ChildProcess child(L"sleeper_child.exe");
    EXPECT_TRUE(PumpUntil([&] { return RowOfPid(Probe(*form1).Grid().Model(), child.Pid()) > 0; }));

    // Showing the window from hidden arms the ticker again; a kill arms the
    // one-shot rebuild; a new interval restarts only the timer it is for.
    const unsigned updatePeriods = TimerProbe::PeriodsStarted(update);
    form1->Show();
    Probe(*form1).RepaintTimer().SetEnabled(true);
    cpu.SetInterval(cpu.Interval() + 500);
    EXPECT_EQ(cpuPeriods + 1, TimerProbe::PeriodsStarted(cpu));
    EXPECT_EQ(updatePeriods, TimerProbe::PeriodsStarted(update));

    ::SendMessageW(Probe(*form1).ToolBar(), TB_CHECKBUTTON, 1002, FALSE);
    Probe(*form1).AutoReLoadClick();
    EXPECT_FALSE(update.Enabled());
}

TEST_F(MainWindowTest, TableHasTheKeysWheneverTheWindowIsActivated) {
    PumpUntil([&] { return !Probe(*form1).RepaintTimer().Enabled(); });
    const HWND grid = Probe(*form1).Grid().Handle();
    const auto& model = Probe(*form1).Grid().Model();
    EXPECT_EQ(grid, ::GetFocus()) << "right after start";
    // Space there rebuilds: a child started since is listed.
    const ChildProcess child(L"sleeper_child.exe");
    EXPECT_LT(RowOfPid(model, child.Pid()), 0);
    PressKey(VK_SPACE);
    EXPECT_GT(RowOfPid(model, child.Pid()), 0);
    PressKey(VK_END);
    EXPECT_EQ(model.RowCount() - 1, model.CurrentRow());
    PressKey(VK_HOME);
    EXPECT_EQ(1, model.CurrentRow());

    // Hidden with Esc, back through the tray.
    Probe(*form1).FormKeyUp(VK_ESCAPE, 0);
    Pump();
    ASSERT_FALSE(form1->Visible());
    Probe(*form1).JvTrayIcon1Click();
    Pump();
    EXPECT_EQ(grid, ::GetFocus()) << "after the tray's click";
    PressKey(VK_DOWN);
    EXPECT_EQ(2, model.CurrentRow());

    // A control the user put the focus on gets it back when the window is
    // activated again; once it is gone, the table does.
    HWND other = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 40, 20,
                                   form1->Handle(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetFocus(other);
    Probe(*form1).AboutProgClick();
    Pump();
    ASSERT_TRUE(form3->Visible());
    ASSERT_NE(other, ::GetFocus());
    form1->Show();
    Pump();
    EXPECT_EQ(other, ::GetFocus());
    Probe(*form1).AboutProgClick();
    Pump();
    ::DestroyWindow(other);
    form1->Show();
    Pump();
    EXPECT_EQ(grid, ::GetFocus());
}

TEST_F(MainWindowTest, UnchangedTableIsNotRepainted) {
    Probe(*form1).RepaintTimer().SetEnabled(false);  // no rebuild may change the table meanwhile
    Pump(100);
    Probe(*form1).Grid().Refresh();
    Pump(50);
    const int before = Probe(*form1).Grid().PaintCount();
    Probe(*form1).Grid().Refresh();
    Pump(50);
    EXPECT_EQ(before, Probe(*form1).Grid().PaintCount());
}

TEST(ErrorBox, AppendsAFullStopAfterLettersOnly) {
    EXPECT_EQ("'abc' is not a valid integer value.", ErrorBoxText("'abc' is not a valid integer value"));
    EXPECT_EQ("done.", ErrorBoxText("done."));
    EXPECT_EQ("Failed (x)", ErrorBoxText("Failed (x)"));
    EXPECT_EQ("Ошибка.", ErrorBoxText("Ошибка"));
    EXPECT_EQ("", ErrorBoxText(""));
}
