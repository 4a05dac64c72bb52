#include "phases/phase_types.h"

#include <fstream>
#include <sstream>

#include "app/config.h"
#include "app/workstation.h"
#include "platform/paths.h"
#include "platform/strformat.h"

namespace nuv {

const std::vector<std::pair<const char*, const char*>>& BuiltInPhaseTypes() {
  static const std::vector<std::pair<const char*, const char*>> kTable = {
      {"P", "P"},
      {"S", "S"},
      {"PKiKP", "pkikp"},
      {"PKPdf", "PKP(df)"},
      {"Pn", "P_n"},
      {"Pg", "P_g"},
      {"Sn", "S_n"},
      {"Sg", "S_g"},
      {"LQ", "LQ"},
      {"LR", "LR"},
      {"LRM", "LRM"},
      {"Lg", "L_g"},
      {"Rg", "R_g"},
      {"PKKPab", "PKKP(ab)"},
      {"PKKPbc", "PKKP(bc)"},
      {"PKKPdf", "PKKP(df)"},
      {"PKPPKP", "PKPPKP"},
      {"PKP", "PKP"},
      {"PKPab", "PKP(ab)"},
      {"PKPbc", "PKP(bc)"},
      {"PP", "PP"},
      {"PPP", "PPP"},
      {"PPS", "PPS"},
      {"PS", "PS"},
      {"Pb", "P_b"},
      {"PcP", "P_cP"},
      {"PcS", "P_cS"},
      {"pPKiKP", "_pPKiKP"},
      {"pPKP", "_pPKP"},
      {"SKKS", "SKKS"},
      {"SKKSac", "SKKS(ac)"},
      {"SKKSdf", "SKKS(df)"},
      {"SKPab", "SKP(ab)"},
      {"SKPdf", "SKP(df)"},
      {"SKSac", "SKS(ac)"},
      {"SKSdf", "SKS(df)"},
      {"SP", "SP"},
      {"SPP", "SPP"},
      {"SS", "SS"},
      {"SSS", "SSS"},
      {"Sb", "S_b"},
      {"ScP", "S_cP"},
      {"ScS", "S_cS"},
      {"pP", "_pP"},
      {"pS", "_pS"},
      {"sP", "_sP"},
      {"sS", "_sS"},
      {"sPcP", "_sP_cP"},
      {"sPKSab", "_sPKS(ab)"},
      {"sPKSbc", "_sPKS(bc)"},
      {"sPKSdf", "_sPKS(df)"},
      {"sPKKPdf", "_sPKKP(df)"},
  };
  return kTable;
}

const std::vector<const char*>& PseudoPhaseTypes() {
  static const std::vector<const char*> kPseudo = {"tx", "Sx", "Unk", "_",   "N",   "I",
                                                   "E",  "Tk", "A",   "AML", "AMB", "AMS"};
  return kPseudo;
}

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

void LoadTravelTimeTables(Workstation& workstation) {
  workstation.phaseTypes().Load(TravelTimeDirectory(workstation.config()));
}

void PhaseTypeTable::LoadNames(const std::string& ttDir) {
  Free();
  directory_ = ttDir;
  std::ifstream in(JoinPath(ttDir, "phaselist"));
  if (in) {
    // One entry per line: the name and the file name; a line without both
    // words is skipped.
    std::string line;
    while (std::getline(in, line)) {
      std::istringstream words(line);
      std::string name, file;
      if (words >> name >> file) entries_.push_back({name, file, {}});
    }
  } else {
    for (const auto& [name, file] : BuiltInPhaseTypes()) entries_.push_back({name, file, {}});
  }
  for (const char* name : PseudoPhaseTypes()) entries_.push_back({name, "", {}});
  RebuildIndex();
}

void PhaseTypeTable::Load(const std::string& ttDir) {
  LoadNames(ttDir);
  for (Entry& entry : entries_) {
    entry.data.name = entry.name.substr(0, 9);
    if (!entry.ttFile.empty()) ReadTravelTimeFile(JoinPath(ttDir, entry.ttFile), entry.data);
  }
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
