// The main window's commands on processes: kill (menu, key, double click, tool
// button), priority, the delayed rebuild, and the CPU indicator's error box.
#include <windows.h>

#include <commctrl.h>

#include "base/Error.h"
#include "cpu/LoadIndicator.h"
#include "processes/ProcessTable.h"
#include "tests/win32/ProgramFixture.h"

using namespace zelvane;
using namespace zelvane::testing;

namespace {

int RowOf(const GridModel& m, DWORD pid) {
    const std::string text = std::to_string(pid);
    for (int r = 1; r < m.RowCount(); ++r)
        if (m.Cell(kColPid, r) == text) return r;
    return -1;
}

// A process to kill that does nothing else.
struct Child : ChildProcess {
    Child() : ChildProcess(L"sleeper_child.exe") {}
};

class MainCommands : public ProgramFixture {
protected:
    int Select(const ChildProcess& c) {
        form1->ListProcesses();
        const int row = RowOf(form1->Grid().Model(), c.Pid());
        if (row > 0) form1->Grid().SelectRow(row);
        return row;
    }
};

}  // namespace

TEST_F(MainCommands, DeleteKillsTheSelectedChildWithCodeFourAndRebuildsLater) {
    Child child;
    ASSERT_GT(Select(child), 0);
    PumpUntil([&] { return !form1->RepaintTimer().Enabled(); });
    form1->FormKeyUp(VK_DELETE, 0);
    EXPECT_EQ(4u, child.WaitExitCode());
    EXPECT_EQ("Процесс sleeper_child выгружен.", form1->StatusText());
    EXPECT_TRUE(form1->RepaintTimer().Enabled());
    // The delayed rebuild drops the ended child and switches the timer off.
    EXPECT_TRUE(PumpUntil([&] { return !form1->RepaintTimer().Enabled(); }));
    EXPECT_LT(RowOf(form1->Grid().Model(), child.Pid()), 0);
}

TEST_F(MainCommands, OnlyTheTopmostOfSeveralSelectedRowsIsKilled) {
    Child a, b;
    form1->ListProcesses();
    const auto& m = form1->Grid().Model();
    int ra = RowOf(m, a.Pid()), rb = RowOf(m, b.Pid());
    ASSERT_GT(ra, 0);
    ASSERT_GT(rb, 0);
    form1->Grid().SelectRow(std::min(ra, rb));
    form1->Grid().Model().ExtendSelection(std::max(ra, rb));
    form1->N6Click();
    Child& top = ra < rb ? a : b;
    Child& other = ra < rb ? b : a;
    EXPECT_EQ(4u, top.WaitExitCode());
    Pump(100);
    EXPECT_TRUE(other.Running());
}

TEST_F(MainCommands, KillButtonRebuildsAtOnceAndAgainAfterTheInterval) {
    Child child;
    ASSERT_GT(Select(child), 0);
    PumpUntil([&] { return !form1->RepaintTimer().Enabled(); });
    form1->KillProcsClick();
    EXPECT_EQ(4u, child.WaitExitCode());
    EXPECT_TRUE(form1->RepaintTimer().Enabled());
    EXPECT_TRUE(PumpUntil([&] { return !form1->RepaintTimer().Enabled(); }));
    EXPECT_LT(RowOf(form1->Grid().Model(), child.Pid()), 0);
}

TEST_F(MainCommands, BadIdentifierReportsAndNeitherKillsNorArmsTheTimer) {
    PumpUntil([&] { return !form1->RepaintTimer().Enabled(); });
    auto& m = form1->Grid().Model();
    m.SetCell(kColPid, 1, "abc");
    form1->Grid().SelectRow(1);
    ::SendMessageW(form1->Handle(), WM_NULL, 0, 0);
    Guarded([&] { form1->N6Click(); });
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ("'abc' is not a valid integer value.", errors[0]);
    EXPECT_FALSE(form1->RepaintTimer().Enabled());
}

TEST_F(MainCommands, PriorityItemsSetTheClassAndRebuild) {
    Child child;
    ASSERT_GT(Select(child), 0);
    form1->TableMenu().Click("N4Idle1");
    EXPECT_EQ(static_cast<DWORD>(IDLE_PRIORITY_CLASS), ::GetPriorityClass(child.Handle()));
    form1->TableMenu().Click("N13High1");
    EXPECT_EQ(static_cast<DWORD>(HIGH_PRIORITY_CLASS), ::GetPriorityClass(child.Handle()));
    form1->TableMenu().Click("N8Normal1");
    EXPECT_EQ(static_cast<DWORD>(NORMAL_PRIORITY_CLASS), ::GetPriorityClass(child.Handle()));
    // The rebuild kept the selection on the child (its row may have moved).
    const auto& m = form1->Grid().Model();
    EXPECT_EQ(std::to_string(child.Pid()), m.Cell(kColPid, m.SelTop()));
}

