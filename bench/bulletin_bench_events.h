#pragma once
// The events of the bulletin benchmarks: a workstation with 25 stations of a
// vertical and a north channel and the built-in phase names, and events of
// 50 phases each (P on the vertical channels, S on the north ones).

#include <memory>

#include "phases/current_event.h"
#include "phases/nuv_phases.h"
#include "platform/scripted_prompts.h"
#include "platform/strformat.h"
#include "workstation/workstation.h"

namespace nuv::bench {

inline constexpr int kEvents = 1000;
inline constexpr int kPhases = 50;
inline constexpr int kStations = 25;

inline std::unique_ptr<Workstation> MakeBulletinWorkstation(ScriptedPrompts& prompts) {
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

// Event number `event` into an empty phase list.
inline void FillBulletinEvent(CurrentEvent& e, NUVPhases& phases, int event) {
  e.eventId = PadEventId(StrFormat("%08d", 10000000 + event));
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
    phases.Add(p);
  }
}

}  // namespace nuv::bench
