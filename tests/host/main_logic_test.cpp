#include "app/MainLogic.h"

#include <gtest/gtest.h>

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
    std::string label = t.Step("");
    EXPECT_EQ("0_", label);  // the first step, on an empty label
    for (int i = 1; i < 10; ++i) label = t.Step(label);
    EXPECT_EQ("0123456789_", label);
    label = t.Step(label);
    EXPECT_EQ("0_", label);
    label = t.Step(label);
    EXPECT_EQ("01_", label);
    EXPECT_EQ(2, t.Position());
}
