// Key codes and the shift state as the window handlers see them.
#pragma once

#include <cstdint>

namespace zelvane {

// Modifier flags held while a key is pressed or released.
enum ShiftFlag : unsigned { kShift = 1, kAlt = 2, kCtrl = 4 };
using ShiftState = unsigned;

constexpr std::uint16_t kVkReturn = 0x0D;
constexpr std::uint16_t kVkEscape = 0x1B;
constexpr std::uint16_t kVkSpace = 0x20;
constexpr std::uint16_t kVkUp = 0x26;
constexpr std::uint16_t kVkDown = 0x28;
constexpr std::uint16_t kVkDelete = 0x2E;
constexpr std::uint16_t kVkNumpad6 = 0x66;
constexpr std::uint16_t kVkF3 = 0x72;
constexpr std::uint16_t kVkF4 = 0x73;

}  // namespace zelvane
