// The search window in the whole program: layout, placement at every paint,
// the filter, the selection keys and kills of real child processes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/Text.h"
#include "gui/Controls.h"
#include "tests/win32/ProgramFixture.h"
#include "tests/win32/reliability_support.h"

using namespace zelvane;
using namespace zelvane::testing;

namespace {

// The start of the names of this test process's children (Victim copies of
// sleeper_child.exe): a filter on it finds only them.
std::string ChildPrefix() { return "srchkid" + std::to_string(::GetCurrentProcessId()) + "_"; }

int Count(HWND list) { return static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0)); }
int Selected(HWND list) { return static_cast<int>(::SendMessageW(list, LB_GETCURSEL, 0, 0)); }

std::string Item(HWND list, int index) { return Narrow(journey::ListItem(list, index)); }

class SearchWindow : public ProgramFixture {
protected:
    HWND Edit() const { return form4->FilterBox(); }
    HWND List() const { return form4->ListBox(); }

    void Open() {
        Probe(*form1).SortProcessClick();
        Pump(50);
    }
    // Types a filter as the user does: the text changes, the change handler runs.
    void Type(const std::string& text) { ::SetWindowTextW(Edit(), Widen(text).c_str()); }
    // A key pressed in the focused control, through the message loop.
    void Press(WORD key) {
        PressKey(key);
        Pump(20);
    }
    // The list's double-click notification, as the list sends it.
    void DoubleClickList() {
        ::SendMessageW(form4->Panel1().Handle(), WM_COMMAND,
                       MAKEWPARAM(::GetDlgCtrlID(List()), LBN_DBLCLK), reinterpret_cast<LPARAM>(List()));
    }
    void Repaint() { ::RedrawWindow(form4->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }
    bool AtMainCorner() const {
        return form4->Left() == form1->Left() + form1->Width() - 296 && form4->Top() == form1->Top() + 20;
    }
    int DataRows() const { return Probe(*form1).Grid().Model().RowCount() - 1; }
};

}  // namespace

