// The main window's rules that need no window: the key table, the title
// ticker and the width of the path column.
#pragma once

#include <cstdint>
#include <string>

#include "base/Keys.h"

namespace zelvane {

enum class MainKeyAction { None, Search, Kill, Rebuild, Hide, Close };

// What a released key does in the main window, whatever control has the focus.
MainKeyAction MainWindowKeyAction(std::uint16_t key, ShiftState shift);

// The ticker that types an address into the title strip, one character per
// step, with "_" as its cursor.
class Ticker {
public:
    explicit Ticker(std::string address) : address_(std::move(address)) {}
    // One step: takes the label's text and returns its new text.
    std::string Step(const std::string& labelText);
    int Position() const { return position_; }

private:
    std::u16string Address() const;
    std::string address_;
    int position_ = 0;
};

}  // namespace zelvane
