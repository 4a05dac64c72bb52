// The built-in F-K search on the default grid (-0.5..0.5 s/km, 200
// intervals): ten stations, a 60 s interval at 100 samples/s inside
// 120 s windows, a plane wave from azimuth 60 degrees at 0.12 s/km.

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "fk/fk_search.h"

namespace {

std::vector<nuv::FkPane> TenStationArray() {
  constexpr double kRate = 100, kLength = 120;
  const double px = 0.12 * std::sin(60 * M_PI / 180), py = 0.12 * std::cos(60 * M_PI / 180);
  std::mt19937 random(7);
  std::normal_distribution<double> noise(0, 0.2);
  std::vector<nuv::FkPane> panes;
  for (int i = 0; i < 10; ++i) {
    nuv::FkPane p;
    p.station = "A" + std::to_string(i);
    p.channel = "BHZ";
    const double angle = 2 * M_PI * i / 9, radius = i == 0 ? 0 : 2.5;
    p.deast = static_cast<float>(radius * std::sin(angle));
    p.dnorth = static_cast<float>(radius * std::cos(angle));
    p.rate = kRate;
    p.windowLength = kLength;
    p.samples.resize(static_cast<size_t>(kLength * kRate));
    // A station towards the source (positive projection) records the wave earlier.
    const double lead = px * p.deast + py * p.dnorth;
    for (size_t k = 0; k < p.samples.size(); ++k) {
      const double t = k / kRate - 60 + lead;
      p.samples[k] =
          static_cast<float>(std::exp(-t * t / 8) * std::sin(2 * M_PI * 1.5 * t) + noise(random));
    }
    p.intervalStart = 30;
    p.intervalEnd = 90;
    p.hasInterval = true;
    panes.push_back(std::move(p));
  }
  return panes;
}

void BM_FkGrid201(benchmark::State& state) {
  const std::vector<nuv::FkPane> panes = TenStationArray();
  const nuv::FkGrid grid;
  const unsigned threads = static_cast<unsigned>(state.range(0));
  for (auto _ : state) {
    nuv::FkSearchResult result;
    const std::string error = nuv::FkSearch(panes, 100, grid, result, threads);
    if (!error.empty()) state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(result.bestPower);
  }
}
BENCHMARK(BM_FkGrid201)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace
