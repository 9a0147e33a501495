// libFuzzer target: the settings loader over an in-memory registry whose
// values have random types (REG_NONE ... REG_QWORD and arbitrary numbers) and
// random sizes. Every load must end exactly as the value rules say, checked
// against a small model of them: the values before the first bad one applied
// in order, then the error with that value's name, or everything applied and
// the autorun flag set; the key is always closed again. The face name must
// come out as valid UTF-8 that converts back to the stored UTF-16 (unpaired
// surrogates as U+FFFD). Then a save of fuzzed dialog fields loads back to
// what was saved.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "base/Error.h"
#include "base/IntParse.h"
#include "base/Text.h"
#include "settings/Settings.h"
#include "tests/host/settings_memory_registry.h"

namespace {

using namespace zelvane;
using test::MemoryRegistry;

// Names the check that failed, then stops the run as a crash.
[[noreturn]] void Fail(int line) {
    std::fprintf(stderr, "settings_fuzz: check at line %d failed\n", line);
    __builtin_trap();
}
#define FAIL() Fail(__LINE__)

// Every call the loader makes, in order: (which setter, value).
using Call = std::pair<int, std::variant<uint32_t, std::string, bool>>;
enum Setter { kUpdate, kRepaint, kCpu, kTable, kHeader, kFont, kFace, kAutorun };

class Recorder final : public SettingsTarget {
public:
    void SetUpdateInterval(uint32_t ms) override { calls.push_back({kUpdate, ms}); }
    void SetRepaintInterval(uint32_t ms) override { calls.push_back({kRepaint, ms}); }
    void SetCpuInterval(uint32_t ms) override { calls.push_back({kCpu, ms}); }
    void SetTableColor(uint32_t c) override { calls.push_back({kTable, c}); }
    void SetHeaderColor(uint32_t c) override { calls.push_back({kHeader, c}); }
    void SetFontColor(uint32_t c) override { calls.push_back({kFont, c}); }
    void SetFontName(const std::string& face) override { calls.push_back({kFace, face}); }
    void SetAutorunRegistered(bool r) override { calls.push_back({kAutorun, r}); }
    std::vector<Call> calls;
};

const char* const kIntegerNames[] = {"Update", "Repaint", "CPUUpdate", "CFon", "CHead", "CFont"};

RegistryValue RandomValue(FuzzedDataProvider& in) {
    static const uint32_t kTypes[] = {0, 1, 2, 3, 4, 5, 6, 7, 11};
    RegistryValue v;
    v.type = in.ConsumeBool() ? in.PickValueInArray(kTypes) : in.ConsumeIntegral<uint32_t>();
    // Mostly the sizes around a DWORD, sometimes longer.
    const std::size_t size = in.ConsumeBool() ? in.ConsumeIntegralInRange<std::size_t>(0, 9)
                                              : in.ConsumeIntegralInRange<std::size_t>(0, 300);
    v.data = in.ConsumeBytes<uint8_t>(size);
    return v;
}

bool ValidUtf8(const std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + len > s.size()) return false;
        uint32_t cp = len == 1 ? c : c & (0xFF >> (len + 1));
        for (std::size_t k = 1; k < len; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        static const uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += len;
    }
    return true;
}

// The stored UTF-16 units up to the first zero, unpaired surrogates replaced.
std::u16string ExpectedUnits(const std::vector<uint8_t>& data) {
    std::u16string units;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        const char16_t c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        if (c == 0) break;
        units.push_back(c);
    }
    for (std::size_t i = 0; i < units.size(); ++i) {
        const bool high = units[i] >= 0xD800 && units[i] <= 0xDBFF;
        const bool low = units[i] >= 0xDC00 && units[i] <= 0xDFFF;
        if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            ++i;
        } else if (high || low) {
            units[i] = 0xFFFD;
        }
    }
    return units;
}

// What the loader must do with these values: the calls, then the error text
// ("" when it succeeds).
std::pair<std::vector<Call>, std::string> Model(const MemoryRegistry& reg) {
    std::vector<Call> calls;
    const std::string key = test::kSettingsPath;
    if (!reg.keys.count(key) || reg.denied.count(key)) {
        calls = {{kUpdate, kDefaultUpdateInterval}, {kRepaint, kDefaultRepaintInterval},
                 {kTable, kDefaultTableColor},      {kHeader, kDefaultHeaderColor},
                 {kFont, kDefaultFontColor},        {kFace, std::string(kDefaultFontName)}};
    } else {
        for (int i = 0; i < 6; ++i) {
            const std::string name = kIntegerNames[i];
            const auto v = reg.Get(key, name);
            if (!v || v->data.size() > 4) return {calls, "Failed to get data for '" + name + "'"};
            if (v->type != kRegDword) return {calls, "Invalid data type for '" + name + "'"};
            uint32_t value = 0;
            for (std::size_t b = 0; b < v->data.size(); ++b) value |= uint32_t{v->data[b]} << (8 * b);
            calls.push_back({i, value});
        }
        if (const auto face = reg.Get(key, "Font"); face && !face->data.empty()) {
            if (face->type != kRegSz && face->type != kRegExpandSz) return {calls, "Invalid data type for 'Font'"};
            const std::u16string units = ExpectedUnits(face->data);
            if (!units.empty()) calls.push_back({kFace, std::string()});  // text checked separately
        }
    }
    const std::string run = test::kRunPath;
    calls.push_back({kAutorun, !reg.denied.count(run) && reg.Get(run, kAutorunValueName).has_value()});
    return {calls, ""};
}

