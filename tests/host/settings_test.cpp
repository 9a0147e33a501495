// The settings store: loading, saving, and the dialog's texts of the intervals.
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/DialogLogic.h"
#include "tests/common/error_of.h"
#include "tests/host/settings_memory_registry.h"

namespace zelvane {
namespace {

using test::kRunPath;
using test::kSettingsPath;
using test::MemoryRegistry;
using test::RecordingTarget;
using Log = RecordingTarget::Log;

MemoryRegistry StoreWithAllSeven() {
    MemoryRegistry reg;
    auto& v = reg.keys[kSettingsPath];
    v["Update"] = DwordValue(5000);
    v["Repaint"] = DwordValue(300);
    v["CPUUpdate"] = DwordValue(2000);
    v["CFon"] = DwordValue(0x000000);
    v["CHead"] = DwordValue(0xA8A8A8);
    v["CFont"] = DwordValue(0xFFFFFF);
    v["Font"] = StringValue("Courier New");
    return reg;
}

const Log kAllSevenApplied = {"Update=5000", "Repaint=300", "CPUUpdate=2000", "CFon=0",
                              "CHead=11053224", "CFont=16777215", "Font=Courier New"};

SaveInput Input(std::string cpu, std::string list, std::string delay) {
    SaveInput in;
    in.cpuSeconds = std::move(cpu);
    in.listSeconds = std::move(list);
    in.delayMs = std::move(delay);
    in.tableColor = 0x000000;
    in.headerColor = 0xA8A8A8;
    in.fontColor = 0xFFFFFF;
    in.fontName = "Lucida Console";
    in.executablePath = "C:\\Program Files\\Zelvane\\zelvane.exe";
    return in;
}

std::string SaveError(MemoryRegistry& reg, const SaveInput& in) {
    return test::ErrorOf([&] { SaveSettings(reg, in); });
}

uint32_t Stored(const MemoryRegistry& reg, const char* name) {
    return DecodeInteger(name, reg.Get(kSettingsPath, name));
}

TEST(LoadSettings, FirstStartAppliesTheLayoutValuesAndLeavesTheCpuTimer) {
    MemoryRegistry reg;
    RecordingTarget t;
    LoadSettings(reg, t);
    EXPECT_EQ((Log{"Update=1000", "Repaint=200", "CFon=11053224", "CHead=12632256", "CFont=8388608",
                   "Font=MS Sans Serif", "Autorun=0"}),
              t.log);
    EXPECT_EQ((std::vector<std::string>{kSettingsPath, kRunPath}), reg.opened);
    EXPECT_FALSE(reg.IsOpen());
    EXPECT_TRUE(reg.keys.empty());  // loading creates nothing

    // A settings key that refuses full access is the same as none.
    MemoryRegistry denied = StoreWithAllSeven();
    denied.denied.insert(kSettingsPath);
    RecordingTarget t2;
    LoadSettings(denied, t2);
    EXPECT_EQ("Update=1000", t2.log.front());
}

TEST(LoadSettings, AppliesAllSevenInReadOrderThenTheAutorunFlag) {
    MemoryRegistry reg = StoreWithAllSeven();
    // The autorun value counts whatever its type and data.
    reg.keys[kRunPath]["Zelvane"] = RegistryValue{kRegBinary, {}};
    reg.readOnly.insert(kRunPath);  // also for a user who may not change it
    RecordingTarget t;
    LoadSettings(reg, t);
    Log want = kAllSevenApplied;
    want.push_back("Autorun=1");
    EXPECT_EQ(want, t.log);
    EXPECT_FALSE(reg.IsOpen());
}

TEST(LoadSettings, MissingOrEmptyFontLeavesTheFaceAlone) {
    for (const auto& font : {std::optional<RegistryValue>{}, std::optional<RegistryValue>{RegistryValue{kRegBinary, {}}},
                             std::optional<RegistryValue>{StringValue("")}}) {
        MemoryRegistry reg = StoreWithAllSeven();
        if (font) {
            reg.keys[kSettingsPath]["Font"] = *font;
        } else {
            reg.keys[kSettingsPath].erase("Font");
        }
        RecordingTarget t;
        EXPECT_EQ("", test::ErrorOf([&] { LoadSettings(reg, t); }));
        Log want(kAllSevenApplied.begin(), kAllSevenApplied.end() - 1);
        want.push_back("Autorun=0");
        EXPECT_EQ(want, t.log);
    }
}

TEST(LoadSettings, AnExpandableFontNameIsReadAsItIs) {
    MemoryRegistry reg = StoreWithAllSeven();
    RegistryValue expand = StringValue("Кириллица Sans");
    expand.type = kRegExpandSz;
    reg.keys[kSettingsPath]["Font"] = expand;
    RecordingTarget t;
    EXPECT_EQ("", test::ErrorOf([&] { LoadSettings(reg, t); }));
    EXPECT_EQ("Font=Кириллица Sans", t.log[6]);
}

// (Integers: the save tests and the type-and-size matrix.)
TEST(Registry, DecodesTheTextItEncodes) {
    // UTF-16LE with the terminating zero; reading stops at the first zero and
    // ignores an odd last byte.
    const RegistryValue s = StringValue("Aж");
    EXPECT_EQ((std::vector<uint8_t>{'A', 0, 0x36, 0x04, 0, 0}), s.data);
    EXPECT_EQ("Aж", DecodeString("x", s));
    EXPECT_EQ("A", DecodeString("x", RegistryValue{kRegSz, {'A', 0, 0, 0, 'B', 0}}));
    EXPECT_EQ("AB", DecodeString("x", RegistryValue{kRegSz, {'A', 0, 'B', 0, 'C'}}));
}

TEST(SaveSettings, StoresSecondsAsMillisecondsAndTheQuotedAutorunCommand) {
    MemoryRegistry reg;
    SaveInput in = Input("2", "5", "300");
    in.autorun = true;
    SaveSettings(reg, in);
    EXPECT_EQ(2000u, Stored(reg, "CPUUpdate"));
    EXPECT_EQ(5000u, Stored(reg, "Update"));
    EXPECT_EQ(300u, Stored(reg, "Repaint"));
    EXPECT_EQ(0u, Stored(reg, "CFon"));
    EXPECT_EQ(0xA8A8A8u, Stored(reg, "CHead"));
    EXPECT_EQ(0xFFFFFFu, Stored(reg, "CFont"));
    const auto font = reg.Get(kSettingsPath, "Font");
    ASSERT_TRUE(font);
    EXPECT_EQ(kRegSz, font->type);
    EXPECT_EQ("Lucida Console", DecodeString("Font", font));
    EXPECT_EQ("\"C:\\Program Files\\Zelvane\\zelvane.exe\" -h", DecodeString("Zelvane", reg.Get(kRunPath, "Zelvane")));
    EXPECT_EQ((std::vector<std::string>{kSettingsPath, kRunPath}), reg.opened);
    EXPECT_FALSE(reg.IsOpen());
}

TEST(SaveSettings, ProductsWrapIn32Bits) {
    MemoryRegistry reg;
    SaveSettings(reg, Input("-1", "4294968", " $10"));
    EXPECT_EQ(0xFFFFFC18u, Stored(reg, "CPUUpdate"));  // -1000
    EXPECT_EQ(704u, Stored(reg, "Update"));            // 4294968000 mod 2^32
    EXPECT_EQ(16u, Stored(reg, "Repaint"));
}

TEST(SaveSettings, BadFieldKeepsWhatWasWrittenBeforeIt) {
    MemoryRegistry reg;
    SaveInput old = Input("1", "1", "200");
    old.autorun = true;
    SaveSettings(reg, old);
    const auto before = reg.keys;

    SaveInput in = Input("3", "abc", "500");
    in.tableColor = 0x123456;
    in.autorun = false;
    EXPECT_EQ("'abc' is not a valid integer value", SaveError(reg, in));
    EXPECT_EQ(3000u, Stored(reg, "CPUUpdate"));
    auto after = reg.keys;
    after[kSettingsPath]["CPUUpdate"] = before.at(kSettingsPath).at("CPUUpdate");
    EXPECT_TRUE(after == before) << "only CPUUpdate may change";  // the Run value too
    EXPECT_FALSE(reg.IsOpen());

    EXPECT_EQ("' 7 ' is not a valid integer value", SaveError(reg, Input("2", "5", " 7 ")));
    EXPECT_EQ(5000u, Stored(reg, "Update"));
    EXPECT_EQ(0u, Stored(reg, "CFon"));
}

TEST(SaveSettings, KeysThatDoNotOpen) {
    // Settings key: the first write fails, nothing is stored, the Run key is
    // not touched.
    MemoryRegistry reg;
    reg.denied.insert(kSettingsPath);
    SaveInput in = Input("2", "5", "300");
    in.autorun = true;
    EXPECT_EQ("Failed to set data for 'CPUUpdate'", SaveError(reg, in));
    EXPECT_TRUE(reg.keys.empty());
    // A bad first field is found before the write.
    EXPECT_EQ("'x' is not a valid integer value", SaveError(reg, Input("x", "5", "300")));

    // Run key: all seven are stored first; only a ticked box reports it.
    MemoryRegistry run;
    run.denied.insert(kRunPath);
    EXPECT_EQ("Failed to set data for 'Zelvane'", SaveError(run, in));
    EXPECT_EQ(7u, run.keys[kSettingsPath].size());
    in.autorun = false;
    EXPECT_EQ("", SaveError(run, in));
    EXPECT_FALSE(run.IsOpen());
}

TEST(SaveSettings, ClearedBoxDeletesTheAutorunValueAndSaysWhetherItIsThereAfterwards) {
    // A Run key the user may read but not change: the cleared box cannot
    // remove the value, and the save says it is still there.
    MemoryRegistry reg;
    reg.keys[kRunPath]["Zelvane"] = StringValue("\"C:\\z.exe\" -h");
    reg.keys[kRunPath]["Other"] = StringValue("keep");
    reg.readOnly.insert(kRunPath);
    SaveInput in = Input("1", "1", "200");
    EXPECT_TRUE(SaveSettings(reg, in));
    EXPECT_TRUE(reg.Get(kRunPath, "Zelvane"));

    // A key that may change: the value goes, and a save without it is no error.
    reg.readOnly.clear();
    EXPECT_FALSE(SaveSettings(reg, in));
    EXPECT_FALSE(reg.Get(kRunPath, "Zelvane"));
    EXPECT_EQ("", SaveError(reg, in));
    EXPECT_TRUE(reg.Get(kRunPath, "Other"));
    in.autorun = true;
    EXPECT_TRUE(SaveSettings(reg, in));
    EXPECT_FALSE(reg.IsOpen());
}

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
