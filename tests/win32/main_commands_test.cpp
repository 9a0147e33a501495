// The main window's commands on processes: kill (menu, key, double click, tool
// button), priority, the delayed rebuild, and the CPU indicator's error box.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "processes/ProcessControlWin32.h"
#include "processes/ProcessSnapshot.h"
#include "processes/ProcessTable.h"
#include "tests/win32/ProgramFixture.h"
#include "tests/win32/reliability_support.h"

using namespace zelvane;
using namespace zelvane::testing;

namespace {

// A process to kill that does nothing else.
struct Child : ChildProcess {
    Child() : ChildProcess(L"sleeper_child.exe") {}
};

class MainCommands : public ProgramFixture {
protected:
    int Select(const ChildProcess& c) {
        form1->ListProcesses();
        const int row = RowOfPid(Probe(*form1).Grid().Model(), c.Pid());
        if (row > 0) Probe(*form1).Grid().SelectRow(row);
        return row;
    }
};

}  // namespace

TEST_F(MainCommands, DeleteAndTheKillButtonKillTheSelectedChildWithCodeFourAndRebuildLater) {
    const std::function<void()> kills[] = {[&] { Probe(*form1).FormKeyUp(VK_DELETE, 0); },
                                           [&] { Probe(*form1).KillProcsClick(); }};
    for (const auto& kill : kills) {
        Child child;
        ASSERT_GT(Select(child), 0);
        PumpUntil([&] { return !Probe(*form1).RepaintTimer().Enabled(); });
        Probe(*form1).SetStatusText("");
        kill();
        EXPECT_EQ(4u, child.WaitExitCode());
        EXPECT_EQ("Процесс sleeper_child выгружен.", Probe(*form1).StatusText());
        EXPECT_TRUE(Probe(*form1).RepaintTimer().Enabled());
        // The delayed rebuild drops the ended child and switches the timer off.
        EXPECT_TRUE(PumpUntil([&] { return !Probe(*form1).RepaintTimer().Enabled(); }));
        EXPECT_LT(RowOfPid(Probe(*form1).Grid().Model(), child.Pid()), 0);
    }
}

TEST_F(MainCommands, OnlyTheTopmostOfSeveralSelectedRowsIsKilled) {
    Child a, b;
    form1->ListProcesses();
    const auto& m = Probe(*form1).Grid().Model();
    int ra = RowOfPid(m, a.Pid()), rb = RowOfPid(m, b.Pid());
    ASSERT_GT(ra, 0);
    ASSERT_GT(rb, 0);
    Probe(*form1).Grid().SelectRow(std::min(ra, rb));
    Probe(*form1).Grid().Model().ExtendSelection(std::max(ra, rb));
    Probe(*form1).N6Click();
    Child& top = ra < rb ? a : b;
    Child& other = ra < rb ? b : a;
    EXPECT_EQ(4u, top.WaitExitCode());
    Pump(100);
    EXPECT_TRUE(other.Running());
}

