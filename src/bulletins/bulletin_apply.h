#pragma once
// Turning an event read from a bulletin into phases of the current event.
// The phases are built first; the current event is changed only when the
// whole event was read, so a failed reading loses nothing.

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
};

// Every phase the arrivals give with these tables: each station of that
// exact code, each of its channels that the phase name may be read on, each
// phase type of that exact name. Arrivals that give none are listed in
// `skipped`.
std::vector<SEISMIC_PHASE> PhasesOfBulletinEvent(const ImsEventText& parsed,
                                                 const StationTable& stations,
                                                 const PhaseTypeTable& types,
                                                 std::vector<SkippedLine>& skipped);

// Applies a parsed event. Full mode replaces phase list, origin, origin id,
// ellipse, identifier and comment; `phasesOnly` adds the phases to the list
// and takes identifier and comment, leaving origin id and ellipse (the
// origin and network magnitudes are cleared in both modes).
BulletinReadResult ApplyBulletinEvent(Workstation& ws, const ImsEventText& parsed, bool phasesOnly);

// Reads one event of an IMS1.0 bulletin file into the current event.
BulletinReadResult ReadImsEvent(Workstation& ws, const std::string& path,
                                const std::string& identifier, bool phasesOnly);
// Reads one event of a ТРЕЗОН bulletin file; always in full mode.
BulletinReadResult ReadTrezonEvent(Workstation& ws, const std::string& path,
                                   const std::string& identifier);

}  // namespace nuv
