#include "settings/Registry.h"

#include "base/Error.h"
#include "base/Text.h"

namespace zelvane {

std::string NormalizeKeyPath(std::string_view path) {
    if (!path.empty() && path.front() == '\\') path.remove_prefix(1);
    while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    return std::string(path);
}

RegistryValue DwordValue(uint32_t value) {
    RegistryValue v{kRegDword, {}};
    for (int i = 0; i < 4; ++i) v.data.push_back(static_cast<uint8_t>(value >> (8 * i)));
    return v;
}

RegistryValue StringValue(std::string_view text) {
    RegistryValue v{kRegSz, {}};
    std::u16string wide = Utf8ToUtf16(text);
    wide.push_back(u'\0');
    v.data.reserve(wide.size() * 2);
    for (char16_t c : wide) {
        v.data.push_back(static_cast<uint8_t>(c & 0xFF));
        v.data.push_back(static_cast<uint8_t>(c >> 8));
    }
    return v;
}

uint32_t DecodeInteger(const std::string& name, const std::optional<RegistryValue>& value) {
    if (!value || value->data.size() > 4) throw Error(FormatMessage1(kGetDataText, name));
    if (value->type != kRegDword) throw Error(FormatMessage1(kInvalidTypeText, name));
    uint32_t result = 0;
    for (std::size_t i = 0; i < value->data.size(); ++i) result |= uint32_t{value->data[i]} << (8 * i);
    return result;
}

std::string DecodeString(const std::string& name, const std::optional<RegistryValue>& value) {
    if (!value || value->data.empty()) return {};
    if (value->type != kRegSz && value->type != kRegExpandSz) throw Error(FormatMessage1(kInvalidTypeText, name));
    std::u16string wide;
    for (std::size_t i = 0; i + 1 < value->data.size(); i += 2) {
        const auto c = static_cast<char16_t>(value->data[i] | (value->data[i + 1] << 8));
        if (c == u'\0') break;
        wide.push_back(c);
    }
    return Utf16ToUtf8(wide);
}

uint32_t ReadInteger(RegistryAccessor& reg, const std::string& name) {
    return DecodeInteger(name, reg.QueryValue(name));
}

std::string ReadString(RegistryAccessor& reg, const std::string& name) {
    return DecodeString(name, reg.QueryValue(name));
}

void WriteInteger(RegistryAccessor& reg, const std::string& name, uint32_t value) {
    if (!reg.SetValue(name, DwordValue(value))) throw Error(FormatMessage1(kSetDataText, name));
}

void WriteString(RegistryAccessor& reg, const std::string& name, std::string_view text) {
    if (!reg.SetValue(name, StringValue(text))) throw Error(FormatMessage1(kSetDataText, name));
}

bool ValueExists(RegistryAccessor& reg, const std::string& name) {
    return reg.QueryValue(name).has_value();
}

}  // namespace zelvane
