// Reading a QuakeML document of 1,000 events with 50 picks each (written by
// the program's own export, generated here): parsing the whole document, and
// parsing it once and reading every event into the current event as the
// event chooser does.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bulletins/bulletin_apply.h"
#include "bulletins/quakeml_reader.h"
#include "bulletins/quakeml_writer.h"
#include "platform/scripted_prompts.h"
#include "platform/strformat.h"
#include "workstation/workstation.h"

namespace {

using namespace nuv;

constexpr int kEvents = 1000;
constexpr int kPhases = 50;
constexpr int kStations = 25;

// 25 stations with a vertical and a north channel, the built-in phase names.
std::unique_ptr<Workstation> MakeWorkstation(ScriptedPrompts& prompts) {
  Config config;
  config.settingsDir = "/nonexistent-nuv-bench";
  auto ws = std::make_unique<Workstation>(config, prompts);
  for (int s = 0; s < kStations; ++s) {
    CScreenFields f;
    f.code = StrFormat("ST%02d", s);
    f.lat = 40.0f + s * 0.3f;
    f.lon = 70.0f + s * 0.4f;
    f.channels[0].name = "Z";
    f.channels[1].name = "N";
    f.channels[1].component = 1;
    for (auto& c : f.channels) {
      c.lat = f.lat;
      c.lon = f.lon;
    }
    ws->stations().records().push_back(f);
  }
  ws->phaseTypes().LoadNames("/nonexistent-nuv-bench/");
  return ws;
}

// One event with its origin, mb and 50 picks (P on Z, S on N).
void FillEvent(CurrentEvent& e, NUVPhases& phases, int event) {
  e.eventId = PadEventId(StrFormat("2024%010d", event));
  e.eventComment = "BENCHMARK REGION";
  e.orid = event;
  e.originValid = 1;
  e.originLat = 42.0f;
  e.originLon = 75.0f;
  e.originDepth = 10;
  e.originTime = 1.7e9 + event * 3600.0;
  e.eventMb = 4.5f;
  for (int i = 0; i < kPhases; ++i) {
    SEISMIC_PHASE p;
    p.station = i % kStations;
    p.channel = i < kStations ? 0 : 1;
    p.phaseType = i < kStations ? 0 : 1;
    p.SetTime(e.originTime + 20 + i);
    p.defining = 1;
    p.hasResidual = 1;
    p.residual = 0.1f * (i % 7);
    p.hasAmplitude = 1;
    p.amplitude = 0.01f * (i + 1);
    p.period = 0.5f;
    p.mb = 4.0f;
    p.distance = 1.0f + i;
    phases.Add(p);
  }
}

std::string Document(Workstation& ws) {
  std::vector<CurrentEvent> events(kEvents);
  std::vector<std::unique_ptr<NUVPhases>> lists;
  std::vector<BulletinSource> sources;
  for (int i = 0; i < kEvents; ++i) {
    lists.push_back(std::make_unique<NUVPhases>());
    FillEvent(events[static_cast<size_t>(i)], *lists.back(), i);
  }
  for (int i = 0; i < kEvents; ++i)
    sources.push_back({events[static_cast<size_t>(i)], *lists[static_cast<size_t>(i)],
                       ws.phaseTypes(), ws.stations()});
  return FormatQuakeMl(sources, 1.7e9);
}

void BM_ParseQuakeMl1000Events(benchmark::State& state) {
  ScriptedPrompts prompts;
  auto ws = MakeWorkstation(prompts);
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
  auto ws = MakeWorkstation(prompts);
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
