#include "waveview/phase_view.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>

namespace nuv {
namespace {

SEISMIC_PHASE Phase(int station, int channel, int type, double time, float amplitude = 0,
                    float mb = -1) {
  SEISMIC_PHASE p;
  p.station = station;
  p.channel = channel;
  p.phaseType = type;
  p.time = time;
  p.amplitude = amplitude;
  p.mb = mb;
  return p;
}

struct Fixture {
  Fixture() {
    types.LoadNames("/nonexistent/");  // the built-in vocabulary: 0 = P, 1 = S
    for (int i = 0; i < 4; ++i) {
      owned.push_back(std::make_unique<TracePane>());
      owned.back()->station = i;
      owned.back()->channel = 0;
      list.push_back(owned.back().get());
    }
    for (int i = 0; i < 4; ++i) {
      CScreenFields f;
      f.code = "S" + std::to_string(i);
      f.channels[0].name = "SHZ";
      f.channels[0].lat = 10.0f * i;
      f.channels[0].lon = 0;
      stations.records().push_back(f);
    }
  }
  std::vector<int> Stations() const {
    std::vector<int> out;
    for (const TracePane* p : list) out.push_back(p->station);
    return out;
  }
  PhaseTypeTable types;
  NUVPhases phases;
  CurrentEvent event;
  StationTable stations;
  std::vector<std::unique_ptr<TracePane>> owned;
  PaneList list;
};

TEST(PhaseView, SortsByPhaseListKeys) {
  Fixture f;
  f.phases.Add(Phase(2, 0, 0, 100, 5, 4.5f));
  f.phases.Add(Phase(1, 0, 0, 50, 9, 3.0f));
  f.phases.Add(Phase(1, 0, 1, 300));
  // Earliest time ascending; panes without a phase keep their order at the end.
  ASSERT_TRUE(SortPanesByPhases(f.list, kSortPhaseTime, f.phases, f.types, f.event, f.stations));
  EXPECT_EQ(f.Stations(), (std::vector<int>{1, 2, 0, 3}));
  ASSERT_TRUE(SortPanesByPhases(f.list, kSortAmplitude, f.phases, f.types, f.event, f.stations));
  EXPECT_EQ(f.Stations(), (std::vector<int>{1, 2, 0, 3}));
  ASSERT_TRUE(SortPanesByPhases(f.list, kSortMb, f.phases, f.types, f.event, f.stations));
  EXPECT_EQ(f.Stations(), (std::vector<int>{2, 1, 0, 3}));
  // Distance needs an epicentre.
  EXPECT_FALSE(SortPanesByPhases(f.list, kSortDistance, f.phases, f.types, f.event, f.stations));
  EXPECT_EQ(f.Stations(), (std::vector<int>{2, 1, 0, 3}));
  f.event.originValid = 1;
  f.event.originLat = 25;
  f.event.originLon = 0;
  ASSERT_TRUE(SortPanesByPhases(f.list, kSortDistance, f.phases, f.types, f.event, f.stations));
  EXPECT_EQ(f.Stations(), (std::vector<int>{2, 3, 1, 0}));
  EXPECT_FALSE(SortPanesByPhases(f.list, kSortAlphabet, f.phases, f.types, f.event, f.stations));
}

TEST(PhaseView, MarksOnlyStrictlyInsideTheWindow) {
  Fixture f;
  TracePane& pane = *f.owned[1];
  pane.SetWindowStart(1000);
  pane.windowLength = 399;
  const PaneGeometry g{402, 200, 20};
  f.phases.Add(Phase(1, 0, 0, 1000));      // at the window start: no mark
  f.phases.Add(Phase(1, 0, 1, 1100));      // S
  f.phases.Add(Phase(1, 1, 0, 1200));      // other channel
  SEISMIC_PHASE p = Phase(1, 0, 2, 1399);  // at the window end: no mark
  f.phases.Add(p);
  SEISMIC_PHASE def = Phase(1, 0, f.types.IndexOf("Pn"), 1050);
  def.defining = 1;
  f.phases.Add(def);
  const auto marks = PhaseMarksOf(f.phases, f.types, pane, g);
  ASSERT_EQ(marks.size(), 2u);
  EXPECT_EQ(marks[0].name, "Pn");
  EXPECT_EQ(marks[0].x, 51);
  EXPECT_TRUE(marks[0].defining);
  EXPECT_FALSE(marks[0].isP);
  EXPECT_EQ(marks[1].name, "S");
  EXPECT_EQ(marks[1].x, 101);
  EXPECT_EQ(f.phases.Find(1, 0, 1)->markX, 101);

  TracePane& other = *f.owned[0];
  other.SetWindowStart(0);
  other.windowLength = 10;
  f.phases.Add(Phase(0, 0, 0, 5));
  const auto p0 = PhaseMarksOf(f.phases, f.types, other, g);
  ASSERT_EQ(p0.size(), 1u);
  EXPECT_TRUE(p0[0].isP);
}

TEST(PhaseView, SpanOfThePhaseList) {
  NUVPhases phases;
  EXPECT_FALSE(PhaseListSpan(phases));
  phases.Add(Phase(0, 0, 0, 1000));
  auto w = PhaseListSpan(phases);
  ASSERT_TRUE(w);
  EXPECT_DOUBLE_EQ(w->start, 999.95);  // span counts as at least 1 s
  EXPECT_DOUBLE_EQ(w->length, 1.0);
  phases.Add(Phase(1, 0, 0, 1200));
  w = PhaseListSpan(phases);
  EXPECT_DOUBLE_EQ(w->start, 990);
  EXPECT_DOUBLE_EQ(w->length, 220);
}

}  // namespace
}  // namespace nuv
