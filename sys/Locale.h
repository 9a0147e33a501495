// The user's locale settings that numbers and dates are shown with.
#pragma once

#include <windows.h>

#include <string>

namespace zelvane {

// A locale text such as the decimal separator (LOCALE_SDECIMAL) or the
// thousands separator (LOCALE_STHOUSAND), or `fallback` when the system has none.
std::string UserLocaleText(LCTYPE type, const char* fallback);

}  // namespace zelvane
