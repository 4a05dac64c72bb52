#pragma once
// Reduction of a trace to what a screen can show: per pixel column only the
// smallest and largest row are kept, so drawing costs a few points per column
// however many samples fall into the window.

#include <cstdint>
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

// What a pyramid gives a window before the rows are known: the smallest
// and largest value of every column drawn, and the last sample. A vertical
// stretch or shift changes only the rows, so a pane keeps the columns of its
// current window and maps them again.
struct TraceColumns {
  struct Column {
    int x = 0;
    float lo = 0, hi = 0;
  };
  // What the columns were taken from: a pyramid build, the part of its
  // array, and the window over the pixel columns.
  struct Key {
    std::uint64_t build = 0;
    int offset = 0, count = 0;
    double rate = 0, start = 0, windowStart = 0, windowLength = 0;
    int xL = 0, xR = 0;
    bool operator==(const Key&) const = default;
  };
  Key key;
  std::vector<Column> columns;
  int lastX = 0;  // the last sample's column and value
  float lastValue = 0;
};

// The columns of one window, for each of a pane's blocks; taking the
// columns of another window forgets those of the last one.
class TraceColumnCache {
 public:
  const TraceColumns* Find(const TraceColumns::Key& key) const;
  const TraceColumns& Store(TraceColumns columns);

 private:
  // A window's blocks are few; a pane of many gaps keeps its latest ones.
  static constexpr size_t kMaxEntries = 64;
  std::vector<TraceColumns> entries_;
};

// The polyline of `count` samples spaced 1/rate from `start`: consecutive
// samples of one column update its smallest and largest row; when the column
// changes, the previous column is emitted as (x, smallest y) followed, if
// different, by (x, largest y), and only when its x is greater than 0. The
// last sample is emitted as it is. Samples wholly outside the window are
// skipped (one column beyond each edge is kept so the line leaves the area).
// With a pyramid built over these samples (or an array holding them) each column's extremes come
// from the pyramid instead of a scan of its samples; the points are the same.
// With a cache as well, the columns of a window already taken are reused.
void DecimateSamples(const TraceView& view, const float* samples, int count, double rate,
                     double start, std::vector<PixelPoint>& out,
                     const MinMaxPyramid* pyramid = nullptr, TraceColumnCache* cache = nullptr);

// One polyline per block; blocks are never joined.
std::vector<std::vector<PixelPoint>> DecimateBlocks(const TraceView& view,
                                                    const NUVDataBlockArray& blocks);

}  // namespace nuv
