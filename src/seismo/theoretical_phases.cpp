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
    const double t = types.HasTravelTimes(type)
                         ? TravelTime(types.Data(type), request.depth, result.distance)
                         : -1.0;
    if (t < 0)
      result.missing.push_back(type);
    else
      result.phases.push_back({type, t, result.originTime + t});
  }
  result.ok = true;
  return result;
}

bool TheoreticalPlacer::Placed(const SEISMIC_PHASE& phase) const {
  // Left as it was placed: any change of the analyst's makes it theirs.
  for (const SEISMIC_PHASE& p : placed_)
    if (p.SameTriple(phase) && p.time == phase.time && p.onset == phase.onset &&
        p.firstMotion == phase.firstMotion && p.weight == phase.weight &&
        p.defining == phase.defining && p.hasAmplitude == phase.hasAmplitude &&
        p.arid == phase.arid && p.deltim == phase.deltim && p.remark == phase.remark &&
        p.pFilType == phase.pFilType)
      return true;
  return false;
}

TheoreticalPlacement TheoreticalPlacer::Place(NUVPhases& phases, int station, int channel,
                                              const TheoreticalResult& result) {
  TheoreticalPlacement placement;
  PhaseChangeGroup group(phases);
  for (const TheoreticalPhase& computed : result.phases) {
    const SEISMIC_PHASE* existing = phases.Find(station, channel, computed.type);
    if (existing && !Placed(*existing)) {
      placement.kept.push_back(computed.type);
      continue;
    }
    SEISMIC_PHASE p;
    p.station = station;
    p.channel = channel;
    p.phaseType = computed.type;
    p.onset = 1;
    p.firstMotion = 4;
    p.weight = 3;
    p.SetTime(computed.time);
    std::erase_if(placed_, [&p](const SEISMIC_PHASE& q) { return q.SameTriple(p); });
    placed_.push_back(*phases.Add(p));
    placement.placed.push_back(computed.type);
  }
  return placement;
}

namespace {

std::string Names(const PhaseTypeTable& types, const std::vector<int>& list) {
  std::string text;
  for (int type : list) text += (text.empty() ? "" : ", ") + types.Name(type);
  return text;
}

}  // namespace

std::string TheoreticalSummary(const PhaseTypeTable& types, const TheoreticalResult& result,
                               const TheoreticalPlacement* placement) {
  const bool kept = placement && !placement->kept.empty();
  if (!kept && result.missing.empty()) return {};
  std::string text;
  if (placement) {
    text = StrFormat("Расставлено фаз: %zu", placement->placed.size());
    if (!placement->placed.empty()) text += " (" + Names(types, placement->placed) + ")";
    text += ".";
  }
  if (kept)
    text += (text.empty() ? "" : "\n") +
            std::string("Не заменены фазы, отмеченные на канале аналитиком: ") +
            Names(types, placement->kept) + ".";
  if (!result.missing.empty())
    text += (text.empty() ? "" : "\n") + std::string("Нет данных годографа для фаз: ") +
            Names(types, result.missing) + ".";
  return text;
}

}  // namespace nuv
