#include "base/IntParse.h"

#include "base/Error.h"

namespace zelvane {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Parses into the bit pattern of a `bits`-wide signed integer (32 or 64).
std::optional<uint64_t> Parse(std::string_view s, unsigned bits) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';

    bool hex = false;
    if (i < s.size() && s[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == s.size()) return std::nullopt;  // no digits at all

    const uint64_t mask = bits == 64 ? ~uint64_t{0} : (uint64_t{1} << bits) - 1;
    // Largest magnitude allowed: the whole pattern for hex; 2^(bits-1) - 1,
    // or 2^(bits-1) for a negative number, for decimal.
    const uint64_t limit = hex ? mask : (mask >> 1) + (negative ? 1 : 0);
    const unsigned base = hex ? 16 : 10;
    uint64_t value = 0;
    for (; i < s.size(); ++i) {
        const int d = hex ? HexDigit(s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);
        if (d < 0) return std::nullopt;
        if (value > (limit - static_cast<unsigned>(d)) / base) return std::nullopt;
        value = value * base + static_cast<unsigned>(d);
    }
    if (negative) value = (~value + 1) & mask;
    return value;
}

}  // namespace

std::optional<int32_t> TryStrToInt(std::string_view text) {
    const auto v = Parse(text, 32);
    if (!v) return std::nullopt;
    return static_cast<int32_t>(static_cast<uint32_t>(*v));
}

std::optional<int64_t> TryStrToInt64(std::string_view text) {
    const auto v = Parse(text, 64);
    if (!v) return std::nullopt;
    return static_cast<int64_t>(*v);
}

int32_t StrToInt(const std::string& text) {
    const auto v = TryStrToInt(text);
    if (!v) throw Error(FormatMessage1(kNotAnIntegerText, text));
    return *v;
}

int64_t StrToInt64(const std::string& text) {
    const auto v = TryStrToInt64(text);
    if (!v) throw Error(FormatMessage1(kNotAnIntegerText, text));
    return *v;
}

}  // namespace zelvane
