// The settings the main window runs with, as plain values: their defaults, the
// record of those in force and the setters through which the stored settings
// at start and the settings dialog's Apply reach the main window. Intervals
// are in milliseconds, colours are 0x00BBGGRR.
#pragma once

#include <cstdint>
#include <string>

namespace zelvane {

// The main window's values while no settings are stored (the CPU indicator's
// interval is not among the loaded defaults: the loader leaves it alone).
inline constexpr uint32_t kDefaultUpdateInterval = 1000;
inline constexpr uint32_t kDefaultRepaintInterval = 200;
inline constexpr uint32_t kDefaultCpuInterval = 1000;
inline constexpr uint32_t kDefaultTableColor = 0xA8A8A8;
inline constexpr uint32_t kDefaultHeaderColor = 0xC0C0C0;  // clSilver
inline constexpr uint32_t kDefaultFontColor = 0x800000;    // clNavy
inline constexpr const char* kDefaultFontName = "MS Sans Serif";

// What the loader and the settings dialog's Apply set; the main window
// implements it.
class SettingsTarget {
public:
    virtual void SetUpdateInterval(uint32_t ms) = 0;   // timer Update
    virtual void SetRepaintInterval(uint32_t ms) = 0;  // timer Timer1
    virtual void SetCpuInterval(uint32_t ms) = 0;      // timer CPUUasgeTimer
    virtual void SetTableColor(uint32_t color) = 0;    // StringGrid1 background
    virtual void SetHeaderColor(uint32_t color) = 0;   // StringGrid1 header row
    virtual void SetFontColor(uint32_t color) = 0;     // StringGrid1 text
    virtual void SetFontName(const std::string& face) = 0;  // never called with ""
    virtual void SetAutorunRegistered(bool registered) = 0;

protected:
    ~SettingsTarget() = default;
};

// The values of the settings that the main window runs with.
struct SettingsInForce {
    uint32_t updateInterval = kDefaultUpdateInterval;
    uint32_t repaintInterval = kDefaultRepaintInterval;
    uint32_t cpuInterval = kDefaultCpuInterval;
    uint32_t tableColor = kDefaultTableColor;
    uint32_t headerColor = kDefaultHeaderColor;
    uint32_t fontColor = kDefaultFontColor;
    std::string fontName = kDefaultFontName;
    bool autorunRegistered = false;
};

}  // namespace zelvane
