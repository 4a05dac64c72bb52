#include "sigproc/formula_lists.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/profile_file.h"
#include "platform/strformat.h"
#include "platform/text_codec.h"

namespace nuv {
namespace {

constexpr const char* kSection = "Formulas list";
constexpr size_t kMaxLine = 512;

}  // namespace

std::vector<std::string> ReadRecentFormulas(const ProfileFile& profile) {
  std::vector<std::string> list;
  for (int i = 1; i <= kMaxRecentFormulas; ++i) {
    std::string value = profile.GetString(kSection, StrFormat("formula%d", i), "", 1024);
    if (!value.empty()) list.push_back(std::move(value));
  }
  return list;
}

std::vector<std::string> AddRecentFormula(ProfileFile& profile, std::string_view formula) {
  std::vector<std::string> list = ReadRecentFormulas(profile);
  list.erase(std::remove(list.begin(), list.end(), formula), list.end());
  list.insert(list.begin(), std::string(formula));
  if (list.size() > static_cast<size_t>(kMaxRecentFormulas)) list.resize(kMaxRecentFormulas);
  // The section is written anew: removed entries leave no keys behind.
  profile.DeleteSection(kSection);
  int number = 1;
  for (const std::string& entry : list)
    if (!entry.empty()) profile.WriteString(kSection, StrFormat("formula%d", number++), entry);
  return list;
}

std::vector<SavedFormula> ReadSavedFormulas(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::ofstream create(file, std::ios::binary);  // a missing file is created empty
    return {};
  }
  std::stringstream buffer;
  buffer << in.rdbuf();
  const std::string text = DecodeText(buffer.str());
  // Lines end with a carriage return; a line feed (files edited elsewhere) is
  // accepted too, and an empty line between CR and LF is not counted.
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\n' && i > 0 && text[i - 1] == '\r') continue;
      lines.push_back(line.substr(0, kMaxLine));
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line.substr(0, kMaxLine));
  std::vector<SavedFormula> list;
  for (size_t i = 0; i + 1 < lines.size() && list.size() < kMaxSavedFormulasRead; i += 2)
    list.push_back({lines[i], lines[i + 1]});
  return list;
}

bool WriteSavedFormulas(const std::filesystem::path& file, const std::vector<SavedFormula>& list) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  for (const SavedFormula& entry : list) out << entry.description << '\r' << entry.formula << '\r';
  return static_cast<bool>(out.flush());
}

FormulaNameCheck CheckFormulaName(std::string_view typed) {
  FormulaNameCheck check;
  if (typed.empty()) {
    check.message = "Пожалуйста, введите имя формулы";
    return check;
  }
  const size_t first = typed.find_first_not_of(' ');
  if (first == std::string_view::npos) {
    check.message = "Имя формулы не может состоять из пробелов";
    return check;
  }
  check.name = std::string(typed.substr(first));
  return check;
}

bool AddSavedFormula(const std::filesystem::path& file, const SavedFormula& entry) {
  std::vector<SavedFormula> list = ReadSavedFormulas(file);
  if (list.size() >= static_cast<size_t>(kMaxSavedFormulasAdded)) return false;
  list.insert(list.begin(), entry);
  return WriteSavedFormulas(file, list);
}

bool RemoveSavedFormula(const std::filesystem::path& file, size_t index) {
  std::vector<SavedFormula> list = ReadSavedFormulas(file);
  if (index >= list.size()) return false;
  list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
  return WriteSavedFormulas(file, list);
}

}  // namespace nuv
