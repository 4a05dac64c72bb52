// Network magnitudes of an event with 200 phases, about a third of them
// carrying mb and a sixth Ms, as after a teleseismic bulletin is read.

#include <benchmark/benchmark.h>

#include "phases/current_event.h"
#include "phases/nuv_phases.h"
#include "seismo/magnitudes.h"

namespace {

using namespace nuv;

void BM_NetworkMagnitudes200(benchmark::State& state) {
  NUVPhases phases;
  for (int i = 0; i < 200; ++i) {
    SEISMIC_PHASE p;
    p.station = i / 3;
    p.phaseType = i % 3;
    p.SetTime(1.7e9 + i);
    if (i % 3 == 0) p.mb = 4.0f + 0.01f * static_cast<float>(i % 37);
    if (i % 6 == 0) p.ms = 3.5f + 0.02f * static_cast<float>(i % 23);
    phases.Add(p);
  }
  CurrentEvent event;
  for (auto _ : state) {
    NetworkMagnitudes(phases, event);
    benchmark::DoNotOptimize(event.eventMb);
    benchmark::DoNotOptimize(event.eventMs);
  }
}
BENCHMARK(BM_NetworkMagnitudes200)->Unit(benchmark::kMicrosecond);

}  // namespace
