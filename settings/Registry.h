// The registry as the settings store sees it: one key at a time under
// HKEY_LOCAL_MACHINE, opened with full access, and the typed reads and writes
// with the program's error texts.
//
// RegistryAccessor is the seam: the raw calls, implemented over the real
// registry (settings/WinRegistry) and in memory for tests. The rules that turn
// raw values into integers and strings, and failures into error texts, live
// here once, so both implementations behave alike.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelvane {

// Registry value types (the values of REG_SZ, REG_EXPAND_SZ, ...).
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;

inline constexpr const char* kGetDataText = "Failed to get data for '%s'";
inline constexpr const char* kInvalidTypeText = "Invalid data type for '%s'";
inline constexpr const char* kSetDataText = "Failed to set data for '%s'";

// A value as the registry holds it. Strings are UTF-16LE, as the wide
// registry functions store them.
struct RegistryValue {
    uint32_t type = 0;
    std::vector<uint8_t> data;
    bool operator==(const RegistryValue&) const = default;
};

class RegistryAccessor {
public:
    virtual ~RegistryAccessor() = default;

    // Opens `path` under HKEY_LOCAL_MACHINE with KEY_ALL_ACCESS, creating it
    // when `canCreate`; closes the key that was open before. The path may have
    // a leading backslash (from the root) and a trailing one; both name the
    // same key (see NormalizeKeyPath). False when the key cannot be opened.
    virtual bool OpenKey(std::string_view path, bool canCreate) = 0;
    // Opens an existing key for reading only (KEY_READ), as OpenKey does
    // otherwise: a key that the user may read but not change opens.
    virtual bool OpenKeyReadOnly(std::string_view path) = 0;
    // Closes the open key, if any.
    virtual void CloseKey() = 0;
    // The named value of the open key; nothing when there is no open key or
    // the value cannot be read.
    virtual std::optional<RegistryValue> QueryValue(const std::string& name) = 0;
    // False when there is no open key or the system refuses the write.
    virtual bool SetValue(const std::string& name, const RegistryValue& value) = 0;
    // False when there is no open key or no such value.
    virtual bool DeleteValue(const std::string& name) = 0;
};

// The key path as the system takes it under the root: without the leading
// backslash (which only says "from the root", and which the system rejects)
// and without trailing backslashes.
std::string NormalizeKeyPath(std::string_view path);

RegistryValue DwordValue(uint32_t value);
// UTF-8 text to REG_SZ data with its terminating zero.
RegistryValue StringValue(std::string_view text);

// Integer rules: no value, or data longer than 4 bytes -> "Failed to get data";
// another type than REG_DWORD -> "Invalid data type". Shorter REG_DWORD data
// is read as the bytes present, zero-extended.
uint32_t DecodeInteger(const std::string& name, const std::optional<RegistryValue>& value);
// String rules: no value or empty data -> ""; REG_SZ and REG_EXPAND_SZ (not
// expanded) -> the text up to the first zero; anything else -> "Invalid data
// type".
std::string DecodeString(const std::string& name, const std::optional<RegistryValue>& value);

uint32_t ReadInteger(RegistryAccessor& reg, const std::string& name);
std::string ReadString(RegistryAccessor& reg, const std::string& name);
// Both throw "Failed to set data for '<name>'" when the write fails.
void WriteInteger(RegistryAccessor& reg, const std::string& name, uint32_t value);
void WriteString(RegistryAccessor& reg, const std::string& name, std::string_view text);
// Whether the open key has the named value, whatever its type and data.
bool ValueExists(RegistryAccessor& reg, const std::string& name);

// Closes the accessor's key when the scope ends, also when an error leaves it.
class KeyScope {
public:
    explicit KeyScope(RegistryAccessor& reg) : reg_(reg) {}
    ~KeyScope() { reg_.CloseKey(); }
    KeyScope(const KeyScope&) = delete;
    KeyScope& operator=(const KeyScope&) = delete;

private:
    RegistryAccessor& reg_;
};

}  // namespace zelvane
