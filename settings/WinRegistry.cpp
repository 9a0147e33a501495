#include "settings/WinRegistry.h"

#include "base/Text.h"

namespace zelvane {

bool WinRegistry::OpenKey(std::string_view path, bool canCreate) {
    CloseKey();
    // The system takes no leading backslash under a root (ERROR_BAD_PATHNAME).
    const std::wstring wpath = Widen(NormalizeKeyPath(path));
    HKEY h = nullptr;
    const LONG r = canCreate ? ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, wpath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                 KEY_ALL_ACCESS, nullptr, &h, nullptr)
                             : ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, wpath.c_str(), 0, KEY_ALL_ACCESS, &h);
    if (r != ERROR_SUCCESS) return false;
    key_.Reset(h);
    return true;
}

bool WinRegistry::OpenKeyReadOnly(std::string_view path) {
    CloseKey();
    const std::wstring wpath = Widen(NormalizeKeyPath(path));
    HKEY h = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, wpath.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    key_.Reset(h);
    return true;
}

void WinRegistry::CloseKey() { key_.Reset(); }

std::optional<RegistryValue> WinRegistry::QueryValue(const std::string& name) {
    if (!key_) return std::nullopt;
    const std::wstring wname = Widen(name);
    DWORD type = 0;
    DWORD size = 0;
    LONG r = ::RegQueryValueExW(key_.Get(), wname.c_str(), nullptr, &type, nullptr, &size);
    // The value can grow between the two calls; ask again with the new size.
    for (int attempt = 0; attempt < 8 && r == ERROR_SUCCESS; ++attempt) {
        RegistryValue v;
        v.data.resize(size);
        DWORD got = size;
        r = ::RegQueryValueExW(key_.Get(), wname.c_str(), nullptr, &type, size ? v.data.data() : nullptr, &got);
        if (r == ERROR_SUCCESS) {
            v.type = type;
            v.data.resize(got);
            return v;
        }
        if (r == ERROR_MORE_DATA) {
            size = got;
            r = ERROR_SUCCESS;
        }
    }
    return std::nullopt;
}

bool WinRegistry::SetValue(const std::string& name, const RegistryValue& value) {
    if (!key_) return false;
    return ::RegSetValueExW(key_.Get(), Widen(name).c_str(), 0, value.type, value.data.data(),
                            static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
}

bool WinRegistry::DeleteValue(const std::string& name) {
    if (!key_) return false;
    return ::RegDeleteValueW(key_.Get(), Widen(name).c_str()) == ERROR_SUCCESS;
}

std::string RunningExecutablePath() {
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return {};
        if (n < buf.size()) {
            buf.resize(n);
            return Narrow(buf);
        }
        buf.resize(buf.size() * 2);  // truncated: the path is longer
    }
}

}  // namespace zelvane
