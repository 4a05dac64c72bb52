#include "phases/current_event.h"

#include <ctime>

namespace nuv {

void CurrentEvent::SetStationDistance(int station, float distance) {
  if (station < 0) return;
  if (static_cast<size_t>(station) >= stationDistance.size())
    stationDistance.resize(static_cast<size_t>(station) + 1, -1.0f);
  stationDistance[static_cast<size_t>(station)] = distance;
}

std::string PadEventId(const std::string& id) {
  std::string padded = id;
  if (padded.size() < kEventIdWidth) padded.append(kEventIdWidth - padded.size(), ' ');
  return padded;
}

std::string NewEventId(double epochSeconds) {
  const std::time_t t = static_cast<std::time_t>(epochSeconds);
  std::tm local{};
  localtime_r(&t, &local);
  char buffer[32];
  std::strftime(buffer, sizeof buffer, "%Y%m%d%H%M%S", &local);
  return buffer;
}

}  // namespace nuv
