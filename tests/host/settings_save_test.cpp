#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <string>

#include "base/Error.h"
#include "settings_memory_registry.h"

namespace zelvane {
namespace {

using test::kRunPath;
using test::kSettingsPath;
using test::MemoryRegistry;

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
    try {
        SaveSettings(reg, in);
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

uint32_t Stored(const MemoryRegistry& reg, const char* name) {
    return DecodeInteger(name, reg.Get(kSettingsPath, name));
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

TEST(SaveSettings, ClearedBoxDeletesTheAutorunValueAndToleratesItsAbsence) {
    MemoryRegistry reg;
    reg.keys[kRunPath]["Zelvane"] = StringValue("old");
    reg.keys[kRunPath]["Other"] = StringValue("keep");
    const SaveInput in = Input("1", "1", "200");
    EXPECT_EQ("", SaveError(reg, in));
    EXPECT_FALSE(reg.Get(kRunPath, "Zelvane"));
    EXPECT_EQ("", SaveError(reg, in));
    EXPECT_TRUE(reg.Get(kRunPath, "Other"));
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

TEST(SaveSettings, ReportsWhetherTheAutorunValueIsThereAfterwards) {
    // A Run key the user may read but not change: the cleared box cannot
    // remove the value, and the save says it is still there.
    MemoryRegistry reg;
    reg.keys[kRunPath]["Zelvane"] = StringValue("\"C:\\z.exe\" -h");
    reg.readOnly.insert(kRunPath);
    SaveInput in = Input("1", "1", "200");
    EXPECT_TRUE(SaveSettings(reg, in));
    EXPECT_TRUE(reg.Get(kRunPath, "Zelvane"));

    reg.readOnly.clear();
    EXPECT_FALSE(SaveSettings(reg, in));
    in.autorun = true;
    EXPECT_TRUE(SaveSettings(reg, in));
    EXPECT_FALSE(reg.IsOpen());
}

}  // namespace
}  // namespace zelvane
