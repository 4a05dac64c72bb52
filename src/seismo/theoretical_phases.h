#pragma once
// Theoretical phases: the arrival times of chosen phase types at one
// distance and depth, counted from the origin time or from a picked
// reference phase, and placing them on a channel of the current list beside
// the analyst's picks (never in their place).

#include <string>
#include <vector>

#include "phases/seismic_phase.h"

namespace nuv {

class NUVPhases;
class PhaseTypeTable;

enum class TheoreticalMode {
  FromOriginTime = 0,     // t0 is the given origin time
  FromReference = 1,      // t0 from the reference phase and the distance
  FromReferenceAndT0 = 2  // the distance from the reference phase and t0
};

struct TheoreticalRequest {
  TheoreticalMode mode = TheoreticalMode::FromReference;
  double distance = 5.0;  // degrees
  double depth = 0;       // km
  double originTime = 0;
  int referenceType = 0;
  std::vector<int> types;  // the checked phase types, in table order
};

struct TheoreticalPhase {
  int type = 0;
  double travelTime = 0;
  double time = 0;
};

struct TheoreticalResult {
  bool ok = false;
  bool beep = false;      // mode 2 found no distance
  std::string message;    // the refusal, when one is shown
  double distance = 0;    // the distance used
  double originTime = 0;  // the t0 used
  std::vector<TheoreticalPhase> phases;
  // Checked types without a travel time here (no table, or none at this
  // distance and depth): left out, the others are computed all the same.
  std::vector<int> missing;
};

// The times for `request`; `referenceTime` is the picked time of the
// reference phase on the channel, or negative when it has none. The
// reference must have a time (else the refusal); other types without one
// go to `missing`.
TheoreticalResult ComputeTheoretical(const PhaseTypeTable& types, const TheoreticalRequest& request,
                                     double referenceTime);

// What a placement did, by phase type.
struct TheoreticalPlacement {
  std::vector<int> placed;
  std::vector<int> kept;  // the channel holds the analyst's phase of that type: left alone
};

// Places theoretical phases and remembers what it placed, so that placing
// again (another distance, depth or origin time) moves its own phases. A
// phase of the list with the same station, channel and type that it did not
// place, or that was changed since (re-timed, measured, edited, saved), is
// the analyst's and is never replaced.
class TheoreticalPlacer {
 public:
  // Adds the computed phases on (station, channel) as one change: onset "I",
  // first motion "?", weight 3.
  TheoreticalPlacement Place(NUVPhases& phases, int station, int channel,
                             const TheoreticalResult& result);

 private:
  bool Placed(const SEISMIC_PHASE& phase) const;
  std::vector<SEISMIC_PHASE> placed_;
};

// The analyst's account of a computation (and placement, when given):
// "Расставлено фаз: 2 (P, S)." and, when there are any, the phases kept and
// those without travel times. Empty when every checked phase was placed.
std::string TheoreticalSummary(const PhaseTypeTable& types, const TheoreticalResult& result,
                               const TheoreticalPlacement* placement);

}  // namespace nuv
