#include "seismo/magnitudes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "db/station_table.h"
#include "phases/current_event.h"
#include "phases/nuv_phases.h"
#include "phases/phase_types.h"
#include "platform/paths.h"
#include "platform/strformat.h"
#include "seismo/location.h"
#include "traveltime/dist_az.h"

namespace nuv {
namespace {

// The common checks of every magnitude button but ML: the period, then the
// amplitude. A negative value cannot be measured either.
std::optional<MagnitudeResult> CheckAmplitudePeriod(double a, double t) {
  if (!(t > 0)) return MagnitudeResult::Error(kMsgPeriodZero);
  if (!(a > 0)) return MagnitudeResult::Error(kMsgAmplitudeZero);
  return std::nullopt;
}

std::optional<MagnitudeResult> CheckDistance(double d) {
  if (!(d >= 0 && d <= 180)) return MagnitudeResult::Error(kMsgDistanceRange);
  return std::nullopt;
}

// log10(A / T) (times `factor` inside the logarithm) plus Q(h, D).
MagnitudeResult CalibratedMagnitude(double a, double t, double d, double h, double factor,
                                    const PHASEDATA& table, const char* loadMessage,
                                    const char* name) {
  if (auto refusal = CheckAmplitudePeriod(a, t)) return *refusal;
  if (auto refusal = CheckDistance(d)) return *refusal;
  if (!table.hasTravelTimes) return MagnitudeResult::Error(loadMessage);
  if (d == 0) d = 0.001;
  if (h < 0) h = 0;
  const double q = CalibLookup(table, h, d);
  if (q == -1) return MagnitudeResult::Error(OutsideCalibrationMessage(name));
  return MagnitudeResult::Value(std::log10(factor * a / t) + q);
}

}  // namespace

std::string OutsideCalibrationMessage(const std::string& magnitude) {
  return StrFormat(
      "Для данных расстояния до эпицентра и глубины нет данных в калибровочном файле для "
      "магнитуды %s.",
      magnitude.c_str());
}

bool LoadCalibrationTable(const std::string& path, PHASEDATA& table) {
  return ReadTravelTimeFile(path, table, true);
}

double CalibLookup(const PHASEDATA& table, double depth, double distance) {
  return TravelTime(table, depth, distance);
}

double MlCalibration::Lookup(double x) const {
  constexpr double kNone = std::numeric_limits<float>::max();
  if (points.empty() || !(x >= points.front().first && x <= points.back().first)) return kNone;
  for (size_t i = 0; i < points.size(); ++i) {
    if (x == points[i].first) return points[i].second;
    if (i + 1 < points.size() && x > points[i].first && x < points[i + 1].first) {
      const double x0 = points[i].first, x1 = points[i + 1].first;
      const double c0 = points[i].second, c1 = points[i + 1].second;
      return c0 + (x - x0) * (c1 - c0) / (x1 - x0);
    }
  }
  return kNone;
}

std::optional<MlCalibration> MlCalib(const std::string& dir, const std::string& station) {
  std::string base = NativePath(dir);
  if (!base.empty() && base.back() != '/') base.push_back('/');
  FILE* file = std::fopen(StrFormat("%sML.%s.txt", base.c_str(), station.c_str()).c_str(), "r");
  if (!file) file = std::fopen(StrFormat("%sML.txt", base.c_str()).c_str(), "r");
  if (!file) return std::nullopt;
  MlCalibration calibration;
  float x, c;
  while (std::fscanf(file, "%f %f", &x, &c) == 2) calibration.points.emplace_back(x, c);
  std::fclose(file);
  // The lookup needs ascending distances; a file out of order still works.
  std::stable_sort(calibration.points.begin(), calibration.points.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  return calibration;
}

MagnitudeResult MagnitudeMb(double a, double t, double d, double h, const PHASEDATA& table) {
  return CalibratedMagnitude(a, t, d, h, 2.0, table, kMsgMbCalibration, "Mb");
}

MagnitudeResult MagnitudeMplp(double a, double t, double d, double h, const PHASEDATA& table) {
  return CalibratedMagnitude(a, t, d, h, 1.0, table, kMsgMplpCalibration, "MPLP");
}

MagnitudeResult MagnitudeMpsp(double a, double t, double d, double h, const PHASEDATA& table) {
  return CalibratedMagnitude(a, t, d, h, 1.0, table, kMsgMpspCalibration, "MPSP");
}

MagnitudeResult MagnitudeMs(double a, double t, double d) {
  if (auto refusal = CheckAmplitudePeriod(a, t)) return *refusal;
  if (auto refusal = CheckDistance(d)) return *refusal;
  if (d == 0) d = 0.001;
  return MagnitudeResult::Value(std::log10(a / t) + 1.66 * std::log10(d) + 3.3);
}

double CodaMagnitudeFormula(double a, double tau) {
  if (!(tau >= 10 && tau <= 1000 && a >= 0.002 && a <= 3000)) return -1;
  const double lt = std::log10(tau), la = std::log10(a);
  if (tau < 25) return 1.25309 * lt + la + 1.28256;
  if (tau < 70) return 2.46267 * lt + la - 0.36967;
  if (tau < 200) return 1.62996 * lt + la + 1.1321;
  if (tau < 1000) return 2.57025 * lt + la - 1.0938;
  return 0;
}

MagnitudeResult MagnitudeCoda(double a, double tau) {
  if (auto refusal = CheckAmplitudePeriod(a, tau)) return *refusal;
  return MagnitudeResult::Value(CodaMagnitudeFormula(a, tau));
}

MagnitudeResult MagnitudeMl(double a, double d, double h, const MlCalibration* calibration) {
  if (a == 0 || !std::isfinite(a)) return MagnitudeResult::Error(kMsgAmplitudeZero);
  if (auto refusal = CheckDistance(std::fabs(d))) return *refusal;
  const double x = std::fabs(d) * kKmPerDegree;
  const double r = std::sqrt(x * x + h * h);
  const double la = std::log10(std::fabs(a));
  if (calibration) {
    const double c = calibration->Lookup(x);
    if (c == std::numeric_limits<float>::max())
      return MagnitudeResult::Error(kMsgMlNoCalibrationData);
    return MagnitudeResult::Value(la - c + std::log10(2080.0) - 3);
  }
  if (!(r >= 5 && r <= 800)) return MagnitudeResult::Error(kMsgMlRange);
  if (r < 206) return MagnitudeResult::Value(la + (1.43 * std::log10(r) + 0.61));
  return MagnitudeResult::Value(la + (2.51 * std::log10(r) - 1.89));
}

double RautianClass(double ap, double as, double d) {
  if (!(d >= 5 && d <= 3000)) return -1;
  if (!(ap >= 0.005 && ap <= 1000 && as >= 0.005 && as <= 1000)) return -1;
  double m;
  if (d >= 70) {
    m = 3.33425e-9 * d * d * d - 2.48002e-5 * d * d + 0.0699801 * d + 53.30075;
  } else {
    const double d2 = d * d, d3 = d2 * d, d4 = d3 * d, d5 = d4 * d;
    m = 1.63797e-7 * d5 - 4.03237e-5 * d4 + 0.003838 * d3 - 0.181708 * d2 + 4.86942 * d - 19.0383;
  }
  return 0.074 * m + 1.847 * std::log10(ap + as) + 5.23;
}

std::optional<double> EnergyClassFormula(EnergyClassVariant variant, double ap, double as,
                                         double distanceKm, double depthKm) {
  if (!(ap > 0) || !(as > 0)) return std::nullopt;
  const double r = std::sqrt(distanceKm * distanceKm + depthKm * depthKm);
  const double l = std::log10(r);
  double g;
  if (variant == EnergyClassVariant::Vegik) {
    if (r >= 5 && r < 75)
      g = 2.11 * l + 1.32;
    else if (r >= 75 && r < 264)
      g = 1.1 * l + 3.21;
    else if (r >= 264 && r <= 800)
      g = 2.98 * l - 1.34;
    else
      return std::nullopt;
  } else {
    if (r >= 5 && r < 95)
      g = 1.92 * l + 1.54;
    else if (r >= 95 && r < 350)
      g = 0.87 * l + 3.61;
    else if (r >= 350 && r <= 1000)
      g = 2.4 * l - 0.28;
    else
      return std::nullopt;
  }
  return 1.84 * (g + std::log10(ap + as));
}

RautianOutcome RautianForChannel(const NUVPhases& phases, const PhaseTypeTable& types,
                                 const StationTable& stations, const CurrentEvent& event,
                                 int station, int channel) {
  RautianOutcome out;
  const int pgType = types.IndexOf("Pg");
  const int sgType = types.IndexOf("Sg");
  const SEISMIC_PHASE* pg = pgType < 0 ? nullptr : phases.Find(station, channel, pgType);
  if (!pg) {
    out.message = "Нет отметки фазы Pg";
    return out;
  }
  if (!(pg->amplitude > 0)) {
    out.message = "Нет замера амплитуды для фазы Pg";
    return out;
  }
  const SEISMIC_PHASE* sg = nullptr;
  if (sgType >= 0 && station >= 0 && station < stations.size()) {
    const CScreenFields& s = stations[station];
    for (int c = 0; c < kChannelsPerStation; ++c) {
      if (!s.channels[static_cast<size_t>(c)].used()) continue;
      const SEISMIC_PHASE* found = phases.Find(station, c, sgType);
      if (!found) continue;
      sg = found;
      if (found->amplitude > 0) break;
    }
  }
  if (!sg) {
    out.message = "Нет отметки фазы Sg";
    return out;
  }
  if (!(sg->amplitude > 0)) {
    out.message = "Нет замера амплитуды для фазы Sg";
    return out;
  }
  double distance = 0;
  if (pg->distance > 0) {
    distance = pg->distance * kKmPerDegree;
  } else if (sg->distance > 0) {
    distance = sg->distance * kKmPerDegree;
  } else {
    float lat, lon;
    DistAzResult r;
    if (event.originValid && ChannelPosition(stations, station, channel, lat, lon) &&
        DistAz(event.originLat, event.originLon, lat, lon, r))
      distance = r.distance * kKmPerDegree;
  }
  out.value = RautianClass(pg->amplitude, sg->amplitude, distance);
  for (int i = 0; i < phases.Count(); ++i)
    if (phases.GetAt(i) == pg) out.pgIndex = i;
  if (out.value > 0) {
    out.ok = true;
    const std::string code = station < stations.size() ? stations[station].code : std::string();
    out.message = StrFormat("Класс для станции %s = %0.3f", code.c_str(), out.value);
  } else {
    out.message = kMsgClassOutOfRange;
  }
  return out;
}

EnergyClassInputs EnergyClassInputsFor(const NUVPhases& phases, const PhaseTypeTable& types,
                                       const StationTable& stations, const CurrentEvent& event,
                                       int station, int channel) {
  EnergyClassInputs in;
  bool stationHasDistance = false;
  const SEISMIC_PHASE* channelWithDistance = nullptr;
  for (const SEISMIC_PHASE& p : phases) {
    if (p.station != station) continue;
    const std::string& name = types.Name(p.phaseType);
    if ((name == "P" || name == "Pg" || name == "Pn") && p.amplitude > in.ap) in.ap = p.amplitude;
    if ((name == "S" || name == "Sg" || name == "Sn") && p.amplitude > in.as) in.as = p.amplitude;
    if (p.distance > 0) {
      stationHasDistance = true;
      if (p.channel == channel && !channelWithDistance) channelWithDistance = &p;
    }
  }
  const std::string code =
      station >= 0 && station < stations.size() ? stations[station].code : std::string();
  if (!(in.ap > 0)) {
    in.message = "Отсутствуют замеры амплитуды для фаз группы P";
    return in;
  }
  if (!(in.as > 0)) {
    in.message = "Отсутствуют замеры амплитуды для фаз группы S";
    return in;
  }
  if (!event.originValid && !stationHasDistance) {
    in.message = StrFormat("Нет оценки расстояния от станции %s  до эпицентра", code.c_str());
    return in;
  }
  float lat, lon;
  DistAzResult r;
  if (event.originValid) {
    if (ChannelPosition(stations, station, channel, lat, lon) &&
        DistAz(event.originLat, event.originLon, lat, lon, r))
      in.distanceKm = std::nearbyint(r.distance * 111.0);
    in.depthKm = std::nearbyint(event.originDepth);
  } else if (channelWithDistance) {
    in.distanceKm = std::nearbyint(channelWithDistance->distance * 111.0);
  }
  in.ok = true;
  return in;
}

void NetworkMagnitudes(const NUVPhases& phases, CurrentEvent& event) {
  auto average = [&](float SEISMIC_PHASE::*field, float& value, float& uncertainty) {
    double sum = 0;
    int count = 0;
    for (const SEISMIC_PHASE& p : phases)
      if (p.*field > 0) {
        sum += p.*field;
        ++count;
      }
    if (count == 0) {
      value = kNoMagnitude;
      return;
    }
    const double mean = sum / count;
    double spread = 0;
    for (const SEISMIC_PHASE& p : phases)
      if (p.*field > 0) spread += (mean - p.*field) * (mean - p.*field);
    value = static_cast<float>(mean);
    uncertainty = static_cast<float>(spread / count);
  };
  average(&SEISMIC_PHASE::mb, event.eventMb, event.eventMbUnc);
  average(&SEISMIC_PHASE::ms, event.eventMs, event.eventMsUnc);
}

}  // namespace nuv
