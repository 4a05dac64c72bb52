#pragma once
// Data blocks: every waveform travels as runs of equally spaced 32-bit float
// samples. A block array is one channel's segment (gaps and overlaps kept as
// separate blocks); a set of arrays carries several channels.

#include <memory>
#include <string>
#include <vector>

namespace nuv {

struct NUVDataBlock {
  std::vector<float> samples;
  double rate = 0;    // samples per second
  int count = 0;      // number of samples (equals samples.size())
  double start = 0;   // time of the first sample
  double calib = 1;   // CSS 3.0 calib; -1 when the archive index had none
  double calper = 1;  // CSS 3.0 calper in seconds; -1 when the index had none

  // Time of sample i and the end of the block (start + count / rate).
  double TimeOf(int i) const { return start + i / rate; }
  double End() const { return start + count / rate; }
  // Sets count and allocates that many zero samples.
  void Allocate(int n) {
    samples.assign(static_cast<size_t>(n), 0.0f);
    count = n;
  }
};

class NUVDataBlockArray {
 public:
  std::string station;
  std::string channel;

  void Clear() { blocks_.clear(); }
  // Appends a deep copy.
  void Append(const NUVDataBlock& block) { blocks_.push_back(block); }
  void Append(NUVDataBlock&& block) { blocks_.push_back(std::move(block)); }
  int size() const { return static_cast<int>(blocks_.size()); }
  bool empty() const { return blocks_.empty(); }
  NUVDataBlock& operator[](int i) { return blocks_[static_cast<size_t>(i)]; }
  const NUVDataBlock& operator[](int i) const { return blocks_[static_cast<size_t>(i)]; }
  auto begin() const { return blocks_.begin(); }
  auto end() const { return blocks_.end(); }
  auto begin() { return blocks_.begin(); }
  auto end() { return blocks_.end(); }

 private:
  std::vector<NUVDataBlock> blocks_;
};

class XNUVDataBlockArrays {
 public:
  void Append(NUVDataBlockArray array) { arrays_.push_back(std::move(array)); }
  int size() const { return static_cast<int>(arrays_.size()); }
  NUVDataBlockArray& operator[](int i) { return arrays_[static_cast<size_t>(i)]; }
  const NUVDataBlockArray& operator[](int i) const { return arrays_[static_cast<size_t>(i)]; }
  void Clear() { arrays_.clear(); }

 private:
  std::vector<NUVDataBlockArray> arrays_;
};

struct ChannelSpan {
  std::string station;
  std::string channel;
  double first = 0;
  double last = 0;
};

// Channel spans collected while a CSS 3.0 file set is imported.
class CXChanArray {
 public:
  // Widens the first entry with the same station and channel (exact
  // comparison), or appends a new entry.
  void Add(const std::string& station, const std::string& channel, double t1, double t2);
  int size() const { return static_cast<int>(spans_.size()); }
  const ChannelSpan& operator[](int i) const { return spans_[static_cast<size_t>(i)]; }
  void Clear() { spans_.clear(); }
  auto begin() const { return spans_.begin(); }
  auto end() const { return spans_.end(); }

 private:
  std::vector<ChannelSpan> spans_;
};

}  // namespace nuv
