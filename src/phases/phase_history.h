#pragma once
// The undo and redo history of the current phase list. Every change made
// through the list's own operations stores the list as it was before the
// change (a whole snapshot: an event has a few hundred phases at most, so a
// copy is cheap and restoring it can never drift from the truth). A group
// of changes made under one PhaseChangeGroup is one step.

#include <cstddef>
#include <deque>
#include <list>

#include "phases/seismic_phase.h"

namespace nuv {

inline constexpr size_t kPhaseUndoDepth = 200;

class PhaseHistory {
 public:
  using Snapshot = std::list<SEISMIC_PHASE>;

  // Stores `before` as a new undo step and forgets the redo steps; the
  // oldest step goes when more than `depth` are kept.
  void Record(const Snapshot& before);
  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  size_t UndoCount() const { return undo_.size(); }
  size_t RedoCount() const { return redo_.size(); }
  // Exchanges `current` with the state before the last change (after the
  // last undone change); false when there is none.
  bool Undo(Snapshot& current);
  bool Redo(Snapshot& current);
  void Clear();
  void SetDepth(size_t depth) { depth_ = depth == 0 ? 1 : depth; }

 private:
  std::deque<Snapshot> undo_, redo_;
  size_t depth_ = kPhaseUndoDepth;
};

}  // namespace nuv
