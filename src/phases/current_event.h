#pragma once
// The identity and the results of the event being worked on: identifier,
// comment, origin id, network magnitudes, the current origin, the
// confidence ellipse of the last location and the per-station distance
// estimates. One per workstation.

#include <cstdint>
#include <string>
#include <vector>

namespace nuv {

inline constexpr float kNoMagnitude = -999.0f;
inline constexpr int kEventIdWidth = 20;

// The confidence ellipse of the linearised location; -1 = not computed.
struct ConfidenceEllipse {
  float major = -1;       // km
  float minor = -1;       // km
  float direction = -1;   // degrees, direction of the major axis
  float depthError = -1;  // km

  void Reset() { major = minor = direction = depthError = -1; }
  bool valid() const { return major != -1; }
};

struct CurrentEvent {
  std::string eventId;       // padded with blanks to 20 characters once accepted
  std::string eventComment;  // up to 128 characters
  int32_t orid = -1;
  float eventMb = kNoMagnitude;
  float eventMs = kNoMagnitude;
  float eventMbUnc = 0;
  float eventMsUnc = 0;

  // The current origin (drawn by the map).
  int32_t originValid = 0;
  float originLat = 0;
  float originLon = 0;
  float originDepth = -1;  // km; -1 = unknown
  double originTime = 0;   // epoch seconds; 0 = unknown
  bool fixDepth = false;   // remembered choice of the location start dialog

  ConfidenceEllipse ellipse;

  // Epicentral distance estimates of the stations (degrees; -1 = none).
  std::vector<float> stationDistance;

  float StationDistance(int station) const {
    return station >= 0 && station < static_cast<int>(stationDistance.size())
               ? stationDistance[static_cast<size_t>(station)]
               : -1.0f;
  }
  void SetStationDistance(int station, float distance);
  void ResetStationDistances() { stationDistance.clear(); }
};

// `id` padded with blanks to 20 characters (longer identifiers stay whole).
std::string PadEventId(const std::string& id);
// A new identifier: the local time formatted "%Y%m%d%H%M%S".
std::string NewEventId(double epochSeconds);

}  // namespace nuv
