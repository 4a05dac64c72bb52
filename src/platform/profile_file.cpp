#include "platform/profile_file.h"

#include <sstream>
#include <vector>

#include "platform/file_read.h"
#include "platform/file_write.h"
#include "platform/strformat.h"
#include "platform/text_codec.h"

namespace nuv {
namespace {

// The file's lines; none when it is missing. `readable` is cleared when the
// file exists but cannot be read to its end.
std::vector<std::string> ReadLines(const std::filesystem::path& path, bool* readable = nullptr) {
  std::vector<std::string> lines;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return lines;
  std::string bytes;
  try {
    bytes = ReadWholeFile(path.string());
  } catch (const FileReadError&) {
    if (readable) *readable = false;
    return lines;
  }
  const std::string text = DecodeText(bytes);
  std::string line;
  std::istringstream stream(text);
  while (std::getline(stream, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// "[name]" -> name; otherwise nullopt.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  const size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

bool KeyMatches(std::string_view line, std::string_view key, std::string_view* value) {
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  if (!EqualsNoCase(Trim(line.substr(0, eq)), Trim(key))) return false;
  if (value) *value = Trim(line.substr(eq + 1));
  return true;
}

// Writes the lines through a temporary file renamed over the old one; on
// failure the old file stays and no temporary is left behind.
bool WriteLines(const std::filesystem::path& path, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return ReplaceFile(path, text);
}

size_t Utf8Cut(std::string_view text, size_t maxBytes) {
  if (text.size() <= maxBytes) return text.size();
  size_t cut = maxBytes;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return cut;
}

}  // namespace

std::optional<std::string> ProfileFile::Find(std::string_view section, std::string_view key) const {
  bool inSection = false;
  for (const std::string& line : ReadLines(path_)) {
    if (auto name = SectionName(line)) {
      inSection = EqualsNoCase(*name, Trim(section));
      continue;
    }
    std::string_view value;
    if (inSection && KeyMatches(line, key, &value)) return std::string(value);
  }
  return std::nullopt;
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key,
                                   std::string_view def, size_t bufferSize) const {
  std::string value = Find(section, key).value_or(std::string(def));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  const size_t limit = bufferSize > 0 ? bufferSize - 1 : 0;
  value.resize(Utf8Cut(value, limit));
  return value;
}

int ProfileFile::GetInt(std::string_view section, std::string_view key, int def) const {
  const auto value = Find(section, key);
  if (!value) return def;
  return static_cast<int>(LeadingInteger(*value));
}

bool ProfileFile::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
  bool readable = true;
  std::vector<std::string> lines = ReadLines(path_, &readable);
  // A file that cannot be read is not rewritten from nothing: its other
  // sections would be lost.
  if (!readable) return false;
  const std::string entry = std::string(Trim(key)) + "=" + std::string(value);
  bool inSection = false;
  bool done = false;
  size_t sectionEnd = std::string::npos;  // index after the last line of the section
  for (size_t i = 0; i < lines.size() && !done; ++i) {
    if (auto name = SectionName(lines[i])) {
      if (inSection) break;
      inSection = EqualsNoCase(*name, Trim(section));
      if (inSection) sectionEnd = i + 1;
      continue;
    }
    if (!inSection) continue;
    if (KeyMatches(lines[i], key, nullptr)) {
      lines[i] = entry;
      done = true;
    } else if (!Trim(lines[i]).empty()) {
      sectionEnd = i + 1;
    }
  }
  if (!done) {
    if (sectionEnd == std::string::npos) {
      if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
      lines.push_back("[" + std::string(Trim(section)) + "]");
      lines.push_back(entry);
    } else {
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(sectionEnd), entry);
    }
  }
  return WriteLines(path_, lines);
}

std::string SettingsNotSavedMessage(const std::filesystem::path& file) {
  return "Ошибка записи файла " + file.string() + ": установки не сохранены";
}

bool ProfileFile::DeleteSection(std::string_view section) {
  bool readable = true;
  std::vector<std::string> lines = ReadLines(path_, &readable);
  // A file that cannot be read is never rewritten from nothing.
  if (!readable) return false;
  std::vector<std::string> kept;
  bool inSection = false;
  bool found = false;
  for (std::string& line : lines) {
    if (auto name = SectionName(line)) {
      inSection = EqualsNoCase(*name, Trim(section));
      found = found || inSection;
    }
    if (!inSection) kept.push_back(std::move(line));
  }
  if (!found) return true;
  return WriteLines(path_, kept);
}

}  // namespace nuv