namespace {

// What a message box of this thread showed; it is answered from inside its
// own modal loop (a thread timer looks for it there).
struct SeenBox {
    int shown = 0;
    HWND owner = nullptr;
    std::wstring caption;
    std::wstring text;
    std::vector<int> buttons;  // identifiers of the visible buttons
    HICON icon = nullptr;
};

class BoxAnswer {
public:
    explicit BoxAnswer(int answer) : answer_(answer) {
        current_ = this;
        timer_ = ::SetTimer(nullptr, 0, 20, &Look);
    }
    ~BoxAnswer() {
        ::KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    BoxAnswer(const BoxAnswer&) = delete;
    BoxAnswer& operator=(const BoxAnswer&) = delete;

    SeenBox seen;

private:
    static void CALLBACK Look(HWND, UINT, UINT_PTR, DWORD) {
        const HWND box = VisibleWindowOf(::GetCurrentProcessId(), L"#32770");
        if (!box || !current_ || current_->answered_ == box) return;
        current_->answered_ = box;
        SeenBox& seen = current_->seen;
        ++seen.shown;
        seen.owner = ::GetWindow(box, GW_OWNER);
        seen.caption = journey::TextOf(box);
        for (HWND c : journey::ChildrenOf(box)) {
            const std::wstring cls = journey::ClassOf(c);
            const LONG style = ::GetWindowLongW(c, GWL_STYLE);
            if (!journey::Visible(c)) continue;
            if (cls == L"Button") {
                seen.buttons.push_back(::GetDlgCtrlID(c));
            } else if (cls == L"Static" && (style & SS_TYPEMASK) == SS_ICON) {
                seen.icon = reinterpret_cast<HICON>(::SendMessageW(c, STM_GETICON, 0, 0));
            } else if (cls == L"Static" && !journey::TextOf(c).empty()) {
                seen.text = journey::TextOf(c);
            }
        }
        ::PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(current_->answer_), 0);
    }

    static inline BoxAnswer* current_ = nullptr;
    int answer_;
    HWND answered_ = nullptr;
    UINT_PTR timer_ = 0;
};

}  // namespace

TEST_F(MainCommands, ProtectedNameAsksTheWarningQuestionAndOnlyYesKills) {
    ProgramCopy copy(L"sleeper_child.exe", L"askEXPLORERkid.exe");
    std::optional<ChildProcess> child(std::in_place, copy.Path());
    ASSERT_GT(Select(*child), 0);
    const std::string status = Probe(*form1).StatusText();

    // No: the question as the program asks it, then nothing is killed and
    // nothing is reported; the delayed rebuild is armed all the same.
    PumpUntil([&] { return !Probe(*form1).RepaintTimer().Enabled(); });
    {
        BoxAnswer no(IDNO);
        Probe(*form1).N6Click();
        ASSERT_EQ(1, no.seen.shown);
        EXPECT_EQ(L"Warning", no.seen.caption);
        EXPECT_EQ(L"А ты уверен, что хочешь 'прибить' этот процесс?\r           За последствия я не отвечаю!",
                  no.seen.text);
        std::sort(no.seen.buttons.begin(), no.seen.buttons.end());
        EXPECT_EQ((std::vector<int>{IDYES, IDNO}), no.seen.buttons);
        EXPECT_EQ(::LoadIconW(nullptr, IDI_WARNING), no.seen.icon);
        EXPECT_EQ(form1->Handle(), no.seen.owner);
    }
    EXPECT_TRUE(child->Running());
    EXPECT_EQ(status, Probe(*form1).StatusText());
    EXPECT_TRUE(Probe(*form1).RepaintTimer().Enabled());

    // Yes kills.
    {
        BoxAnswer yes(IDYES);
        Probe(*form1).N6Click();
        EXPECT_EQ(1, yes.seen.shown);
    }
    EXPECT_EQ(4u, child->WaitExitCode());
    EXPECT_EQ("Процесс askEXPLORERkid выгружен.", Probe(*form1).StatusText());

    // A box that cannot be shown (its owner is gone) is no consent.
    child.emplace(copy.Path());
    ASSERT_GT(Select(*child), 0);
    HWND gone = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ::DestroyWindow(gone);
    form1->SetProcessControl(std::make_unique<ProcessControlWin32>([gone] { return gone; }));
    Probe(*form1).SetStatusText("-");
    {
        BoxAnswer yes(IDYES);  // would answer a box that showed after all
        Probe(*form1).N6Click();
        EXPECT_EQ(0, yes.seen.shown);
    }
    EXPECT_EQ("-", Probe(*form1).StatusText());
    EXPECT_TRUE(child->Running());
}

