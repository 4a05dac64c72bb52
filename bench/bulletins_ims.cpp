// IMS1.0 bulletins of 1,000 events with 50 phases each: writing every event,
// listing the events of the file, and reading every event back into the
// current event as the event chooser does (one event at a time).

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bulletins/bulletin_apply.h"
#include "bulletins/ims_reader.h"
#include "bulletins/ims_writer.h"
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

void FillEvent(Workstation& ws, int event) {
  ws.phases().RemoveAll();
  CurrentEvent& e = ws.event();
  e.eventId = PadEventId(StrFormat("%08d", 10000000 + event));
  e.eventComment = "BENCHMARK REGION";
  e.orid = event;
  e.originValid = 1;
  e.originLat = 42.0f;
  e.originLon = 75.0f;
  e.originDepth = 10;
  e.originTime = 1.7e9 + event * 3600.0;
  for (int i = 0; i < kPhases; ++i) {
    SEISMIC_PHASE p;
    p.station = i % kStations;
    p.channel = i < kStations ? 0 : 1;
    p.phaseType = i < kStations ? 0 : 1;  // P on Z, S on N
    p.SetTime(e.originTime + 20 + i);
    p.defining = 1;
    p.hasResidual = 1;
    p.residual = 0.1f * (i % 7);
    p.hasAmplitude = 1;
    p.amplitude = 0.01f * (i + 1);
    p.period = 0.5f;
    p.mb = 4.0f;
    p.distance = 1.0f + i;
    p.arid = event * kPhases + i + 1;
    ws.phases().Add(p);
  }
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
  auto ws = MakeWorkstation(prompts);
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
  auto ws = MakeWorkstation(prompts);
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
