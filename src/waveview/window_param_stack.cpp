#include "waveview/window_param_stack.h"

namespace nuv {

void CWindowParamStack::Push(const CWindowParam& entry) {
  entries_.push_front(entry);
  while (static_cast<int>(entries_.size()) > kCapacity) entries_.pop_back();
}

std::optional<CWindowParam> CWindowParamStack::Pop() {
  if (entries_.empty()) return std::nullopt;
  CWindowParam entry = entries_.front();
  entries_.pop_front();
  return entry;
}

}  // namespace nuv