TEST_F(MainCommands, AfterTheKillQuestionTheUserIsWhereTheyWere) {
    // The question belongs to the window the kill came from, which is active
    // again afterwards with the focus where it was: a Delete that follows
    // must not reach the main window's table.
    ProgramCopy copy(L"sleeper_child.exe", L"focusEXPLORERkid.exe");
    ChildProcess child(copy.Path());
    const auto killQuestion = [&](HWND from, HWND focus, const std::function<void()>& kill) {
        ASSERT_GT(Select(child), 0);
        ::SetActiveWindow(from);
        ::SetFocus(focus);
        ASSERT_EQ(focus, ::GetFocus());
        BoxAnswer no(IDNO);
        kill();
        ASSERT_EQ(1, no.seen.shown);
        EXPECT_EQ(from, no.seen.owner);
        Pump(50);
        EXPECT_EQ(from, ::GetActiveWindow());
        EXPECT_EQ(focus, ::GetFocus());
    };
    killQuestion(form1->Handle(), Probe(*form1).Grid().Handle(), [&] { Probe(*form1).FormKeyUp(VK_DELETE, 0); });

    Probe(*form1).SortProcessClick();
    Pump(50);
    ::SetWindowTextW(form4->FilterBox(), L"focusEXPLORERkid");
    form4->Edit1KeyDown(VK_DOWN, 0);
    killQuestion(form4->Handle(), form4->FilterBox(), [&] { form4->Edit1KeyDown(VK_RETURN, 0); });
    EXPECT_TRUE(child.Running());
}

