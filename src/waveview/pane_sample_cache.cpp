#include "waveview/pane_sample_cache.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "archive/block_reader.h"

namespace nuv {

namespace {

// Joins `n` into `b` when both are runs of one recording: the same rate,
// sample times on one grid, at least one common sample and the common
// samples identical. Blocks that only touch, or overlap with other values,
// are separate recordings and stay apart.
bool JoinInto(NUVDataBlock& b, const NUVDataBlock& n) {
  if (!(b.rate > 0) || b.rate != n.rate) return false;
  const int bc = HeldSampleCount(b), nc = HeldSampleCount(n);
  if (bc == 0 || nc == 0) return false;
  const double d = (n.start - b.start) * b.rate;
  if (!std::isfinite(d) || std::fabs(d) > std::numeric_limits<int>::max() / 2) return false;
  const long long k = std::llround(d);
  if (std::fabs(d - static_cast<double>(k)) > 1e-3) return false;
  const long long lo = std::max<long long>(0, k);
  const long long hi = std::min<long long>(bc, k + nc);
  if (hi <= lo) return false;
  if (std::memcmp(b.samples.data() + lo, n.samples.data() + (lo - k),
                  static_cast<size_t>(hi - lo) * sizeof(float)) != 0)
    return false;
  const long long first = std::min<long long>(0, k);
  const long long end = std::max<long long>(bc, k + nc);
  if (end - first > std::numeric_limits<int>::max()) return false;
  if (first == 0 && end == bc) return true;  // nothing new
  std::vector<float> joined;
  joined.reserve(static_cast<size_t>(end - first));
  if (k < 0) {
    // n begins earlier: its samples, then those of b past n's end.
    joined.insert(joined.end(), n.samples.begin(), n.samples.begin() + nc);
    if (k + nc < bc)
      joined.insert(joined.end(), b.samples.begin() + (k + nc), b.samples.begin() + bc);
    b.start = n.start;
  } else {
    joined.insert(joined.end(), b.samples.begin(), b.samples.begin() + bc);
    joined.insert(joined.end(), n.samples.begin() + (bc - k), n.samples.begin() + nc);
  }
  b.samples = std::move(joined);
  b.count = static_cast<int>(b.samples.size());
  return true;
}

}  // namespace

int HeldSampleCount(const NUVDataBlock& b) {
  return std::max(0, std::min<int>(b.count, static_cast<int>(b.samples.size())));
}

bool SpanOfBlock(const NUVDataBlock& b, double t1, double t2, SampleSpan& span) {
  const int held = HeldSampleCount(b);
  if (!(b.rate > 0) || held == 0) return false;
  const SampleRange range = RangeInInterval(b.start, b.start + held / b.rate, b.rate, t1, t2);
  const double n = std::min(range.count, held - range.first);
  if (!(n > 0)) return false;
  span.first = static_cast<int>(range.first);
  span.count = static_cast<int>(n);
  span.start = range.start;
  return true;
}

std::vector<SampleSpan> WindowSpans(const NUVDataBlockArray& blocks, double t1, double t2) {
  std::vector<SampleSpan> spans;
  spans.reserve(static_cast<size_t>(blocks.size()));
  for (int i = 0; i < blocks.size(); ++i) {
    SampleSpan span;
    span.block = i;
    if (SpanOfBlock(blocks[i], t1, t2, span)) spans.push_back(span);
  }
  return spans;
}

NUVDataBlock CopySpan(const NUVDataBlock& b, const SampleSpan& s) {
  NUVDataBlock copy;
  copy.rate = b.rate;
  copy.calib = b.calib;
  copy.calper = b.calper;
  copy.start = s.start;
  copy.samples.assign(b.samples.begin() + s.first, b.samples.begin() + s.first + s.count);
  copy.count = s.count;
  return copy;
}

NUVDataBlockArray CopySpans(const NUVDataBlockArray& blocks, const std::vector<SampleSpan>& spans) {
  NUVDataBlockArray out;
  out.station = blocks.station;
  out.channel = blocks.channel;
  for (const SampleSpan& s : spans) {
    out.Append(CopySpan(blocks[s.block], s));
  }
  return out;
}

size_t PaneSampleCache::HeldSamples(const NUVDataBlockArray& blocks) {
  size_t n = 0;
  for (const NUVDataBlock& b : blocks) n += static_cast<size_t>(HeldSampleCount(b));
  return n;
}

std::vector<PaneSampleCache::Fingerprint> PaneSampleCache::FingerprintOf(
    const NUVDataBlockArray& blocks) {
  std::vector<Fingerprint> out;
  out.reserve(static_cast<size_t>(blocks.size()));
  for (const NUVDataBlock& b : blocks) out.push_back({b.samples.data(), b.count, b.start});
  return out;
}

bool PaneSampleCache::Holds(const NUVDataBlockArray& blocks) const {
  if (!valid_ || held_.size() != static_cast<size_t>(blocks.size())) return false;
  for (int i = 0; i < blocks.size(); ++i) {
    const NUVDataBlock& b = blocks[i];
    if (!(held_[static_cast<size_t>(i)] == Fingerprint{b.samples.data(), b.count, b.start}))
      return false;
  }
  return true;
}

void PaneSampleCache::ReadPiece(const SegmentLoader& load, double t1, double t2,
                                NUVDataBlockArray& blocks) {
  NUVDataBlockArray piece;
  load(channel_.station, channel_.channel, channel_.locationCode, t1, t2, piece);
  std::vector<NUVDataBlock> held(std::make_move_iterator(blocks.begin()),
                                 std::make_move_iterator(blocks.end()));
  for (NUVDataBlock& n : piece) {
    bool joined = false;
    for (NUVDataBlock& b : held)
      if ((joined = JoinInto(b, n))) break;
    if (joined) continue;
    // A recording of its own, after every block that starts no later.
    auto at = std::upper_bound(held.begin(), held.end(), n.start,
                               [](double t, const NUVDataBlock& b) { return t < b.start; });
    held.insert(at, std::move(n));
  }
  blocks.Clear();
  for (NUVDataBlock& b : held) blocks.Append(std::move(b));
}

PaneSampleCache::Result PaneSampleCache::Cover(const SegmentLoader& load, const Channel& channel,
                                               double t1, double t2, NUVDataBlockArray& blocks) {
  const bool keep = channel == channel_ && Holds(blocks) && t1 <= to_ && t2 >= from_;
  if (!keep) {
    valid_ = false;
    channel_ = channel;
    load(channel.station, channel.channel, channel.locationCode, t1, t2, blocks);
    from_ = t1;
    to_ = t2;
    held_ = FingerprintOf(blocks);
    valid_ = true;
    return Result::kReplaced;
  }
  if (t1 >= from_ && t2 <= to_) return Result::kUnchanged;
  // Each missing end is read with a few samples of what is held, so that a
  // recording running across the old edge arrives overlapping its held part
  // and is joined to it rather than split in two.
  double period = 0;
  for (const NUVDataBlock& b : blocks)
    if (b.rate > 0) period = std::max(period, 1 / b.rate);
  const double margin = 4 * period;
  valid_ = false;
  if (t1 < from_) {
    ReadPiece(load, t1, std::min(to_, from_ + margin), blocks);
    from_ = t1;
  }
  if (t2 > to_) {
    ReadPiece(load, std::max(from_, to_ - margin), t2, blocks);
    to_ = t2;
  }
  held_ = FingerprintOf(blocks);
  valid_ = true;
  return Result::kExtended;
}

bool PaneSampleCache::KeepBudget(double t1, double t2, double rate, NUVDataBlockArray& blocks) {
  if (!valid_ || !(rate > 0) || !(t2 >= t1)) return false;
  const double budget =
      std::max(static_cast<double>(minBudget_), kBudgetWindows * (t2 - t1) * rate);
  if (static_cast<double>(HeldSamples(blocks)) <= budget) return false;
  const double margin = (t2 - t1) / 2;
  const double from = std::max(from_, t1 - margin);
  const double to = std::min(to_, t2 + margin);
  const std::vector<SampleSpan> spans = WindowSpans(blocks, from, to);
  NUVDataBlockArray kept;
  kept.station = blocks.station;
  kept.channel = blocks.channel;
  size_t next = 0;
  for (int i = 0; i < blocks.size(); ++i) {
    if (next >= spans.size() || spans[next].block != i) continue;  // wholly outside
    const SampleSpan& s = spans[next++];
    NUVDataBlock& b = blocks[i];
    if (s.first == 0 && s.count == HeldSampleCount(b)) {
      kept.Append(std::move(b));
      continue;
    }
    kept.Append(CopySpan(b, s));
  }
  blocks = std::move(kept);
  from_ = from;
  to_ = to;
  held_ = FingerprintOf(blocks);
  return true;
}

}  // namespace nuv
