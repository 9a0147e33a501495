#include "app/MainLogic.h"

#include "base/Text.h"

namespace zelvane {

MainKeyAction MainWindowKeyAction(std::uint16_t key, ShiftState shift) {
    const bool ctrl = (shift & kCtrl) != 0;
    switch (key) {
    case kVkF3: return MainKeyAction::Search;
    case kVkNumpad6: return ctrl ? MainKeyAction::Search : MainKeyAction::None;
    case kVkDelete: return MainKeyAction::Kill;
    case kVkSpace: return MainKeyAction::Rebuild;
    case kVkEscape: return MainKeyAction::Hide;
    case kVkF4: return ctrl ? MainKeyAction::Close : MainKeyAction::None;
    default: return MainKeyAction::None;
    }
}

std::u16string Ticker::Address() const { return Utf8ToUtf16(address_); }

std::string Ticker::Step(const std::string& labelText) {
    const std::u16string address = Address();
    std::u16string text = Utf8ToUtf16(labelText);
    ++position_;
    if (position_ > static_cast<int>(address.size())) {
        position_ = 1;
        text.clear();
    }
    if (!text.empty()) text.pop_back();
    if (position_ <= static_cast<int>(address.size())) text.push_back(address[static_cast<std::size_t>(position_ - 1)]);
    text.push_back(u'_');
    return Utf16ToUtf8(text);
}

}  // namespace zelvane
