#pragma once
// Decimal conversion with the C library's strtod/atoi rules in the "C"
// numeric convention, whatever locale the desktop program has set: numbers
// in formulas and settings always use the decimal point.

#include <string_view>

namespace nuv {

// strtod semantics: leading blanks skipped, the longest numeric prefix
// converted (decimal, exponent, hexadecimal, inf, nan); 0 when there is none.
// `used` receives the number of characters consumed (0 when none).
double DecimalPrefix(std::string_view text, size_t* used = nullptr);

// atoi semantics: optional blanks and sign, then decimal digits; 0 when there
// are none; values beyond the int range are clamped.
int IntegerPrefix(std::string_view text);

}  // namespace nuv
