#pragma once
// Hypocentre location from the defining phases of the current list: the
// weighted misfit, the grid-plus-gradient search, the linearised
// least-squares inversion with its confidence ellipse, and the recomputation
// of residuals and distances for the current origin.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "phases/current_event.h"
#include "seismo/svd.h"
#include "traveltime/dist_az.h"

namespace nuv {

class NUVPhases;
class PhaseTypeTable;
class StationTable;

inline constexpr double kNoMisfit = 99999999;
inline constexpr const char* kMsgFewerThanFourPhases = "Количество фаз < 4";
inline constexpr const char* kMsgNoDefiningPhases =
    "Нет определяющих фаз для оценки положения гипоцентра";
inline constexpr const char* kMsgNoTravelTimes =
    "Для найденной точки не рассчитываются времена пробега всех определяющих фаз";

// One observation.
struct CArrivalElement {
  int32_t station = 0;
  int32_t channel = 0;
  int32_t phaseType = 0;
  double time = 0;  // epoch seconds
  double lat = 0;   // channel position, degrees
  double lon = 0;
  double elevation = 0;  // carried, not used here
  double residual = 0;   // s, filled by the solvers
  double weight = 1;
  GeoVector position;  // geocentric vector of (lat, lon), set by Add
};

class CArrivalList {
 public:
  void Add(CArrivalElement element);
  int Count() const { return static_cast<int>(elements_.size()); }
  CArrivalElement& operator[](int i) { return elements_[static_cast<size_t>(i)]; }
  const CArrivalElement& operator[](int i) const { return elements_[static_cast<size_t>(i)]; }
  // Stable sort by arrival time.
  void SortByTime();
  std::vector<CArrivalElement>& elements() { return elements_; }
  const std::vector<CArrivalElement>& elements() const { return elements_; }

 private:
  std::vector<CArrivalElement> elements_;
};

// One element per defining phase, weight 1 / (weight code + 1), sorted by
// time. Building stops at a phase whose type is outside the table; phases on
// stations or channels missing from the station table are left out.
CArrivalList BuildArrivalList(const NUVPhases& phases, const PhaseTypeTable& types,
                              const StationTable& stations);

// The weighted misfit at a trial point and the origin time that goes with
// it (`t0` untouched when some travel time cannot be computed; the misfit is
// then kNoMisfit).
double Misfit(const CArrivalList& list, const PhaseTypeTable& types, double lat, double lon,
              double depth, double* t0);

// Slope at x of the parabola through (x-h, fm), (x, f0), (x+h, fp); 0 when
// the three points are degenerate.
double ParabolaSlope(double x, double h, double fm, double f0, double fp);

// Latitude into -90..90 and longitude into -180..180 by the remainder rule.
double WrapLatitude(double lat);
double WrapLongitude(double lon);

struct LocateOptions {
  bool gridSearch = false;
  bool fixCoords = false;
  bool fixDepth = false;
};

struct LocationStart {
  double lat = 0, lon = 0, depth = 0, t0 = 0;
};

struct LocationResult {
  bool ok = false;
  std::string message;  // the reason when !ok
  double lat = 0, lon = 0, depth = 0, t0 = 0;
  double misfit = kNoMisfit;
  double rms = 0;
  int iterations = 0;
  // Linearised method: the iteration ended on a point without travel times
  // or without a converging decomposition; no ellipse then.
  bool solutionFailed = false;
  bool cancelled = false;  // the progress callback stopped the grid search
  ConfidenceEllipse ellipse;
  Matrix covariance;  // linearised method: (t0, lat, lon[, depth])
};

// Called after every grid point with the percent done, so that a window can
// show progress and stay responsive; returning false cancels the search.
using LocateProgress = std::function<bool(int percent)>;

// The grid-plus-gradient search. The depth stays within 1 km and
// DeepestSearchDepth; a slope probe without travel times (above the surface,
// below or beyond the tables) gives way to the one-sided difference; when no
// step down the gradient lowers the misfit, the depth is scanned at the
// current epicentre and the search goes on from a better depth, and ends
// only when there is none.
LocationResult LocateSearch(CArrivalList& list, const PhaseTypeTable& types,
                            const LocationStart& start, const LocateOptions& options,
                            const LocateProgress& progress = {});
LocationResult LocateLinear(CArrivalList& list, const PhaseTypeTable& types,
                            const LocationStart& start, const LocateOptions& options,
                            const LocateProgress& progress = {});

// The deepest depth the search may reach (km): the last depth common to the
// tables of the observations' phases (600 km when none has a table). The
// depth scans run over whole kilometres from 0 to one below it.
double DeepestSearchDepth(const CArrivalList& list, const PhaseTypeTable& types);

// The grid search over the whole globe at the given depth: the best point.
// False when the progress callback cancelled it (lat and lon then unchanged).
bool GridSearch(const CArrivalList& list, const PhaseTypeTable& types, double depth, double& lat,
                double& lon, const LocateProgress& progress);

// The covariance of the unknowns from the last decomposition (terms with a
// zero singular value left out).
Matrix CovarianceFromSvd(const Matrix& v, const std::vector<double>& w);
// The ellipse from the covariance of latitude and longitude (degrees
// squared) at the epicentre's latitude, the rms and the number of
// observations: axes in km, direction of the major axis in degrees clockwise
// from north (0..180). Longitude is scaled by cos(latitude) first. All -1
// when it cannot be formed (no correlation, or not positive definite).
ConfidenceEllipse EllipseFromCovariance(double cLatLat, double cLatLon, double cLonLon, double rms,
                                        int n, double latitude);

// For the current origin: every phase's residual (and hasResidual) and its
// distance. Both do nothing and return false without a valid origin.
bool RecomputeResiduals(NUVPhases& phases, const PhaseTypeTable& types,
                        const StationTable& stations, const CurrentEvent& event);
bool RecomputeDistances(NUVPhases& phases, const StationTable& stations, const CurrentEvent& event);

// The channel position of a phase, false when the station table lacks it.
bool ChannelPosition(const StationTable& stations, int station, int channel, float& lat,
                     float& lon);

}  // namespace nuv
