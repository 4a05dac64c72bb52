#include "phases/phase_sets.h"

#include "phases/phase_types.h"
#include "platform/profile_file.h"

namespace nuv {

std::vector<int> ParseSet(const std::string& text, const PhaseTypeTable& types) {
  std::vector<int> indices;
  std::string name;
  auto complete = [&]() {
    const int index = types.IndexOf(name);
    if (index >= 0) indices.push_back(index);
    name.clear();
  };
  for (char c : text) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
    if (c == ',' || c == ';') {
      complete();
      continue;
    }
    name.push_back(c);
  }
  if (!name.empty()) complete();
  return indices;
}

int PhaseSetNumber(const std::string& selection) {
  for (int i = 0; i < kFullPhaseSet; ++i)
    if (selection == kPhaseSetNames[i]) return i;
  return kFullPhaseSet;
}

std::string PhaseSets::ReadSet(const std::string& key) const {
  return ini_.GetString(kPhaseSetSection, key, "", 4096);
}

void PhaseSets::WriteSet(const std::string& key, const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += name + ";";
  ini_.WriteString(kPhaseSetSection, key, text);
}

int PhaseSets::ActiveSet() const {
  return PhaseSetNumber(ini_.GetString(kPhaseSetSection, "Selection", "", 512));
}

void PhaseSets::SetActiveSet(const std::string& name) {
  ini_.WriteString(kPhaseSetSection, "Selection", name);
}

std::vector<int> PhaseSets::OfferedTypes(const PhaseTypeTable& types) const {
  const int active = ActiveSet();
  if (active != kFullPhaseSet) {
    const std::string text = ReadSet(kPhaseSetNames[active]);
    if (!text.empty()) return ParseSet(text, types);
  }
  std::vector<int> all;
  for (int i = 0; i < types.Count(); ++i) all.push_back(i);
  return all;
}

}  // namespace nuv
