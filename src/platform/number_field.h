#pragma once
// Numbers typed into dialog fields. The analyst may type the decimal point
// or the decimal comma (the Russian convention, and what a Russian keypad
// gives); settings, files and SQL keep the point.

#include <optional>
#include <string>
#include <string_view>

namespace nuv {

// The number the whole field holds: blanks around it, an optional sign,
// digits with one decimal point or one decimal comma, an optional exponent.
// Anything else (empty, "1,2.3", "12abc", "inf") gives nullopt.
std::optional<double> ParseNumberField(std::string_view text);

// The field's text as settings and files keep it: blanks around it removed,
// a decimal comma turned into the point ("0,5" gives "0.5").
std::string NumberFieldText(std::string_view text);

// True while `text` may still become a number as the analyst goes on typing
// ("", "-", "0,", "1e"); every complete number is such a text too.
bool NumberFieldPrefix(std::string_view text);

}  // namespace nuv
