#include "waveview/minmax_pyramid.h"

#include <algorithm>
#include <atomic>

namespace nuv {

void MinMaxPyramid::Build(const float* samples, int count) {
  static std::atomic<std::uint64_t> builds{0};
  build_ = ++builds;
  levels_.clear();
  data_ = samples;
  count_ = count;
  if (!samples || count < kBase) return;

  Level base;
  base.runLength = kBase;
  const int runs = count / kBase;
  base.runs.resize(static_cast<size_t>(runs));
  bool nan = false;
  for (int r = 0; r < runs; ++r) {
    const float* run = samples + static_cast<size_t>(r) * kBase;
    float lo = run[0], hi = run[0];
    bool odd = false;  // a NaN is the only value unequal to itself
    for (int i = 0; i < kBase; ++i) {
      lo = std::min(lo, run[i]);
      hi = std::max(hi, run[i]);
      odd = odd || run[i] != run[i];
    }
    nan = nan || odd;
    base.runs[static_cast<size_t>(r)] = {lo, hi};
  }
  for (int i = runs * kBase; i < count; ++i) nan = nan || samples[i] != samples[i];
  if (nan) return;
  levels_.push_back(std::move(base));

  while (static_cast<int>(levels_.back().runs.size()) >= kFactor) {
    const Level& below = levels_.back();
    Level next;
    next.runLength = below.runLength * kFactor;
    const size_t n = below.runs.size() / kFactor;
    next.runs.resize(n);
    for (size_t r = 0; r < n; ++r) {
      Extremes e = below.runs[r * kFactor];
      for (size_t i = 1; i < kFactor; ++i) {
        e.lo = std::min(e.lo, below.runs[r * kFactor + i].lo);
        e.hi = std::max(e.hi, below.runs[r * kFactor + i].hi);
      }
      next.runs[r] = e;
    }
    levels_.push_back(std::move(next));
  }
}

size_t MinMaxPyramid::MemoryBytes() const {
  size_t bytes = 0;
  for (const Level& l : levels_) bytes += l.runs.capacity() * sizeof(Extremes);
  return bytes;
}

MinMaxPyramid::Extremes MinMaxPyramid::Range(int first, int last) const {
  Extremes e{data_[first], data_[first]};
  // The coarsest level whose runs can lie inside the range.
  int level = static_cast<int>(levels_.size()) - 1;
  const long long length = static_cast<long long>(last) - first + 1;
  while (level >= 0 && levels_[static_cast<size_t>(level)].runLength > length) --level;
  Collect(level, first, last, e);
  return e;
}

void MinMaxPyramid::Prefetch(int index) const {
  if (levels_.empty() || index < 0 || index >= count_) return;
  __builtin_prefetch(data_ + index);
  // The levels a column's end reaches: the finest ones (the coarser are few
  // and stay cached).
  for (size_t level = 0; level < std::min<size_t>(levels_.size(), 3); ++level) {
    const Level& l = levels_[level];
    const size_t run = static_cast<size_t>(index / l.runLength);
    if (run < l.runs.size()) __builtin_prefetch(l.runs.data() + run);
  }
}

void MinMaxPyramid::Collect(int level, int first, int last, Extremes& e) const {
  if (first > last) return;
  if (level < 0) {
    for (int i = first; i <= last; ++i) {
      e.lo = std::min(e.lo, data_[i]);
      e.hi = std::max(e.hi, data_[i]);
    }
    return;
  }
  const Level& l = levels_[static_cast<size_t>(level)];
  const long long size = l.runLength;
  // Whole runs inside [first, last]; only complete runs are stored.
  const long long firstRun = (first + size - 1) / size;
  const long long endRun = std::min<long long>((static_cast<long long>(last) + 1) / size,
                                               static_cast<long long>(l.runs.size()));
  if (firstRun >= endRun) {
    Collect(level - 1, first, last, e);
    return;
  }
  for (long long r = firstRun; r < endRun; ++r) {
    const Extremes& run = l.runs[static_cast<size_t>(r)];
    e.lo = std::min(e.lo, run.lo);
    e.hi = std::max(e.hi, run.hi);
  }
  Collect(level - 1, first, static_cast<int>(firstRun * size) - 1, e);
  Collect(level - 1, static_cast<int>(endRun * size), last, e);
}

}  // namespace nuv
