#include "waveview/phase_view.h"

#include <algorithm>
#include <limits>

#include "platform/strformat.h"
#include "traveltime/dist_az.h"

namespace nuv {

bool SortPanesByPhases(PaneList& panes, int command, const NUVPhases& phases,
                       const PhaseTypeTable& types, const CurrentEvent& event,
                       const StationTable& stations) {
  switch (command) {
    case kSortPhaseTime:
      SortPanesByKey(
          panes, [&](const TracePane& p) { return phases.EarliestTime(p.station, p.channel); },
          false);
      return true;
    case kSortAmplitude:
      SortPanesByKey(
          panes,
          [&](const TracePane& p) { return phases.MaxPAmplitude(p.station, p.channel, types); },
          true);
      return true;
    case kSortMb:
      SortPanesByKey(
          panes, [&](const TracePane& p) { return phases.MaxMb(p.station, p.channel); }, true);
      return true;
    case kSortDistance: {
      if (!event.originValid) return false;
      SortPanesByKey(
          panes,
          [&](const TracePane& p) {
            if (p.station < 0 || p.station >= stations.size() || p.channel < 0 ||
                p.channel >= kChannelsPerStation)
              return std::numeric_limits<double>::max();
            const ChannelEntry& ch = stations[p.station].channels[static_cast<size_t>(p.channel)];
            DistAzResult r;
            if (!DistAz(event.originLat, event.originLon, ch.lat, ch.lon, r))
              return std::numeric_limits<double>::max();
            return static_cast<double>(r.distance);
          },
          false);
      return true;
    }
    default:
      return false;
  }
}

std::vector<PhaseMark> PhaseMarksOf(NUVPhases& phases, const PhaseTypeTable& types,
                                    const TracePane& pane, const PaneGeometry& g) {
  std::vector<PhaseMark> marks;
  const double start = pane.WindowStart();
  const double end = pane.WindowEnd();
  for (SEISMIC_PHASE& ph : phases) {
    if (ph.station != pane.station || ph.channel != pane.channel) continue;
    if (!(ph.time > start && ph.time < end)) continue;
    PhaseMark m;
    m.x = TimeToPixel(g, start, pane.windowLength, ph.time);
    ph.markX = m.x;
    m.name = types.Name(ph.phaseType);
    m.phaseType = ph.phaseType;
    m.isP = EqualsNoCase(m.name, "P");
    m.defining = ph.defining != 0;
    marks.push_back(std::move(m));
  }
  return marks;
}

std::optional<PhaseSpanWindow> PhaseListSpan(const NUVPhases& phases) {
  if (phases.Count() == 0) return std::nullopt;
  double t0 = std::numeric_limits<double>::max();
  double t1 = std::numeric_limits<double>::lowest();
  for (const SEISMIC_PHASE& ph : phases) {
    t0 = std::min(t0, ph.time);
    t1 = std::max(t1, ph.time);
  }
  const double span = std::max(1.0, t1 - t0);
  PhaseSpanWindow w;
  w.start = t0 - 0.05 * span;
  w.length = std::max(1.0, t1 - w.start + 0.05 * span);
  return w;
}

}  // namespace nuv
