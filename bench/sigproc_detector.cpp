// Both STA/LTA detectors over one day of a 100 samples/s trace (target:
// under 0.5 s each).

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "sigproc/detector.h"

namespace {

constexpr double kRate = 100.0;
constexpr std::size_t kDay = 86400 * 100;

// Noise around a positive level with a burst every ten minutes.
const std::vector<float>& DayTrace() {
  static const std::vector<float> trace = [] {
    std::vector<float> x(kDay);
    unsigned state = 7;
    for (std::size_t i = 0; i < kDay; ++i) {
      state = state * 1103515245u + 12345u;
      const double noise = static_cast<double>((state >> 8) % 2001) / 1000.0 - 1.0;
      const bool burst = (i % 60000) >= 30000 && (i % 60000) < 30300;
      x[i] = static_cast<float>(2000.0 + (burst ? 800.0 : 20.0) * noise);
    }
    return x;
  }();
  return trace;
}

void BM_NUVDetectorDay(benchmark::State& state) {
  const auto& x = DayTrace();
  nuv::DetectParam marks;
  for (auto _ : state) {
    nuv::RunNUVDetector(x, kRate, 0.0, {10.0, 1.0, 4.0, 0}, marks);
    benchmark::DoNotOptimize(marks.size());
  }
  state.counters["marks"] = static_cast<double>(marks.size());
}
BENCHMARK(BM_NUVDetectorDay)->Unit(benchmark::kMillisecond);

void BM_VendrelDetectorDay(benchmark::State& state) {
  const auto& x = DayTrace();
  nuv::DetectParam marks;
  for (auto _ : state) {
    nuv::RunVendrelDetector(x, kRate, 0.0, {10.0, 1.0, 4.0, 0}, marks);
    benchmark::DoNotOptimize(marks.size());
  }
  state.counters["marks"] = static_cast<double>(marks.size());
}
BENCHMARK(BM_VendrelDetectorDay)->Unit(benchmark::kMillisecond);

}  // namespace
