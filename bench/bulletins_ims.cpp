// IMS1.0 bulletins of 1,000 events with 50 phases each: writing every event,
// listing the events of the file, and reading every event back into the
// current event as the event chooser does (one event at a time).

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bulletin_bench_events.h"
#include "bulletins/bulletin_apply.h"
#include "bulletins/ims_reader.h"
#include "bulletins/ims_writer.h"
#include "platform/scripted_prompts.h"
#include "platform/strformat.h"
#include "workstation/workstation.h"

namespace {

using namespace nuv;
using namespace nuv::bench;

void FillEvent(Workstation& ws, int event) {
  ws.phases().RemoveAll();
  FillBulletinEvent(ws.event(), ws.phases(), event);
}

std::string WriteAll(Workstation& ws) {
  std::string text;
  for (int event = 0; event < kEvents; ++event) {
    FillEvent(ws, event);
    text += FormatRebBulletin(SourceOf(ws));
  }
  return text;
}

void BM_WriteImsBulletin(benchmark::State& state) {
  ScriptedPrompts prompts;
  auto ws = MakeBulletinWorkstation(prompts);
  size_t bytes = 0;
  for (auto _ : state) {
    const std::string text = WriteAll(*ws);
    bytes = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_WriteImsBulletin)->Unit(benchmark::kMillisecond);

void BM_ReadEveryImsEvent(benchmark::State& state) {
  ScriptedPrompts prompts;
  auto ws = MakeBulletinWorkstation(prompts);
  const std::string text = WriteAll(*ws);
  int phases = 0;
  for (auto _ : state) {
    phases = 0;
    for (const ImsEventEntry& entry : ListImsEvents(text)) {
      const BulletinReadResult r = ApplyBulletinEvent(
          *ws, ParseBulletinEvent(text, entry.identifier, BulletinLayout::Ims, &entry), false);
      if (!r.ok) state.SkipWithError(r.message.c_str());
      phases += r.phasesAdded;
    }
  }
  state.counters["phases"] = phases;
}
BENCHMARK(BM_ReadEveryImsEvent)->Unit(benchmark::kMillisecond);

}  // namespace
