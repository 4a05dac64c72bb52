#pragma once
// A phase of the given station, channel and phase type at an epoch time,
// everything else at its default: what most tests start a phase list from.

#include "phases/seismic_phase.h"

namespace nuv::test {

inline SEISMIC_PHASE PhaseAt(int station, int channel, int type, double time) {
  SEISMIC_PHASE p;
  p.station = station;
  p.channel = channel;
  p.phaseType = type;
  p.SetTime(time);
  return p;
}

}  // namespace nuv::test
