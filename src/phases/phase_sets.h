#pragma once
// The phase sets: three named subsets of the phase vocabulary kept in
// NUV.INI, section "PRESELECTED PHASES" (keys "Teleseismic", "Regional",
// "Local"), and the active set named by the key "Selection".

#include <string>
#include <vector>

namespace nuv {

class PhaseTypeTable;
class ProfileFile;

inline constexpr const char* kPhaseSetSection = "PRESELECTED PHASES";
inline constexpr const char* kPhaseSetNames[] = {"Teleseismic", "Regional", "Local", "Full"};
inline constexpr int kFullPhaseSet = 3;

class PhaseSets {
 public:
  explicit PhaseSets(ProfileFile& ini) : ini_(ini) {}

  // The text of a set key, empty when missing.
  std::string ReadSet(const std::string& key) const;
  // Writes every name followed by ";".
  void WriteSet(const std::string& key, const std::vector<std::string>& names);
  // 0 Teleseismic, 1 Regional, 2 Local, 3 Full (also for any other value).
  int ActiveSet() const;
  // Writes "Selection".
  void SetActiveSet(const std::string& name);
  // The names offered when a phase is picked: the active set's names in set
  // order, or every name when the set is Full or its text is empty.
  std::vector<int> OfferedTypes(const PhaseTypeTable& types) const;

 private:
  ProfileFile& ini_;
};

// The indices of the names in a set text that the table knows; names end at
// "," or ";" or the end of the text, blanks are ignored.
std::vector<int> ParseSet(const std::string& text, const PhaseTypeTable& types);
// 0..3 for a "Selection" value ("Full" and any other word give 3).
int PhaseSetNumber(const std::string& selection);

}  // namespace nuv