TEST_F(SearchWindow, OpensAtTheMainCornerWithEveryNameAndGivesTheFocusBack) {
    Open();
    ASSERT_TRUE(form4->Visible());
    EXPECT_EQ(296, form4->Width());
    EXPECT_EQ(348, form4->Height());
    EXPECT_TRUE(::GetWindowLongW(form4->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(AtMainCorner());

    const HWND panel = form4->Panel1().Handle();
    EXPECT_EQ((Xywh{8, 8, 281, 21}), XywhOf(RectIn(Edit(), panel)));
    EXPECT_EQ((Xywh{8, 32, 281, 286}), XywhOf(RectIn(List(), panel)));
    EXPECT_EQ(16, ::SendMessageW(List(), LB_GETITEMHEIGHT, 0, 0));
    const LONG listStyle = ::GetWindowLongW(List(), GWL_STYLE);
    EXPECT_FALSE(listStyle & (LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL));
    EXPECT_FALSE(::GetWindowLongW(Edit(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);

    // Every data row of the table, in table order, nothing selected.
    const auto& table = Probe(*form1).Grid().Model();
    ASSERT_EQ(DataRows(), Count(List()));
    EXPECT_EQ("1-> " + table.Cell(0, 1), Item(List(), 0));
    EXPECT_EQ(std::to_string(DataRows()) + "-> " + table.Cell(0, DataRows()), Item(List(), DataRows() - 1));
    EXPECT_EQ(-1, Selected(List()));

    // Later activations give the focus back to the control that had it.
    ::SetFocus(List());
    ::SetActiveWindow(form1->Handle());
    Pump(20);
    ::SetActiveWindow(form4->Handle());
    Pump(20);
    EXPECT_EQ(List(), ::GetFocus());
}

TEST_F(SearchWindow, EveryPaintPutsItBackAndClearsTheFilter) {
    Open();
    Type("zzz-no-such-name");
    EXPECT_EQ(0, Count(List()));

    // Dragged away, and the main window moved: both hold until the next paint.
    form4->SetPosition(form4->Left() - 200, form4->Top() + 150);
    form1->SetPosition(form1->Left() + 10, form1->Top() + 10);
    Pump(50);
    EXPECT_FALSE(AtMainCorner());
    Repaint();
    EXPECT_TRUE(AtMainCorner());
    EXPECT_EQ("", WindowText(Edit()));
    EXPECT_EQ(DataRows(), Count(List()));

    // A paint with the window in place leaves it where it is.
    const RECT before = form4->Bounds();
    Repaint();
    Pump(50);
    const RECT after = form4->Bounds();
    EXPECT_TRUE(::EqualRect(&before, &after));
}

TEST_F(SearchWindow, DownAndEnterKillTheTypedProcessAndListEverythingAgain) {
    Victim child(ChildPrefix() + "a");
    ASSERT_TRUE(child.Start());
    Open();
    ASSERT_EQ(Edit(), ::GetFocus());
    Type(child.Name().substr(0, child.Name().size() - 3));
    ASSERT_EQ(1, Count(List()));
    EXPECT_NE(std::string::npos, Item(List(), 0).find("-> " + child.Name()));

    Press(VK_DOWN);
    EXPECT_EQ(0, Selected(List()));
    // The delayed rebuild must not come while the test still pumps the key:
    // it would switch its timer off before the check below.
    Probe(*form1).RepaintTimer().SetInterval(kPatienceMs);
    Press(VK_RETURN);
    EXPECT_EQ(4u, child.WaitExitCode());
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ("Процесс " + child.Name() + " выгружен.", Probe(*form1).StatusText());
    EXPECT_EQ("", WindowText(Edit()));
    EXPECT_EQ(DataRows(), Count(List()));
    EXPECT_TRUE(Probe(*form1).RepaintTimer().Enabled());
}

TEST_F(SearchWindow, DoubleClickAndEnterInTheListKillTheChosenProcess) {
    Victim first(ChildPrefix() + "a"), second(ChildPrefix() + "b");
    ASSERT_TRUE(first.Start() && second.Start());
    Open();
    Type(ChildPrefix());
    ASSERT_EQ(2, Count(List()));
    ::SendMessageW(List(), LB_SETCURSEL, 1, 0);
    DoubleClickList();
    EXPECT_TRUE(errors.empty());
    // The system ends a killed process after the call returned.
    ASSERT_TRUE(PumpUntil([&] { return !first.Running() || !second.Running(); }));
    const bool firstGone = !first.Running();
    EXPECT_NE(firstGone, !second.Running());
    EXPECT_EQ(4u, firstGone ? first.WaitExitCode() : second.WaitExitCode());

    // Enter in the list kills the other one.
    form1->ListProcesses();
    Repaint();
    Type(ChildPrefix());
    ASSERT_EQ(1, Count(List()));
    ::SetFocus(List());
    Press(VK_DOWN);
    Press(VK_RETURN);
    EXPECT_EQ(4u, first.WaitExitCode());
    EXPECT_EQ(4u, second.WaitExitCode());
}

TEST_F(SearchWindow, UpAndDownMoveTheSelectionWithoutABoundsCheck) {
    Open();
    ASSERT_GT(Count(List()), 1);
    form4->Edit1KeyDown(VK_UP, 0);  // nothing selected: -2 is ignored
    EXPECT_EQ(-1, Selected(List()));
    form4->Edit1KeyDown(VK_DOWN, 0);
    EXPECT_EQ(0, Selected(List()));
    form4->Edit1KeyDown(VK_DOWN, 0);
    EXPECT_EQ(1, Selected(List()));
    form4->Edit1KeyDown(VK_UP, 0);
    form4->Edit1KeyDown(VK_UP, 0);  // up from the first: no selection
    EXPECT_EQ(-1, Selected(List()));

    const int last = Count(List()) - 1;
    ::SendMessageW(List(), LB_SETCURSEL, static_cast<WPARAM>(last), 0);
    form4->Edit1KeyDown(VK_DOWN, 0);  // down on the last: unchanged
    EXPECT_EQ(last, Selected(List()));
    EXPECT_TRUE(errors.empty());
}

TEST_F(SearchWindow, NothingSelectedOrARowThatChangedKillsNothing) {
    Victim child(ChildPrefix() + "a");
    ASSERT_TRUE(child.Start());
    Open();
    Type(child.Name());
    ASSERT_EQ(1, Count(List()));

    // Enter and a double click with nothing selected: the list's index error.
    ASSERT_EQ(Edit(), ::GetFocus());
    Press(VK_RETURN);
    DoubleClickList();
    EXPECT_EQ((std::vector<std::string>{"List index out of bounds (-1)", "List index out of bounds (-1)"}), errors);
    EXPECT_EQ(child.Name(), WindowText(Edit()));
    errors.clear();

    // The table was rebuilt under the list and the row now holds another
    // process: nothing is killed, the list is reloaded.
    form4->Edit1KeyDown(VK_DOWN, 0);
    const int row = std::stoi(Item(List(), 0));
    auto& table = Probe(*form1).Grid().Model();
    table.SetCell(0, row, "another");
    table.SetCell(1, row, "1");
    table.SetKey(row, RowKey{1, 1});
    Press(VK_RETURN);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ("", WindowText(Edit()));
    EXPECT_EQ(DataRows(), Count(List()));
    EXPECT_EQ("another", Item(List(), row - 1).substr(Item(List(), row - 1).find("-> ") + 3));

    // The table lost the row: the table's index error, nothing killed.
    form1->ListProcesses();
    Repaint();
    Type(child.Name());
    form4->Edit1KeyDown(VK_DOWN, 0);
    const int rowNow = std::stoi(Item(List(), 0));
    table.SetRowCount(rowNow);
    Press(VK_RETURN);
    EXPECT_EQ(std::vector<std::string>{"Grid index out of range."}, errors);
    Pump(100);
    EXPECT_TRUE(child.Running());
}

TEST_F(SearchWindow, AStaleItemNeverKillsAnotherProcessOfTheSameName) {
    // Two copies of one program: the same name in two rows.
    const ProgramCopy twin(L"sleeper_child.exe", Widen(ChildPrefix()) + L"twin.exe");
    const ChildProcess first(twin.Path()), second(twin.Path());

    form1->ListProcesses();
    Open();
    Type(ChildPrefix() + "twin");
    ASSERT_EQ(2, Count(List()));
    auto& table = Probe(*form1).Grid().Model();
    const int rowA = std::stoi(Item(List(), 0)), rowB = std::stoi(Item(List(), 1));
    // Each item carries the key (identifier and creation time) of its process.
    const auto KeyOfItem = [&](int index) {
        return form4->Keys().at(static_cast<std::size_t>(::SendMessageW(List(), LB_GETITEMDATA, static_cast<WPARAM>(index), 0)));
    };
    const RowKey keyA = table.Key(rowA), keyB = table.Key(rowB);
    EXPECT_EQ(table.Cell(1, rowA), std::to_string(keyA.id));
    EXPECT_NE(0u, keyA.created);
    EXPECT_EQ(keyA, KeyOfItem(0));
    EXPECT_EQ(keyB, KeyOfItem(1));

    // The first item's process went away and the rebuilt table holds the other
    // copy in its row, under the open list: Enter kills nothing.
    const std::string idA = table.Cell(1, rowA);
    const bool aFirst = idA == std::to_string(first.Pid());
    const ChildProcess& ofA = aFirst ? first : second;
    const ChildProcess& ofB = aFirst ? second : first;
    const auto StaleEnterKillsNothing = [&] {
        form4->Edit1KeyDown(VK_DOWN, 0);
        Press(VK_RETURN);
        EXPECT_TRUE(errors.empty());
        Pump(100);
        EXPECT_TRUE(ofA.Running());
        EXPECT_TRUE(ofB.Running());
        EXPECT_EQ("", WindowText(Edit()));  // the list was reloaded
        EXPECT_EQ(DataRows(), Count(List()));
    };
    table.SetCell(1, rowA, table.Cell(1, rowB));
    table.SetKey(rowA, keyB);
    StaleEnterKillsNothing();

    // Nor when the row shows the same identifier, given since to a process
    // created later.
    table.SetCell(1, rowA, idA);
    table.SetKey(rowA, keyA);
    Repaint();
    Type(ChildPrefix() + "twin");
    table.SetKey(rowA, RowKey{keyA.id, keyA.created + 1});
    StaleEnterKillsNothing();

    // Chosen afresh, the item kills its own process.
    table.SetKey(rowA, keyA);
    Repaint();
    Type(ChildPrefix() + "twin");
    form4->Edit1KeyDown(VK_DOWN, 0);
    Press(VK_RETURN);
    EXPECT_EQ(4u, ofA.WaitExitCode());
    EXPECT_TRUE(ofB.Running());
}
