#include "waveview/pick_logic.h"

#include <gtest/gtest.h>

#include "platform/profile_file.h"
#include "support/phase_at.h"
#include "support/temp_dir.h"
#include "waveview/pick_keys.h"

namespace nuv {
namespace {

// A pane 802 pixels wide: xL = 1, xR = 800, 799 pixels over the window.
const PaneGeometry kGeometry{802, 200, 20};
constexpr double kStart = 1000.0;
constexpr double kLength = 79.9;  // 0.1 s per pixel

SEISMIC_PHASE Phase(int station, int channel, int type, double time, int defining = 0) {
  SEISMIC_PHASE p = test::PhaseAt(station, channel, type, time);
  p.defining = defining;
  return p;
}

TEST(PickLogic, DeltimClassesIncludingTheBoundaries) {
  EXPECT_EQ(ClassifyDeltim(0).onset, 1);
  EXPECT_EQ(ClassifyDeltim(0).weight, 0);
  EXPECT_EQ(ClassifyDeltim(0.5).onset, 0);
  EXPECT_EQ(ClassifyDeltim(0.5).weight, 1);
  EXPECT_EQ(ClassifyDeltim(2.0).onset, 2);
  EXPECT_EQ(ClassifyDeltim(2.0).weight, 3);
  // The boundaries fall into the upper class.
  EXPECT_EQ(ClassifyDeltim(0.2).weight, 1);
  EXPECT_EQ(ClassifyDeltim(1.0).weight, 3);
  EXPECT_EQ(ClassifyDeltim(0.19999).weight, 0);
}

TEST(PickLogic, GestureToPick) {
  // A small wobble is a click: no uncertainty, time at the press.
  auto click = PickFromGesture(kGeometry, kStart, kLength, 101, 105, 50);
  ASSERT_TRUE(click);
  EXPECT_DOUBLE_EQ(click->deltim, 0);
  EXPECT_NEAR(click->time, kStart + 10.0, 1e-9);
  EXPECT_EQ(click->x, 101);
  EXPECT_EQ(click->arrowHalfWidth, 0);
  // A drag of 20 pixels right to left: 2 s, centred, arrow 10 pixels.
  auto drag = PickFromGesture(kGeometry, kStart, kLength, 121, 101, 50);
  ASSERT_TRUE(drag);
  EXPECT_NEAR(drag->deltim, 2.0, 1e-9);
  EXPECT_NEAR(drag->time, kStart + 11.0, 1e-9);
  EXPECT_EQ(drag->x, 111);
  EXPECT_EQ(drag->arrowHalfWidth, 10);
  // Releases outside the trace area: beside it, above it, in the axis strip.
  EXPECT_FALSE(PickFromGesture(kGeometry, kStart, kLength, 100, 0, 50));
  EXPECT_FALSE(PickFromGesture(kGeometry, kStart, kLength, 100, 801, 50));
  EXPECT_FALSE(PickFromGesture(kGeometry, kStart, kLength, 100, 100, 5));
  EXPECT_FALSE(PickFromGesture(kGeometry, kStart, kLength, 100, 100, 190));
  // A pane without width or without a window gives nothing.
  EXPECT_FALSE(PickFromGesture({2, 200, 20}, kStart, kLength, 1, 1, 50));
  EXPECT_FALSE(PickFromGesture(kGeometry, kStart, 0, 100, 100, 50));
}

TEST(PickLogic, PickedPhaseTakesTheChoicesAndDefiningFromTheTable) {
  PhaseTypeTable types;
  std::vector<PhaseTypeTable::Entry> entries(2);
  entries[0].name = "P", entries[0].ttFile = "P";
  entries[0].data.hasTravelTimes = 1;
  entries[1].name = "S", entries[1].ttFile = "S";  // its table was not read
  types.SetEntries(std::move(entries));
  PickChoice c = DefaultPickChoice(0.5, 0);
  EXPECT_EQ(c.firstMotion, 4);
  EXPECT_EQ(c.onset, 0);
  c.remark = std::string(100, 'x');
  c.filter = "BP 1-5";
  SEISMIC_PHASE p = MakePickedPhase(types, 3, 2, 1249491600.25, 0.5, c);
  EXPECT_EQ(p.station, 3);
  EXPECT_EQ(p.channel, 2);
  EXPECT_EQ(p.defining, 1);
  EXPECT_EQ(p.active, 1);
  EXPECT_EQ(p.hour, 17);
  EXPECT_EQ(p.hundredths, 25);
  EXPECT_EQ(p.remark.size(), 80u);
  EXPECT_EQ(p.pFilType, "BP 1-5");
  EXPECT_EQ(p.chanType, "BP");
  c.phaseType = 1;
  EXPECT_EQ(MakePickedPhase(types, 3, 2, 0, 0, c).defining, 0);
}

TEST(PickLogic, LabelsHitTheTopmostAndDropInsideTheTraceArea) {
  std::vector<LabelBox> labels = {LabelBoxAt(kGeometry, 100, 10, 12, 0),
                                  LabelBoxAt(kGeometry, 110, 10, 12, 1)};
  EXPECT_EQ(labels[0].y, kGeometry.traceTop() + 1);
  EXPECT_EQ(labels[0].width, 20);
  EXPECT_EQ(labels[0].height, 13);
  // The two overlap at 110..119: the one drawn later is on top.
  EXPECT_EQ(HitLabel(labels, 112, 20), 1);
  EXPECT_EQ(HitLabel(labels, 105, 20), 0);
  EXPECT_EQ(HitLabel(labels, 125, 20), 1);
  EXPECT_EQ(HitLabel(labels, 130, 20), -1);
  EXPECT_EQ(HitLabel(labels, 112, 40), -1);
  EXPECT_EQ(HitLabel({}, 0, 0), -1);
  // Drops: inside gives the time at the left edge; left of xL or right of
  // xR keeps the old time.
  ASSERT_TRUE(LabelDropTime(kGeometry, kStart, kLength, 201));
  EXPECT_NEAR(*LabelDropTime(kGeometry, kStart, kLength, 201), kStart + 20, 1e-9);
  EXPECT_TRUE(LabelDropTime(kGeometry, kStart, kLength, 800));
  EXPECT_FALSE(LabelDropTime(kGeometry, kStart, kLength, 0));
  EXPECT_FALSE(LabelDropTime(kGeometry, kStart, kLength, -40));
  EXPECT_FALSE(LabelDropTime(kGeometry, kStart, kLength, 801));
}

TEST(PickLogic, IntervalCommandsTouchOnlyTheChannelInTheClosedRange) {
  NUVPhases phases;
  phases.Add(Phase(0, 0, 0, 10));
  phases.Add(Phase(0, 0, 1, 20));
  phases.Add(Phase(0, 0, 2, 30));
  phases.Add(Phase(0, 1, 0, 20));  // another channel
  phases.Add(Phase(1, 0, 0, 20));  // another station
  const size_t steps = phases.history().UndoCount();
  // Reversed ends; both ends included.
  EXPECT_EQ(SetDefiningInRange(phases, 0, 0, 20, 10, true), 2);
  EXPECT_EQ(phases.Find(0, 0, 0)->defining, 1);
  EXPECT_EQ(phases.Find(0, 0, 1)->defining, 1);
  EXPECT_EQ(phases.Find(0, 0, 2)->defining, 0);
  EXPECT_EQ(phases.Find(0, 1, 0)->defining, 0);
  EXPECT_EQ(phases.Find(1, 0, 0)->defining, 0);
  EXPECT_EQ(phases.history().UndoCount(), steps + 1);  // one step
  EXPECT_EQ(SetDefiningInRange(phases, 0, 0, 10, 30, false), 3);
  EXPECT_EQ(phases.Find(0, 0, 1)->defining, 0);
  EXPECT_EQ(RemoveInRange(phases, 0, 0, 15, 30), 2);
  EXPECT_EQ(phases.Count(), 3);
  EXPECT_TRUE(phases.Find(0, 0, 0));
  EXPECT_EQ(RemoveInRange(phases, 5, 5, 0, 100), 0);
  ASSERT_TRUE(phases.Undo());
  EXPECT_EQ(phases.Count(), 5);
}

TEST(PickLogic, LiningUpPNeedsThePaneOwnPStrictlyInside) {
  PhaseTypeTable types;
  types.LoadNames("/nonexistent/");
  const int p = types.IndexOf("P");
  ASSERT_GE(p, 0);
  NUVPhases phases;
  phases.Add(Phase(0, 0, p, 130));
  phases.Add(Phase(1, 0, p, 250));
  phases.Add(Phase(2, 0, types.IndexOf("S"), 300));
  auto d = PhasePOffset(phases, types, 0, 0, 100, 60);
  ASSERT_TRUE(d);
  EXPECT_DOUBLE_EQ(*d, 30);
  EXPECT_DOUBLE_EQ(*LinedUpStart(phases, types, 1, 0, *d), 220);
  EXPECT_FALSE(LinedUpStart(phases, types, 2, 0, *d));       // no P there
  EXPECT_FALSE(PhasePOffset(phases, types, 0, 0, 130, 60));  // at the window start
  EXPECT_FALSE(PhasePOffset(phases, types, 0, 0, 70, 60));   // at the window end
  EXPECT_FALSE(PhasePOffset(phases, types, 2, 0, 0, 1000));
  PhaseTypeTable noP;
  std::vector<PhaseTypeTable::Entry> entries(1);
  entries[0].name = "S";
  noP.SetEntries(std::move(entries));
  EXPECT_FALSE(PhasePOffset(phases, noP, 0, 0, 100, 60));
}

TEST(PickKeys, DefaultsFileOverridesAndLookups) {
  test::TempDir dir;
  ProfileFile ini(dir.path() / "NUV.INI");
  EXPECT_EQ(ReadPickKeys(ini), DefaultPickKeys());
  std::vector<PickKeyBinding> keys = DefaultPickKeys();
  keys[1].key = "s";
  keys[2].key = "";
  ASSERT_TRUE(WritePickKeys(ini, keys));
  const std::vector<PickKeyBinding> back = ReadPickKeys(ini);
  EXPECT_EQ(back, keys);
  EXPECT_EQ(PhaseForKey(back, "S"), "S");  // case does not matter
  EXPECT_EQ(PhaseForKey(back, "3"), "");   // unbound
  EXPECT_EQ(PhaseForKey(back, ""), "");
  EXPECT_EQ(DuplicatePickKey(back), "");
  keys[3].key = "S";
  EXPECT_EQ(DuplicatePickKey(keys), "S");
  // A file that cannot be written (the path is a folder) is reported.
  ProfileFile bad(dir.path());
  EXPECT_FALSE(WritePickKeys(bad, keys));
}

}  // namespace
}  // namespace nuv
