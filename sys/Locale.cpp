#include "sys/Locale.h"

#include "base/Text.h"

namespace zelvane {

std::string UserLocaleText(LCTYPE type, const char* fallback) {
    wchar_t buffer[16];
    const int n = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 16);
    return n > 1 ? Narrow(std::wstring_view(buffer, static_cast<std::size_t>(n - 1))) : fallback;
}

}  // namespace zelvane
