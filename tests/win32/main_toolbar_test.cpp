// The main window's tool bar clicked with the mouse: each button runs its own
// command, and "Автообновление" stays down until it is clicked again; and the
// same from the keyboard, with the key table's keys kept on the bar.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <utility>
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

namespace {

// A key's press and release where the focus is, through the program's loop;
// Shift held for `shifted`.
void Press(WORD key, bool shifted = false, bool down = true, bool up = true) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = shifted ? 0x80 : 0;
    ::SetKeyboardState(keys);
    PressKey(key, down, up);
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
}

// The pixels of the line `y` across button `index`, as the bar draws them now.
std::vector<COLORREF> LineAcross(HWND bar, int index, int y) {
    RECT r{};
    ::SendMessageW(bar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return PixelsOf(bar, {r.left, r.top + y, r.right, r.top + y + 1});
}

}  // namespace

TEST_F(MainToolBarTest, KeysTakeTheFocusRoundAndEnterPressesOnItsRelease) {
    const HWND grid = Probe(*form1).Grid().Handle();
    const HWND bar = Probe(*form1).ToolBar();
    const HWND titlePanel = form1->Panel2().Handle();
    ::SetFocus(grid);
    const std::vector<COLORREF> first = LineAcross(bar, 0, 2), second = LineAcross(bar, 1, 2);
    // Tab: table, tool bar, picture panel, table; Shift+Tab the other way.
    const std::pair<bool, HWND> cycle[] = {{false, bar}, {false, titlePanel}, {false, grid}, {true, titlePanel},
                                           {true, bar}};
    for (const auto& [back, next] : cycle) {
        Press(VK_TAB, back);
        ASSERT_EQ(next, ::GetFocus()) << (back ? "Shift+Tab" : "Tab");
    }
    // The first button has the focus, drawn on it as a dotted frame, and
    // only there.
    EXPECT_NE(first, LineAcross(bar, 0, 2));
    EXPECT_EQ(second, LineAcross(bar, 1, 2));

    // The arrows, Home and End go from button to button past the separators.
    const struct {
        WORD key;
        int button;
    } moves[] = {{VK_LEFT, 0}, {VK_RIGHT, 1}, {VK_END, 8}, {VK_LEFT, 6}, {VK_LEFT, 4}, {VK_RIGHT, 6},
                 {VK_RIGHT, 8}, {VK_RIGHT, 8}, {VK_HOME, 0}};
    for (const auto& m : moves) {
        Press(m.key);
        EXPECT_EQ(m.button, Probe(*form1).ToolBarFocus()) << "key " << m.key;
    }
    EXPECT_EQ(bar, ::GetFocus());

    // Enter on "[Обновить]" rebuilds once, when it comes up.
    int rebuilds = counted.rebuilds;
    Press(VK_RETURN, false, true, false);
    EXPECT_EQ(rebuilds, counted.rebuilds) << "on the press";
    Press(VK_RETURN, false, false, true);
    EXPECT_EQ(rebuilds + 1, counted.rebuilds);
    // A release whose press went to the table presses nothing.
    ::SetFocus(grid);
    Press(VK_RETURN, false, true, false);
    ::SetFocus(bar);
    Press(VK_RETURN, false, false, true);
    EXPECT_EQ(rebuilds + 1, counted.rebuilds);

    // The key table keeps its keys on the tool bar: Space on the kill button
    // rebuilds and kills nothing, Delete kills, Esc hides.
    Press(VK_RIGHT);
    Press(VK_RIGHT);
    rebuilds = counted.rebuilds;
    Press(VK_SPACE);
    EXPECT_EQ(rebuilds + 1, counted.rebuilds);
    EXPECT_TRUE(killed.empty());
    Press(VK_DELETE);
    EXPECT_EQ(1u, killed.size());
    Press(VK_ESCAPE);
    EXPECT_FALSE(form1->Visible());
    EXPECT_TRUE(errors.empty());
}
