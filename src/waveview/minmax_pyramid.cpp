#include "waveview/minmax_pyramid.h"

#include <algorithm>

namespace nuv {

void MinMaxPyramid::Build(const float* samples, int count) {
  levels_.clear();
  data_ = samples;
  count_ = count;
  if (!samples || count < kBase) return;

  Level base;
  base.runLength = kBase;
  const int runs = count / kBase;
  base.lo.resize(static_cast<size_t>(runs));
  base.hi.resize(static_cast<size_t>(runs));
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
    base.lo[static_cast<size_t>(r)] = lo;
    base.hi[static_cast<size_t>(r)] = hi;
  }
  for (int i = runs * kBase; i < count; ++i) nan = nan || samples[i] != samples[i];
  if (nan) return;
  levels_.push_back(std::move(base));

  while (static_cast<int>(levels_.back().lo.size()) >= kFactor) {
    const Level& below = levels_.back();
    Level next;
    next.runLength = below.runLength * kFactor;
    const size_t n = below.lo.size() / kFactor;
    next.lo.resize(n);
    next.hi.resize(n);
    for (size_t r = 0; r < n; ++r) {
      float lo = below.lo[r * kFactor], hi = below.hi[r * kFactor];
      for (size_t i = 1; i < kFactor; ++i) {
        lo = std::min(lo, below.lo[r * kFactor + i]);
        hi = std::max(hi, below.hi[r * kFactor + i]);
      }
      next.lo[r] = lo;
      next.hi[r] = hi;
    }
    levels_.push_back(std::move(next));
  }
}

size_t MinMaxPyramid::MemoryBytes() const {
  size_t bytes = 0;
  for (const Level& l : levels_) bytes += (l.lo.capacity() + l.hi.capacity()) * sizeof(float);
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
                                               static_cast<long long>(l.lo.size()));
  if (firstRun >= endRun) {
    Collect(level - 1, first, last, e);
    return;
  }
  for (long long r = firstRun; r < endRun; ++r) {
    e.lo = std::min(e.lo, l.lo[static_cast<size_t>(r)]);
    e.hi = std::max(e.hi, l.hi[static_cast<size_t>(r)]);
  }
  Collect(level - 1, first, static_cast<int>(firstRun * size) - 1, e);
  Collect(level - 1, static_cast<int>(endRun * size), last, e);
}

}  // namespace nuv
