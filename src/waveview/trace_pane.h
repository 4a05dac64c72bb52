#pragma once
// The headless state of one trace pane: its channel, time window, amplitude
// limits, samples, interval and zoom history, and every command that changes
// them. The pane widget draws this state and turns mouse input into these
// calls; reloading the samples after a change is the caller's business.

#include <functional>
#include <future>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "archive/data_block.h"
#include "db/station_table.h"
#include "waveview/minmax_pyramid.h"
#include "waveview/pane_geometry.h"
#include "waveview/pane_sample_cache.h"
#include "waveview/trace_polyline.h"
#include "waveview/waveform_time.h"
#include "waveview/window_param_stack.h"

namespace nuv {

// Per-channel view state kept beside the station table; a pane copies it
// when it is bound to the channel, later changes stay in the pane.
struct ChannelViewState {
  bool showTransformed = false;
  bool formulaOn = false;
  bool filterOn = false;
  double ampMin = 0, ampMax = 0;
  double transMin = 0, transMax = 0;
  double transRate = 0;
  std::string formula;
};

// 24 view states per station, grown on demand to the station count.
class ChannelViewTable {
 public:
  ChannelViewState& At(int station, int channel);

 private:
  std::vector<std::vector<ChannelViewState>> stations_;
};

// A rectangle in the window's client coordinates; y may be negative while
// the window is scrolled.
struct PaneRect {
  int x = 0, y = 0, width = 0, height = 0;
  int Bottom() const { return y + height; }  // first row below the pane
  bool operator==(const PaneRect&) const = default;
};

// Cut-off frequencies and shape of a pane's filter, used to name its
// transformation.
struct PaneFilterName {
  double low = 0, high = 0;
  int order = 0;
  bool zeroPhase = false;
  int type = 0;  // 0 band-pass, 1 low-pass, 2 band-reject, 3 high-pass
};

class TracePane;
// Recomputes a pane's transformed samples from its newly loaded source
// samples. The analyses that transform panes stand above this folder and set
// it; the window calls it after every load.
using PaneRetransform = std::function<void(TracePane&)>;

class TracePane {
 public:
  // Identity and window-level state.
  int number = 0;
  int station = -1;
  int channel = -1;
  bool isActive = false;
  bool isMain = false;
  int selectionNumber = -1;
  bool showTransformed = false;
  bool closeRequested = false;
  bool isBeam = false;
  std::string stationName, channelName, locationCode = kNoLocationCode;
  double channelRate = 0;

  // Window.
  CWaveformTime windowStart;
  double windowLength = 3600;

  // Limits: both 0 means not yet computed.
  double ampMin = 0, ampMax = 0;
  double transMin = 0, transMax = 0;
  // Display limits of the source trace, copied from ampMin/ampMax on rebuild.
  double dispMin = 0, dispMax = 0;
  // Set by a vertical rescale: the limits are written on a cyan background.
  bool rescaled = false;

  // Data. The blocks hold what the pane has read around its window (see
  // PaneSampleCache); WindowSpans() gives the part a read of the window gives.
  NUVDataBlockArray blocks;
  PaneSampleCache sampleCache;
  // One pyramid per block (same order), built once after each load; a
  // pyramid that no longer covers its block's samples is not used.
  std::vector<MinMaxPyramid> pyramids;
  TraceColumnCache sourceColumns;
  std::vector<float> transformed;
  // Built over `transformed` by BuildTransformedPyramid; whoever changes the
  // transformed samples rebuilds it (the pane widget does on every rebuild).
  MinMaxPyramid transformedPyramid;
  double transRate = 0;
  int transformCode = -1;  // filter type 0..3, simulation 1000..1019
  PaneFilterName filter;
  bool formulaOn = false;
  bool filterOn = false;
  std::string formula;
  PaneRetransform retransform;  // empty while the pane holds no transformation

  // Times of detector triggers, drawn in the marks layer.
  std::vector<double> detectionMarks;

  // Interval.
  double intervalStart = 0, intervalEnd = 0;
  bool hasInterval = false;

  CWindowParamStack history;

  // Placement in the window.
  PaneRect rect;
  bool maximized = false;
  PaneRect savedRect;

  double WindowStart() const { return windowStart.Get(); }
  double WindowEnd() const { return windowStart.Get() + windowLength; }
  void SetWindowStart(double t) { windowStart.Set(t); }
  bool HasTransformed() const { return !transformed.empty(); }
  // Sampling rate of the channel, or of the first block when the inventory has none.
  double SampleRate() const;

