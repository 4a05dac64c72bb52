#include "waveview/trace_pane.h"

#include <algorithm>
#include <cmath>
#include <future>
#include <limits>
#include <new>
#include <thread>

#include "platform/strformat.h"
#include "platform/time_base.h"

namespace nuv {

ChannelViewState& ChannelViewTable::At(int station, int channel) {
  if (station < 0) station = 0;
  if (channel < 0 || channel >= kChannelsPerStation) channel = 0;
  if (static_cast<size_t>(station) >= stations_.size())
    stations_.resize(static_cast<size_t>(station) + 1);
  auto& entries = stations_[static_cast<size_t>(station)];
  if (entries.empty()) entries.resize(kChannelsPerStation);
  return entries[static_cast<size_t>(channel)];
}

namespace {

// Whole seconds of a window length; a window shorter than one second keeps
// its length rather than collapsing to an empty window of 0 s.
double WholeSecondsOr(double length) {
  const double whole = std::trunc(length);
  return whole >= 1 ? whole : length;
}

}  // namespace

double TracePane::SampleRate() const {
  if (channelRate > 0) return channelRate;
  for (const NUVDataBlock& b : blocks)
    if (b.rate > 0) return b.rate;
  return 0;
}

void TracePane::Bind(const StationTable& stations, const ChannelViewState& view, int stationIndex,
                     int channelIndex) {
  history.Clear();
  rescaled = false;
  sampleCache.Clear();
  station = stationIndex;
  channel = channelIndex;
  if (stationIndex >= 0 && stationIndex < stations.size()) {
    const CScreenFields& rec = stations[stationIndex];
    stationName = rec.code;
    if (channelIndex >= 0 && channelIndex < kChannelsPerStation) {
      const ChannelEntry& ch = rec.channels[static_cast<size_t>(channelIndex)];
      channelName = ch.name;
      locationCode = ch.lcode;
      channelRate = ch.rate;
    }
    SetWindowStart(rec.selection.StartEpoch());
    windowLength = rec.selection.LengthSeconds();
  }
  showTransformed = view.showTransformed;
  formulaOn = view.formulaOn;
  filterOn = view.filterOn;
  ampMin = view.ampMin;
  ampMax = view.ampMax;
  transMin = view.transMin;
  transMax = view.transMax;
  transRate = view.transRate;
  formula = view.formula;
}

CWindowParam TracePane::CurrentParam() const {
  return {WindowStart(), windowLength, transMin, transMax, ampMin, ampMax};
}

bool TracePane::Back() {
  const std::optional<CWindowParam> entry = history.Pop();
  if (!entry) return false;
  SetWindowStart(entry->windowStart);
  windowLength = entry->windowLength;
  transMin = entry->transMin;
  transMax = entry->transMax;
  ampMin = entry->ampMin;
  ampMax = entry->ampMax;
  return true;
}

double TracePane::ShiftAmount(double length) {
  if (!(length < 2e9)) return 1e9;
  long long k = static_cast<long long>(length);
  if (k % 2 != 0) k += 1;
  return static_cast<double>(k / 2);
}

void TracePane::ShiftLeft() {
  PushHistory();
  SetWindowStart(WindowStart() - ShiftAmount(windowLength));
}

void TracePane::ShiftRight() {
  PushHistory();
  SetWindowStart(WindowStart() + ShiftAmount(windowLength));
}

void TracePane::ZoomInTime() {
  PushHistory();
  const double start = WindowStart();
  const double end = start + windowLength;
  SetWindowStart(0.75 * start + 0.25 * end);
  windowLength = std::ceil(std::max(1.0, windowLength / 2));
}

void TracePane::ZoomOutTime() {
  PushHistory();
  if (2 * windowLength <= 359999) {
    SetWindowStart(WindowStart() - windowLength / 2);
    windowLength = WholeSecondsOr(2 * windowLength);
  }
}

void TracePane::StretchVertical() {
  PushHistory();
  double& lo = WorkLo();
  double& hi = WorkHi();
  const double c = (lo + hi) / 2;
  const double r = hi - lo;
  lo = c - r / 4;
  hi = c + r / 4;
  if (lo == hi) {
    lo -= 1;
    hi += 1;
  }
  rescaled = true;
}

void TracePane::CompressVertical() {
  PushHistory();
  double& lo = WorkLo();
  double& hi = WorkHi();
  const double c = (lo + hi) / 2;
  double r = hi - lo;
  if (r == 0) r = 1;
  lo = c - r;
  hi = c + r;
  rescaled = true;
}

void TracePane::MoveUp() {
  PushHistory();
  double& lo = WorkLo();
  double& hi = WorkHi();
  const double r = hi - lo;
  lo -= r / 4;
  hi -= r / 4;
  rescaled = true;
}

void TracePane::MoveDown() {
  PushHistory();
  double& lo = WorkLo();
  double& hi = WorkHi();
  const double r = hi - lo;
  lo += r / 4;
  hi += r / 4;
  rescaled = true;
}

bool TracePane::Centre() {
  PushHistory();
  if (RecomputeLimits()) return true;
  history.Pop();
  return false;
}

bool TracePane::RecomputeLimits() {
  if (showTransformed) {
    if (transformed.empty()) return true;
    double lo = transformed[0], hi = transformed[0];
    for (float v : transformed) {
      lo = std::min<double>(lo, v);
      hi = std::max<double>(hi, v);
    }
    transMin = lo;
    transMax = hi;
    return true;
  }
  std::vector<float> window;
  try {
    window = WindowSampleArray(SampleRate());
  } catch (const std::bad_alloc&) {
    return false;
  }
  bool started = false;
  double lo = 0, hi = 0;
  for (float v : window) {
    if (v == 0) continue;
    if (!started) {
      lo = hi = v;
      started = true;
    } else {
      lo = std::min<double>(lo, v);
      hi = std::max<double>(hi, v);
    }
  }
  if (lo == hi) {
    lo -= 1;
    hi += 1;
  }
  ampMin = lo;
  ampMax = hi;
  rescaled = false;
  return true;
}

bool TracePane::SameScale() {
  if (!HasTransformed()) return false;
  if (showTransformed) {
    ampMin = transMin;
    ampMax = transMax;
  } else {
    transMin = ampMin;
    transMax = ampMax;
  }
  return true;
}

void TracePane::ZoomBox(const PaneGeometry& g, int x1, int y1, int x2, int y2) {
  PushHistory();
  const double lo = DisplayLo(), hi = DisplayHi();
  const double a1 = PixelToAmplitude(g, lo, hi, y1);
  const double a2 = PixelToAmplitude(g, lo, hi, y2);
  const double start = WindowStart();
  const double t1 = PixelToTime(g, start, windowLength, x1);
  const double t2 = PixelToTime(g, start, windowLength, x2);
  WorkLo() = std::min(a1, a2);
  WorkHi() = std::max(a1, a2);
  const double earlier = std::min(t1, t2);
  const double later = std::max(t1, t2);
  SetWindowStart(earlier);
  windowLength = std::max(1.0, std::floor(later - earlier));
}

void TracePane::TakeWindowOf(const TracePane& other) {
  windowStart = other.windowStart;
  windowLength = WholeSecondsOr(other.windowLength);
}

namespace {

// One pyramid per block; a block for which `reuse` holds one built over its
// array takes that one, the others are built.
std::vector<MinMaxPyramid> PyramidsOf(const NUVDataBlockArray& blocks,
                                      std::vector<MinMaxPyramid> reuse) {
  std::vector<MinMaxPyramid> out(static_cast<size_t>(blocks.size()));
  for (int i = 0; i < blocks.size(); ++i) {
    const NUVDataBlock& b = blocks[i];
    MinMaxPyramid& p = out[static_cast<size_t>(i)];
    auto kept = std::find_if(reuse.begin(), reuse.end(), [&](const MinMaxPyramid& old) {
      return old.Covers(b.samples.data(), HeldSampleCount(b));
    });
    if (kept != reuse.end())
      p = std::move(*kept);
    else
      p.Build(b.samples.data(), HeldSampleCount(b));
  }
  return out;
}

}  // namespace

std::vector<SampleSpan> TracePane::WindowSpans() const {
  const double t1 = WindowStart(), t2 = WindowEnd();
  // Blocks held around the window give their window's part; blocks read for
  // exactly this window, or set from outside (a beam), are taken whole.
  if (sampleCache.Holds(blocks) && (sampleCache.from() != t1 || sampleCache.to() != t2))
    return nuv::WindowSpans(blocks, t1, t2);
  std::vector<SampleSpan> spans;
  for (int i = 0; i < blocks.size(); ++i) {
    const NUVDataBlock& b = blocks[i];
    if (HeldSampleCount(b) > 0) spans.push_back({i, 0, HeldSampleCount(b), b.start});
  }
  return spans;
}

NUVDataBlockArray TracePane::WindowBlocks() const {
  return CopySpans(blocks, WindowSpans());
}

void TracePane::BuildPyramids() {
  pendingPyramids_ = {};
  pyramids = PyramidsOf(blocks, {});
  pyramidStarts_.clear();
  for (const NUVDataBlock& b : blocks) pyramidStarts_.push_back(b.start);
}

void TracePane::StartPyramids(bool reuse) {
  FinishPyramids();
  std::vector<MinMaxPyramid> old;
  if (reuse) {
    // Only a pyramid whose block also kept its start is offered: an array
    // and length alone could be a new block where a freed one lay.
    for (size_t i = 0; i < pyramids.size() && i < pyramidStarts_.size(); ++i) {
      const double start = pyramidStarts_[i];
      const bool same = std::any_of(blocks.begin(), blocks.end(), [&](const NUVDataBlock& b) {
        return b.start == start && pyramids[i].Covers(b.samples.data(), HeldSampleCount(b));
      });
      if (same) old.push_back(std::move(pyramids[i]));
    }
  }
  pyramids.clear();
  pyramidStarts_.clear();
  for (const NUVDataBlock& b : blocks) pyramidStarts_.push_back(b.start);
  pendingPyramids_ = std::async(std::launch::async, [this, old = std::move(old)]() mutable {
                       return PyramidsOf(blocks, std::move(old));
                     }).share();
}

void TracePane::FinishPyramids() {
  if (!pendingPyramids_.valid()) return;
  pyramids = pendingPyramids_.get();
  pendingPyramids_ = {};
}

std::vector<std::vector<PixelPoint>> TracePane::SourceLines(const PaneGeometry& g) {
  FinishPyramids();
  std::vector<std::vector<PixelPoint>> lines;
  const TraceView view{g, WindowStart(), windowLength, dispMin, dispMax};
  for (const SampleSpan& s : WindowSpans()) {
    const NUVDataBlock& b = blocks[s.block];
    std::vector<PixelPoint> points;
    DecimateSamples(view, b.samples.data() + s.first, s.count, b.rate, s.start, points,
                    PyramidOf(s.block), &sourceColumns);
    lines.push_back(std::move(points));
  }
  return lines;
}

void TracePane::PrepareSourceColumns(const PaneGeometry& g) {
  SourceLines(g);
}

void PrepareSourceColumns(const std::vector<std::pair<TracePane*, PaneGeometry>>& panes) {
  if (panes.empty()) return;
  const size_t threads =
      std::clamp<size_t>(std::thread::hardware_concurrency(), 1, std::min<size_t>(4, panes.size()));
  auto every = [&panes, threads](size_t first) {
    for (size_t i = first; i < panes.size(); i += threads)
      panes[i].first->PrepareSourceColumns(panes[i].second);
  };
  std::vector<std::future<void>> others;
  for (size_t t = 1; t < threads; ++t) others.push_back(std::async(std::launch::async, every, t));
  every(0);
  for (auto& f : others) f.get();
}

const MinMaxPyramid* TracePane::PyramidOf(int block) const {
  if (block < 0 || block >= blocks.size() || static_cast<size_t>(block) >= pyramids.size())
    return nullptr;
  const NUVDataBlock& b = blocks[block];
  const MinMaxPyramid& p = pyramids[static_cast<size_t>(block)];
  return p.Covers(b.samples.data(), HeldSampleCount(b)) ? &p : nullptr;
}

void TracePane::BuildTransformedPyramid() {
  transformedPyramid.Build(transformed.data(), static_cast<int>(transformed.size()));
}

const MinMaxPyramid* TracePane::TransformedPyramid() const {
  return transformedPyramid.Covers(transformed.data(), static_cast<int>(transformed.size()))
             ? &transformedPyramid
             : nullptr;
}

void TracePane::PrepareDisplayLimits() {
  FinishPyramids();
  if (ampMin == 0 && ampMax == 0) {
    bool started = false;
    double lo = 0, hi = 0;
    // Over the window's part of each block only.
    const std::vector<SampleSpan> spans = WindowSpans();
    for (const SampleSpan& span : spans) {
      const NUVDataBlock& b = blocks[span.block];
      const int n = span.first + span.count;
      const MinMaxPyramid* pyramid = PyramidOf(span.block);
      for (int i = span.first; i < n; ++i) {
        if (started && pyramid) {
          // The rest of the span at once.
          const MinMaxPyramid::Extremes e = pyramid->Range(i, n - 1);
          lo = std::min<double>(lo, e.lo);
          hi = std::max<double>(hi, e.hi);
          break;
        }
        const float v = b.samples[static_cast<size_t>(i)];
        if (!started) {
          if (v == 0) continue;
          lo = hi = v;
          started = true;
        } else {
          lo = std::min<double>(lo, v);
          hi = std::max<double>(hi, v);
        }
      }
    }
    const bool anySample = !spans.empty();
    // Without any sample the limits stay unset, so the first data that a
    // later reload brings still sets them.
    if (anySample) {
      if (lo == hi) {
        hi += 1;
        lo -= 1;
      }
      ampMin = lo;
      ampMax = hi;
    }
  }
  dispMin = std::min(ampMin, ampMax);
  dispMax = std::max(ampMin, ampMax);
  if (dispMin == dispMax) {
    dispMin -= 0.1;
    dispMax += 0.1;
  }
}

std::vector<float> TracePane::WindowSampleArray(double rate) const {
  const double nd = std::trunc(windowLength * rate);
  if (!(nd >= 0)) return {};
  // More samples than an index can address cannot be allocated.
  if (nd > static_cast<double>(std::numeric_limits<int>::max())) throw std::bad_alloc();
  const int n = static_cast<int>(nd);
  std::vector<float> out(static_cast<size_t>(n), 0.0f);
  if (n == 0) return out;
  const double start = WindowStart();
  for (const SampleSpan& span : WindowSpans()) {
    // Floor rather than truncation: a block that begins before the window
    // must not be moved one sample to the right.
    const double first = std::floor((span.start - start) * (n - 1) / windowLength);
    const float* samples = blocks[span.block].samples.data() + span.first;
    for (int i = 0; i < span.count; ++i) {
      const double index = first + i;
      if (index < 0) continue;
      if (index >= n) break;
      out[static_cast<size_t>(index)] = samples[i];
    }
  }
  return out;
}

void TracePane::SetIntervalFromPixels(const PaneGeometry& g, int x1, int x2) {
  if (x1 > x2) std::swap(x1, x2);
  intervalStart = PixelToTime(g, WindowStart(), windowLength, x1);
  intervalEnd = PixelToTime(g, WindowStart(), windowLength, x2);
  hasInterval = true;
}

void TracePane::CentreIntervalAt(const PaneGeometry& g, int x) {
  if (!hasInterval) return;
  const double length = intervalEnd - intervalStart;
  const double centre = PixelToTime(g, WindowStart(), windowLength, x);
  intervalStart = centre - length / 2;
  intervalEnd = intervalStart + length;
}

std::string TracePane::TransformName() const {
  if (!HasTransformed()) return "unfilter";
  static const char* const kTypes[] = {"B", "L", "R", "H"};
  if (transformCode >= 0 && transformCode <= 3)
    return StrFormat("%.4f %.4f %d %1s %1c", filter.low, filter.high, filter.order,
                     kTypes[transformCode], filter.zeroPhase ? '0' : 'C');
  switch (transformCode) {
    case 1000:
      return "DIS";
    case 1001:
      return "KIRNOS";
    case 1002:
      return "WWSSLP";
    case 1003:
      return "WWSSSP";
    case 1004:
      return "WA";
    case 1005:
      return "LPSRO";
    case 1006:
      return "VEGIK";
    case 1007:
      return "SKM";
    case 1010:
      return "VEL";
    case 1011:
      return "DIS_A";
    case 1012:
      return "KIRNOS_A";
    case 1013:
      return "WWSSLP_A";
    case 1014:
      return "WWSSSP_A";
    case 1015:
      return "WA_A";
    case 1016:
      return "LPSRO_A";
    case 1017:
      return "VEL_A";
    case 1018:
      return "VEGIK_A";
    case 1019:
      return "SKM_A";
    default:
      return "";
  }
}

std::string HeaderDate(double t) {
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const CalendarTime c = EpochToCalendar(t);
  const int m = std::clamp(c.month, 1, 12);
  return StrFormat("%04d-%s-%02d", c.year, kMonths[m - 1], c.day);
}

std::string TracePane::HeaderText() const {
  const char* format =
      isBeam ? "D%d #BEAM# %5s[%s-(%s)] %.3f samples/s %s" : "D%d  %5s[%s-(%s)] %.3f samples/s %s";
  return StrFormat(format, number, stationName.c_str(), channelName.c_str(), locationCode.c_str(),
                   SampleRate(), HeaderDate(WindowStart()).c_str());
}

}  // namespace nuv
