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
