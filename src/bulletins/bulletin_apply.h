#pragma once
// Turning an event read from a bulletin into phases of the current event.
// The phases are built first; the current event is changed only when the
// whole event was read, so a failed reading loses nothing.

#include <functional>
#include <string>
#include <vector>

#include "bulletins/ims_reader.h"
#include "phases/seismic_phase.h"
#include "workstation/workstation.h"

namespace nuv {

struct BulletinReadResult {
  bool ok = false;
  std::string message;  // why it failed ("" on success)
  int phasesAdded = 0;
  std::vector<SkippedLine> skipped;  // in line order
  // What was read otherwise than the bulletin wrote it (a phase name matched
  // without regard to case, a phase put on another component), each remark
  // once, at its first line.
  std::vector<SkippedLine> notes;
};

// Every phase the arrivals give with these tables: each station of that
// exact code, each of its channels that the phase name may be read on (its
// vertical channel when it has none of that component), the phase type of
// that name (matched without regard to case and a trailing '*' when the
// exact name is unknown and the match is unique). Arrivals that give none
// are listed in `skipped`, readings taken otherwise than written in `notes`.
std::vector<SEISMIC_PHASE> PhasesOfBulletinEvent(const ImsEventText& parsed,
                                                 const StationTable& stations,
                                                 const PhaseTypeTable& types,
                                                 std::vector<SkippedLine>& skipped,
                                                 std::vector<SkippedLine>& notes);

// Applies a parsed event. Full mode replaces phase list, origin, origin id,
// ellipse, identifier and comment; `phasesOnly` adds the phases to the list
// and takes identifier and comment, leaving origin id and ellipse (the
// origin and network magnitudes are cleared in both modes).
BulletinReadResult ApplyBulletinEvent(Workstation& ws, const ImsEventText& parsed, bool phasesOnly);

// Reads the file at `path` and applies the event `parse` makes of its text;
// a file that cannot be opened fails the reading with its name.
BulletinReadResult ReadBulletinFile(Workstation& ws, const std::string& path, bool phasesOnly,
                                    const std::function<ImsEventText(const std::string&)>& parse);

// Reads one event of an IMS1.0 bulletin file into the current event.
BulletinReadResult ReadImsEvent(Workstation& ws, const std::string& path,
                                const std::string& identifier, bool phasesOnly);
// Reads one event of a ТРЕЗОН bulletin file; always in full mode.
BulletinReadResult ReadTrezonEvent(Workstation& ws, const std::string& path,
                                   const std::string& identifier);

}  // namespace nuv
