#include "sigproc/decimal_text.h"

#include <locale.h>

#include <climits>
#include <cstdlib>
#include <string>

namespace nuv {
namespace {

locale_t CLocale() {
  static const locale_t locale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
  return locale;
}

}  // namespace

double DecimalPrefix(std::string_view text, size_t* used) {
  const std::string copy(text);  // strtod needs a terminated string
  char* end = nullptr;
  const double value = strtod_l(copy.c_str(), &end, CLocale());
  if (used) *used = static_cast<size_t>(end - copy.c_str());
  return value;
}

int IntegerPrefix(std::string_view text) {
  const std::string copy(text);
  const long long value = std::strtoll(copy.c_str(), nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace nuv
