#include "waveview/trace_polyline.h"

#include <algorithm>
#include <cmath>

namespace nuv {

namespace {

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

}  // namespace

void DecimateSamples(const TraceView& view, const float* samples, int count, double rate,
                     double start, std::vector<PixelPoint>& out, const MinMaxPyramid* pyramid) {
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
    // Column by column: the samples of a column are [i, next), their rows
    // are those of the column's smallest and largest value (a row is a
    // monotonic function of the value).
    int i = first;
    int column = columnOf(first);
    while (true) {
      const double guess = ((column + 1 - g.xL()) / xScale + view.windowStart - start) * rate;
      const int next = NextColumnStart(columnOf, i, last, column, guess);
      if (next > last) break;  // the last column is not emitted
      if (column > 0) {
        const MinMaxPyramid::Extremes e = pyramid->Range(offset + i, offset + next - 1);
        const int a = rowOf(e.lo), b = rowOf(e.hi);
        out.push_back({column, std::min(a, b)});
        if (a != b) out.push_back({column, std::max(a, b)});
      }
      i = next;
      column = columnOf(next);
    }
    out.push_back({columnOf(last), rowOf(samples[last])});
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
