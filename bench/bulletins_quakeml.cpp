// Reading a QuakeML document of 1,000 events with 50 picks each (written by
// the program's own export, generated here): parsing the whole document, and
// parsing it once and reading every event into the current event as the
// event chooser does.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bulletin_bench_events.h"
#include "bulletins/bulletin_apply.h"
#include "bulletins/quakeml_reader.h"
#include "bulletins/quakeml_writer.h"
#include "platform/scripted_prompts.h"
#include "platform/strformat.h"
#include "workstation/workstation.h"

namespace {

using namespace nuv;
using namespace nuv::bench;

std::string Document(Workstation& ws) {
  std::vector<CurrentEvent> events(kEvents);
  std::vector<std::unique_ptr<NUVPhases>> lists;
  std::vector<BulletinSource> sources;
  for (int i = 0; i < kEvents; ++i) {
    lists.push_back(std::make_unique<NUVPhases>());
    FillBulletinEvent(events[static_cast<size_t>(i)], *lists.back(), i);
  }
  for (int i = 0; i < kEvents; ++i)
    sources.push_back({events[static_cast<size_t>(i)], *lists[static_cast<size_t>(i)],
                       ws.phaseTypes(), ws.stations()});
  return FormatQuakeMl(sources, 1.7e9);
}

void BM_ParseQuakeMl1000Events(benchmark::State& state) {
  ScriptedPrompts prompts;
  auto ws = MakeBulletinWorkstation(prompts);
  const std::string text = Document(*ws);
  size_t arrivals = 0;
  for (auto _ : state) {
    const QuakeMlDocument document = ParseQuakeMl(text);
    if (!document.failure.empty()) state.SkipWithError(document.failure.c_str());
    arrivals = 0;
    for (const QuakeMlEvent& e : document.events) arrivals += e.event.arrivals.size();
  }
  state.counters["bytes"] = static_cast<double>(text.size());
  state.counters["arrivals"] = static_cast<double>(arrivals);
}
BENCHMARK(BM_ParseQuakeMl1000Events)->Unit(benchmark::kMillisecond);

void BM_ReadEveryQuakeMlEvent(benchmark::State& state) {
  ScriptedPrompts prompts;
  auto ws = MakeBulletinWorkstation(prompts);
  const std::string text = Document(*ws);
  int phases = 0;
  for (auto _ : state) {
    phases = 0;
    const QuakeMlDocument document = ParseQuakeMl(text);
    for (const ImsEventEntry& entry : ListQuakeMlEvents(document)) {
      const BulletinReadResult r =
          ApplyBulletinEvent(*ws, QuakeMlEventOf(document, entry.identifier), false);
      if (!r.ok) state.SkipWithError(r.message.c_str());
      phases += r.phasesAdded;
    }
  }
  state.counters["phases"] = phases;
}
BENCHMARK(BM_ReadEveryQuakeMlEvent)->Unit(benchmark::kMillisecond);

}  // namespace
