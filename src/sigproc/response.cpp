#include "sigproc/response.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>

#include "platform/paths.h"
#include "platform/strformat.h"
#include "sigproc/instrument.h"

namespace nuv {

namespace {

// More roots than this cannot come from a real instrument; a larger count is
// a damaged text, and refusing it keeps a typo from allocating gigabytes.
constexpr long long kMaxRoots = 1000;

bool Fail(ResponseParseError* error, std::string reason) {
  if (error != nullptr) error->reason = std::move(reason);
  return false;
}

// Splits at blanks and tabs.
std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    std::size_t j = i;
    while (j < line.size() && line[j] != ' ' && line[j] != '\t') ++j;
    if (j > i) words.push_back(line.substr(i, j - i));
    i = j;
  }
  return words;
}

// Splits at any of `separators`; empty pieces are kept out.
std::vector<std::string_view> Lines(std::string_view text, std::string_view separators) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || separators.find(text[i]) != std::string_view::npos) {
      std::string_view line = Trim(text.substr(start, i - start));
      if (!line.empty()) lines.push_back(line);
      start = i + 1;
    }
  }
  return lines;
}

// A whole word as a number, independent of the process locale (the desktop
// program runs under a Russian locale whose decimal separator is a comma).
template <typename T>
bool ParseNumber(std::string_view word, T& value) {
  if (!word.empty() && word.front() == '+') word.remove_prefix(1);
  if (word.empty()) return false;
  const char* end = word.data() + word.size();
  auto [ptr, ec] = std::from_chars(word.data(), end, value);
  return ec == std::errc() && ptr == end;
}

bool ParseCount(std::string_view word, long long& count) {
  if (!word.empty() && word.front() == '+') word.remove_prefix(1);
  const char* end = word.data() + word.size();
  auto [ptr, ec] = std::from_chars(word.data(), end, count);
  return !word.empty() && ec == std::errc() && ptr == end;
}

bool Contains(std::string_view word, std::string_view what) {
  return ToUpperAscii(word).find(what) != std::string::npos;
}

bool CheckAscending(const std::vector<std::pair<float, float>>& table, ResponseParseError* error) {
  for (std::size_t i = 1; i < table.size(); ++i) {
    if (table[i].first < table[i - 1].first) {
      return Fail(error, StrFormat("frequencies are not in ascending order at pair %zu", i + 1));
    }
  }
  return true;
}

}  // namespace

std::complex<double> PoleZeroResponse::Evaluate(double frequency) const {
  return RootResponse(constant, zeros, poles, frequency);
}

std::complex<double> PoleZeroResponse::Inverse(double frequency) const {
  const std::complex<double> h = Evaluate(frequency);
  if (std::abs(h) == 0.0) return {-1.0, 0.0};
  return std::complex<double>(1e9, 0.0) / h;
}

bool ParseSacPoleZero(std::string_view text, PoleZeroResponse& response,
                      ResponseParseError* error) {
  PoleZeroResponse result;
  bool haveList = false;
  std::vector<std::complex<double>>* current = nullptr;
  std::size_t filled = 0;
  int lineNumber = 0;
  for (std::string_view line : Lines(text, "\r\n|;")) {
    ++lineNumber;
    const auto words = Words(line);
    if (words.empty() || words[0].front() == '*') continue;
    const bool zeros = Contains(words[0], "ZEROS");
    const bool poles = !zeros && Contains(words[0], "POLES");
    if (zeros || poles) {
      long long count = 0;
      if (words.size() < 2 || !ParseCount(words[1], count) || count < 0 || count > kMaxRoots) {
        return Fail(error, StrFormat("line %d: bad count in \"%.*s\"", lineNumber,
                                     static_cast<int>(line.size()), line.data()));
      }
      current = zeros ? &result.zeros : &result.poles;
      current->assign(static_cast<std::size_t>(count), {0.0, 0.0});
      filled = 0;
      haveList = true;
      continue;
    }
    if (Contains(words[0], "CONSTANT")) {
      if (words.size() < 2 || !ParseNumber(words[1], result.constant)) {
        return Fail(error, StrFormat("line %d: bad constant in \"%.*s\"", lineNumber,
                                     static_cast<int>(line.size()), line.data()));
      }
      continue;
    }
    double re = 0.0;
    double im = 0.0;
    if (current == nullptr || words.size() < 2 || !ParseNumber(words[0], re) ||
        !ParseNumber(words[1], im)) {
      return Fail(error,
                  StrFormat("line %d: \"%.*s\" is not a pair of numbers after ZEROS or POLES",
                            lineNumber, static_cast<int>(line.size()), line.data()));
    }
    if (filled < current->size()) (*current)[filled++] = {re, im};
  }
  if (!haveList) return Fail(error, "no ZEROS or POLES line");
  response = std::move(result);
  return true;
}

