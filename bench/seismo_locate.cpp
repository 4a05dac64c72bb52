// Location with the grid search over 30 observations, and single travel-time
// lookups, on tables of the size of a global set (0..180 degrees by 0.5,
// 0..700 km by 25 km) written to a temporary directory.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "db/station_table.h"
#include "phases/nuv_phases.h"
#include "phases/phase_types.h"
#include "seismo/location.h"
#include "traveltime/dist_az.h"
#include "traveltime/travel_time.h"

namespace {

using namespace nuv;

// Chord of the Earth between focus and station at a constant velocity:
// smooth and monotonic over the whole distance range.
double ChordTime(double depth, double degrees, double velocity) {
  const double r0 = 6371.0, r1 = r0 - depth;
  const double a = degrees * 3.14159265358979 / 180;
  return std::sqrt(r0 * r0 + r1 * r1 - 2 * r0 * r1 * std::cos(a)) / velocity;
}

std::string TableText(double velocity) {
  std::string text = "chord times\n29\n";
  for (int h = 0; h <= 700; h += 25) text += std::to_string(h) + " ";
  text += "\n361\n";
  for (int i = 0; i <= 360; ++i) text += std::to_string(i * 0.5) + ((i % 10 == 9) ? "\n" : " ");
  text += "\n";
  for (int h = 0; h <= 700; h += 25) {
    for (int i = 0; i <= 360; ++i)
      text += std::to_string(ChordTime(h, i * 0.5, velocity)) + ((i % 10 == 9) ? "\n" : " ");
    text += "\n";
  }
  return text;
}

struct Fixture {
  Fixture() {
    dir = std::filesystem::temp_directory_path() / ("nuv-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "phaselist") << "P P\nS S\n";
    std::ofstream(dir / "P") << TableText(8.0);
    std::ofstream(dir / "S") << TableText(4.6);
    types.Load(dir.string());
    std::filesystem::remove_all(dir);
    const double lat0 = 42.3, lon0 = 77.1, depth0 = 33, t0 = 1.7e9;
    for (int s = 0; s < 15; ++s) {
      CScreenFields station;
      station.lat = static_cast<float>(lat0 + 6 * std::sin(s * 0.9));
      station.lon = static_cast<float>(lon0 + 8 * std::cos(s * 1.3));
      station.channels[0].name = "SHZ";
      station.channels[0].lat = station.lat;
      station.channels[0].lon = station.lon;
      stations.records().push_back(station);
      DistAzResult r;
      DistAz(static_cast<float>(lat0), static_cast<float>(lon0), station.lat, station.lon, r);
      for (int type = 0; type < 2; ++type) {
        SEISMIC_PHASE p;
        p.station = s;
        p.phaseType = type;
        p.defining = 1;
        p.weight = 1;
        p.SetTime(t0 + TravelTime(types.Data(type), depth0, r.distance));
        phases.Add(p);
      }
    }
  }
  std::filesystem::path dir;
  PhaseTypeTable types;
  StationTable stations;
  NUVPhases phases;
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void BM_LocateSearchWithGrid(benchmark::State& state) {
  Fixture& f = Shared();
  LocateOptions options;
  options.gridSearch = true;
  for (auto _ : state) {
    CArrivalList list = BuildArrivalList(f.phases, f.types, f.stations);
    const LocationResult r =
        LocateSearch(list, f.types, {0, 0, 33, 0}, options, [](int) { return true; });
    benchmark::DoNotOptimize(r.lat);
    if (list.Count() != 30 || std::fabs(r.lat - 42.3) > 0.05) state.SkipWithError("no convergence");
  }
}
BENCHMARK(BM_LocateSearchWithGrid)->Unit(benchmark::kMillisecond);

void BM_TravelTime(benchmark::State& state) {
  const PHASEDATA& p = Shared().types.Data(0);
  double depth = 0, distance = 0;
  for (auto _ : state) {
    // Walks the table so that no lookup repeats the previous one.
    depth += 7.3;
    if (depth > 700) depth -= 700;
    distance += 13.7;
    if (distance > 180) distance -= 180;
    benchmark::DoNotOptimize(TravelTime(p, depth, distance));
  }
}
BENCHMARK(BM_TravelTime);

}  // namespace
