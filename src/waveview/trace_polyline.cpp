#include "waveview/trace_polyline.h"

#include <algorithm>
#include <cmath>

namespace nuv {

namespace {

// How many columns ahead the pyramid's values are asked for.
constexpr int kPrefetchColumns = 4;

// First index after i (at most last + 1) whose column lies right of
// `column`; columnOf is non-decreasing. `guess` is where the column's end
// should lie by arithmetic; a gallop and a bisection correct its rounding.
template <typename ColumnOf>
int NextColumnStart(const ColumnOf& columnOf, int i, int last, int column, double guess) {
  long long hi = std::isfinite(guess) ? static_cast<long long>(std::ceil(guess)) : last + 1LL;
  hi = std::clamp<long long>(hi, i + 1LL, last + 1LL);
  long long lo = i;  // columnOf(lo) <= column
  if (hi <= last && columnOf(static_cast<int>(hi)) <= column) {
    long long step = 1;
    lo = hi;
    while (true) {
      hi = std::min<long long>(lo + step, last + 1LL);
      if (hi > last || columnOf(static_cast<int>(hi)) > column) break;
      lo = hi;
      step *= 2;
    }
  } else {
    long long step = 1;
    while (hi - step > lo && columnOf(static_cast<int>(hi - step)) > column) {
      hi -= step;
      step *= 2;
    }
    lo = std::max(lo, hi - step);
  }
  // Invariant: columnOf(lo) <= column < columnOf(hi) (hi may be last + 1).
  while (hi - lo > 1) {
    const long long mid = lo + (hi - lo) / 2;
    if (columnOf(static_cast<int>(mid)) > column)
      hi = mid;
    else
      lo = mid;
  }
  return static_cast<int>(hi);
}

// Column by column from `first` to `last`: the samples of a column are
// [i, next); every column right of 0 but the last gets its extremes.
template <typename ColumnOf, typename EndGuess>
void TakeColumns(const MinMaxPyramid& pyramid, int offset, int first, int last,
                 const ColumnOf& columnOf, const EndGuess& endGuess, TraceColumns& out) {
  int i = first;
  int column = columnOf(first);
  while (true) {
    const int next = NextColumnStart(columnOf, i, last, column, endGuess(column));
    if (next > last) break;  // the last column is not emitted
    // Ask early for the values a few columns on will read: on long
    // windows they are far apart in memory, and the fetches then overlap.
    const long long ahead = next + kPrefetchColumns * static_cast<long long>(next - i);
    if (ahead <= last) pyramid.Prefetch(offset + static_cast<int>(ahead));
    if (column > 0) {
      const MinMaxPyramid::Extremes e = pyramid.Range(offset + i, offset + next - 1);
      out.columns.push_back({column, e.lo, e.hi});
    }
    i = next;
    column = columnOf(next);
  }
}

}  // namespace

const TraceColumns* TraceColumnCache::Find(const TraceColumns::Key& key) const {
  for (const TraceColumns& e : entries_)
    if (e.key == key) return &e;
  return nullptr;
}

const TraceColumns& TraceColumnCache::Store(TraceColumns columns) {
  // Only the columns of one window are kept, one entry per part of a
  // block (a new pyramid over the same part replaces the old entry).
  const auto& k = columns.key;
  std::erase_if(entries_, [&](const TraceColumns& e) {
    return e.key.windowStart != k.windowStart || e.key.windowLength != k.windowLength ||
           e.key.xL != k.xL || e.key.xR != k.xR ||
           (e.key.start == k.start && e.key.offset == k.offset && e.key.count == k.count);
  });
  if (entries_.size() >= kMaxEntries) entries_.erase(entries_.begin());
  entries_.push_back(std::move(columns));
  return entries_.back();
}

void DecimateSamples(const TraceView& view, const float* samples, int count, double rate,
                     double start, std::vector<PixelPoint>& out, const MinMaxPyramid* pyramid,
                     TraceColumnCache* cache) {
  out.clear();
  if (count <= 0 || rate <= 0 || view.windowLength <= 0) return;
  const PaneGeometry& g = view.geometry;
  const double xScale = (g.xR() - g.xL()) / view.windowLength;

  // Only the samples from one column left of the window to one column right
  // of it can reach the area; the rest would be clipped anyway.
  int first = 0;
  int last = count - 1;
  const double columnTime = 1.0 / std::max(xScale, 1e-300);
  const double fromIndex = (view.windowStart - columnTime - start) * rate;
  const double toIndex = (view.windowStart + view.windowLength + columnTime - start) * rate;
  if (fromIndex > first) first = fromIndex >= count ? count : static_cast<int>(fromIndex);
  if (toIndex < last) last = toIndex < 0 ? -1 : static_cast<int>(std::ceil(toIndex));
  if (first > last) return;

  // Rows are computed incrementally: y = bottom - trunc((v - lo) * k).
  const int bottom = g.traceBottom();
  const int top = g.traceTop();
  const double ySpan = bottom - top;
  const double yScale =
      view.hi != view.lo ? (g.height - g.axisHeight - 17) / (view.hi - view.lo) : 0;
  auto rowOf = [&](float v) {
    const double d = (v - view.lo) * yScale;
    if (!(d >= 0)) return bottom;
    if (d >= ySpan) return top;
    return bottom - static_cast<int>(d);
  };
  auto columnOf = [&](int i) {
    const double x = g.xL() + (start + i / rate - view.windowStart) * xScale;
    if (x > 1e9) return 1000000000;
    if (x < -1e9) return -1000000000;
    return static_cast<int>(x);
  };

  out.reserve(static_cast<size_t>(std::min(last - first + 1, 2 * (g.width + 4))));
  if (pyramid && pyramid->Holds(samples, count)) {
    const int offset = pyramid->OffsetOf(samples);
    const TraceColumns::Key key{pyramid->build(),  offset, count, rate, start, view.windowStart,
                                view.windowLength, g.xL(), g.xR()};
    const TraceColumns* columns = cache ? cache->Find(key) : nullptr;
    TraceColumns taken;
    if (!columns) {
      taken.key = key;
      TakeColumns(
          *pyramid, offset, first, last, columnOf,
          [&](int column) {
            return ((column + 1 - g.xL()) / xScale + view.windowStart - start) * rate;
          },
          taken);
      taken.lastX = columnOf(last);
      taken.lastValue = samples[last];
      columns = cache ? &cache->Store(std::move(taken)) : &taken;
    }
    // A row is a monotonic function of the value, so a column's rows are
    // those of its smallest and largest value.
    for (const TraceColumns::Column& c : columns->columns) {
      const int a = rowOf(c.lo), b = rowOf(c.hi);
      out.push_back({c.x, std::min(a, b)});
      if (a != b) out.push_back({c.x, std::max(a, b)});
    }
    out.push_back({columns->lastX, rowOf(columns->lastValue)});
    return;
  }
  int column = columnOf(first);
  int minY = rowOf(samples[first]);
  int maxY = minY;
  for (int i = first + 1; i <= last; ++i) {
    const int x = columnOf(i);
    const int y = rowOf(samples[i]);
    if (x != column) {
      if (column > 0) {
        out.push_back({column, minY});
        if (maxY != minY) out.push_back({column, maxY});
      }
      column = x;
      minY = maxY = y;
    } else {
      if (y < minY) minY = y;
      if (y > maxY) maxY = y;
    }
  }
  out.push_back({columnOf(last), rowOf(samples[last])});
}

std::vector<std::vector<PixelPoint>> DecimateBlocks(const TraceView& view,
                                                    const NUVDataBlockArray& blocks) {
  std::vector<std::vector<PixelPoint>> lines;
  lines.reserve(static_cast<size_t>(blocks.size()));
  for (const NUVDataBlock& block : blocks) {
    std::vector<PixelPoint> line;
    DecimateSamples(view, block.samples.data(),
                    std::min<int>(block.count, static_cast<int>(block.samples.size())), block.rate,
                    block.start, line);
    if (!line.empty()) lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace nuv
