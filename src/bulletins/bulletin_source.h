#pragma once
// What a bulletin writer reads: the current event, its phase list and the
// tables that name stations, channels and phase types. Writers take this
// view instead of the whole workstation so the period exports can hand them
// an event read from the database.

#include <string>

#include "phases/current_event.h"
#include "phases/nuv_phases.h"
#include "phases/phase_types.h"
#include "workstation/workstation.h"

namespace nuv {

struct BulletinSource {
  const CurrentEvent& event;
  const NUVPhases& phases;
  const PhaseTypeTable& types;
  const StationTable& stations;

  // The station code of a phase ("" for a bad index).
  std::string StationCode(const SEISMIC_PHASE& phase) const;
  // The channel name as stored ("" for a bad index).
  std::string ChannelName(const SEISMIC_PHASE& phase) const;
  const std::string& PhaseName(const SEISMIC_PHASE& phase) const {
    return types.Name(phase.phaseType);
  }
};

inline BulletinSource SourceOf(Workstation& ws) {
  return {ws.event(), ws.phases(), ws.phaseTypes(), ws.stations()};
}

}  // namespace nuv
