#include "phases/phase_history.h"

#include <utility>

namespace nuv {

void PhaseHistory::Record(const Snapshot& before) {
  undo_.push_back(before);
  while (undo_.size() > depth_) undo_.pop_front();
  redo_.clear();
}

bool PhaseHistory::Undo(Snapshot& current) {
  if (undo_.empty()) return false;
  redo_.push_back(std::move(current));
  current = std::move(undo_.back());
  undo_.pop_back();
  return true;
}

bool PhaseHistory::Redo(Snapshot& current) {
  if (redo_.empty()) return false;
  undo_.push_back(std::move(current));
  current = std::move(redo_.back());
  redo_.pop_back();
  return true;
}

void PhaseHistory::Clear() {
  undo_.clear();
  redo_.clear();
}

}  // namespace nuv
