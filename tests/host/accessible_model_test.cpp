#include "base/AccessibleModel.h"

#include <gtest/gtest.h>

#include "processes/ProcessTable.h"
#include "tests/common/process_table_fill.h"

namespace zelvane {
namespace {

using Kind = GridEvent::Kind;
using testing::ProcessTableOf;
using testing::RebuildProcessTable;

ProcessEntry Entry(std::uint32_t pid, const char* exe, std::uint32_t threads = 1, std::uint64_t created = 0) {
    ProcessEntry e;
    e.pid = pid;
    e.exeFile = exe;
    e.threads = threads;
    e.priBase = 8;
    e.path = std::string("C:\\bin\\") + exe;
    e.created = created ? created : pid * 100ull;
    return e;
}

TEST(AccessibleModel, ChildIdsMapRowsCellsItemsAndButtons) {
    EXPECT_EQ(0, TableRowOfChild(1, 3));
    EXPECT_EQ(2, TableRowOfChild(3, 3));
    for (long bad : {0L, -1L, 4L, -2147483647L - 1}) EXPECT_FALSE(TableRowOfChild(bad, 3)) << bad;
    EXPECT_EQ(3, TableRowOfChild(TableChildOfRow(3), 4));
    EXPECT_EQ(5, RowColumnOfChild(6, 6));
    GridModel preview(2, 5);
    EXPECT_EQ(0, ReadableRowCount(preview));
    preview.SetCell(1, 2, "x");  // rows 3 and 4 stay empty
    EXPECT_EQ(3, ReadableRowCount(preview));
    EXPECT_FALSE(RowColumnOfChild(7, 6));

    using S = SurfaceChild::Kind;
    EXPECT_EQ(S::Self, ClassifySurfaceChild(0, 2, 3).kind);
    EXPECT_EQ(S::Item, ClassifySurfaceChild(SurfaceItemChild(1), 2, 3).kind);
    const SurfaceChild w = ClassifySurfaceChild(SurfaceWindowChild(2, 2), 2, 3);
    EXPECT_EQ(S::Window, w.kind);
    EXPECT_EQ(2, w.index);
    EXPECT_EQ(S::None, ClassifySurfaceChild(6, 2, 3).kind);
    EXPECT_EQ(S::None, ClassifySurfaceChild(-4, 2, 3).kind);

    // Reading order: a picture that starts beside the last lines of a long
    // text comes after it; a label and the taller field beside it share a
    // line, read from the left; a tall box beside two lines joins the first.
    EXPECT_EQ((std::vector<int>{1, 0}), ReadingOrder({BoxAt(2, 174, 275, 95), BoxAt(24, 16, 230, 208)}));
    EXPECT_EQ((std::vector<int>{2, 1, 0, 3}),
              ReadingOrder({BoxAt(264, 195, 20, 13), BoxAt(192, 192, 65, 17), BoxAt(16, 195, 150, 13),
                            BoxAt(8, 220, 100, 13)}));
    EXPECT_EQ((std::vector<int>{0, 2, 1, 3}),
              ReadingOrder({BoxAt(48, 32, 54, 13), BoxAt(248, 8, 121, 57), BoxAt(136, 32, 81, 13),
                            BoxAt(48, 48, 62, 13)}));
    EXPECT_EQ((std::vector<int>{0, 1}), ReadingOrder({BoxAt(5, 5, 0, 0), BoxAt(5, 5, 0, 0)}));

    // Separators are no children: the second child is the button after one.
    const std::vector<bool> separators = {false, true, false, true};
    EXPECT_EQ(2, ToolButtonChildCount(separators));
    EXPECT_EQ(0, ToolButtonOfChild(1, separators));
    EXPECT_EQ(2, ToolButtonOfChild(2, separators));
    EXPECT_FALSE(ToolButtonOfChild(3, separators));
    EXPECT_FALSE(ToolButtonOfChild(0, separators));
}

TEST(AccessibleModel, NamesComeFromTheShownTexts) {
    const GridModel t = ProcessTableOf({Entry(4, "System"), Entry(1234, "notepad.exe", 3)});
    EXPECT_EQ("notepad, 1234, 000004D2, 3, 8 (Norm), C:\\bin\\notepad.exe", RowName(t, 2));
    EXPECT_EQ("Имя программы, ProcessID32, ProcessID, Потоки, Приоритет, Путь к программе", RowName(t, 0));

    EXPECT_EQ("Задержка перед обновлением после удаления процесса",
              SpokenText("Задержка перед обновлением\r\n    после удаления процесса"));
    EXPECT_EQ("", SpokenText(" \r\n "));
    EXPECT_EQ("Память (Kb):", FieldLabelOf(" Память (Kb): 1234 "));
    EXPECT_EQ("Выгружаемый пул :", FieldLabelOf(" Выгружаемый пул : 5 "));
    EXPECT_EQ("Создан:", FieldLabelOf(" Создан: 01.02.2020"));
    EXPECT_EQ("", FieldLabelOf("<empty param>"));
}

TEST(AccessibleModel, RowFollowsItsProcessAndNeverAnswersForAnother) {
    GridModel t = ProcessTableOf({Entry(10, "a.exe"), Entry(20, "b.exe"), Entry(30, "c.exe")});
    const RowBinding b = BindRow(t, 2);  // pid 20
    const RowBinding header = BindRow(t, 0);
    RebuildProcessTable(t, std::vector{Entry(5, "new.exe"), Entry(10, "a.exe"), Entry(30, "c.exe"), Entry(20, "b.exe")});
    EXPECT_EQ(4, FindBoundRow(t, b));
    EXPECT_EQ(0, FindBoundRow(t, header));
    // Same identifier, another process (a later creation time): gone.
    RebuildProcessTable(t, std::vector{Entry(10, "a.exe"), Entry(20, "other.exe", 1, 999)});
    EXPECT_FALSE(FindBoundRow(t, b));
    // A table without keys binds rows by number.
    GridModel plain(2, 4);
    EXPECT_EQ(3, FindBoundRow(plain, BindRow(plain, 3)));
    plain.SetRowCount(3);
    EXPECT_FALSE(FindBoundRow(plain, BindRow(GridModel(2, 4), 3)));
}

TEST(AccessibleModel, EventsFollowSelectionAndRebuilds) {
    GridModel t = ProcessTableOf({Entry(10, "a.exe"), Entry(20, "b.exe"), Entry(30, "c.exe")});
    t.SelectRow(2);
    GridAccState told = GridAccStateOf(t);
    EXPECT_TRUE(GridEventsSince(GridAccState{}, t).empty());  // the first look tells nothing

    // An unchanged rebuild tells nothing.
    RebuildProcessTable(t, std::vector{Entry(10, "a.exe"), Entry(20, "b.exe"), Entry(30, "c.exe")});
    EXPECT_TRUE(GridEventsSince(told, t).empty());

    // Down: the selection and the focus on the next row.
    t.SelectRow(3);
    EXPECT_EQ((std::vector<GridEvent>{{Kind::Selection, 3}, {Kind::Focus, 3}}), GridEventsSince(told, t));
    told = GridAccStateOf(t);

    // The selected process moves down a row (the selection follows it): its new row is focused,
    // rows whose text changed are renamed, the table is reordered.
    RebuildProcessTable(t, std::vector{Entry(5, "x.exe"), Entry(10, "a.exe"), Entry(20, "b.exe"), Entry(30, "c.exe")});
    EXPECT_EQ((std::vector<GridEvent>{{Kind::NameChange, 1},
                                      {Kind::NameChange, 2},
                                      {Kind::NameChange, 3},
                                      {Kind::Reorder, -1},
                                      {Kind::Selection, 4},
                                      {Kind::Focus, 4}}),
              GridEventsSince(told, t));
    told = GridAccStateOf(t);

    // A thread count changes: one rename, nothing else.
    RebuildProcessTable(t, std::vector{Entry(5, "x.exe"), Entry(10, "a.exe", 7), Entry(20, "b.exe"), Entry(30, "c.exe")});
    EXPECT_EQ((std::vector<GridEvent>{{Kind::NameChange, 2}}), GridEventsSince(told, t));
    told = GridAccStateOf(t);

    // The selected process ends: the same row number holds another one.
    RebuildProcessTable(t, std::vector{Entry(5, "x.exe"), Entry(10, "a.exe", 7), Entry(20, "b.exe"), Entry(40, "d.exe")});
    const auto events = GridEventsSince(told, t);
    EXPECT_EQ((GridEvent{Kind::Focus, 4}), events.back());
}

TEST(AccessibleModel, RangesTellWhatJoinedAndLeft) {
    GridModel t(2, 60);
    t.SelectRow(5);
    GridAccState told = GridAccStateOf(t);
    t.ExtendSelection(7);
    EXPECT_EQ((std::vector<GridEvent>{{Kind::SelectionAdd, 6}, {Kind::SelectionAdd, 7}, {Kind::Focus, 7}}),
              GridEventsSince(told, t));
    told = GridAccStateOf(t);
    t.ExtendSelection(6);
    EXPECT_EQ((std::vector<GridEvent>{{Kind::SelectionRemove, 7}, {Kind::Focus, 6}}), GridEventsSince(told, t));
    told = GridAccStateOf(t);
    t.ExtendSelection(59);  // 53 rows join: one summary event
    EXPECT_EQ((std::vector<GridEvent>{{Kind::SelectionWithin, -1}, {Kind::Focus, 59}}), GridEventsSince(told, t));
    told = GridAccStateOf(t);
    t.SelectRow(59);  // back to one row: that row is the selection
    EXPECT_EQ((std::vector<GridEvent>{{Kind::Selection, 59}}), GridEventsSince(told, t));
}

}  // namespace
}  // namespace zelvane
