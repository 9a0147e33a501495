#include "sys/WindowsVersion.h"

#include <windows.h>

namespace zelvane {

std::optional<bool> QueryNtFamily() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;  // the wide record, 276 bytes
    if (!::GetVersionExW(&version)) return std::nullopt;
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool IsWinNT() { return QueryNtFamily().value_or(false); }

}  // namespace zelvane
