#include "base/NumberFormat.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace zelvane {

namespace {

constexpr int kGeneralDigits = 15;

// The digits of `value` rounded to `digits` significant ones, without
// trailing zeros, and the decimal exponent of the first digit.
struct Digits {
    std::string digits;
    int exponent = 0;
};

// The C library's conversions round exactly, as std::to_chars does, without
// the 180 KB of tables that the shortest-form conversions bring along.
Digits SignificantDigits(double value, int digits) {
    char buffer[64];
    const int n = std::snprintf(buffer, sizeof buffer, "%.*e", digits - 1, value);
    const std::string text(buffer, static_cast<std::size_t>(n));  // "d.dddde+XX"
    const auto e = text.find('e');
    Digits out;
    out.exponent = std::atoi(text.c_str() + e + 1);
    for (std::size_t i = 0; i < e; ++i) {
        if (text[i] != '.') out.digits += text[i];
    }
    while (out.digits.size() > 1 && out.digits.back() == '0') out.digits.pop_back();
    return out;
}

}  // namespace

std::string FormatGeneral(double value, std::string_view decimalSeparator) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";
    std::string out = value < 0 ? "-" : "";
    const Digits d = SignificantDigits(std::fabs(value), kGeneralDigits);
    const int count = static_cast<int>(d.digits.size());
    if (d.exponent >= kGeneralDigits || d.exponent < -5) {
        out += d.digits[0];
        if (count > 1) {
            out += decimalSeparator;
            out += d.digits.substr(1);
        }
        out += 'E';
        out += std::to_string(d.exponent);
    } else if (d.exponent < 0) {
        out += '0';
        out += decimalSeparator;
        out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
        out += d.digits;
    } else {
        const auto whole = static_cast<std::size_t>(d.exponent + 1);
        if (d.digits.size() <= whole) {
            out += d.digits;
            out.append(whole - d.digits.size(), '0');
        } else {
            out += d.digits.substr(0, whole);
            out += decimalSeparator;
            out += d.digits.substr(whole);
        }
    }
    return out;
}

std::string FormatNumber3(double value, std::string_view thousandsSeparator, std::string_view decimalSeparator) {
    char buffer[400];
    const int n = std::snprintf(buffer, sizeof buffer, "%.3f", value);
    if (n < 0 || n >= static_cast<int>(sizeof buffer) || !std::isfinite(value)) return FormatGeneral(value, decimalSeparator);
    std::string_view text(buffer, static_cast<std::size_t>(n));  // "-ddddd.ddd"
    std::string out;
    if (!text.empty() && text.front() == '-') {
        // A value that rounds to zero has no sign.
        if (text.find_first_not_of("-0.") != std::string_view::npos) out += '-';
        text.remove_prefix(1);
    }
    const auto point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) out += thousandsSeparator;
        out += whole[i];
    }
    out += decimalSeparator;
    out += text.substr(point + 1);
    return out;
}

}  // namespace zelvane
