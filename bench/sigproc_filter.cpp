// FilterTrace on a day of 100 samples/s (8.64 million samples): order 4
// band-pass, zero phase, as the trace pane filters a long recording.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "sigproc/butterworth.h"

namespace {

std::vector<float> DayTrace() {
  std::vector<float> x(8'640'000);
  unsigned state = 1;
  for (size_t i = 0; i < x.size(); ++i) {
    state = state * 1664525u + 1013904223u;
    x[i] = static_cast<float>(std::sin(0.01 * static_cast<double>(i))) +
           static_cast<float>(state >> 9) / 8388608.0f - 0.5f;
  }
  return x;
}

void BM_FilterTraceDayBandPassZeroPhase(benchmark::State& state) {
  const std::vector<float> source = DayTrace();
  std::vector<float> x;
  for (auto _ : state) {
    state.PauseTiming();
    x = source;
    state.ResumeTiming();
    nuv::FilterTrace(x.data(), x.size(), 0.01f, nuv::kBandPass, 4, 0.5f, 5.0f, true);
    benchmark::DoNotOptimize(x.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(source.size()));
}
BENCHMARK(BM_FilterTraceDayBandPassZeroPhase)->Unit(benchmark::kMillisecond);

}  // namespace
