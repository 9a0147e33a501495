// The settings loader against every value in every registry type and size:
// each of the seven values in turn is replaced, in an otherwise good key, by
// one of REG_NONE, REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD,
// REG_DWORD_BIG_ENDIAN, REG_MULTI_SZ, REG_QWORD and an unknown type, with
// 0 to 9, 16 and 300 bytes of data, or is missing. The load either applies
// it or stops with the value's error, exactly where it should, keeping what
// it applied before and opening no further key; nothing else happens. (The
// random version of this runs as the settings fuzz target.)
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "settings/Settings.h"
#include "tests/common/error_of.h"
#include "tests/host/settings_memory_registry.h"

namespace zelvane {
namespace {

const char* const kNames[] = {"Update", "Repaint", "CPUUpdate", "CFon", "CHead", "CFont", "Font"};

TEST(SettingsMatrix, EveryTypeAndSizeAppliesOrStopsWithItsError) {
    const uint32_t types[] = {0, 1, 2, 3, 4, 5, 7, 11, 0x12345678};
    const std::size_t sizes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 16, 300};
    int cases = 0;
    for (int which = 0; which < 7; ++which) {
        const std::string name = kNames[which];
        for (int t = -1; t < static_cast<int>(std::size(types)); ++t) {  // -1: missing
            for (std::size_t size : sizes) {
                if (t < 0 && size > 0) break;
                SCOPED_TRACE(name + " type " + std::to_string(t < 0 ? -1 : static_cast<long long>(types[t])) +
                             " size " + std::to_string(size));
                test::MemoryRegistry reg;
                auto& values = reg.keys[test::kSettingsPath];
                for (int i = 0; i < 6; ++i) values[kNames[i]] = DwordValue(100 + i);
                values["Font"] = StringValue("Tahoma");
                RegistryValue odd;
                if (t >= 0) {
                    odd.type = types[t];
                    for (std::size_t i = 0; i < size; ++i) odd.data.push_back(static_cast<uint8_t>('A' + i % 26));
                    values[name] = odd;
                } else {
                    values.erase(name);
                }
                test::RecordingTarget held;
                const std::string error = test::ErrorOf([&] { LoadSettings(reg, held); });
                const std::vector<std::string>& log = held.log;
                ++cases;
                EXPECT_FALSE(reg.IsOpen());
                if (which < 6) {
                    const bool tooLong = t < 0 || size > 4;
                    const bool wrongType = !tooLong && odd.type != kRegDword;
                    if (tooLong) {
                        EXPECT_EQ("Failed to get data for '" + name + "'", error);
                    }
                    if (wrongType) {
                        EXPECT_EQ("Invalid data type for '" + name + "'", error);
                    }
                    if (tooLong || wrongType) {
                        EXPECT_EQ(static_cast<std::size_t>(which), log.size());  // those before stay, no more
                        EXPECT_EQ(1u, reg.opened.size()) << "the autorun key was opened after the error";
                        continue;
                    }
                    uint32_t expected = 0;  // the bytes present, zero-extended
                    for (std::size_t i = 0; i < size; ++i) expected |= uint32_t{odd.data[i]} << (8 * i);
                    ASSERT_EQ(8u, log.size());
                    EXPECT_EQ(name + "=" + std::to_string(expected), log[static_cast<std::size_t>(which)]);
                } else {
                    const bool text = odd.type == kRegSz || odd.type == kRegExpandSz;
                    if (t >= 0 && size > 0 && !text) {
                        EXPECT_EQ("Invalid data type for 'Font'", error);
                        EXPECT_EQ(6u, log.size());  // no face, no autorun flag
                        EXPECT_EQ(1u, reg.opened.size()) << "the autorun key was opened after the error";
                        continue;
                    }
                    // Missing, empty or a lone byte: the face stays; otherwise
                    // the text of the whole UTF-16 units ("AB" -> U+4241).
                    if (size < 2) {
                        EXPECT_EQ(7u, log.size());
                    }
                    if (size >= 2) {
                        ASSERT_EQ(8u, log.size());
                        EXPECT_TRUE(log[6].starts_with("Font=") && log[6].size() > 5) << log[6];
                    }
                }
                EXPECT_EQ("", error);
                EXPECT_EQ("Autorun=0", log.back());
            }
        }
    }
    EXPECT_EQ(7 * (1 + 9 * 12), cases);
}

}  // namespace
}  // namespace zelvane
