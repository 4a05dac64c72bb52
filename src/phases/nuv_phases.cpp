#include "phases/nuv_phases.h"

#include <iterator>
#include <limits>

#include "phases/phase_types.h"

namespace nuv {

SEISMIC_PHASE* NUVPhases::GetAt(int index) {
  if (index < 0 || index >= Count()) return nullptr;
  return &*std::next(records_.begin(), index);
}

const SEISMIC_PHASE* NUVPhases::GetAt(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return &*std::next(records_.begin(), index);
}

SEISMIC_PHASE* NUVPhases::Find(int station, int channel, int phaseType) {
  for (SEISMIC_PHASE& p : records_)
    if (p.station == station && p.channel == channel && p.phaseType == phaseType) return &p;
  return nullptr;
}

const SEISMIC_PHASE* NUVPhases::Find(int station, int channel, int phaseType) const {
  for (const SEISMIC_PHASE& p : records_)
    if (p.station == station && p.channel == channel && p.phaseType == phaseType) return &p;
  return nullptr;
}

int NUVPhases::Contains(const SEISMIC_PHASE& phase) const {
  return Find(phase.station, phase.channel, phase.phaseType) ? 1 : 0;
}

SEISMIC_PHASE* NUVPhases::Add(const SEISMIC_PHASE& phase) {
  for (auto it = records_.begin(); it != records_.end(); ++it) {
    if (it->SameTriple(phase)) {
      records_.erase(it);
      break;
    }
  }
  SEISMIC_PHASE copy = phase;
  if (copy.arid == -1 && allocator_) copy.arid = allocator_();
  // Before the first record that is strictly later: equal times keep the
  // order in which they were added.
  auto where = records_.begin();
  while (where != records_.end() && !(where->time > copy.time)) ++where;
  return &*records_.insert(where, std::move(copy));
}

void NUVPhases::Remove(int station, int channel, int phaseType) {
  for (auto it = records_.begin(); it != records_.end(); ++it) {
    if (it->station == station && it->channel == channel && it->phaseType == phaseType) {
      records_.erase(it);
      return;
    }
  }
}

double NUVPhases::EarliestDefiningTime(int station) const {
  double earliest = std::numeric_limits<double>::max();
  for (const SEISMIC_PHASE& p : records_)
    if (p.station == station && p.defining && p.time < earliest) earliest = p.time;
  return earliest;
}

double NUVPhases::EarliestTime(int station, int channel) const {
  double earliest = std::numeric_limits<double>::max();
  for (const SEISMIC_PHASE& p : records_)
    if (p.station == station && p.channel == channel && p.time < earliest) earliest = p.time;
  return earliest;
}

double NUVPhases::MaxPAmplitude(int station, int channel, const PhaseTypeTable& types) const {
  double largest = std::numeric_limits<double>::min();
  for (const SEISMIC_PHASE& p : records_) {
    if (p.station != station || p.channel != channel) continue;
    const std::string& name = types.Name(p.phaseType);
    if ((name == "P" || name == "p") && p.amplitude > largest) largest = p.amplitude;
  }
  return largest;
}

double NUVPhases::MaxMb(int station, int channel) const {
  double largest = std::numeric_limits<double>::min();
  for (const SEISMIC_PHASE& p : records_)
    if (p.station == station && p.channel == channel && p.mb > largest) largest = p.mb;
  return largest;
}

}  // namespace nuv