TEST_F(MainCommands, RefusedSnapshotSaysSoAndLeavesTheTableAsItWas) {
    form1->ListProcesses();
    Probe(*form1).Grid().SelectRow(2);
    const GridModel before = Probe(*form1).Grid().Model();
    Child child;  // a rebuild would list it
    struct RefusedSnapshot : ProcessSource {
        RebuildResult Rebuild(GridModel&) override {
            ++asked;
            return RebuildResult::SnapshotRefused;
        }
        int asked = 0;
    } refused;
    form1->SetProcessSource(&refused);
    Probe(*form1).RefreshListClick();
    EXPECT_EQ(1, refused.asked);
    EXPECT_EQ("Информация о процессах закрыта.", Probe(*form1).StatusText());
    wchar_t shown[128] = {};
    ::SendMessageW(Probe(*form1).StatusBar(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(shown));
    EXPECT_EQ(L"Информация о процессах закрыта.", std::wstring(shown));
    const GridModel& after = Probe(*form1).Grid().Model();
    ASSERT_EQ(before.RowCount(), after.RowCount());
    for (int row = 0; row < after.RowCount(); ++row) EXPECT_EQ(before.Row(row), after.Row(row)) << "row " << row;
    EXPECT_EQ(2, after.SelTop());
    EXPECT_EQ(2, after.SelBottom());

    // The system's snapshot again: the child is listed, the text stays.
    form1->SetProcessSource(nullptr);
    Probe(*form1).RefreshListClick();
    EXPECT_GT(RowOfPid(Probe(*form1).Grid().Model(), child.Pid()), 0);
    EXPECT_EQ("Информация о процессах закрыта.", Probe(*form1).StatusText());
}

TEST_F(MainCommands, BadIdentifierReportsAndNeitherKillsNorArmsTheTimer) {
    PumpUntil([&] { return !Probe(*form1).RepaintTimer().Enabled(); });
    auto& m = Probe(*form1).Grid().Model();
    m.SetCell(kColPid, 1, "abc");
    Probe(*form1).Grid().SelectRow(1);
    ::SendMessageW(form1->Handle(), WM_NULL, 0, 0);
    Guarded([&] { Probe(*form1).N6Click(); });
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ("'abc' is not a valid integer value.", errors[0]);
    EXPECT_FALSE(Probe(*form1).RepaintTimer().Enabled());
}

TEST_F(MainCommands, PriorityItemsSetTheClassAndRebuild) {
    Child child;
    ASSERT_GT(Select(child), 0);
    Probe(*form1).TableMenu().Click("N4Idle1");
    EXPECT_EQ(static_cast<DWORD>(IDLE_PRIORITY_CLASS), ::GetPriorityClass(child.Handle()));
    Probe(*form1).TableMenu().Click("N13High1");
    EXPECT_EQ(static_cast<DWORD>(HIGH_PRIORITY_CLASS), ::GetPriorityClass(child.Handle()));
    Probe(*form1).TableMenu().Click("N8Normal1");
    EXPECT_EQ(static_cast<DWORD>(NORMAL_PRIORITY_CLASS), ::GetPriorityClass(child.Handle()));
    // The rebuild kept the selection on the child (its row may have moved).
    const auto& m = Probe(*form1).Grid().Model();
    EXPECT_EQ(std::to_string(child.Pid()), m.Cell(kColPid, m.SelTop()));
}

TEST_F(MainCommands, CpuTickSetsTheGaugeAndAFailureKeepsItWithOneErrorBoxAtATime) {
    TestSampler sampler;
    form1->SetSampler(&sampler);
    Probe(*form1).CPUUasgeTimerTimer();
    EXPECT_EQ(5, Probe(*form1).TrayIcon().IconIndex());
    EXPECT_EQ("Загрузка ЦП: 50%", Probe(*form1).TrayIcon().Hint());

    sampler.fail = true;
    // While the first error box is open, further ticks fail without a box.
    int nested = 0;
    SetErrorHandler([&](const std::string& text) {
        errors.push_back(text);
        for (int i = 0; i < 3; ++i) {
            Probe(*form1).CPUUasgeTimerTimer();
            ++nested;
        }
    });
    Probe(*form1).CPUUasgeTimerTimer();
    EXPECT_EQ(3, nested);
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ("Unable to locate the \"Processor\" performance object.", errors[0]);
    EXPECT_EQ(5, Probe(*form1).TrayIcon().IconIndex());
    EXPECT_EQ("Загрузка ЦП: 50%", Probe(*form1).TrayIcon().Hint());
    EXPECT_TRUE(Probe(*form1).CpuTimer().Enabled());
    // Once the box is closed, the next failure is reported again.
    SetErrorHandler([&](const std::string& text) { errors.push_back(text); });
    Probe(*form1).CPUUasgeTimerTimer();
    EXPECT_EQ(2u, errors.size());
}

TEST_F(MainCommands, CpuTickRoundsHalvesToEvenInExtendedPrecision) {
    // What this i686 build computes, as the program's timer shows it: exact
    // halves go to the even neighbour; the doubles nearest 0.135 and 0.005
    // lie just above their halves, which the x87's extended product keeps.
    TestSampler sampler;
    form1->SetSampler(&sampler);
    const struct {
        double load;
        const char* hint;
        int image;
    } cases[] = {
        {0.125, "Загрузка ЦП: 12%", 1}, {0.135, "Загрузка ЦП: 14%", 1}, {0.005, "Загрузка ЦП: 1%", 0},
        {0.625, "Загрузка ЦП: 62%", 6}, {0.875, "Загрузка ЦП: 88%", 8}, {0.985, "Загрузка ЦП: 98%", 10},
    };
    for (const auto& c : cases) {
        sampler.load = c.load;
        Probe(*form1).CPUUasgeTimerTimer();
        EXPECT_EQ(c.hint, Probe(*form1).TrayIcon().Hint()) << c.load;
        EXPECT_EQ(c.image, Probe(*form1).TrayIcon().IconIndex()) << c.load;
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(MainCommands, CpuIntervalZeroGivesNoTicks) {
    TestSampler sampler;
    form1->SetSampler(&sampler);
    Probe(*form1).CpuTimer().SetInterval(0);
    Pump(1500);
    EXPECT_EQ(0, sampler.samples);
    Probe(*form1).CpuTimer().SetInterval(50);
    EXPECT_TRUE(PumpUntil([&] { return sampler.samples > 0; }));
}
