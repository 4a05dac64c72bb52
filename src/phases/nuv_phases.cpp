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

void NUVPhases::InsertInOrder(SEISMIC_PHASE record) {
  // Before the first record that is strictly later: equal times keep the
  // order in which they were added.
  auto where = records_.begin();
  while (where != records_.end() && !(where->time > record.time)) ++where;
  records_.insert(where, std::move(record));
}

SEISMIC_PHASE* NUVPhases::Add(const SEISMIC_PHASE& phase) {
  SEISMIC_PHASE copy = phase;
  if (copy.arid == -1 && allocator_) copy.arid = allocator_();
  BeforeChange();
  for (auto it = records_.begin(); it != records_.end(); ++it) {
    if (it->SameTriple(copy)) {
      records_.erase(it);
      break;
    }
  }
  InsertInOrder(std::move(copy));
  Announce({PhaseListChange::Added, phase.station, phase.channel, phase.phaseType});
  return Find(phase.station, phase.channel, phase.phaseType);
}

SEISMIC_PHASE* NUVPhases::Modify(int station, int channel, int phaseType,
                                 const std::function<void(SEISMIC_PHASE&)>& edit) {
  auto it = records_.begin();
  while (it != records_.end() &&
         !(it->station == station && it->channel == channel && it->phaseType == phaseType))
    ++it;
  if (it == records_.end()) return nullptr;
  BeforeChange();
  SEISMIC_PHASE changed = *it;
  edit(changed);
  records_.erase(it);
  for (auto other = records_.begin(); other != records_.end(); ++other) {
    if (other->SameTriple(changed)) {
      records_.erase(other);
      break;
    }
  }
  const PhaseListChange change{PhaseListChange::Modified, changed.station, changed.channel,
                               changed.phaseType};
  InsertInOrder(std::move(changed));
  Announce(change);
  return Find(change.station, change.channel, change.phaseType);
}

void NUVPhases::Remove(int station, int channel, int phaseType) {
  for (auto it = records_.begin(); it != records_.end(); ++it) {
    if (it->station == station && it->channel == channel && it->phaseType == phaseType) {
      BeforeChange();
      records_.erase(it);
      Announce({PhaseListChange::Removed, station, channel, phaseType});
      return;
    }
  }
}

void NUVPhases::RemoveAll() {
  if (records_.empty()) return;
  BeforeChange();
  records_.clear();
  Announce({PhaseListChange::Cleared});
}

bool NUVPhases::Undo() {
  if (!history_.Undo(records_)) return false;
  Announce({PhaseListChange::Many});
  return true;
}

bool NUVPhases::Redo() {
  if (!history_.Redo(records_)) return false;
  Announce({PhaseListChange::Many});
  return true;
}

int NUVPhases::Subscribe(Observer observer) {
  observers_[nextObserver_] = std::move(observer);
  return nextObserver_++;
}

void NUVPhases::Unsubscribe(int id) {
  observers_.erase(id);
}

void NUVPhases::BeginGroup(bool pauseHistory) {
  if (groupDepth_++ == 0) groupRecorded_ = groupChanged_ = false;
  if (pauseHistory) ++pauseDepth_;
  if (pauseHistory) groupRecorded_ = true;  // nothing of this group is recorded
}

void NUVPhases::EndGroup() {
  if (groupDepth_ == 0) return;
  if (--groupDepth_ > 0) return;
  pauseDepth_ = 0;
  if (groupChanged_) Announce({PhaseListChange::Many});
}

void NUVPhases::BeforeChange() {
  if (pauseDepth_ > 0) return;
  if (groupDepth_ > 0) {
    if (groupRecorded_) return;
    groupRecorded_ = true;
  }
  history_.Record(records_);
}

void NUVPhases::Announce(const PhaseListChange& change) {
  if (groupDepth_ > 0) {
    groupChanged_ = true;
    return;
  }
  // A copy: a subscriber may unsubscribe while being told.
  const std::map<int, Observer> observers = observers_;
  for (const auto& [id, observer] : observers) observer(change);
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
