#include "base/GridModel.h"

#include <gtest/gtest.h>

#include "base/Error.h"

using zelvane::GridModel;

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
