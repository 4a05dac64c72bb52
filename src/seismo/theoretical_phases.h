#pragma once
// Theoretical phases: the arrival times of chosen phase types at one
// distance and depth, counted from the origin time or from a picked
// reference phase, and placing them on a channel of the current list.

#include <string>
#include <vector>

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
};

// The times for `request`; `referenceTime` is the picked time of the
// reference phase on the channel, or negative when it has none. Types
// without a travel-time table are left out.
TheoreticalResult ComputeTheoretical(const PhaseTypeTable& types, const TheoreticalRequest& request,
                                     double referenceTime);

// Adds the computed phases on (station, channel) as one change: onset "I",
// first motion "?", weight 3.
void PlaceTheoretical(NUVPhases& phases, int station, int channel, const TheoreticalResult& result);

}  // namespace nuv