double CAPResponse::Amplitude(double frequency) const {
  if (table_.empty()) return 0.0;
  if (!(frequency >= table_.front().first && frequency <= table_.back().first)) return 0.0;
  const auto it = std::lower_bound(
      table_.begin(), table_.end(), frequency,
      [](const std::pair<float, float>& entry, double f) { return entry.first < f; });
  if (static_cast<double>(it->first) == frequency) return it->second;
  const auto& lo = *(it - 1);
  const auto& hi = *it;
  const double f0 = lo.first;
  const double f1 = hi.first;
  const double a0 = lo.second;
  const double a1 = hi.second;
  return a0 + (a1 - a0) * (frequency - f0) / (f1 - f0);
}

bool ParseFapFileText(std::string_view text, CAPResponse& response, ResponseParseError* error) {
  std::vector<std::string_view> words;
  for (std::string_view line : Lines(text, "\r\n")) {
    for (std::string_view word : Words(line)) words.push_back(word);
  }
  long long count = 0;
  if (words.empty() || !ParseCount(words[0], count)) {
    return Fail(error, "the pair count is missing");
  }
  if (count <= 0) return Fail(error, StrFormat("the pair count %lld is not positive", count));
  std::vector<std::pair<float, float>> table;
  for (long long i = 0; i < count; ++i) {
    const std::size_t at = 1 + 2 * static_cast<std::size_t>(i);
    float f = 0.0f;
    float a = 0.0f;
    if (at + 1 >= words.size()) {
      return Fail(error, StrFormat("%lld pairs announced, %lld found", count, i));
    }
    if (!ParseNumber(words[at], f) || !ParseNumber(words[at + 1], a)) {
      return Fail(error, StrFormat("pair %lld is not two numbers", i + 1));
    }
    table.emplace_back(f, a);
  }
  if (!CheckAscending(table, error)) return false;
  response = CAPResponse(std::move(table));
  return true;
}

bool ParseFapDatabaseText(std::string_view text, CAPResponse& response, ResponseParseError* error) {
  std::vector<std::pair<float, float>> table;
  for (std::string_view line : Lines(text, "\r\n|;")) {
    const std::string head = ToUpperAscii(line.substr(0, 3));
    if (head == "FAP" || head == "CAL") continue;
    const auto words = Words(line);
    float f = 0.0f;
    float a = 0.0f;
    if (words.size() < 2 || !ParseNumber(words[0], f) || !ParseNumber(words[1], a)) {
      return Fail(error, StrFormat("\"%.*s\" is not a line of frequency, amplitude and phase",
                                   static_cast<int>(line.size()), line.data()));
    }
    table.emplace_back(f, a);
  }
  if (table.empty()) return Fail(error, "no frequency-amplitude pair");
  if (!CheckAscending(table, error)) return false;
  response = CAPResponse(std::move(table));
  return true;
}

std::string FapFilePath(std::string_view homeDir, std::string_view fileName) {
  std::string path(homeDir);
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
  return NativePath(path + "RESPONSE/" + std::string(fileName));
}

int ReadFapFile(std::string_view homeDir, std::string_view fileName, CAPResponse& response,
                ResponseParseError* error) {
  if (fileName.empty()) {
    Fail(error, "no response file is set for the channel");
    return -1;
  }
  const std::string path = FapFilePath(homeDir, fileName);
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    Fail(error, "cannot open " + path);
    return 0;
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) {
    Fail(error, "cannot read " + path);
    return 0;
  }
  if (!ParseFapFileText(text.str(), response, error)) {
    if (error != nullptr) error->reason = path + ": " + error->reason;
    return 0;
  }
  return 1;
}

}  // namespace nuv
