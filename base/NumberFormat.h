// Numbers as the properties window shows them, with the separators of the
// user's locale passed in (UTF-8; a thousands separator may be several bytes,
// such as the no-break space of the Russian locale).
#pragma once

#include <string>
#include <string_view>

namespace zelvane {

// General format: the shortest decimal text of at most 15 significant digits,
// no thousands separators, no decimals for whole numbers ("1208", "12345",
// "0,5"). Numbers of more than 15 integer digits and numbers below 0.00001
// are written in scientific form ("1E20", "1,5E-6").
std::string FormatGeneral(double value, std::string_view decimalSeparator);

// Number format with exactly three decimals, rounded, and thousands
// separators: 1205.6318359375 gives "1,205.632" with "," and ".".
std::string FormatNumber3(double value, std::string_view thousandsSeparator, std::string_view decimalSeparator);

}  // namespace zelvane
