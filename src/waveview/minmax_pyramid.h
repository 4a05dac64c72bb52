#pragma once
// Extremes of a sample array over any index range from a handful of stored
// values: level 0 keeps the smallest and largest sample of every run of
// kBase samples, each further level those of kFactor runs of the level
// below. A range is answered from the coarsest runs that fit inside it and
// finer ones (and at most a few raw samples) at its two ends, so the answer
// is exact and costs a few dozen values however long the range is. The
// smallest and largest value of a run sit side by side, and the factor is
// large enough that few levels lie between a column and the samples: on a
// day of samples, most of a range's cost is in fetching those values from
// memory, and Prefetch lets the caller ask for the next range's early.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace nuv {

class MinMaxPyramid {
 public:
  static constexpr int kBase = 16;
  static constexpr int kFactor = 8;

  struct Extremes {
    float lo = 0;
    float hi = 0;
  };

  MinMaxPyramid() = default;

  // Builds the levels over `samples`, which are not copied: the caller keeps
  // them alive and unchanged while the pyramid is used. An array holding a
  // NaN gets no levels (extremes of NaN have no order), nor does one too
  // short to fill a run.
  void Build(const float* samples, int count);

  // True when built over exactly this array.
  bool Covers(const float* samples, int count) const {
    return !levels_.empty() && samples == data_ && count == count_;
  }
  // True when built over an array that holds samples[0..count) (a part of
  // it); Range then takes indices of that array, from OffsetOf(samples).
  bool Holds(const float* samples, int count) const {
    const auto p = reinterpret_cast<std::uintptr_t>(samples);
    const auto d = reinterpret_cast<std::uintptr_t>(data_);
    return !levels_.empty() && count >= 0 && p >= d &&
           (p - d) / sizeof(float) + static_cast<std::uintptr_t>(count) <=
               static_cast<std::uintptr_t>(count_);
  }
  int OffsetOf(const float* samples) const {
    return static_cast<int>(
        (reinterpret_cast<std::uintptr_t>(samples) - reinterpret_cast<std::uintptr_t>(data_)) /
        sizeof(float));
  }
  bool empty() const { return levels_.empty(); }
  // Different for every build, so what was taken from one build is not
  // taken for another's over a new array at the same address.
  std::uint64_t build() const { return build_; }
  int levels() const { return static_cast<int>(levels_.size()); }
  size_t MemoryBytes() const;

  // Extremes of samples[first..last] (inclusive; 0 <= first <= last < count).
  Extremes Range(int first, int last) const;

  // Starts fetching what a range beginning or ending at `index` reads
  // (0 <= index < count); a hint only, it changes no result.
  void Prefetch(int index) const;

 private:
  struct Level {
    int runLength = 0;  // samples per run
    std::vector<Extremes> runs;
  };
  void Collect(int level, int first, int last, Extremes& e) const;

  const float* data_ = nullptr;
  int count_ = 0;
  std::uint64_t build_ = 0;
  std::vector<Level> levels_;
};

}  // namespace nuv
