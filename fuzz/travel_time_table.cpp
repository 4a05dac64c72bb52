// Reads arbitrary text as a travel-time table file and, when it is
// accepted, evaluates the table across and beyond its range, as location
// does.

#include "fuzz_input.h"
#include "traveltime/travel_time.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size > 1 << 15) return 0;
  const std::string path = nuv::fuzz::WriteInput("table.tt", bytes, size);
  nuv::PHASEDATA data;
  for (bool hashComments : {false, true}) {
    if (!nuv::ReadTravelTimeFile(path, data, hashComments)) continue;
    for (double depth : {-10.0, 0.0, 33.0, 700.0})
      for (double distance : {-1.0, 0.0, 0.5, 45.0, 180.0, 1e6}) {
        const double t = nuv::TravelTime(data, depth, distance);
        if (t >= 0) nuv::DistanceForTime(data, t, depth);
      }
    nuv::DistanceForSlowness(data, 8.0, 10.0);
    data.Free();
  }
  return 0;
}
