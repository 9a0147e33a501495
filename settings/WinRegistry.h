// The settings store's registry accessor over the real registry: keys under
// HKEY_LOCAL_MACHINE with KEY_ALL_ACCESS, one at a time, text through the wide
// functions.
#pragma once

#include <string>

#include "sys/Handles.h"
#include "settings/Registry.h"

namespace zelvane {

class WinRegistry : public RegistryAccessor {
public:
    bool OpenKey(std::string_view path, bool canCreate) override;
    bool OpenKeyReadOnly(std::string_view path) override;
    void CloseKey() override;
    std::optional<RegistryValue> QueryValue(const std::string& name) override;
    bool SetValue(const std::string& name, const RegistryValue& value) override;
    bool DeleteValue(const std::string& name) override;

private:
    RegKey key_;
};

// The full path of the running program's file, as the system reports it: the
// path that the autorun value starts.
std::string RunningExecutablePath();

}  // namespace zelvane
