// The program's stored settings: three timer intervals, the process table's
// three colours and font face under the settings key, and the autorun value in
// the system's Run key, all under HKEY_LOCAL_MACHINE. Loaded once at start,
// written when the user saves the settings dialog.
#pragma once

#include <cstdint>
#include <string>

#include "base/SettingsRecord.h"
#include "settings/Registry.h"

namespace zelvane {

inline constexpr const char* kSettingsKey = "\\Software\\QuilbySoft\\Zelvane";
inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run\\";
inline constexpr const char* kAutorunValueName = "Zelvane";

// Reads the settings in the order Update, Repaint, CPUUpdate, CFon, CHead,
// CFont, Font and applies each right after reading it; without a settings key
// applies the defaults (the CPU interval untouched). A missing or empty "Font"
// leaves the face unchanged. Then sets the autorun flag to whether the Run key
// holds the value "Zelvane" (AutorunValueExists).
// Throws on the first value that cannot be read: the values before it stay
// applied and the autorun flag is not set.
void LoadSettings(RegistryAccessor& reg, SettingsTarget& target);

// What the settings dialog shows when the user saves.
struct SaveInput {
    std::string cpuSeconds;   // CPU indicator period, whole seconds
    std::string listSeconds;  // list refresh period, whole seconds
    std::string delayMs;      // delay of the refresh after a kill, ms
    uint32_t tableColor = kDefaultTableColor;
    uint32_t headerColor = kDefaultHeaderColor;
    uint32_t fontColor = kDefaultFontColor;
    std::string fontName;
    bool autorun = false;
    std::string executablePath;  // full path of the running program
};

// Writes CPUUpdate, Update, Repaint, CFon, CHead, CFont, Font in this order,
// converting each field just before its own write (seconds * 1000, wrapping
// in 32 bits; the delay as entered), then writes the autorun value when
// `autorun` is set and deletes it otherwise (a failed delete is ignored).
// Throws on the first failure; what was written before it stays written.
// Returns whether the autorun value is there after the save (a delete may
// have failed silently).
bool SaveSettings(RegistryAccessor& reg, const SaveInput& input);

// Whether the Run key holds the value "Zelvane" (false when the Run key does
// not open for reading).
bool AutorunValueExists(RegistryAccessor& reg);

// A field in whole seconds to milliseconds; the product wraps in 32 bits.
// Throws "'%s' is not a valid integer value" for a field that is not a whole
// number (the settings dialog's Apply converts its fields the same way).
uint32_t SecondsToMs(const std::string& field);

// The autorun value's data: the quoted path, then " -h". Quoted, so that a
// path with spaces cannot start another program ("C:\Program.exe").
std::string AutorunCommand(const std::string& executablePath);

}  // namespace zelvane
