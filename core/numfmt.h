// Number masks and number parsing. The decimal separator is always an argument.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Formats `value` with one of the system's masks:
//   "0.0" "0.00" "0.000" "0.0000" "0.0###" "0.0##########" " 0.00" "+0.00;-0.00"
//   "0.#" "0.##" "0.###" "0.####" "0.###########"
// The value is expanded to 18 significant digits, then rounded half away
// from zero at the last shown decimal. No group separator is ever written.
std::string format_number(const char* mask, double value, char decimal_sep);

// Parses a typed number. Accepts an optional sign, digits, one `decimal_sep`
// and an optional exponent; surrounding blanks are allowed. Refuses empty
// texts, any other separator, nan/inf, hexadecimal and values too large for
// a double. Returns false when the text is not a number.
bool parse_number(const char* text, char decimal_sep, double& out);
// The same for text that need not end in a NUL; a NUL in it is no number.
bool parse_number(std::string_view text, char decimal_sep, double& out);
