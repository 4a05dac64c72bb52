// Seismograph simulation of one hour of a 100 samples/s trace through both
// pipelines (target: pole-zero under 0.3 s, amplitude table under 0.5 s).

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "sigproc/response.h"
#include "sigproc/simulation.h"

namespace {

constexpr double kRate = 100.0;
constexpr std::size_t kHour = 3600 * 100;

std::vector<float> Trace(std::size_t n) {
  std::vector<float> x(n);
  unsigned state = 1;
  for (std::size_t i = 0; i < n; ++i) {
    state = state * 1103515245u + 12345u;
    x[i] = static_cast<float>(1000.0 * std::sin(0.01 * static_cast<double>(i)) +
                              static_cast<double>((state >> 8) % 2001) - 1000.0);
  }
  return x;
}

void BM_PoleZeroWoodAndersonHour(benchmark::State& state) {
  const auto x = Trace(kHour);
  nuv::PoleZeroResponse pz;
  nuv::ParseSacPoleZero(
      "ZEROS 3|POLES 5|-0.037 0.037|-0.037 -0.037|-251.3 0|-131 467|-131 -467|CONSTANT 6e8", pz);
  for (auto _ : state) {
    auto y = nuv::SimulatePoleZero(x, kRate, pz, 1004);
    benchmark::DoNotOptimize(y.data());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kHour));
}
BENCHMARK(BM_PoleZeroWoodAndersonHour)->Unit(benchmark::kMillisecond);

void BM_PoleZeroLpsroHour(benchmark::State& state) {
  const auto x = Trace(kHour);
  nuv::PoleZeroResponse pz;
  nuv::ParseSacPoleZero("ZEROS 3|POLES 2|-0.037 0.037|-0.037 -0.037|CONSTANT 6e8", pz);
  for (auto _ : state) {
    auto y = nuv::SimulatePoleZero(x, kRate, pz, 1005);  // 7 zeros and 19 poles per bin
    benchmark::DoNotOptimize(y.data());
  }
}
BENCHMARK(BM_PoleZeroLpsroHour)->Unit(benchmark::kMillisecond);

void BM_FapWoodAndersonHour(benchmark::State& state) {
  const auto x = Trace(kHour);
  std::vector<std::pair<float, float>> table;
  for (int i = 0; i <= 200; ++i) {
    const double f = 0.01 * std::pow(10.0, 3.7 * i / 200.0);  // 0.01 .. 50 Hz
    table.emplace_back(static_cast<float>(f), static_cast<float>(1.0 / (1.0 + f)));
  }
  const nuv::CAPResponse fap(std::move(table));
  for (auto _ : state) {
    auto y = nuv::SimulateFap(x, kRate, fap, 1015);
    benchmark::DoNotOptimize(y.data());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kHour));
}
BENCHMARK(BM_FapWoodAndersonHour)->Unit(benchmark::kMillisecond);

}  // namespace