TEST_F(MainCommands, TrayClickAndOpenItemShowTheWindowAndRebuild) {
    form1->Hide();
    Child child;
    form1->JvTrayIcon1Click();
    EXPECT_TRUE(form1->Visible());
    EXPECT_GT(RowOf(form1->Grid().Model(), child.Pid()), 0);
    form1->Hide();
    form1->TrayMenu().ClickDefault();
    EXPECT_TRUE(form1->Visible());
}

TEST_F(MainCommands, SpaceRebuildsWhileTheGridHasTheFocus) {
    ::SetFocus(form1->Grid().Handle());
    Child child;
    EXPECT_LT(RowOf(form1->Grid().Model(), child.Pid()), 0);
    MSG msg{form1->Grid().Handle(), WM_KEYUP, VK_SPACE, 0, 0, {}};
    form1->PreviewKey(msg);
    EXPECT_GT(RowOf(form1->Grid().Model(), child.Pid()), 0);
}

namespace {

// A sampler that fails on demand.
class FailingSampler : public LoadSampler {
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

}  // namespace

TEST_F(MainCommands, CpuTickSetsTheGaugeAndAFailureKeepsItWithOneErrorBoxAtATime) {
    FailingSampler sampler;
    form1->SetSampler(&sampler);
    form1->CPUUasgeTimerTimer();
    EXPECT_EQ(5, form1->TrayIcon().IconIndex());
    EXPECT_EQ("Загрузка ЦП: 50%", form1->TrayIcon().Hint());

    sampler.fail = true;
    // While the first error box is open, further ticks fail without a box.
    int nested = 0;
    Application::Get().errorSink = [&](const std::string& text) {
        errors.push_back(text);
        for (int i = 0; i < 3; ++i) {
            form1->CPUUasgeTimerTimer();
            ++nested;
        }
    };
    form1->CPUUasgeTimerTimer();
    EXPECT_EQ(3, nested);
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ("Unable to locate the \"Processor\" performance object.", errors[0]);
    EXPECT_EQ(5, form1->TrayIcon().IconIndex());
    EXPECT_EQ("Загрузка ЦП: 50%", form1->TrayIcon().Hint());
    EXPECT_TRUE(form1->CpuTimer().Enabled());
    // Once the box is closed, the next failure is reported again.
    Application::Get().errorSink = [&](const std::string& text) { errors.push_back(text); };
    form1->CPUUasgeTimerTimer();
    EXPECT_EQ(2u, errors.size());
    form1->SetSampler(nullptr);
}

namespace {

// Three instances with their own loads; ProcessorLoad(failAt) fails.
class ThreeInstances : public LoadSampler {
public:
    int failAt = -1;
    void TakeSample() override {}
    std::int32_t ProcessorCount() override { return 3; }
    double ProcessorLoad(std::int32_t i) override {
        if (i == failAt) throw Error("CPU index out of bounds");
        static const double loads[3] = {0.95, 0.35, 0.12};
        return loads[i];
    }
};

}  // namespace

TEST_F(MainCommands, CpuTickShowsTheLastInstanceOrWhatWasSetBeforeAFailure) {
    ThreeInstances sampler;
    form1->SetSampler(&sampler);
    form1->CPUUasgeTimerTimer();
    EXPECT_EQ(1, form1->TrayIcon().IconIndex());
    EXPECT_EQ("Загрузка ЦП: 12%", form1->TrayIcon().Hint());

    sampler.failAt = 2;
    form1->CPUUasgeTimerTimer();
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ(3, form1->TrayIcon().IconIndex());
    EXPECT_EQ("Загрузка ЦП: 35%", form1->TrayIcon().Hint());
    form1->SetSampler(nullptr);
}

TEST_F(MainCommands, CpuIntervalZeroGivesNoTicks) {
    FailingSampler sampler;
    form1->SetSampler(&sampler);
    form1->CpuTimer().SetInterval(0);
    Pump(1500);
    EXPECT_EQ(0, sampler.samples);
    form1->CpuTimer().SetInterval(50);
    EXPECT_TRUE(PumpUntil([&] { return sampler.samples > 0; }));
    form1->SetSampler(nullptr);
}
