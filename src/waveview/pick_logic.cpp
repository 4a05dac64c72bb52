#include "waveview/pick_logic.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace nuv {

OnsetWeight ClassifyDeltim(double deltim) {
  if (deltim < 0.2) return {1, 0};
  if (deltim < 1.0) return {0, 1};
  return {2, 3};
}

std::optional<PickGesture> PickFromGesture(const PaneGeometry& g, double windowStart,
                                           double windowLength, int pressX, int releaseX,
                                           int releaseY) {
  if (g.xR() <= g.xL() || !(windowLength > 0)) return std::nullopt;
  if (!g.InTraceArea(releaseX, releaseY)) return std::nullopt;
  if (std::abs(releaseX - pressX) <= kPickClickSlop) releaseX = pressX;
  const double t1 = PixelToTime(g, windowStart, windowLength, pressX);
  const double t2 = PixelToTime(g, windowStart, windowLength, releaseX);
  PickGesture p;
  p.time = (t1 + t2) / 2;
  p.deltim = std::fabs(t1 - t2);
  p.x = (pressX + releaseX) / 2;
  p.arrowHalfWidth = static_cast<int>(p.deltim / 2 * (g.xR() - g.xL()) / windowLength);
  return p;
}

PickChoice DefaultPickChoice(double deltim, int phaseType) {
  PickChoice c;
  const OnsetWeight ow = ClassifyDeltim(deltim);
  c.onset = ow.onset;
  c.weight = ow.weight;
  c.phaseType = phaseType;
  return c;
}

SEISMIC_PHASE MakePickedPhase(const PhaseTypeTable& types, int station, int channel, double time,
                              double deltim, const PickChoice& choice) {
  SEISMIC_PHASE p;
  p.station = station;
  p.channel = channel;
  p.phaseType = choice.phaseType;
  p.onset = choice.onset;
  p.firstMotion = choice.firstMotion;
  p.weight = choice.weight;
  p.SetTime(time);
  p.deltim = deltim;
  p.defining = types.CanBeDefining(choice.phaseType) ? 1 : 0;
  p.active = 1;
  p.chanType = choice.chanType;
  p.remark = choice.remark.substr(0, 80);
  p.pFilType = choice.filter;
  return p;
}

LabelBox LabelBoxAt(const PaneGeometry& g, int x, int textWidth, int textHeight, int phaseType) {
  return {x, g.traceTop() + 1, textWidth + 10, textHeight + 1, phaseType};
}

int HitLabel(const std::vector<LabelBox>& labels, int x, int y) {
  for (int i = static_cast<int>(labels.size()) - 1; i >= 0; --i)
    if (labels[static_cast<size_t>(i)].Contains(x, y)) return i;
  return -1;
}

std::optional<double> LabelDropTime(const PaneGeometry& g, double windowStart, double windowLength,
                                    int left) {
  if (left < g.xL() || left > g.xR() || g.xR() <= g.xL()) return std::nullopt;
  return PixelToTime(g, windowStart, windowLength, left);
}

namespace {

// The triples of the channel's phases in the closed range.
std::vector<int> TypesInRange(const NUVPhases& phases, int station, int channel, double a,
                              double b) {
  const double lo = std::min(a, b), hi = std::max(a, b);
  std::vector<int> types;
  for (const SEISMIC_PHASE& p : phases)
    if (p.station == station && p.channel == channel && p.time >= lo && p.time <= hi)
      types.push_back(p.phaseType);
  return types;
}

}  // namespace

int SetDefiningInRange(NUVPhases& phases, int station, int channel, double a, double b,
                       bool defining) {
  const std::vector<int> types = TypesInRange(phases, station, channel, a, b);
  const PhaseChangeGroup group(phases);
  for (int type : types)
    phases.Modify(station, channel, type,
                  [defining](SEISMIC_PHASE& p) { p.defining = defining ? 1 : 0; });
  return static_cast<int>(types.size());
}

int RemoveInRange(NUVPhases& phases, int station, int channel, double a, double b) {
  const std::vector<int> types = TypesInRange(phases, station, channel, a, b);
  const PhaseChangeGroup group(phases);
  for (int type : types) phases.Remove(station, channel, type);
  return static_cast<int>(types.size());
}

std::optional<double> PhasePOffset(const NUVPhases& phases, const PhaseTypeTable& types,
                                   int station, int channel, double windowStart,
                                   double windowLength) {
  const int p = types.IndexOf("P");
  if (p < 0) return std::nullopt;
  const SEISMIC_PHASE* own = phases.Find(station, channel, p);
  if (!own || !(own->time > windowStart && own->time < windowStart + windowLength))
    return std::nullopt;
  return own->time - windowStart;
}

std::optional<double> LinedUpStart(const NUVPhases& phases, const PhaseTypeTable& types,
                                   int station, int channel, double offset) {
  const int p = types.IndexOf("P");
  const SEISMIC_PHASE* phase = p < 0 ? nullptr : phases.Find(station, channel, p);
  if (!phase) return std::nullopt;
  return phase->time - offset;
}

}  // namespace nuv
