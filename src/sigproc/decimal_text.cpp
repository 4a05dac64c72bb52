#include "sigproc/decimal_text.h"

#include <climits>
#include <cstdlib>
#include <string>

#include "platform/strformat.h"

namespace nuv {

double DecimalPrefix(std::string_view text, size_t* used) {
  const std::string copy(text);  // strtod needs a terminated string
  char* end = nullptr;
  const double value = StrToDouble(copy.c_str(), &end);
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
