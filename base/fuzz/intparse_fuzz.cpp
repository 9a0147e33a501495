// libFuzzer target: the integer parser against a plain reference written
// from its rules (leading spaces, sign, "$"/"0x"/"0X", range of the signed
// type for decimals, bit pattern for hex), on the raw input and on the input
// placed after a few well-known prefixes. Also: StrToInt throws exactly the
// program's error text when the try-form gives nothing, and every value that
// parses prints back (in decimal) to the same value.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "base/Error.h"
#include "base/IntParse.h"

namespace {

using zelvane::Error;

// Digits are summed into 128 bits and stop counting once the value is far out
// of any range: a separate, deliberately naive route to the same answer.
std::optional<int64_t> Reference(std::string_view s, int bits) {
    std::size_t i = s.find_first_not_of(' ');
    if (i == std::string_view::npos) return std::nullopt;
    bool negative = false;
    if (s[i] == '+' || s[i] == '-') negative = s[i++] == '-';
    unsigned base = 10;
    if (s.substr(i, 1) == "$") {
        base = 16;
        i += 1;
    } else if (s.substr(i, 2) == "0x" || s.substr(i, 2) == "0X") {
        base = 16;
        i += 2;
    }
    if (i >= s.size()) return std::nullopt;
    unsigned __int128 magnitude = 0;
    const unsigned __int128 cap = static_cast<unsigned __int128>(1) << 70;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        unsigned d = 99;
        if (c >= '0' && c <= '9') d = static_cast<unsigned>(c - '0');
        if (base == 16 && c >= 'a' && c <= 'f') d = static_cast<unsigned>(c - 'a' + 10);
        if (base == 16 && c >= 'A' && c <= 'F') d = static_cast<unsigned>(c - 'A' + 10);
        if (d >= base) return std::nullopt;
        magnitude = magnitude * base + d;
        if (magnitude > cap) magnitude = cap;
    }
    const unsigned __int128 one = 1;
    if (base == 10) {
        const unsigned __int128 limit = (one << (bits - 1)) - (negative ? 0 : 1);
        if (magnitude > limit) return std::nullopt;
        const __int128 value = negative ? -static_cast<__int128>(magnitude) : static_cast<__int128>(magnitude);
        return static_cast<int64_t>(value);
    }
    if (magnitude > (one << bits) - 1) return std::nullopt;
    uint64_t pattern = static_cast<uint64_t>(magnitude);
    if (negative) pattern = ~pattern + 1;
    if (bits == 32) return static_cast<int32_t>(static_cast<uint32_t>(pattern));
    return static_cast<int64_t>(pattern);
}

// Names the check that failed, then stops the run as a crash.
[[noreturn]] void Fail(int line) {
    std::fprintf(stderr, "intparse_fuzz: check at line %d failed\n", line);
    __builtin_trap();
}
#define FAIL() Fail(__LINE__)

// The error text; what() ends at a zero byte of the text.
bool IsParseError(const Error& e, const std::string& text) {
    const std::string expected = "'" + text + "' is not a valid integer value";
    return std::string(e.what()) == expected.substr(0, expected.find('\0'));
}

void Check(const std::string& text) {
    const auto ref32 = Reference(text, 32);
    const auto ref64 = Reference(text, 64);
    const auto got32 = zelvane::TryStrToInt(text);
    const auto got64 = zelvane::TryStrToInt64(text);
    if (ref32.has_value() != got32.has_value() || (ref32 && *ref32 != *got32)) FAIL();
    if (ref64.has_value() != got64.has_value() || (ref64 && *ref64 != *got64)) FAIL();

    try {
        const int32_t v = zelvane::StrToInt(text);
        if (!got32 || v != *got32) FAIL();
        if (zelvane::TryStrToInt(std::to_string(v)) != v) FAIL();
    } catch (const Error& e) {
        if (got32 || !IsParseError(e, text)) FAIL();
    }
    try {
        const int64_t v = zelvane::StrToInt64(text);
        if (!got64 || v != *got64) FAIL();
        if (zelvane::TryStrToInt64(std::to_string(v)) != v) FAIL();
    } catch (const Error& e) {
        if (got64 || !IsParseError(e, text)) FAIL();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Check(text);
    // The same bytes behind the prefixes where the parser branches, so that
    // the fuzzer need not find them first.
    for (const char* prefix : {" -", "$", "-0x", "+0X"}) Check(prefix + text);
    return 0;
}
