#pragma once
// The current phase list: owned copies of phase records kept in ascending
// time order; adding a phase whose (station, channel, phase type) is already
// present replaces the old record.
//
// Every change made through Add, Modify, Remove and RemoveAll is one undo
// step (or part of the step of an open PhaseChangeGroup) and is announced to
// the subscribers, so that whichever window made it, every window redraws
// and Undo takes it back. A record changed through a pointer from GetAt or
// Find is neither recorded nor announced: only bookkeeping that must not be
// undone (identifiers allocated by a save) writes that way.

#include <cstdint>
#include <functional>
#include <list>
#include <map>

#include "phases/phase_history.h"
#include "phases/seismic_phase.h"

namespace nuv {

class PhaseTypeTable;

// What a subscriber is told: the kind of change and, for a change of one
// record, its triple (the new triple after a Modify).
struct PhaseListChange {
  enum Kind { Added, Modified, Removed, Cleared, Many } kind = Many;
  int station = -1, channel = -1, phaseType = -1;
};

class NUVPhases {
 public:
  // Gives a new arrival id, or -1 when none can be had.
  using IdAllocator = std::function<int32_t()>;
  using Observer = std::function<void(const PhaseListChange&)>;

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
  // Applies `edit` to the record with the triple as one recorded change and
  // keeps the time order; a record that the edit gives the triple of another
  // replaces that other. Returns the record, or null when there is none.
  SEISMIC_PHASE* Modify(int station, int channel, int phaseType,
                        const std::function<void(SEISMIC_PHASE&)>& edit);
  void Remove(int station, int channel, int phaseType);
  void RemoveAll();

  // Undo and redo of the recorded changes; true when something changed.
  bool Undo();
  bool Redo();
  bool CanUndo() const { return history_.CanUndo(); }
  bool CanRedo() const { return history_.CanRedo(); }
  PhaseHistory& history() { return history_; }
  // Forgets every step (a new or loaded event starts a new history).
  void ClearHistory() { history_.Clear(); }

  // Subscribers are told of every change after it is made; the id unsubscribes.
  int Subscribe(Observer observer);
  void Unsubscribe(int id);

  // Nested groups make one undo step and one announcement (Many) of all the
  // changes made while the outermost is open; paused, changes are neither
  // recorded nor announced one by one (the closing group announces them).
  void BeginGroup(bool pauseHistory = false);
  void EndGroup();

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

  // Stores the state before a change (once per group) and announces it.
  void BeforeChange();
  void Announce(const PhaseListChange& change);
  void InsertInOrder(SEISMIC_PHASE record);

  PhaseHistory history_;
  std::map<int, Observer> observers_;
  int nextObserver_ = 1;
  int groupDepth_ = 0;
  int pauseDepth_ = 0;
  bool groupRecorded_ = false;
  bool groupChanged_ = false;
};

// Holds a group of changes open for its lifetime (see NUVPhases::BeginGroup).
class PhaseChangeGroup {
 public:
  explicit PhaseChangeGroup(NUVPhases& phases, bool pauseHistory = false) : phases_(phases) {
    phases_.BeginGroup(pauseHistory);
  }
  ~PhaseChangeGroup() { phases_.EndGroup(); }
  PhaseChangeGroup(const PhaseChangeGroup&) = delete;
  PhaseChangeGroup& operator=(const PhaseChangeGroup&) = delete;

 private:
  NUVPhases& phases_;
};

}  // namespace nuv
