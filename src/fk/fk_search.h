#pragma once
// The built-in F-K search: for every slowness vector (px east, py north, in
// s/km) of a square grid, the delay-and-sum beam of the panes over the
// analysis window and its power. Beams are formed by index arithmetic on the
// transformed samples, without interpolation; only the powers are kept.

#include <string>
#include <vector>

namespace nuv {

// One trace taking part in the analysis: a pane's transformed samples and
// its station's offsets.
struct FkPane {
  std::string station, channel;
  float deast = 0, dnorth = 0;  // km from the array's origin
  std::vector<float> samples;   // sample k at start + k / rate
  double rate = 0;              // samples per second
  double start = 0;             // window start, epoch seconds
  double windowLength = 0;      // seconds
  double intervalStart = 0, intervalEnd = 0;
  bool hasInterval = false;

  double IntervalLow() const { return intervalStart < intervalEnd ? intervalStart : intervalEnd; }
  double IntervalHigh() const { return intervalStart < intervalEnd ? intervalEnd : intervalStart; }
};

// The search parameters (kept for the run; never written to a file).
struct FkGrid {
  float min = -0.5f;  // s/km, both axes
  float max = 0.5f;
  int intervals = 200;

  // Accepted ranges of the dialog's fields.
  static constexpr float kLimit = 20.0f;
  static constexpr int kMinIntervals = 2, kMaxIntervals = 1000;
};

// One grid point; power is normalised by the best power after the search.
struct FKParam {
  float px = 0, py = 0;
  double power = 0;
};

struct FkSearchResult {
  std::vector<FKParam> grid;  // px outer, py inner
  float step = 0;             // grid step (max - min) / intervals
  float max = 0;              // the grid's maximum (the map spans -max..max)
  float bestPx = 0, bestPy = 0;
  double bestPower = 0;  // before normalisation
  double lowest = 0, highest = 0;
  double azimuth = 0;   // degrees clockwise from north, towards the source
  double slowness = 0;  // s/km
};

// The values of one axis: min, min + step, ... while below max, accumulated
// in single precision as the grid is built.
std::vector<float> FkAxis(const FkGrid& grid);

// "" when the grid can be searched, else the message: a field outside its
// range or a minimum not below the maximum (an empty grid has no answer).
std::string FkGridError(const FkGrid& grid);

// "" when the panes form an array the search can resolve: at least two
// panes with an interval and at least two distinct station positions.
std::string FkArrayError(const std::vector<FkPane>& panes);

// Azimuth in degrees (0..360, clockwise from north) of a slowness vector.
double FkAzimuth(double px, double py);

// Searches the grid over the window [earliest interval start, latest
// interval end] of the panes, with beams of trunc((T2 - T1) * rate + 0.5)
// slots at the reference rate. Rows of the grid are computed on `threads`
// workers (0: one per core). Returns "" and fills `result`, or the message
// why nothing was searched (bad grid or array, empty window, every beam
// silent).
std::string FkSearch(const std::vector<FkPane>& panes, double referenceRate, const FkGrid& grid,
                     FkSearchResult& result, unsigned threads = 0);

// Where a pane's samples delayed by `delay` land in a beam of n slots over
// [t1, t2]: samples first..last fall inside the window; when `contiguous`
// they fill `count` consecutive slots from `slot` (the slot past the end
// dropped).
struct FkRun {
  size_t first = 0, last = 0, count = 0;
  size_t slot = 0;
  bool contiguous = false;
};
FkRun FkPaneRun(const FkPane& pane, double delay, double t1, double t2, size_t n);

// Adds the pane's samples delayed by `delay` seconds into the beam b[0..n-1]
// that covers [t1, t2]: sample k lands at t = start + k / rate + delay and
// goes to slot trunc(n (t - t1) / (t2 - t1)) when t1 <= t <= t2 (slot n is
// dropped).
void FkAddDelayed(const FkPane& pane, double delay, double t1, double t2, float* beam, size_t n);

}  // namespace nuv
