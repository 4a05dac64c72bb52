// The wizard-style formula a pane evaluates on one million samples:
// "butter((current-mean(current)),0.5,2,3)*2+abs(current)".

#include <benchmark/benchmark.h>

#include <cmath>

#include "sigproc/formula.h"

namespace {

void BM_PaneFormulaMillionSamples(benchmark::State& state) {
  nuv::InMemoryFormulaData data;
  std::vector<double> x(1'000'000);
  for (size_t i = 0; i < x.size(); ++i)
    x[i] = std::sin(0.05 * static_cast<double>(i)) + 0.3 * std::sin(1.7 * static_cast<double>(i));
  data.AddPane({0, "ABC", "BHZ"});
  data.SetPaneData(0, nuv::PaneSignal::kSource, nuv::Signal(std::move(x), 0.01));
  for (auto _ : state) {
    const auto result =
        nuv::EvaluateForTrace("butter((current-mean(current)),0.5,2,3)*2+abs(current)", "d0", data);
    if (!result.ok) state.SkipWithError(result.error.c_str());
    benchmark::DoNotOptimize(result.samples.data());
  }
  state.SetItemsProcessed(state.iterations() * 1'000'000);
}
BENCHMARK(BM_PaneFormulaMillionSamples)->Unit(benchmark::kMillisecond);

}  // namespace
