#include "seismo/distance_estimate.h"

#include "phases/current_event.h"
#include "phases/nuv_phases.h"
#include "phases/phase_types.h"
#include "platform/strformat.h"
#include "platform/time_base.h"
#include "traveltime/travel_time.h"

namespace nuv {

DistanceEstimate EstimateEpicentralDistance(const NUVPhases& phases, const PhaseTypeTable& types,
                                            int station, int channel, int phaseA, int phaseB,
                                            double depth) {
  DistanceEstimate out;
  if (phaseA == phaseB) {
    out.beep = true;
    out.message = "Фазы совпадают";
    return out;
  }
  const SEISMIC_PHASE* a = phases.Find(station, channel, phaseA);
  const SEISMIC_PHASE* b = phases.Find(station, channel, phaseB);
  if (!a || !b) {
    out.message = StrFormat("Нет отметки фазы %s", types.Name(a ? phaseB : phaseA).c_str());
    return out;
  }
  const double dt = a->time - b->time;
  const double d = DistanceForTimeDifference(types.Data(phaseA), types.Data(phaseB), dt, depth);
  if (d < 0) {
    out.message = "Нет решения";
    return out;
  }
  const double tb = TravelTime(types.Data(phaseB), depth, d);
  if (tb < 0) {
    out.message = "Нет решения";
    return out;
  }
  out.ok = true;
  out.distance = d;
  out.originTime = b->time - tb;
  const CalendarTime c = EpochToCalendar(out.originTime);
  out.message = StrFormat(
      "Расстояние до эпицентра %.3f градусов.\n Время в очаге %02d:%02d:%.1f %02d.%02d.%4d\n при "
      "глубине %.0f км",
      d, c.hour, c.minute, c.second, c.day, c.month, c.year, depth);
  return out;
}

void ApplyDistanceEstimate(const DistanceEstimate& estimate, NUVPhases& phases, CurrentEvent& event,
                           int station, int channel, int phaseA, int phaseB, double depth) {
  if (!estimate.ok) return;
  event.SetStationDistance(station, static_cast<float>(estimate.distance));
  event.originDepth = static_cast<float>(depth);
  event.originTime = estimate.originTime;
  // Both distances are one change of the list (one undo step).
  PhaseChangeGroup group(phases);
  for (int type : {phaseA, phaseB})
    phases.Modify(station, channel, type,
                  [&](SEISMIC_PHASE& p) { p.distance = static_cast<float>(estimate.distance); });
}

}  // namespace nuv
