// Butterworth filtering as the trace panes run it: a day of 100 samples/s on
// one pane, and 24 panes of one hour each transformed together as the
// waveform window does it (grouped four at a time, groups on the worker
// pool; order 4 band-pass 0.5-5 Hz, zero phase). bench/sosfiltfilt_24panes.py
// times scipy's sosfiltfilt on the same 24 traces for comparison.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "sigproc/butterworth.h"
#include "sigproc/pane_transforms.h"
#include "sigproc/parallel_jobs.h"

namespace {

// Noise plus a slow sine from a linear congruential generator; the script
// beside this file builds the same samples.
std::vector<float> Trace(size_t n, unsigned seed) {
  std::vector<float> x(n);
  unsigned state = seed;
  for (size_t i = 0; i < x.size(); ++i) {
    state = state * 1664525u + 1013904223u;
    x[i] = static_cast<float>(std::sin(0.01 * static_cast<double>(i))) +
           static_cast<float>(state >> 9) / 8388608.0f - 0.5f;
  }
  return x;
}

constexpr int kPanes = 24;
constexpr size_t kHourAt100 = 360'000;

void BM_FilterTraceDayBandPassZeroPhase(benchmark::State& state) {
  const std::vector<float> source = Trace(8'640'000, 1);
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

// Argument: worker threads (0: one per core, as the waveform window runs them).
void BM_Filter24PanesHourBandPass4ZeroPhase(benchmark::State& state) {
  nuv::PaneTransformRequest request;
  request.code = nuv::kBandPass;
  request.filter.order = 4;
  request.filter.lowCut = 0.5f;
  request.filter.highCut = 5.0f;
  request.filter.zeroPhase = 1;
  std::vector<nuv::PaneTransformTask> sources(kPanes);
  for (int p = 0; p < kPanes; ++p) {
    sources[p].request = request;
    sources[p].rate = 100.0;
    sources[p].samples = Trace(kHourAt100, 1000u + p);
  }
  std::vector<nuv::PaneTransformTask> tasks;
  nuv::ParallelJobs jobs(static_cast<unsigned>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    tasks = sources;
    state.ResumeTiming();
    nuv::ComputePaneTransforms(tasks, jobs);
    benchmark::DoNotOptimize(tasks.data());
  }
  if (!tasks.empty() && !tasks[0].ok) state.SkipWithError(tasks[0].error.c_str());
  state.counters["threads"] = jobs.threads();
  state.SetItemsProcessed(state.iterations() * kPanes * static_cast<int64_t>(kHourAt100));
}
BENCHMARK(BM_Filter24PanesHourBandPass4ZeroPhase)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()  // the CPU column counts every worker thread
    ->UseRealTime();

}  // namespace