void CheckLoad(FuzzedDataProvider& in) {
    MemoryRegistry reg;
    const std::string key = test::kSettingsPath;
    const int keyState = in.ConsumeIntegralInRange(0, 3);  // absent, denied, present (twice as likely)
    if (keyState == 1) reg.denied.insert(key);
    if (keyState >= 2) {
        auto& values = reg.keys[key];
        for (const char* name : {"Update", "Repaint", "CPUUpdate", "CFon", "CHead", "CFont", "Font"}) {
            const int pick = in.ConsumeIntegralInRange(0, 7);
            if (pick == 0) continue;  // missing
            values[name] = pick <= 3 ? DwordValue(in.ConsumeIntegral<uint32_t>()) : RandomValue(in);
        }
    }
    const int runState = in.ConsumeIntegralInRange(0, 3);
    if (runState == 1) reg.denied.insert(test::kRunPath);
    if (runState >= 2) reg.keys[test::kRunPath];
    if (runState == 3) reg.keys[test::kRunPath][kAutorunValueName] = RandomValue(in);

    Recorder target;
    std::string error;
    try {
        LoadSettings(reg, target);
    } catch (const Error& e) {
        error = e.what();
    }
    if (reg.IsOpen()) FAIL();
    const auto [calls, expectedError] = Model(reg);
    if (error != expectedError || calls.size() != target.calls.size()) FAIL();
    for (std::size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].first != target.calls[i].first) FAIL();
        if (calls[i].first == kFace && keyState >= 2) {
            const std::string& face = std::get<std::string>(target.calls[i].second);
            if (face.empty() || !ValidUtf8(face)) FAIL();
            if (Utf8ToUtf16(face) != ExpectedUnits(reg.Get(key, "Font")->data)) FAIL();
        } else if (calls[i].second != target.calls[i].second) {
            FAIL();
        }
    }
}

// Dialog fields and a face name saved, then loaded back.
void CheckSaveLoad(FuzzedDataProvider& in) {
    SaveInput input;
    input.cpuSeconds = in.ConsumeRandomLengthString(16);
    input.listSeconds = in.ConsumeRandomLengthString(16);
    input.delayMs = in.ConsumeRandomLengthString(16);
    input.tableColor = in.ConsumeIntegral<uint32_t>();
    input.headerColor = in.ConsumeIntegral<uint32_t>();
    input.fontColor = in.ConsumeIntegral<uint32_t>();
    input.fontName = in.ConsumeRandomLengthString(64);
    input.autorun = in.ConsumeBool();
    input.executablePath = "C:\\Program Files\\Zelvane\\zelvane.exe";

    MemoryRegistry reg;
    try {
        SaveSettings(reg, input);
    } catch (const Error& e) {
        // Only the first field that is not a whole number, in write order,
        // may stop a save here (what() ends at a zero byte of the field).
        std::string field = input.cpuSeconds;
        if (TryStrToInt(field)) field = input.listSeconds;
        if (TryStrToInt(field)) field = input.delayMs;
        const std::string expected = FormatMessage1(kNotAnIntegerText, field);
        if (TryStrToInt(field) || e.what() != expected.substr(0, expected.find('\0'))) FAIL();
        if (reg.IsOpen()) FAIL();
        return;
    }
    if (reg.IsOpen()) FAIL();
    Recorder target;
    LoadSettings(reg, target);
    const std::u16string units = Utf8ToUtf16(input.fontName);
    const std::string face = Utf16ToUtf8(units.substr(0, units.find(u'\0')));
    std::vector<Call> expected = {{kUpdate, static_cast<uint32_t>(*TryStrToInt(input.listSeconds)) * 1000u},
                                  {kRepaint, static_cast<uint32_t>(*TryStrToInt(input.delayMs))},
                                  {kCpu, static_cast<uint32_t>(*TryStrToInt(input.cpuSeconds)) * 1000u},
                                  {kTable, input.tableColor},
                                  {kHeader, input.headerColor},
                                  {kFont, input.fontColor}};
    if (!face.empty()) expected.push_back({kFace, face});
    expected.push_back({kAutorun, input.autorun});
    if (target.calls != expected) FAIL();
    if (ValidUtf8(input.fontName) && input.fontName.find('\0') == std::string::npos && face != input.fontName) FAIL();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    if (in.ConsumeBool()) {
        CheckLoad(in);
    } else {
        CheckSaveLoad(in);
    }
    return 0;
}
