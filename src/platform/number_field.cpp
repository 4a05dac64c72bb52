#include "platform/number_field.h"

#include <cmath>

#include "platform/strformat.h"

namespace nuv {

std::string NumberFieldText(std::string_view text) {
  std::string out(Trim(text));
  // One comma and no point is a decimal comma; anything else stays as typed
  // (and is refused by the parser).
  const size_t comma = out.find(',');
  if (comma != std::string::npos && out.find(',', comma + 1) == std::string::npos &&
      out.find('.') == std::string::npos)
    out[comma] = '.';
  return out;
}

bool NumberFieldPrefix(std::string_view text) {
  // sign? digits* (separator digits*)? (e sign? digits*)?
  const std::string t = NumberFieldText(text);
  size_t i = 0;
  const auto digits = [&] {
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
  };
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  digits();
  if (i < t.size() && t[i] == '.') {
    ++i;
    digits();
  }
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E') && i > 0 && t[i - 1] != '+' && t[i - 1] != '-') {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    digits();
  }
  return i == t.size();
}

std::optional<double> ParseNumberField(std::string_view text) {
  const std::string t = NumberFieldText(text);
  // Only what a decimal number is written with: no "inf", "nan" or hexadecimal.
  if (t.empty() || t.find_first_not_of("0123456789+-.eE") != std::string::npos ||
      !NumberFieldPrefix(t))
    return std::nullopt;
  char* end = nullptr;
  const double value = StrToDouble(t.c_str(), &end);
  if (end != t.c_str() + t.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace nuv
