// Text to integer with the program's rules, used for the settings fields, the
// process identifier cells of the table and the properties window.
//
// Accepted: any number of leading spaces (only the space character; tabs and
// other control characters are rejected), an optional "+" or "-", then either
// decimal digits or hexadecimal digits after "$", "0x" or "0X", and nothing
// after them. Decimal values must lie in the signed range of the result type.
// Hexadecimal digits give a bit pattern of at most 32 (64) bits, which is read
// as a signed value: "$FFFFFFFF" is -1 for StrToInt, "$100000000" is out of
// range. A "-" before hexadecimal digits negates that value with wrap-around
// ("-$80000000" is -2147483648). Leading zeros are allowed in both forms.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zelvane {

// The error text of a failed conversion, "%s" standing for the whole text.
inline constexpr const char* kNotAnIntegerText = "'%s' is not a valid integer value";

std::optional<int32_t> TryStrToInt(std::string_view text);
std::optional<int64_t> TryStrToInt64(std::string_view text);

// Throw Error("'<text>' is not a valid integer value") when TryStrToInt would
// give nothing.
int32_t StrToInt(const std::string& text);
int64_t StrToInt64(const std::string& text);

}  // namespace zelvane
