#include "settings/DialogLogic.h"

#include "base/NumberFormat.h"

namespace zelvane {

std::string SecondsText(uint32_t ms, std::string_view decimalSeparator) {
    return FormatGeneral(ms / 1000.0, decimalSeparator);
}

std::string MillisecondsText(uint32_t ms, std::string_view decimalSeparator) {
    return FormatGeneral(static_cast<double>(ms), decimalSeparator);
}

}  // namespace zelvane
