// The settings store against the real registry of the test prefix. Every test
// puts back the keys and the autorun value it found.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/Text.h"
#include "gui/Handles.h"
#include "settings/Settings.h"
#include "settings/WinRegistry.h"
#include "tests/common/error_of.h"
#include "tests/win32/ProgramFixture.h"

namespace zelvane {
namespace {

using testing::RegistryGuard;
using testing::StoreRawSetting;

constexpr const wchar_t* kSettingsPathW = L"Software\\QuilbySoft\\Zelvane";

// Holds what the loader sets, the way the main window does.
struct HeldSettings : SettingsTarget {
    uint32_t update = 0, repaint = 0, cpu = 0, table = 0, header = 0, font = 0;
    std::string face;
    bool autorun = false;
    void SetUpdateInterval(uint32_t v) override { update = v; }
    void SetRepaintInterval(uint32_t v) override { repaint = v; }
    void SetCpuInterval(uint32_t v) override { cpu = v; }
    void SetTableColor(uint32_t v) override { table = v; }
    void SetHeaderColor(uint32_t v) override { header = v; }
    void SetFontColor(uint32_t v) override { font = v; }
    void SetFontName(const std::string& v) override { face = v; }
    void SetAutorunRegistered(bool v) override { autorun = v; }
};

class SettingsStore : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(liveKeys_, RegKey::LiveCount()) << "a registry key stayed open"; }

    static std::optional<RegistryValue> Read(const char* key, const char* name) {
        WinRegistry reg;
        if (!reg.OpenKey(key, false)) return std::nullopt;
        return reg.QueryValue(name);
    }
    static SaveInput Input(bool autorun) {
        return SaveInput{.cpuSeconds = "3",
                         .listSeconds = "7",
                         .delayMs = "450",
                         .tableColor = 0x000000,
                         .headerColor = 0xA8A8A8,
                         .fontColor = 0xFFFFFF,
                         .fontName = "Моноширинный",
                         .autorun = autorun,
                         .executablePath = RunningExecutablePath()};
    }

    static std::string LoadError() {
        WinRegistry reg;
        HeldSettings held;
        return test::ErrorOf([&] { LoadSettings(reg, held); });
    }

private:
    RegistryGuard registry_;  // the key and the autorun value put back as they were
    long liveKeys_ = RegKey::LiveCount();
};

TEST_F(SettingsStore, SaveThenLoadGivesTheSameValuesAndTheQuotedAutorunCommand) {
    WinRegistry reg;
    SaveSettings(reg, Input(true));

    HeldSettings held;
    LoadSettings(reg, held);
    EXPECT_EQ(3000u, held.cpu);
    EXPECT_EQ(7000u, held.update);
    EXPECT_EQ(450u, held.repaint);
    EXPECT_EQ(0u, held.table);
    EXPECT_EQ(0xA8A8A8u, held.header);
    EXPECT_EQ(0xFFFFFFu, held.font);
    EXPECT_EQ("Моноширинный", held.face);  // through UTF-16
    EXPECT_TRUE(held.autorun);

    // Read back past the accessor: the key sits at Software\QuilbySoft\Zelvane
    // and the autorun value is a REG_SZ with the quoted path of this program.
    DWORD cpu = 0, size = sizeof cpu, type = 0;
    ASSERT_EQ(ERROR_SUCCESS, ::RegGetValueW(HKEY_LOCAL_MACHINE, kSettingsPathW, L"CPUUpdate", RRF_RT_ANY, &type, &cpu,
                                            &size));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(3000u, cpu);

    wchar_t module[MAX_PATH];
    ASSERT_NE(0u, ::GetModuleFileNameW(nullptr, module, MAX_PATH));
    wchar_t run[MAX_PATH + 16];
    size = sizeof run;
    ASSERT_EQ(ERROR_SUCCESS, ::RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                            L"Zelvane", RRF_RT_REG_SZ, &type, run, &size));
    EXPECT_EQ(L"\"" + std::wstring(module) + L"\" -h", std::wstring(run));
    EXPECT_NE(std::wstring::npos, std::wstring(module).find(L"win32_tests"));

    // A clear box deletes the value; a second delete of the absent value is
    // no error.
    SaveSettings(reg, Input(false));
    EXPECT_FALSE(Read(kRunKey, kAutorunValueName));
    EXPECT_NO_THROW(SaveSettings(reg, Input(false)));
    LoadSettings(reg, held);
    EXPECT_FALSE(held.autorun);
}

TEST_F(SettingsStore, WrongTypesGiveTheirErrorsFromTheRealRegistry) {
    WinRegistry reg;
    SaveSettings(reg, Input(false));
    const BYTE four[4] = {1, 2, 3, 4};
    StoreRawSetting(L"CHead", REG_BINARY, four, sizeof four);
    EXPECT_EQ("Invalid data type for 'CHead'", LoadError());
    const wchar_t ten[] = L"0123456789";
    StoreRawSetting(L"CHead", REG_SZ, ten, sizeof ten);
    EXPECT_EQ("Failed to get data for 'CHead'", LoadError());
    StoreRawSetting(L"CHead", REG_DWORD, four, sizeof four);
    StoreRawSetting(L"Font", REG_DWORD, four, sizeof four);
    EXPECT_EQ("Invalid data type for 'Font'", LoadError());
    ASSERT_EQ(ERROR_SUCCESS, ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kSettingsPathW, L"CFon"));
    EXPECT_EQ("Failed to get data for 'CFon'", LoadError());
}

}  // namespace
}  // namespace zelvane