  // Binding (SetChannel): empties the history, copies the channel's view
  // state and takes the station's default window.
  void Bind(const StationTable& stations, const ChannelViewState& view, int stationIndex,
            int channelIndex);

  // History.
  CWindowParam CurrentParam() const;
  void PushHistory() { history.Push(CurrentParam()); }
  // Restores the newest entry; false when the history was empty.
  bool Back();

  // Time-axis commands (each pushes history first).
  static double ShiftAmount(double windowLength);
  void ShiftLeft();
  void ShiftRight();
  void ZoomInTime();
  void ZoomOutTime();

  // Amplitude commands on the working signal (each pushes history first).
  void StretchVertical();
  void CompressVertical();
  void MoveUp();
  void MoveDown();
  // Recomputes the working limits from the data; false (limits kept) when
  // the window sample array cannot be allocated.
  bool Centre();
  // The same without a history entry (used after the window was set from
  // outside, e.g. to show the phase list).
  bool RecomputeLimits();
  // Copies one signal's limits to the other; false when there is no transformed signal.
  bool SameScale();

  // The zoom box from two corners in pane pixels.
  void ZoomBox(const PaneGeometry& g, int x1, int y1, int x2, int y2);

  // Window start and trunc(length) of another pane (its own length when that
  // is below one second).
  void TakeWindowOf(const TracePane& other);

  // Limits of the working signal (source, or transformed when showTransformed).
  double& WorkLo() { return showTransformed ? transMin : ampMin; }
  double& WorkHi() { return showTransformed ? transMax : ampMax; }
  // Display limits of the working signal, used by pixel -> amplitude.
  double DisplayLo() const { return showTransformed ? transMin : dispMin; }
  double DisplayHi() const { return showTransformed ? transMax : dispMax; }

  // The part of every block inside the window, as a read of the window
  // gives it (whole blocks unless the sample cache holds more than the window).
  std::vector<SampleSpan> WindowSpans() const;
  // Those parts as blocks of their own (copied).
  NUVDataBlockArray WindowBlocks() const;

  // Builds the pyramids of the blocks now, or in a worker thread; the
  // blocks must not change until FinishPyramids has returned. With `reuse`
  // a pyramid whose block kept its array, length and start is kept (the
  // blocks are still the same channel's samples).
  void BuildPyramids();
  void StartPyramids(bool reuse = false);
  void BuildTransformedPyramid();
  // The pyramid of the transformed samples when it covers them, else null.
  const MinMaxPyramid* TransformedPyramid() const;
  void FinishPyramids();
  // The pyramid of block i when it covers that block's samples, else null.
  const MinMaxPyramid* PyramidOf(int block) const;

  // The source trace over geometry g between the display limits, one line
  // per block in the window. The columns the pyramids give for the window
  // are kept, so new limits read no samples.
  std::vector<std::vector<PixelPoint>> SourceLines(const PaneGeometry& g);
  // Takes those columns ahead of drawing; panes may do this on threads of
  // their own, one thread per pane.
  void PrepareSourceColumns(const PaneGeometry& g);

  // Before drawing: computes ampMin/ampMax from the blocks when both are 0
  // (the first non-zero sample starts them), then sets the display limits
  // (swapped when inverted, widened by 0.1 when equal).
  void PrepareDisplayLimits();

  // One float array over the window: n = trunc(windowLength * rate) zeros,
  // each block copied from index floor((block start - windowStart) * (n - 1)
  // / windowLength); indices outside 0..n-1 skipped. Throws std::bad_alloc.
  std::vector<float> WindowSampleArray(double rate) const;

  // Interval from two pixel columns (ordered, converted to times).
  void SetIntervalFromPixels(const PaneGeometry& g, int x1, int x2);
  // Moves an existing interval so it is centred on the time at x.
  void CentreIntervalAt(const PaneGeometry& g, int x);
  void ClearInterval() { hasInterval = false; }

  // Text naming the transformation ("unfilter" without a transformed signal).
  std::string TransformName() const;

  // Header text "D%d  %5s[%s-(%s)] %.3f samples/s %s" (or the beam form).
  std::string HeaderText() const;

 private:
  std::shared_future<std::vector<MinMaxPyramid>> pendingPyramids_;
  // Start time of the block each pyramid was built for.
  std::vector<double> pyramidStarts_;
};

// "%04d-%s-%02d" with the English month abbreviation.
std::string HeaderDate(double t);

// PrepareSourceColumns of every pane, shared out among the processor's
// cores (each pane on one thread).
void PrepareSourceColumns(const std::vector<std::pair<TracePane*, PaneGeometry>>& panes);

}  // namespace nuv
