// How the settings dialog shows the timer intervals.
#include <gtest/gtest.h>

#include "settings/DialogLogic.h"
#include "settings/Settings.h"

namespace zelvane {
namespace {

TEST(SettingsDialogText, IntervalsInSecondsUseTheGivenSeparator) {
    EXPECT_EQ("1", SecondsText(1000, ","));
    EXPECT_EQ("1,5", SecondsText(1500, ","));
    EXPECT_EQ("1.5", SecondsText(1500, "."));
    EXPECT_EQ("0", SecondsText(0, ","));
    EXPECT_EQ("0,001", SecondsText(1, ","));
    EXPECT_EQ("4294967,295", SecondsText(0xFFFFFFFFu, ","));
    EXPECT_EQ("200", MillisecondsText(200, ","));
    EXPECT_EQ("4294967295", MillisecondsText(0xFFFFFFFFu, ","));
}

TEST(SettingsDialogText, WholeSecondsShownComeBackUnchanged) {
    for (uint32_t ms : {0u, 1000u, 60000u, 2147483000u}) {
        EXPECT_EQ(ms, SecondsToMs(SecondsText(ms, ","))) << ms;
    }
}

}  // namespace
}  // namespace zelvane
