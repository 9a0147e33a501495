// Which family of Windows runs the program: the NT family (NT 4 to today's
// Windows, and Wine) or Windows 9x/ME. The one place that asks.
#pragma once

#include <optional>

namespace zelvane {

// True on the NT family, false on 9x/ME; nothing when the system does not
// tell its version (GetVersionExW fails).
std::optional<bool> QueryNtFamily();

// The same, with a system that does not tell counted as not NT.
bool IsWinNT();

}  // namespace zelvane
