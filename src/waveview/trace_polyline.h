#pragma once
// Reduction of a trace to what a screen can show: per pixel column only the
// smallest and largest row are kept, so drawing costs a few points per column
// however many samples fall into the window.

#include <vector>

#include "archive/data_block.h"
#include "waveview/minmax_pyramid.h"
#include "waveview/pane_geometry.h"

namespace nuv {

struct PixelPoint {
  int x = 0;
  int y = 0;
  bool operator==(const PixelPoint&) const = default;
};

struct TraceView {
  PaneGeometry geometry;
  double windowStart = 0;
  double windowLength = 1;
  double lo = 0;  // display limits
  double hi = 1;
};

// The polyline of `count` samples spaced 1/rate from `start`: consecutive
// samples of one column update its smallest and largest row; when the column
// changes, the previous column is emitted as (x, smallest y) followed, if
// different, by (x, largest y), and only when its x is greater than 0. The
// last sample is emitted as it is. Samples wholly outside the window are
// skipped (one column beyond each edge is kept so the line leaves the area).
// With a pyramid built over these samples (or an array holding them) each column's extremes come
// from the pyramid instead of a scan of its samples; the points are the same.
void DecimateSamples(const TraceView& view, const float* samples, int count, double rate,
                     double start, std::vector<PixelPoint>& out,
                     const MinMaxPyramid* pyramid = nullptr);

// One polyline per block; blocks are never joined.
std::vector<std::vector<PixelPoint>> DecimateBlocks(const TraceView& view,
                                                    const NUVDataBlockArray& blocks);

}  // namespace nuv
