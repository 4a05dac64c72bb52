#include "bulletins/fixed_columns.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/strformat.h"
#include "sigproc/decimal_text.h"

namespace nuv {

void ColumnLine::Put(int column, std::string_view text, int room) {
  if (column < 1 || room <= 0) return;
  const size_t start = static_cast<size_t>(column - 1);
  for (size_t i = 0; i < text.size() && i < static_cast<size_t>(room); ++i) {
    if (start + i >= text_.size()) break;
    text_[start + i] = text[i];
  }
}

void ColumnLine::PutFitting(int column, std::string_view text, int room) {
  if (static_cast<int>(text.size()) <= room) Put(column, text, room);
}

std::string FitNumber(const char* format, double value, int room) {
  char buffer[512];
  const int n = std::snprintf(buffer, sizeof buffer, format, value);
  if (n < 0 || n > room) return "";
  return std::string(buffer, static_cast<size_t>(n));
}

std::string FitInteger(const char* format, long long value, int room) {
  char buffer[64];
  const int n = std::snprintf(buffer, sizeof buffer, format, value);
  if (n < 0 || n > room) return "";
  return std::string(buffer, static_cast<size_t>(n));
}

double FitOrNull(double value, int room, int precision, double null) {
  char buffer[512];
  const int n = std::snprintf(buffer, sizeof buffer, "%*.*f", room, precision, value);
  return n >= 0 && n <= room ? value : null;
}

long long FitOrNull(long long value, int room, long long null) {
  char buffer[64];
  const int n = std::snprintf(buffer, sizeof buffer, "%*lld", room, value);
  return n >= 0 && n <= room ? value : null;
}

std::string_view Columns(std::string_view line, int first, int last) {
  if (first < 1 || last < first) return {};
  const size_t start = static_cast<size_t>(first - 1);
  if (start >= line.size()) return {};
  return line.substr(start, static_cast<size_t>(last - first + 1));
}

bool IsBlankField(std::string_view text) {
  for (char c : text)
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\0') return false;
  return true;
}

std::optional<double> ReadNumber(std::string_view field) {
  if (IsBlankField(field)) return std::nullopt;
  size_t used = 0;
  const double value = DecimalPrefix(field, &used);
  if (used == 0) return std::nullopt;
  return value;
}

std::optional<int> ReadInteger(std::string_view field) {
  const std::string_view text = Trim(field);
  if (text.empty()) return std::nullopt;
  size_t i = (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (i >= text.size() || text[i] < '0' || text[i] > '9') return std::nullopt;
  return IntegerPrefix(text);
}

std::string FirstWord(std::string_view field) {
  const std::string_view text = Trim(field);
  size_t end = 0;
  while (end < text.size() && text[end] != ' ' && text[end] != '\t') ++end;
  return std::string(text.substr(0, end));
}

std::vector<std::string> SplitWords(std::string_view line) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    size_t end = i;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r') ++end;
    if (end > i) words.emplace_back(line.substr(i, end - i));
    i = end;
  }
  return words;
}

bool LineReader::Next(std::string_view& line) {
  if (pos_ >= text_.size()) return false;
  lineStart_ = pos_;
  size_t end = text_.find('\n', pos_);
  const size_t next = end == std::string_view::npos ? text_.size() : end + 1;
  if (end == std::string_view::npos) end = text_.size();
  line = text_.substr(pos_, end - pos_);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  pos_ = next;
  ++number_;
  return true;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

}  // namespace nuv
