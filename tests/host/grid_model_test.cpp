#include "base/GridModel.h"

#include <gtest/gtest.h>

#include "base/Error.h"

using zelvane::GridModel;
using zelvane::kMinColWidth;
using zelvane::StretchedColumnWidth;

TEST(GridModel, CutKeepsSelectionAndTopInsideTheTable) {
    GridModel g(6, 2);
    g.SetRowCount(41);
    g.SelectRow(25);
    g.SetTopRow(20);
    g.SetRowCount(3);
    EXPECT_EQ(2, g.CurrentRow());
    EXPECT_EQ(2, g.TopRow());
    EXPECT_THROW(g.SelectRow(3), zelvane::Error);
    EXPECT_THROW(g.SelectRow(0), zelvane::Error);
}

TEST(GridModel, RevisionMovesOnlyOnChange) {
    GridModel g(2, 3);
    const auto r0 = g.Revision();
    g.SetCell(0, 1, "a");
    const auto r1 = g.Revision();
    EXPECT_NE(r0, r1);
    g.SetCell(0, 1, "a");
    EXPECT_EQ(r1, g.Revision());
}

TEST(GridModel, KeysStayWithTheirRowsAndGrownRowsHaveNone) {
    using zelvane::RowKey;
    GridModel g(2, 4);
    g.SetKey(1, RowKey{7, 70});
    g.SetKey(3, RowKey{9, 90});
    EXPECT_THROW(g.SetKey(0, RowKey{1, 1}), zelvane::Error);  // the header row has none
    EXPECT_THROW(g.SetKey(4, RowKey{1, 1}), zelvane::Error);

    g.SetRowCount(6);
    EXPECT_EQ((RowKey{7, 70}), g.Key(1));
    EXPECT_EQ((RowKey{9, 90}), g.Key(3));
    EXPECT_EQ(RowKey{}, g.Key(5));

    // A row cut and grown again does not get its old key back.
    g.SetRowCount(3);
    g.SetRowCount(4);
    EXPECT_EQ((RowKey{7, 70}), g.Key(1));
    EXPECT_EQ(RowKey{}, g.Key(3));
    EXPECT_EQ(RowKey{}, g.Key(0));
    EXPECT_EQ(RowKey{}, g.Key(9));
}

// The main window's path column: the window's width less the five other
// columns and 30 pixels at 96 DPI (45 at 150 %).
TEST(StretchedColumn, TakesTheRestOfTheWidthLessTheSpare) {
    EXPECT_EQ(300, StretchedColumnWidth(626, {103, 68, 55, 22, 48, 302}, 5, 30));
    const std::vector<int> dragged{150, 68, 55, 22, 48, 0};
    EXPECT_EQ(1024 - 343 - 30, StretchedColumnWidth(1024, dragged, 5, 30));
    EXPECT_EQ(1536 - 343 - 45, StretchedColumnWidth(1536, dragged, 5, 45));
    EXPECT_EQ(1024 - 0 - 68 - 55 - 22 - 48 - 30, StretchedColumnWidth(1024, dragged, 0, 30));  // any column
}

TEST(StretchedColumn, StopsAtTheGridsNarrowestColumnWhereTheOthersTakeTheWidth) {
    // The first column dragged to the table's right edge, then the window
    // restored to 626 pixels: the rule would give 626 - 797 - 30.
    const std::vector<int> wide{604, 68, 55, 22, 48, 300};
    EXPECT_EQ(kMinColWidth, StretchedColumnWidth(626, wide, 5, 30));
    EXPECT_EQ(kMinColWidth, StretchedColumnWidth(797 + 30, wide, 5, 30));  // exactly nothing left
    EXPECT_EQ(kMinColWidth, StretchedColumnWidth(797 + 30 + kMinColWidth, wide, 5, 30));
    EXPECT_EQ(kMinColWidth + 1, StretchedColumnWidth(797 + 30 + kMinColWidth + 1, wide, 5, 30));
    EXPECT_EQ(kMinColWidth, StretchedColumnWidth(797 + 45 - 1, wide, 5, 45));
    EXPECT_EQ(10, StretchedColumnWidth(797 + 45 + 10, wide, 5, 45));
}
