#include "phases/phase_types.h"

#include <filesystem>
#include <optional>
#include <sstream>

#include "platform/config.h"
#include "platform/file_read.h"
#include "platform/paths.h"
#include "platform/strformat.h"

namespace nuv {

std::string TravelTimeDirectory(const Config& config) {
  std::string dir = NativePath(Trim(config.travelTimeDir));
  if (dir.empty() || dir == "/") {
    dir = JoinPath(config.homeDir, "phases");
  } else if (!IsAbsolutePath(dir)) {
    dir = JoinPath(config.homeDir, dir);
  }
  if (dir.back() != '/') dir.push_back('/');
  return dir;
}

bool PhaseTypeTable::LoadNames(const std::string& ttDir, std::string* error) {
  Free();
  directory_ = ttDir;
  const std::string path = JoinPath(ttDir, "phaselist");
  std::optional<std::string> text;
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) {
    try {
      text = ReadWholeFile(path, "Ошибка открытия файла");
    } catch (const FileReadError& failure) {
      // An unreadable list is reported, never taken for an empty one; the
      // built-in list stands in for it.
      if (error) *error = failure.what();
    }
  }
  if (text) {
    // One entry per line: the name and the file name; a line without both
    // words is skipped.
    std::istringstream lines(*text);
    std::string line;
    while (std::getline(lines, line)) {
      std::istringstream words(line);
      std::string name, file;
      if (words >> name >> file) entries_.push_back({name, file, {}});
    }
  } else {
    for (const auto& [name, file] : BuiltInPhaseTypes()) entries_.push_back({name, file, {}});
  }
  for (const char* name : PseudoPhaseTypes()) entries_.push_back({name, "", {}});
  RebuildIndex();
  return text.has_value() || !std::filesystem::exists(path, ec);
}

bool PhaseTypeTable::Load(const std::string& ttDir, std::string* error) {
  const bool ok = LoadNames(ttDir, error);
  for (Entry& entry : entries_) {
    entry.data.name = entry.name.substr(0, 9);
    if (!entry.ttFile.empty()) ReadTravelTimeFile(JoinPath(ttDir, entry.ttFile), entry.data);
  }
  return ok;
}

void PhaseTypeTable::Free() {
  entries_.clear();
  index_.clear();
}

const std::string& PhaseTypeTable::Name(int i) const {
  return IsValid(i) ? entries_[i].name : empty_.name;
}

const std::string& PhaseTypeTable::TtFile(int i) const {
  return IsValid(i) ? entries_[i].ttFile : empty_.name;
}

int PhaseTypeTable::IndexOf(const std::string& name) const {
  const auto it = index_.find(name);
  return it == index_.end() ? -1 : it->second;
}

const PHASEDATA& PhaseTypeTable::Data(int i) const {
  return IsValid(i) ? entries_[i].data : empty_;
}

PHASEDATA& PhaseTypeTable::Data(int i) {
  if (IsValid(i)) return entries_[i].data;
  empty_.Free();
  return empty_;
}

int PhaseTypeTable::LoadTravelTimes(const std::string& name, const std::string& ttDir) {
  const int i = IndexOf(name);
  if (i < 0) return 0;
  Entry& entry = entries_[i];
  entry.data.Free();
  entry.data.name = entry.name.substr(0, 9);
  if (entry.ttFile.empty()) return 0;
  return ReadTravelTimeFile(JoinPath(ttDir, entry.ttFile), entry.data) ? 1 : 0;
}

void PhaseTypeTable::SetEntries(std::vector<Entry> entries) {
  entries_ = std::move(entries);
  RebuildIndex();
}

void PhaseTypeTable::RebuildIndex() {
  index_.clear();
  // A later duplicate of a name takes over the map entry.
  for (int i = 0; i < Count(); ++i) index_[entries_[i].name] = i;
}

}  // namespace nuv
