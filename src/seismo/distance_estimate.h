#pragma once
// The epicentral distance of a station from the arrival-time difference of
// two phases picked on one channel, and the origin time that goes with it.

#include <string>

namespace nuv {

class NUVPhases;
class PhaseTypeTable;
struct CurrentEvent;

struct DistanceEstimate {
  bool ok = false;
  bool beep = false;     // the refusal comes with a beep
  std::string message;   // refusal, or the question to confirm
  double distance = -1;  // degrees
  double originTime = 0;
};

// Phases A and B (type indices) on (station, channel) at the given depth.
DistanceEstimate EstimateEpicentralDistance(const NUVPhases& phases, const PhaseTypeTable& types,
                                            int station, int channel, int phaseA, int phaseB,
                                            double depth);
// Accepting the estimate: the station's distance estimate, the origin depth
// and time, and both phases' distance.
void ApplyDistanceEstimate(const DistanceEstimate& estimate, NUVPhases& phases, CurrentEvent& event,
                           int station, int channel, int phaseA, int phaseB, double depth);

}  // namespace nuv
