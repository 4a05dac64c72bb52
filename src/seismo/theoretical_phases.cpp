#include "seismo/theoretical_phases.h"

#include "phases/nuv_phases.h"
#include "phases/phase_types.h"
#include "platform/strformat.h"
#include "traveltime/travel_time.h"

namespace nuv {
namespace {

TheoreticalResult Refuse(const std::string& message) {
  TheoreticalResult result;
  result.message = message;
  return result;
}

std::string NoTable(const PhaseTypeTable& types, int type) {
  return StrFormat("Нет данных годографа для фазы %s", types.Name(type).c_str());
}

}  // namespace

TheoreticalResult ComputeTheoretical(const PhaseTypeTable& types, const TheoreticalRequest& request,
                                     double referenceTime) {
  TheoreticalResult result;
  result.distance = request.distance;
  result.originTime = request.originTime;
  const int ref = request.referenceType;
  if (request.mode != TheoreticalMode::FromOriginTime) {
    if (referenceTime < 0) return Refuse(StrFormat("Нет отметки фазы %s", types.Name(ref).c_str()));
    if (!types.HasTravelTimes(ref)) return Refuse(NoTable(types, ref));
  }
  if (request.mode == TheoreticalMode::FromReference) {
    const double t = TravelTime(types.Data(ref), request.depth, request.distance);
    if (t < 0) return Refuse(NoTable(types, ref));
    result.originTime = referenceTime - t;
  } else if (request.mode == TheoreticalMode::FromReferenceAndT0) {
    result.distance =
        DistanceForTime(types.Data(ref), referenceTime - request.originTime, request.depth);
    if (result.distance < 0) {
      result.beep = true;
      return result;
    }
  }
  for (int type : request.types) {
    if (!types.HasTravelTimes(type)) continue;
    const double t = TravelTime(types.Data(type), request.depth, result.distance);
    if (t < 0) return Refuse(NoTable(types, type));
    result.phases.push_back({type, t, result.originTime + t});
  }
  result.ok = true;
  return result;
}

void PlaceTheoretical(NUVPhases& phases, int station, int channel,
                      const TheoreticalResult& result) {
  PhaseChangeGroup group(phases);
  for (const TheoreticalPhase& placed : result.phases) {
    SEISMIC_PHASE p;
    p.station = station;
    p.channel = channel;
    p.phaseType = placed.type;
    p.onset = 1;
    p.firstMotion = 4;
    p.weight = 3;
    p.SetTime(placed.time);
    phases.Add(p);
  }
}

}  // namespace nuv
