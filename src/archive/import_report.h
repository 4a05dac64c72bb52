#pragma once
// What an import into the archive did: the files it stored, those it kept
// beside an earlier file of the same name that holds another recording, and
// what it refused and why. An import that stored nothing has failed, and its
// account says so.

#include <set>
#include <string>
#include <vector>

namespace nuv {

// Data an import left out: the source's name for it and the reason.
struct ImportRefusal {
  std::string what;    // "IU.ANMO..BHZ", "ABC bhz", a file name
  std::string reason;  // for the analyst
  bool operator==(const ImportRefusal&) const = default;
};

// A file written under a copy name because the usual name (station, channel,
// start second) already held a different recording.
struct KeptBeside {
  std::string file;      // the new file's relative name
  std::string existing;  // the file it was kept beside
  bool operator==(const KeptBeside&) const = default;
};

struct ImportReport {
  int sourceFiles = 0;                // wfdisc or miniSEED files read
  std::vector<std::string> wfdFiles;  // relative names written and registered
  long long samples = 0;              // samples stored
  std::vector<ImportRefusal> refused;
  std::vector<KeptBeside> keptBeside;

  // Adds a refusal unless `what` was refused already.
  void Refuse(const std::string& what, const std::string& reason);
  bool NothingImported() const { return wfdFiles.empty(); }
  bool WroteHere(const std::string& name) const { return written_.count(name) > 0; }
  void NoteWritten(const std::string& name) { written_.insert(name); }

 private:
  std::set<std::string> written_;  // every name this import wrote, registered or not
};

inline constexpr const char* kNothingImported = "Ничего не импортировано.";

// The analyst's account of an import: "Ничего не импортировано." first when
// no file was stored, then `sourceLines` (the files read), the archive files
// written, the files kept beside another recording of the same second, and
// what was refused, one line each with its reason.
std::string ImportSummary(const ImportReport& report, const std::string& sourceLines);

}  // namespace nuv
