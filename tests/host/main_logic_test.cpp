#include "app/MainLogic.h"

#include <gtest/gtest.h>

#include "base/GridModel.h"

using namespace zelvane;

TEST(MainKeys, EachKeyMatchesItsOwnRowOnly) {
    EXPECT_EQ(MainKeyAction::Search, MainWindowKeyAction(kVkF3, 0));
    EXPECT_EQ(MainKeyAction::Search, MainWindowKeyAction(kVkF3, kShift));
    EXPECT_EQ(MainKeyAction::Search, MainWindowKeyAction(kVkNumpad6, kCtrl));
    EXPECT_EQ(MainKeyAction::Search, MainWindowKeyAction(kVkNumpad6, kCtrl | kShift | kAlt));
    EXPECT_EQ(MainKeyAction::None, MainWindowKeyAction(kVkNumpad6, 0));
    EXPECT_EQ(MainKeyAction::None, MainWindowKeyAction('F', kCtrl));  // the letter F is not keypad 6
    EXPECT_EQ(MainKeyAction::Kill, MainWindowKeyAction(kVkDelete, kCtrl));
    EXPECT_EQ(MainKeyAction::Rebuild, MainWindowKeyAction(kVkSpace, 0));
    EXPECT_EQ(MainKeyAction::Hide, MainWindowKeyAction(kVkEscape, kShift));
}

TEST(MainKeys, CtrlF4EndsTheProgramF4AloneDoesNothing) {
    EXPECT_EQ(MainKeyAction::Close, MainWindowKeyAction(kVkF4, kCtrl));
    EXPECT_EQ(MainKeyAction::Close, MainWindowKeyAction(kVkF4, kCtrl | kShift));
    EXPECT_EQ(MainKeyAction::None, MainWindowKeyAction(kVkF4, 0));
    EXPECT_EQ(MainKeyAction::None, MainWindowKeyAction(kVkF4, kAlt));
}

TEST(Ticker, TypesTheAddressThenStartsAgain) {
    Ticker t("0123456789");
    std::string label;
    for (int i = 0; i < 10; ++i) label = t.Step(label);
    EXPECT_EQ("0123456789_", label);
    label = t.Step(label);
    EXPECT_EQ("0_", label);
    label = t.Step(label);
    EXPECT_EQ("01_", label);
    EXPECT_EQ(2, t.Position());
}

TEST(Ticker, FirstStepOnEmptyLabel) {
    Ticker t("ab");
    EXPECT_EQ("a_", t.Step(""));
}

TEST(PathColumn, TakesTheRestOfTheWindowLessThirty) {
    const int initial[5] = {103, 68, 55, 22, 48};
    EXPECT_EQ(300, PathColumnWidth(626, initial));
    const int dragged[5] = {150, 68, 55, 22, 48};
    EXPECT_EQ(1024 - 343 - 30, PathColumnWidth(1024, dragged));
    // At 150 % the margin is 45 pixels of a window and columns measured at that scale.
    EXPECT_EQ(1536 - 343 - 45, PathColumnWidth(1536, dragged, 144));
}

TEST(PathColumn, StopsAtTheGridsNarrowestColumnWhereTheOthersTakeTheWindow) {
    // The first column dragged to the table's right edge, then the window
    // restored to 626 pixels: the rule would give 626 - 797 - 30.
    const int wide[5] = {604, 68, 55, 22, 48};
    EXPECT_EQ(kMinColWidth, PathColumnWidth(626, wide));
    EXPECT_EQ(kMinColWidth, PathColumnWidth(797 + 30, wide));  // exactly nothing left
    EXPECT_EQ(kMinColWidth, PathColumnWidth(797 + 30 + kMinColWidth, wide));
    EXPECT_EQ(kMinColWidth + 1, PathColumnWidth(797 + 30 + kMinColWidth + 1, wide));
    // At 150 % the margin is 45 pixels: the floor comes 45 pixels past the others.
    EXPECT_EQ(kMinColWidth, PathColumnWidth(797 + 45 - 1, wide, 144));
    EXPECT_EQ(10, PathColumnWidth(797 + 45 + 10, wide, 144));
}
