#include "waveview/trace_polyline.h"

#include <algorithm>
#include <cmath>

namespace nuv {

void DecimateSamples(const TraceView& view, const float* samples, int count, double rate,
                     double start, std::vector<PixelPoint>& out) {
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
