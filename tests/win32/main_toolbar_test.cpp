// The main window's tool bar clicked with the mouse: each button runs its own
// command, and "Автообновление" stays down until it is clicked again.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "processes/ProcessActions.h"
#include "processes/ProcessSnapshot.h"
#include "processes/ProcessTable.h"
#include "sys/WindowsVersion.h"
#include "tests/win32/ProgramFixture.h"

using namespace zelvane;
using namespace zelvane::testing;

namespace {

// The system's processes, counting the rebuilds.
class CountedSource : public ProcessSource {
public:
    RebuildResult Rebuild(GridModel& table) override {
        ++rebuilds;
        return system_.Rebuild(table);
    }
    int rebuilds = 0;

private:
    SystemProcessSource system_{IsWinNT()};
};

// Kills nothing: notes what it was asked to terminate.
class KillRecorder : public ProcessControl {
public:
    explicit KillRecorder(std::vector<std::uint32_t>& killed) : killed_(killed) {}
    bool Confirm() override { return true; }
    std::unique_ptr<OpenedProcess> Open(std::uint32_t pid, ProcessRight right, bool) override {
        struct Recorded : OpenedProcess {
            std::vector<std::uint32_t>* killed = nullptr;
            std::uint32_t pid = 0;
            std::optional<std::uint64_t> CreationTime() override {  // the real one
                const KernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
                return process ? ProcessCreationTime(process.Get()) : std::nullopt;
            }
            bool Terminate(std::uint32_t) override {
                killed->push_back(pid);
                return true;
            }
            void SetPriorityClass(std::uint32_t) override {}
        };
        auto process = std::make_unique<Recorded>();
        process->killed = right == ProcessRight::Terminate ? &killed_ : nullptr;
        process->pid = pid;
        return process;
    }

private:
    std::vector<std::uint32_t>& killed_;
};

class MainToolBarTest : public ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        form1->SetProcessControl(std::make_unique<KillRecorder>(killed));
        form1->SetProcessSource(&counted);
        // The one-shot rebuild after start is over: rebuilds come from the clicks.
        ASSERT_TRUE(PumpUntil([&] { return !Probe(*form1).RepaintTimer().Enabled(); }));
    }
    // A press and a release of the left button on button `index` (separators
    // count).
    void Click(int index) {
        const HWND bar = Probe(*form1).ToolBar();
        RECT r{};
        ASSERT_TRUE(::SendMessageW(bar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        ::SendMessageW(bar, WM_MOUSEMOVE, 0, at);
        ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(bar, WM_LBUTTONUP, 0, at);
        Pump();
    }

    void TearDown() override {
        form1->SetProcessSource(nullptr);
        ProgramFixture::TearDown();
    }

    std::vector<std::uint32_t> killed;
    CountedSource counted;
};

}  // namespace

TEST_F(MainToolBarTest, EachButtonRunsItsCommand) {
    const int before = counted.rebuilds;
    Click(0);  // [Обновить]
    EXPECT_EQ(before + 1, counted.rebuilds);

    Click(1);  // [Автообновление]
    EXPECT_TRUE(Probe(*form1).UpdateTimerObject().Enabled());
    EXPECT_TRUE(::SendMessageW(Probe(*form1).ToolBar(), TB_ISBUTTONCHECKED, 1002, 0));
    Click(1);
    EXPECT_FALSE(Probe(*form1).UpdateTimerObject().Enabled());

    const GridModel& table = Probe(*form1).Grid().Model();
    const std::uint32_t selected = ParseProcessId(table.Cell(kColPid, table.SelTop()));
    Click(2);  // ["Убрать" процесс]: kills the selected process
    EXPECT_EQ(std::vector<std::uint32_t>{selected}, killed);
    EXPECT_TRUE(errors.empty());

    struct {
        int index;
        Form* window;
    } const opens[] = {{3, form4}, {4, form5}, {6, form2}, {8, form3}};
    for (const auto& o : opens) {
        ASSERT_FALSE(o.window->Visible()) << "button " << o.index;
        Click(o.index);
        EXPECT_TRUE(o.window->Visible()) << "button " << o.index;
    }
    EXPECT_EQ(1u, killed.size());
}
