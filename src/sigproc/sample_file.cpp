#include "sigproc/sample_file.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/strformat.h"
#include "sigproc/decimal_text.h"

namespace nuv {

std::optional<std::vector<double>> ReadSampleFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::stringstream buffer;
  buffer << in.rdbuf();
  const std::string text = buffer.str();
  std::vector<double> values;
  size_t pos = 0;
  while (pos < text.size()) {
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
    if (pos == text.size()) break;
    size_t end = pos;
    while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end]))) ++end;
    size_t used = 0;
    const double value = DecimalPrefix(std::string_view(text).substr(pos, end - pos), &used);
    // As "%lf" does, reading stops at the first text that is not a number.
    if (used == 0) break;
    values.push_back(value);
    if (used < end - pos) break;
    pos = end;
  }
  return values;
}

bool WriteSampleFile(const std::filesystem::path& path, const std::vector<double>& samples) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  std::string text;
  text.reserve(samples.size() * 12);
  for (double v : samples) {
    text += RoundTripText(v);
    text += '\n';
  }
  out << text;
  return static_cast<bool>(out.flush());
}

}  // namespace nuv
