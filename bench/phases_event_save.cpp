// Saving an event of 200 phases to the main and the CSS 3.0 databases, and
// loading it back, on SQLite and (when NUV_TEST_PG_DSN names a server, see
// scripts/start-test-postgres.sh) on PostgreSQL. Each save is the whole
// desktop save: one main transaction, then the two CSS transactions.

#include <benchmark/benchmark.h>

#include <memory>

#include "phases/current_event.h"
#include "phases/event_store.h"
#include "phases/nuv_phases.h"
#include "phases/phase_types.h"
#include "platform/scripted_prompts.h"
#include "platform/strformat.h"
#include "support/test_database.h"

namespace {

using nuv::test::DbBackend;

constexpr int kStations = 50;
constexpr int kPhases = 200;  // P, S, Pn and Sn at every station

struct Setup {
  nuv::ScriptedPrompts prompts;
  std::unique_ptr<nuv::test::TestDatabase> db;
  std::unique_ptr<nuv::Workstation> ws;

  explicit Setup(DbBackend backend) {
    nuv::test::TestDatabaseOptions options;
    options.css = true;
    db = std::make_unique<nuv::test::TestDatabase>(backend, options);
    for (int s = 0; s < kStations; ++s) {
      db->Exec(
          nuv::StrFormat("insert into SITE (STA, LAT, LON, ELEV, NGROUPS) values ('S%02d', "
                         "%.2f, %.2f, 1, 1)",
                         s, 40.0 + s * 0.1, 70.0 + s * 0.1));
      db->Exec(
          nuv::StrFormat("insert into SITECHAN (STA, CHAN, NGROUP, CHANINDEX, SPS) values "
                         "('S%02d', 'SHZ', 1, 0, 20)",
                         s));
    }
    ws = db->MakeWorkstation(prompts);
    std::vector<nuv::PhaseTypeTable::Entry> entries(4);
    const char* names[] = {"P", "S", "Pn", "Sn"};
    for (int i = 0; i < 4; ++i) {
      entries[static_cast<size_t>(i)].name = names[i];
      entries[static_cast<size_t>(i)].ttFile = names[i];
      entries[static_cast<size_t>(i)].data.hasTravelTimes = 1;
    }
    ws->phaseTypes().SetEntries(std::move(entries));
    nuv::CurrentEvent& e = ws->event();
    e.eventId = nuv::PadEventId("BENCH");
    e.originValid = 1, e.originLat = 42, e.originLon = 74, e.originDepth = 10;
    e.originTime = 1.7e9;
    for (int i = 0; i < kPhases; ++i) {
      nuv::SEISMIC_PHASE p;
      p.station = i / 4, p.channel = 0, p.phaseType = i % 4;
      p.SetTime(1.7e9 + 10 + i);
      p.defining = 1, p.weight = 1;
      if (i % 2 == 0) p.hasAmplitude = 1, p.amplitude = 1.5f, p.period = 0.8f, p.mb = 4.1f;
      ws->phases().Add(p);
    }
  }
};

// Released before main returns: the databases' fixtures rely on objects
// that static destruction would already have taken away.
std::unique_ptr<Setup> sqliteSetup, postgresSetup;

Setup& SetupFor(DbBackend backend) {
  std::unique_ptr<Setup>& slot = backend == DbBackend::Sqlite ? sqliteSetup : postgresSetup;
  if (!slot) slot = std::make_unique<Setup>(backend);
  return *slot;
}

bool Skip(benchmark::State& state, DbBackend backend) {
  if (backend == DbBackend::Postgres && !nuv::test::PostgresAvailable()) {
    state.SkipWithError("NUV_TEST_PG_DSN is not set");
    return true;
  }
  return false;
}

void BM_SaveEvent(benchmark::State& state) {
  const auto backend = static_cast<DbBackend>(state.range(0));
  if (Skip(state, backend)) return;
  Setup& setup = SetupFor(backend);
  nuv::EventContext context = nuv::EventContextOf(*setup.ws);
  for (auto _ : state) {
    const nuv::SaveOutcome outcome = nuv::SaveEvent(context);
    if (!outcome.saved || outcome.css != nuv::SaveOutcome::Css::Saved)
      state.SkipWithError("save failed");
  }
  state.SetLabel(backend == DbBackend::Sqlite ? "SQLite" : "PostgreSQL");
}

void BM_LoadEvent(benchmark::State& state) {
  const auto backend = static_cast<DbBackend>(state.range(0));
  if (Skip(state, backend)) return;
  Setup& setup = SetupFor(backend);
  nuv::EventContext context = nuv::EventContextOf(*setup.ws);
  nuv::SaveEvent(context);
  for (auto _ : state) {
    if (!nuv::LoadEvent(context, "BENCH") || setup.ws->phases().Count() != kPhases)
      state.SkipWithError("load failed");
  }
  state.SetLabel(backend == DbBackend::Sqlite ? "SQLite" : "PostgreSQL");
}

}  // namespace

BENCHMARK(BM_SaveEvent)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadEvent)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  sqliteSetup.reset();
  postgresSetup.reset();
  return 0;
}
