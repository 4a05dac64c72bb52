#include "seismo/location.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "db/station_table.h"
#include "phases/nuv_phases.h"
#include "phases/phase_types.h"
#include "seismo/f_table.h"
#include "traveltime/travel_time.h"

namespace nuv {
namespace {

constexpr double kDegreeStep = 0.01;  // probe of the latitude/longitude slopes
constexpr double kDepthStep = 1.0;    // probe of the depth slope, km
constexpr double kMinDepth = 1.0;
constexpr double kDefaultMaxDepth = 600.0;
constexpr int kMaxIterations = 1000;
// Halvings of a linearised step before the iteration gives up on a point.
constexpr int kMaxStepHalvings = 12;
constexpr double kEllipseKmPerDegree = 111.195;

}  // namespace

double DeepestSearchDepth(const CArrivalList& list, const PhaseTypeTable& types) {
  double deepest = 0;
  bool any = false;
  for (const CArrivalElement& e : list.elements()) {
    if (e.phaseType < 0 || e.phaseType >= types.Count()) continue;
    const PHASEDATA& table = types.Data(e.phaseType);
    if (!table.hasTravelTimes || table.depths.empty()) continue;
    const double last = table.depths.back();
    deepest = any ? std::min(deepest, last) : last;
    any = true;
  }
  if (!any) return kDefaultMaxDepth;
  return std::max(kMinDepth + 1, std::floor(deepest));
}

namespace {

// The search keeps the depth within 1 km and the deepest depth of the tables.
struct DepthRange {
  double max = kDefaultMaxDepth;
  double Clamp(double depth) const { return std::clamp(depth, kMinDepth, max); }
  int ScanCount() const { return static_cast<int>(max); }  // depths 0 .. max - 1 km
};

bool ValidPoint(double lat, double lon) {
  return lat >= -90 && lat <= 90 && lon >= -180 && lon <= 180;
}

// Epicentral distance of an observation to a trial point as DistAz gives it,
// reusing the observation's precomputed vector; -1 for a point off the globe.
float DistanceTo(const CArrivalElement& e, const GeoVector& trial, float lat, float lon) {
  if (static_cast<float>(e.lat) == lat && static_cast<float>(e.lon) == lon) return 0;
  return DistanceFromVectors(e.position, trial);
}

// Travel time of an observation from a trial point; -1 when not computable.
double ObservationTime(const CArrivalElement& e, const PhaseTypeTable& types, double lat,
                       double lon, double depth) {
  if (!ValidPoint(lat, lon)) return -1;
  const float flat = static_cast<float>(lat), flon = static_cast<float>(lon);
  const float d = DistanceTo(e, GeocentricVector(flat, flon), flat, flon);
  return TravelTime(types.Data(e.phaseType), depth, d);
}

// Sum of the squared residuals t_i - t0 - T_i at a point; infinity when a
// travel time is missing there.
double SquaredResiduals(const CArrivalList& list, const PhaseTypeTable& types, double lat,
                        double lon, double depth, double t0) {
  double sum = 0;
  for (const CArrivalElement& e : list.elements()) {
    const double t = ObservationTime(e, types, lat, lon, depth);
    if (t < 0) return std::numeric_limits<double>::infinity();
    sum += (e.time - t0 - t) * (e.time - t0 - t);
  }
  return sum;
}

double Rms(const CArrivalList& list) {
  if (list.Count() == 0) return 0;
  double sum = 0;
  for (const CArrivalElement& e : list.elements()) sum += e.residual * e.residual;
  return std::sqrt(sum / list.Count());
}

// Residuals t_i - t0 - T_i at a point; false when a travel time is missing
// (that observation's residual is then 0).
bool FillResiduals(CArrivalList& list, const PhaseTypeTable& types, double lat, double lon,
                   double depth, double t0) {
  bool all = true;
  for (CArrivalElement& e : list.elements()) {
    const double t = ObservationTime(e, types, lat, lon, depth);
    if (t < 0) {
      e.residual = 0;
      all = false;
    } else {
      e.residual = e.time - t0 - t;
    }
  }
  return all;
}

// The slope of the misfit from probes either side of x. A probe where some
// travel time is missing (beyond a table's depth or distance, or above the
// surface) would make a slope of 10^8: the one-sided difference on the other
// side is taken instead, and 0 when neither side has a misfit.
double ProbeSlope(double x, double h, double fm, double f0, double fp) {
  const bool minus = fm < kNoMisfit, plus = fp < kNoMisfit;
  if (!(f0 < kNoMisfit)) return 0;
  if (minus && plus) return ParabolaSlope(x, h, fm, f0, fp);
  if (plus) return (fp - f0) / h;
  if (minus) return (f0 - fm) / h;
  return 0;
}

// The whole-km depth of smallest misfit at an epicentre, starting from
// `depth` with misfit `best` (only a strictly smaller misfit moves it).
double ScanDepth(const CArrivalList& list, const PhaseTypeTable& types, const DepthRange& range,
                 double lat, double lon, double depth, double best) {
  for (int d = 0; d < range.ScanCount(); ++d) {
    const double f = Misfit(list, types, lat, lon, d, nullptr);
    if (f < best) {
      best = f;
      depth = d;
    }
  }
  return depth;
}

}  // namespace

void CArrivalList::Add(CArrivalElement element) {
  element.position =
      GeocentricVector(static_cast<float>(element.lat), static_cast<float>(element.lon));
  elements_.push_back(element);
}

void CArrivalList::SortByTime() {
  std::stable_sort(
      elements_.begin(), elements_.end(),
      [](const CArrivalElement& a, const CArrivalElement& b) { return a.time < b.time; });
}

bool ChannelPosition(const StationTable& stations, int station, int channel, float& lat,
                     float& lon) {
  if (station < 0 || station >= stations.size() || channel < 0 || channel >= kChannelsPerStation)
    return false;
  const CScreenFields& s = stations[station];
  const ChannelEntry& c = s.channels[static_cast<size_t>(channel)];
  lat = c.used() ? c.lat : s.lat;
  lon = c.used() ? c.lon : s.lon;
  return true;
}

CArrivalList BuildArrivalList(const NUVPhases& phases, const PhaseTypeTable& types,
                              const StationTable& stations) {
  CArrivalList list;
  for (const SEISMIC_PHASE& p : phases) {
    if (!p.defining) continue;
    if (p.phaseType < 0 || p.phaseType >= types.Count()) break;
    float lat, lon;
    if (!ChannelPosition(stations, p.station, p.channel, lat, lon)) continue;
    CArrivalElement e;
    e.station = p.station;
    e.channel = p.channel;
    e.phaseType = p.phaseType;
    e.time = p.time;
    e.lat = lat;
    e.lon = lon;
    e.elevation = stations[p.station].elev;
    e.weight = 1.0 / (p.weight + 1);
    list.Add(e);
  }
  list.SortByTime();
  return list;
}

double Misfit(const CArrivalList& list, const PhaseTypeTable& types, double lat, double lon,
              double depth, double* t0) {
  const int n = list.Count();
  if (n == 0 || !ValidPoint(lat, lon)) return kNoMisfit;
  const float flat = static_cast<float>(lat), flon = static_cast<float>(lon);
  const GeoVector trial = GeocentricVector(flat, flon);
  // Small lists live on the stack; the search calls this some 10^5 times.
  double local[64];
  std::vector<double> heap;
  double* r = local;
  if (n > 64) {
    heap.resize(static_cast<size_t>(n));
    r = heap.data();
  }
  double mean = 0;
  for (int i = 0; i < n; ++i) {
    const CArrivalElement& e = list[i];
    const double t = TravelTime(types.Data(e.phaseType), depth, DistanceTo(e, trial, flat, flon));
    if (t < 0) return kNoMisfit;
    r[i] = e.time - t;
    mean += r[i];
  }
  mean /= n;
  double misfit = 0;
  for (int i = 0; i < n; ++i) {
    const double term = list[i].weight * (r[i] - mean);
    misfit += term * term;
  }
  if (t0) *t0 = mean;
  return misfit;
}

double ParabolaSlope(double x, double h, double fm, double f0, double fp) {
  const double x1 = x - h, x2 = x, x3 = x + h;
  const double det = (x1 - x2) * (x1 - x3) * (x2 - x3);
  if (det == 0) return 0;
  const double a = (x3 * (f0 - fm) + x2 * (fm - fp) + x1 * (fp - f0)) / det;
  const double b = (x3 * x3 * (fm - f0) + x2 * x2 * (fp - fm) + x1 * x1 * (f0 - fp)) / det;
  return 2 * a * x + b;
}

double WrapLatitude(double lat) {
  double x = std::fmod(std::fabs(lat), 180.0);
  if (lat < 0) x = -x;
  if (x > 90) x -= 180;
  if (x < -90) x += 180;
  return x;
}

double WrapLongitude(double lon) {
  double x = std::fmod(std::fabs(lon), 360.0);
  if (lon < 0) x = -x;
  if (x > 180) x -= 360;
  if (x < -180) x += 360;
  return x;
}

bool GridSearch(const CArrivalList& list, const PhaseTypeTable& types, double depth, double& lat,
                double& lon, const LocateProgress& progress) {
  double best = 1e20, bestLat = lat, bestLon = lon;
  int k = 0;
  for (int la = -90; la <= 90; la += 2) {
    for (int lo = -180; lo <= 180; lo += 2, ++k) {
      const double f = Misfit(list, types, la, lo, depth, nullptr);
      if (f < best) {
        best = f;
        bestLat = la;
        bestLon = lo;
      }
      if (progress && !progress((100 * (k + 1)) / 16200)) return false;
    }
  }
  lat = bestLat;
  lon = bestLon;
  return true;
}

LocationResult LocateSearch(CArrivalList& list, const PhaseTypeTable& types,
                            const LocationStart& start, const LocateOptions& options,
                            const LocateProgress& progress) {
  LocationResult result;
  if (list.Count() < 1) {
    result.message = kMsgNoDefiningPhases;
    return result;
  }
  double lat = start.lat, lon = start.lon, depth = start.depth;
  const DepthRange range{DeepestSearchDepth(list, types)};
  // With fixed coordinates the typed point is kept, so there is nothing to search.
  if (options.gridSearch && !options.fixCoords &&
      !GridSearch(list, types, depth, lat, lon, progress)) {
    result.cancelled = true;
    return result;
  }

  if (!options.fixCoords) {
    for (int iteration = 0; iteration < kMaxIterations; ++iteration) {
      result.iterations = iteration + 1;
      const double f0 = Misfit(list, types, lat, lon, depth, nullptr);
      const double gLat =
          ProbeSlope(lat, kDegreeStep, Misfit(list, types, lat - kDegreeStep, lon, depth, nullptr),
                     f0, Misfit(list, types, lat + kDegreeStep, lon, depth, nullptr));
      const double gLon =
          ProbeSlope(lon, kDegreeStep, Misfit(list, types, lat, lon - kDegreeStep, depth, nullptr),
                     f0, Misfit(list, types, lat, lon + kDegreeStep, depth, nullptr));
      double gDep = 0;
      if (!options.fixDepth)
        gDep = ProbeSlope(depth, kDepthStep,
                          Misfit(list, types, lat, lon, depth - kDepthStep, nullptr), f0,
                          Misfit(list, types, lat, lon, depth + kDepthStep, nullptr));
      // At a depth bound a slope pointing out of the range cannot be
      // followed: the step goes along the epicentre alone, otherwise the
      // clamped depth would eat the whole step and end the search there.
      if ((depth >= range.max && gDep < 0) || (depth <= kMinDepth && gDep > 0)) gDep = 0;
      const double norm = std::sqrt(gLat * gLat + gLon * gLon + gDep * gDep);
      if (norm == 0 || !std::isfinite(norm)) break;
      const double dLat = gLat / norm, dLon = gLon / norm, dDep = gDep / norm;

      double step = 4.0;
      double lat1, lon1, depth1, f1;
      do {
        lat1 = WrapLatitude(lat - step * dLat);
        lon1 = WrapLongitude(lon - step * dLon);
        depth1 = options.fixDepth ? depth : range.Clamp(depth - step * dDep);
        f1 = Misfit(list, types, lat1, lon1, depth1, nullptr);
        step /= 2;
      } while (step >= 0.001 && f1 > f0);
      if (f1 > f0) {
        // No step down the gradient lowers the misfit at this depth. Moving
        // to the worse point would only swap between neighbouring depths;
        // instead the depth is scanned here, and the search goes on from a
        // better depth when there is one (the epicentre that fits a wrong
        // depth is not the minimum). Without one this is the minimum.
        if (options.fixDepth) break;
        const double better = range.Clamp(ScanDepth(list, types, range, lat, lon, depth, f0));
        if (better == depth) break;
        depth = better;
        continue;
      }

      if (!options.fixDepth)
        depth1 = range.Clamp(ScanDepth(list, types, range, lat1, lon1, depth1, f1));

      const bool done = std::fabs(lat - lat1) < 0.01 && std::fabs(lon - lon1) < 0.01 &&
                        std::fabs(depth - depth1) < 0.1;
      lat = lat1;
      lon = lon1;
      depth = depth1;
      if (done) break;
    }
    if (!options.fixDepth)
      depth = ScanDepth(list, types, range, lat, lon, depth,
                        Misfit(list, types, lat, lon, depth, nullptr));
  }

  double t0 = start.t0;
  result.misfit = Misfit(list, types, lat, lon, depth, options.fixCoords ? nullptr : &t0);
  result.lat = lat;
  result.lon = lon;
  result.depth = depth;
  result.t0 = t0;
  const bool all = FillResiduals(list, types, lat, lon, depth, t0);
  result.rms = Rms(list);
  result.ok = all;
  if (!all) result.message = kMsgNoTravelTimes;
  return result;
}

Matrix CovarianceFromSvd(const Matrix& v, const std::vector<double>& w) {
  const int n = v.rows;
  Matrix c(n, n);
  for (int p = 0; p < n; ++p) {
    for (int q = 0; q < n; ++q) {
      double sum = 0;
      for (int k = 0; k < n; ++k) {
        if (w[k] == 0) continue;
        sum += v(p, k) * v(q, k) / (w[k] * w[k]);
      }
      c(p, q) = sum;
    }
  }
  return c;
}

ConfidenceEllipse EllipseFromCovariance(double cLatLat, double cLatLon, double cLonLon, double rms,
                                        int n, double latitude) {
  ConfidenceEllipse ellipse;
  if (cLatLon == 0) return ellipse;
  // The covariance in the local metric (degrees of arc northward and
  // eastward): a degree of longitude spans cos(latitude) of a degree of arc,
  // so the axes are in km and the direction is an azimuth on the ground.
  const double east = std::cos(latitude * kDegToRad);
  const double a = cLonLon * east * east, b = cLatLon * east, c = cLatLat;
  const double pi = std::acos(-1.0);
  double phi = std::atan2(2 * b, c - a) / 2;
  if (phi < 0) phi += pi;
  const double s = std::sin(phi), co = std::cos(phi);
  const double a1 = a * s * s + 2 * b * s * co + c * co * co;
  const double a2 = a * co * co - 2 * b * s * co + c * s * s;
  if (!(a1 >= 0 && a2 >= 0)) return ellipse;
  const double scale = rms * std::sqrt(2 * FQuantile(2, n, 0.90));
  ellipse.major = static_cast<float>(std::sqrt(a1) * scale * kEllipseKmPerDegree);
  ellipse.minor = static_cast<float>(std::sqrt(a2) * scale * kEllipseKmPerDegree);
  double direction = phi / kDegToRad;
  while (direction < 0) direction += 180;
  ellipse.direction = static_cast<float>(direction);
  return ellipse;
}

LocationResult LocateLinear(CArrivalList& list, const PhaseTypeTable& types,
                            const LocationStart& start, const LocateOptions& options,
                            const LocateProgress& progress) {
  LocationResult result;
  const int n = list.Count();
  if (n < 4) {
    result.message = kMsgFewerThanFourPhases;
    return result;
  }
  double lat = start.lat, lon = start.lon, depth = start.depth, t0 = start.t0;
  if (options.gridSearch && !options.fixCoords &&
      !GridSearch(list, types, depth, lat, lon, progress)) {
    result.cancelled = true;
    return result;
  }

  const DepthRange range{DeepestSearchDepth(list, types)};
  const int unknowns = options.fixDepth ? 3 : 4;
  bool decomposed = false;
  Matrix v;
  std::vector<double> w;
  if (!options.fixCoords) {
    for (int iteration = 0; iteration < kMaxIterations; ++iteration) {
      result.iterations = iteration + 1;
      Matrix design(n, unknowns);
      std::vector<double> rhs(static_cast<size_t>(n));
      // The depth slope is taken 1 km either side: a point at the surface is
      // moved 1 km down first so that both probes lie inside the tables.
      if (!options.fixDepth && depth <= kMinDepth) depth += 1;
      for (int i = 0; i < n && !result.solutionFailed; ++i) {
        const CArrivalElement& e = list[i];
        const double t = ObservationTime(e, types, lat, lon, depth);
        if (t < 0) {
          result.solutionFailed = true;
          break;
        }
        design(i, 0) = 1;
        design(i, 1) = ParabolaSlope(lat, kDegreeStep,
                                     ObservationTime(e, types, lat - kDegreeStep, lon, depth), t,
                                     ObservationTime(e, types, lat + kDegreeStep, lon, depth));
        design(i, 2) = ParabolaSlope(lon, kDegreeStep,
                                     ObservationTime(e, types, lat, lon - kDegreeStep, depth), t,
                                     ObservationTime(e, types, lat, lon + kDegreeStep, depth));
        if (!options.fixDepth)
          design(i, 3) = ParabolaSlope(depth, kDepthStep,
                                       ObservationTime(e, types, lat, lon, depth - kDepthStep), t,
                                       ObservationTime(e, types, lat, lon, depth + kDepthStep));
        rhs[static_cast<size_t>(i)] = e.time - t - t0;
      }
      if (result.solutionFailed) break;
      Matrix u = design;
      const int status = SvdDecompose(u, w, v);
      if (status != 0) {
        // No reliable step without a converged decomposition: stop here.
        result.solutionFailed = true;
        break;
      }
      decomposed = true;
      std::vector<double> dx = SvdSolve(u, w, v, rhs);
      // A full step from a poor start can overshoot into a worse point (a
      // shallow start once ran to the deepest table with residuals of a
      // minute); the step is halved until the residuals shrink, and the
      // iteration ends where no step along the solution helps.
      double now = 0;
      for (double r : rhs) now += r * r;
      bool better = false;
      for (int halving = 0; halving < kMaxStepHalvings && !better; ++halving) {
        if (halving > 0)
          for (double& d : dx) d /= 2;
        const double tryDepth = options.fixDepth ? depth : range.Clamp(depth + dx[3]);
        better = SquaredResiduals(list, types, WrapLatitude(lat + dx[1]),
                                  WrapLongitude(lon + dx[2]), tryDepth, t0 + dx[0]) <= now;
      }
      if (!better) break;
      t0 += dx[0];
      lat = WrapLatitude(lat + dx[1]);
      lon = WrapLongitude(lon + dx[2]);
      const double dDepth = options.fixDepth ? 0 : dx[3];
      if (!options.fixDepth) depth = range.Clamp(depth + dDepth);
      if (std::fabs(dx[0]) >= 0.1 || std::fabs(dx[1]) >= 0.01 || std::fabs(dx[2]) >= 0.01) continue;
      if (options.fixDepth || std::fabs(dDepth) < 0.1) break;
    }
  }

  result.lat = lat;
  result.lon = lon;
  result.depth = depth;
  result.t0 = t0;
  if (!FillResiduals(list, types, lat, lon, depth, t0)) result.solutionFailed = true;
  result.rms = Rms(list);
  result.misfit = Misfit(list, types, lat, lon, depth, nullptr);
  result.ok = true;
  if (decomposed) {
    result.covariance = CovarianceFromSvd(v, w);
    if (!result.solutionFailed)
      result.ellipse = EllipseFromCovariance(result.covariance(1, 1), result.covariance(1, 2),
                                             result.covariance(2, 2), result.rms, n, lat);
  }
  return result;
}

bool RecomputeResiduals(NUVPhases& phases, const PhaseTypeTable& types,
                        const StationTable& stations, const CurrentEvent& event) {
  if (!event.originValid) return false;
  for (SEISMIC_PHASE& p : phases) {
    p.hasResidual = 0;
    p.residual = 0;
    float lat, lon;
    if (!ChannelPosition(stations, p.station, p.channel, lat, lon)) continue;
    DistAzResult r;
    if (!DistAz(event.originLat, event.originLon, lat, lon, r)) continue;
    if (!types.HasTravelTimes(p.phaseType)) continue;
    const double t = TravelTime(types.Data(p.phaseType), event.originDepth, r.distance);
    // Outside the table there is no theoretical time to compare with.
    if (t < 0) continue;
    p.residual = static_cast<float>(p.time - event.originTime - t);
    p.hasResidual = 1;
  }
  return true;
}

bool RecomputeDistances(NUVPhases& phases, const StationTable& stations,
                        const CurrentEvent& event) {
  if (!event.originValid) return false;
  for (SEISMIC_PHASE& p : phases) {
    float lat, lon;
    DistAzResult r;
    if (ChannelPosition(stations, p.station, p.channel, lat, lon) &&
        DistAz(event.originLat, event.originLon, lat, lon, r))
      p.distance = r.distance;
    else
      p.distance = -1;
  }
  return true;
}

}  // namespace nuv
