#pragma once
// The samples a pane has read, kept across changes of its window: a new
// window reads from the archive only the time the pane does not hold yet
// (a shift inside what was read reads nothing, a zoom-out reads its two
// ends), and what lies far outside the window is dropped once the pane holds
// more than its budget. The blocks themselves are the pane's block array;
// the window's part of each block is described by a SampleSpan, the same
// samples a direct read of the window gives.

#include <cstddef>
#include <string>
#include <vector>

#include "archive/data_block.h"
#include "waveview/segment_loader.h"

namespace nuv {

// The part of one held block that a read of a window gives: samples
// [first, first + count) of blocks[block], the first at time `start`.
struct SampleSpan {
  int block = 0;
  int first = 0;
  int count = 0;
  double start = 0;
};

// The samples a block holds: its count, but no more than its array has.
int HeldSampleCount(const NUVDataBlock& b);

// The part of `b` inside [t1, t2] by the archive's rule: a block starting
// inside the interval from its start, one the interval starts inside from
// the first whole sample at or before t1; samples up to t2. False when none.
bool SpanOfBlock(const NUVDataBlock& b, double t1, double t2, SampleSpan& span);

// The spans of every block over [t1, t2], in block order.
std::vector<SampleSpan> WindowSpans(const NUVDataBlockArray& blocks, double t1, double t2);

// A copy of one span as a block of its own (calibration kept).
NUVDataBlock CopySpan(const NUVDataBlock& b, const SampleSpan& span);
// Copies of the spans as blocks of their own (calibration kept).
NUVDataBlockArray CopySpans(const NUVDataBlockArray& blocks, const std::vector<SampleSpan>& spans);

class PaneSampleCache {
 public:
  // Identity of the held samples: a change of channel empties the cache.
  struct Channel {
    std::string station, channel, locationCode;
    bool operator==(const Channel&) const = default;
  };

  // Samples held at most, as a multiple of the window's samples (three: a
  // shift or zoom back and forth stays inside), and never fewer than the
  // minimum budget.
  static constexpr double kBudgetWindows = 3.0;
  void SetMinBudget(size_t samples) { minBudget_ = samples; }

  enum class Result {
    kUnchanged,  // the blocks already held the window
    kExtended,   // missing ends were read; unchanged blocks are the same arrays
    kReplaced,   // the whole window was read afresh
  };

  // Makes `blocks` hold [t1, t2] of `channel`, reading through `load` only
  // what is missing. A loader that
  // throws leaves the cache empty (the next call reads the whole window)
  // and the exception passes on; blocks that arrived stay.
  Result Cover(const SegmentLoader& load, const Channel& channel, double t1, double t2,
               NUVDataBlockArray& blocks);

  // Drops what lies outside [t1 - length/2, t2 + length/2] (length = t2 - t1)
  // when the blocks hold more samples than the budget allows for a window of
  // rate `rate`. Returns true when the blocks changed.
  bool KeepBudget(double t1, double t2, double rate, NUVDataBlockArray& blocks);

  // True when `blocks` are what this cache read over [from(), to()] (not
  // replaced from outside since).
  bool Holds(const NUVDataBlockArray& blocks) const;

  // Forgets what is held; the next Cover reads its whole window.
  void Clear() { valid_ = false; }
  bool valid() const { return valid_; }
  double from() const { return from_; }
  double to() const { return to_; }
  // Samples held by the blocks.
  static size_t HeldSamples(const NUVDataBlockArray& blocks);

 private:
  // Reads [t1, t2] and merges what arrives into the blocks.
  void ReadPiece(const SegmentLoader& load, double t1, double t2, NUVDataBlockArray& blocks);
  // A fingerprint of the blocks, so that blocks replaced from outside
  // (a beam, a test) are not taken for what this cache read.
  struct Fingerprint {
    const float* data = nullptr;
    int count = 0;
    double start = 0;
    bool operator==(const Fingerprint&) const = default;
  };
  static std::vector<Fingerprint> FingerprintOf(const NUVDataBlockArray& blocks);

  bool valid_ = false;
  size_t minBudget_ = size_t{1} << 20;
  Channel channel_;
  double from_ = 0, to_ = 0;  // the interval read
  std::vector<Fingerprint> held_;
};

}  // namespace nuv
