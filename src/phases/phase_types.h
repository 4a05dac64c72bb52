#pragma once
// The phase-type table: the vocabulary of phase names shared by the whole
// program, each entry with the file name of its travel-time table and the
// table itself once loaded. Built from the file "phaselist" of the
// travel-time directory, or from the built-in list when that file is
// missing; twelve pseudo-phases without tables always follow.

#include <string>
#include <unordered_map>
#include <vector>

#include "traveltime/phase_names.h"
#include "traveltime/travel_time.h"

namespace nuv {

struct Config;

class PhaseTypeTable {
 public:
  struct Entry {
    std::string name;
    std::string ttFile;  // empty for pseudo-phases
    PHASEDATA data;
  };

  // Builds the table from `<ttDir>/phaselist` (or the built-in list) and
  // loads every entry's travel-time table from `ttDir`. A phaselist that
  // exists but cannot be read gives the built-in list too and returns false
  // with the read error's message in `error`.
  bool Load(const std::string& ttDir, std::string* error = nullptr);
  // Only the vocabulary, without reading any travel-time file (same results).
  bool LoadNames(const std::string& ttDir, std::string* error = nullptr);
  void Free();

  int Count() const { return static_cast<int>(entries_.size()); }
  bool IsValid(int i) const { return i >= 0 && i < Count(); }
  // "" for an index outside the table.
  const std::string& Name(int i) const;
  const std::string& TtFile(int i) const;
  // Exact, case-sensitive; -1 when absent.
  int IndexOf(const std::string& name) const;
  bool HasTravelTimes(int i) const { return IsValid(i) && entries_[i].data.hasTravelTimes != 0; }
  // A phase of this type may be defining (it has a file name and a table).
  bool CanBeDefining(int i) const { return HasTravelTimes(i) && !entries_[i].ttFile.empty(); }
  // The table of entry i (an empty one, without travel times, when i is bad).
  const PHASEDATA& Data(int i) const;
  PHASEDATA& Data(int i);

  // Reads the table of the entry named `name` from `ttDir`: 1 when read, else 0.
  int LoadTravelTimes(const std::string& name, const std::string& ttDir);

  // Replaces the vocabulary (tests and tools); the name map is rebuilt.
  void SetEntries(std::vector<Entry> entries);
  const std::string& directory() const { return directory_; }

 private:
  void RebuildIndex();

  std::vector<Entry> entries_;
  std::unordered_map<std::string, int> index_;
  std::string directory_;
  PHASEDATA empty_;
};

// The travel-time directory of the selected set, ending in "/": the
// configured [GODOGRAPH] directory (relative to the home directory when it
// is relative), or the home directory's "phases/" when that setting is
// empty or names only the root.
std::string TravelTimeDirectory(const Config& config);

}  // namespace nuv
