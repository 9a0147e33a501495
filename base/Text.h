// UTF-8 inside the program, UTF-16 at the Win32 calls: the one conversion pair.
#pragma once

#include <string>
#include <string_view>

namespace zelvane {

// UTF-8 to UTF-16 and back; malformed input is replaced, never an error.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

#ifdef _WIN32
// wchar_t is UTF-16 on Windows: the forms the W entry points take.
std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);
#endif

}  // namespace zelvane
