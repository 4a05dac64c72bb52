// Reads arbitrary bytes as a coastline file: every point kept lies on the
// globe, and writing the coastline again and reading it back keeps it.

#include "map/coastline.h"

#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size > 1 << 16) return 0;
  const nuv::map::CoastlineLoad load =
      nuv::map::ParseCoastline(std::string(nuv::fuzz::Text(bytes, size)));
  for (const auto& line : load.coastline.polylines) {
    if (line.empty()) __builtin_trap();
    for (const nuv::map::GeoPoint& p : line)
      if (!(p.lat >= -90 && p.lat <= 90 && p.lon >= -180 && p.lon <= 180)) __builtin_trap();
  }
  const nuv::map::CoastlineLoad again =
      nuv::map::ParseCoastline(nuv::map::EncodeCoastline(load.coastline));
  if (again.coastline.pointCount() != load.coastline.pointCount()) __builtin_trap();
  return 0;
}
