#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Error.h"
#include "settings_memory_registry.h"

namespace zelvane {
namespace {

using test::kRunPath;
using test::kSettingsPath;
using test::MemoryRegistry;
using Log = std::vector<std::string>;

// Records every setting in the order it is applied.
class RecordingTarget : public SettingsTarget {
public:
    void SetUpdateInterval(uint32_t ms) override { Add("Update", ms); }
    void SetRepaintInterval(uint32_t ms) override { Add("Repaint", ms); }
    void SetCpuInterval(uint32_t ms) override { Add("CPUUpdate", ms); }
    void SetTableColor(uint32_t c) override { Add("CFon", c); }
    void SetHeaderColor(uint32_t c) override { Add("CHead", c); }
    void SetFontColor(uint32_t c) override { Add("CFont", c); }
    void SetFontName(const std::string& face) override { log.push_back("Font=" + face); }
    void SetAutorunRegistered(bool r) override { log.push_back(r ? "Autorun=1" : "Autorun=0"); }

    Log log;

private:
    void Add(const char* name, uint32_t v) { log.push_back(std::string(name) + "=" + std::to_string(v)); }
};

std::string LoadError(MemoryRegistry& reg, RecordingTarget& target) {
    try {
        LoadSettings(reg, target);
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

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
        EXPECT_EQ("", LoadError(reg, t));
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
    EXPECT_EQ("", LoadError(reg, t));
    EXPECT_EQ("Font=Кириллица Sans", t.log[6]);
}

TEST(Registry, DecodesWhatItEncodes) {
    EXPECT_EQ(0xFFFFFC18u, DecodeInteger("x", DwordValue(0xFFFFFC18u)));
    EXPECT_EQ(0x0201u, DecodeInteger("x", RegistryValue{kRegDword, {1, 2}}));
    EXPECT_EQ(0u, DecodeInteger("x", RegistryValue{kRegDword, {}}));
    // UTF-16LE with the terminating zero; reading stops at the first zero and
    // ignores an odd last byte.
    const RegistryValue s = StringValue("Aж");
    EXPECT_EQ((std::vector<uint8_t>{'A', 0, 0x36, 0x04, 0, 0}), s.data);
    EXPECT_EQ("Aж", DecodeString("x", s));
    EXPECT_EQ("A", DecodeString("x", RegistryValue{kRegSz, {'A', 0, 0, 0, 'B', 0}}));
    EXPECT_EQ("AB", DecodeString("x", RegistryValue{kRegSz, {'A', 0, 'B', 0, 'C'}}));
}

}  // namespace
}  // namespace zelvane
