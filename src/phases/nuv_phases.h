#pragma once
// The current phase list: owned copies of phase records kept in ascending
// time order; adding a phase whose (station, channel, phase type) is already
// present replaces the old record.

#include <cstdint>
#include <functional>
#include <list>

#include "phases/seismic_phase.h"

namespace nuv {

class PhaseTypeTable;

class NUVPhases {
 public:
  // Gives a new arrival id, or -1 when none can be had.
  using IdAllocator = std::function<int32_t()>;

  NUVPhases() = default;
  NUVPhases(const NUVPhases&) = delete;
  NUVPhases& operator=(const NUVPhases&) = delete;

  void SetIdAllocator(IdAllocator allocator) { allocator_ = std::move(allocator); }

  int Count() const { return static_cast<int>(records_.size()); }
  // The record at `index` in time order, or null outside 0..Count-1.
  SEISMIC_PHASE* GetAt(int index);
  const SEISMIC_PHASE* GetAt(int index) const;
  SEISMIC_PHASE* Find(int station, int channel, int phaseType);
  const SEISMIC_PHASE* Find(int station, int channel, int phaseType) const;
  int Contains(const SEISMIC_PHASE& phase) const;
  // Stores a copy (replacing a record with the same triple), allocates an
  // arrival id when the copy has none, and returns the stored copy.
  SEISMIC_PHASE* Add(const SEISMIC_PHASE& phase);
  void Remove(int station, int channel, int phaseType);
  void RemoveAll() { records_.clear(); }

  // Smallest time among the defining records of the station; the largest
  // finite double when there is none.
  double EarliestDefiningTime(int station) const;
  // Smallest time among the records of the channel; the largest finite double when none.
  double EarliestTime(int station, int channel) const;
  // Largest amplitude of the channel's phases named exactly "P" or "p"; the
  // smallest positive normalised double when there is none.
  double MaxPAmplitude(int station, int channel, const PhaseTypeTable& types) const;
  // Largest mb of the channel's records; the smallest positive normalised double when none.
  double MaxMb(int station, int channel) const;

  // Iteration in time order.
  std::list<SEISMIC_PHASE>::iterator begin() { return records_.begin(); }
  std::list<SEISMIC_PHASE>::iterator end() { return records_.end(); }
  std::list<SEISMIC_PHASE>::const_iterator begin() const { return records_.begin(); }
  std::list<SEISMIC_PHASE>::const_iterator end() const { return records_.end(); }

 private:
  // A list keeps every stored record at a fixed address while others come and go.
  std::list<SEISMIC_PHASE> records_;
  IdAllocator allocator_;
};

}  // namespace nuv
