// What the settings dialog decides without Windows: how it shows the timer
// intervals, the colour sets of "Стандарт" and of the preset menu, and the
// sample cells of its preview table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zelvane {

// The preview table's three colours, 0x00BBGGRR.
struct PreviewColors {
    uint32_t background;
    uint32_t header;
    uint32_t text;
};

// "Стандарт": the layout's background and header row with black text.
inline constexpr PreviewColors kStandardColors{0xA8A8A8, 0xC0C0C0, 0x000000};

// The preset menu of the preview table, in menu order.
struct ColorPreset {
    const char* name;     // the menu item's name
    const char* caption;  // its text
    PreviewColors colors;
};
inline constexpr ColorPreset kColorPresets[] = {
    {"Far1", "Под Far", {0xA80000, 0xA8A800, 0xFFFC58}},
    {"Tp1", "Под Tp", {0x800000, 0xA8A8A8, 0x00FFFF}},
    {"DOS1", "Под DOS", {0x000000, 0xA8A8A8, 0xFFFFFF}},
    {"N1", "От автора...", {0xC6DFC6, 0xFFC184, 0x800000}},
};

// The preview's cells, [row][column]: the first two column titles of the
// process table, then two sample processes.
inline constexpr const char* kPreviewCells[3][2] = {
    {"Имя программы", "ProcessID32"},
    {"Wincmd.exe", "ff011245"},
    {"Zelvane.exe", "ff099875"},
};

// An interval in milliseconds as the dialog shows it in seconds: general
// format with the user's decimal separator (1000 gives "1", 1500 "1,5" with
// a comma).
std::string SecondsText(uint32_t ms, std::string_view decimalSeparator);
// An interval shown in milliseconds, in the same format (a whole number).
std::string MillisecondsText(uint32_t ms, std::string_view decimalSeparator);

}  // namespace zelvane
