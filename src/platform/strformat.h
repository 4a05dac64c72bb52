#pragma once
// printf-style formatting into std::string, case-insensitive comparison and
// SQL text escaping. SQL and file formats of the system are fixed as printf
// formats, so keeping them as formats keeps them byte for byte.

#include <locale.h>

#include <string>
#include <string_view>

namespace nuv {

// The "C" numeric convention (the decimal point), whatever locale the
// desktop program or the user's environment has set: every file, SQL text
// and formula number is written and read with it.
locale_t CNumericLocale();

// Formats in the "C" numeric convention.
std::string StrFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The shortest text that reads back as exactly `value` ("0.1", "2.5e-07",
// "nan", "-inf"): decimal point, no locale. Files that must give back what
// was written use it instead of "%f", which turns 5e-7 into 0.
std::string RoundTripText(double value);

// strtod and strtof in the "C" numeric convention.
double StrToDouble(const char* text, char** end);
float StrToFloat(const char* text, char** end);

// Doubles every single quote, so the text can stand inside '...' in SQL.
std::string SqlEscape(std::string_view text);

// ASCII upper and lower case; bytes outside ASCII are left as they are.
std::string ToUpperAscii(std::string_view text);
std::string ToLowerAscii(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);

// Removes blanks, tabs, carriage returns and line feeds from both ends.
std::string_view Trim(std::string_view text);

// Leading-digit integer reading as the platform's profile reader does it:
// optional blanks and sign, then decimal digits; anything else gives 0.
long long LeadingInteger(std::string_view text);

}  // namespace nuv
