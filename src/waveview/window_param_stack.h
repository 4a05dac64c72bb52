#pragma once
// The zoom history of a trace pane: newest first, at most 20 entries; a
// 21st push drops the oldest.

#include <deque>
#include <optional>

namespace nuv {

// Six doubles (48 bytes), in this order.
struct CWindowParam {
  double windowStart = 0;
  double windowLength = 0;
  double transMin = 0;
  double transMax = 0;
  double ampMin = 0;
  double ampMax = 0;
};
static_assert(sizeof(CWindowParam) == 48);

class CWindowParamStack {
 public:
  static constexpr int kCapacity = 20;

  void Push(const CWindowParam& entry);
  // The newest entry, removed; nothing when the history is empty.
  std::optional<CWindowParam> Pop();
  void Clear() { entries_.clear(); }
  int size() const { return static_cast<int>(entries_.size()); }
  bool empty() const { return entries_.empty(); }

 private:
  std::deque<CWindowParam> entries_;  // front = newest
};

}  // namespace nuv
