// Decimation of 24 day-long channels (100 samples/s) to the columns of a
// 1600-pixel pane through their min/max pyramids: the part of every shift,
// zoom and stretch of a day window that reads the samples. Windows of a
// day, an hour and a minute, each half a window on from the last.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "waveview/minmax_pyramid.h"
#include "waveview/trace_polyline.h"

namespace {

using namespace nuv;

constexpr int kPanes = 24;
constexpr double kRate = 100;
constexpr int kSamples = static_cast<int>(86400 * kRate);

struct Day {
  std::vector<std::vector<float>> samples;
  std::vector<MinMaxPyramid> pyramids;
  Day() : samples(kPanes), pyramids(kPanes) {
    for (int p = 0; p < kPanes; ++p) {
      auto& s = samples[static_cast<size_t>(p)];
      s.resize(kSamples);
      for (int i = 0; i < kSamples; ++i)
        s[static_cast<size_t>(i)] =
            static_cast<float>(1000 * std::sin(i * 0.05 + p) + (i * 7919LL) % 200 - 100);
      pyramids[static_cast<size_t>(p)].Build(s.data(), kSamples);
    }
  }
};

Day& TheDay() {
  static Day day;
  return day;
}

void BM_DecimateDay(benchmark::State& state) {
  Day& day = TheDay();
  const double length = static_cast<double>(state.range(0));
  TraceView view{{1600, 50, 20}, 0, length, -1100, 1100};
  std::vector<PixelPoint> points;
  double start = 0;
  size_t emitted = 0;
  for (auto _ : state) {
    view.windowStart = start;
    for (int p = 0; p < kPanes; ++p) {
      DecimateSamples(view, day.samples[static_cast<size_t>(p)].data(), kSamples, kRate, 0, points,
                      &day.pyramids[static_cast<size_t>(p)]);
      emitted += points.size();
    }
    start += length / 2;
    if (start + length > 86400) start = 0;
  }
  benchmark::DoNotOptimize(emitted);
}
BENCHMARK(BM_DecimateDay)
    ->ArgName("seconds")
    ->Arg(86400)
    ->Arg(3600)
    ->Arg(60)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
