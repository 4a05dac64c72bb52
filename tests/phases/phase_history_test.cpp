// Undo and redo of the phase list: every kind of change through the list's
// operations, groups as one step, the depth of the history, paused groups
// and the announcements that let every window redraw.

#include <gtest/gtest.h>

#include <vector>

#include "phases/nuv_phases.h"
#include "support/phase_at.h"

namespace nuv {
namespace {

// The list as (station, type, time, amplitude) tuples for comparison.
std::vector<std::vector<double>> State(const NUVPhases& list) {
  std::vector<std::vector<double>> out;
  for (const SEISMIC_PHASE& p : list)
    out.push_back({double(p.station), double(p.phaseType), p.time, p.amplitude, double(p.defining),
                   double(p.hour)});
  return out;
}

TEST(PhaseHistory, EveryKindOfChangeIsUndoneAndRedone) {
  NUVPhases list;
  std::vector<std::vector<std::vector<double>>> states{State(list)};
  list.Add(test::PhaseAt(0, 0, 0, 100));  // pick
  states.push_back(State(list));
  list.Add(test::PhaseAt(1, 0, 1, 50));  // insert, goes first
  states.push_back(State(list));
  list.Modify(0, 0, 0, [](SEISMIC_PHASE& p) { p.SetTime(3700); });  // drag: order changes
  states.push_back(State(list));
  EXPECT_EQ(list.GetAt(1)->hour, 1);
  list.Modify(1, 0, 1, [](SEISMIC_PHASE& p) { p.defining = 1; });  // include
  states.push_back(State(list));
  list.Modify(0, 0, 0, [](SEISMIC_PHASE& p) {  // amplitude store
    p.amplitude = 7.5f;
    p.hasAmplitude = 1;
  });
  states.push_back(State(list));
  list.Remove(1, 0, 1);  // delete
  states.push_back(State(list));
  list.Add(test::PhaseAt(2, 0, 0, 10));
  states.push_back(State(list));
  list.RemoveAll();  // clear
  states.push_back(State(list));

  for (size_t i = states.size() - 1; i-- > 0;) {
    ASSERT_TRUE(list.Undo());
    EXPECT_EQ(State(list), states[i]) << "after undoing to step " << i;
  }
  EXPECT_FALSE(list.Undo());
  for (size_t i = 1; i < states.size(); ++i) {
    ASSERT_TRUE(list.Redo());
    EXPECT_EQ(State(list), states[i]) << "after redoing to step " << i;
  }
  EXPECT_FALSE(list.Redo());
  // Half-way back, a new change forgets what could have been redone.
  list.Undo();
  list.Undo();
  list.Add(test::PhaseAt(3, 0, 0, 1));
  EXPECT_FALSE(list.CanRedo());
  list.Undo();
  EXPECT_EQ(State(list), states[states.size() - 3]);
}

TEST(PhaseHistory, ModifyThatTakesAnotherTripleReplacesIt) {
  NUVPhases list;
  list.Add(test::PhaseAt(0, 0, 0, 10));
  list.Add(test::PhaseAt(0, 0, 1, 20));
  SEISMIC_PHASE* changed = list.Modify(0, 0, 0, [](SEISMIC_PHASE& p) { p.phaseType = 1; });
  ASSERT_NE(changed, nullptr);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_DOUBLE_EQ(list.GetAt(0)->time, 10);
  EXPECT_EQ(list.Modify(5, 5, 5, [](SEISMIC_PHASE&) {}), nullptr);
  list.Undo();
  EXPECT_EQ(list.Count(), 2);
}

TEST(PhaseHistory, GroupsAreOneStepAndPausedGroupsNone) {
  NUVPhases list;
  list.Add(test::PhaseAt(0, 0, 0, 10));
  {
    PhaseChangeGroup group(list);
    for (int channel = 1; channel < 3; ++channel) list.Add(test::PhaseAt(0, channel, 0, 10));
    PhaseChangeGroup inner(list);
    list.Remove(0, 0, 0);
  }
  EXPECT_EQ(list.Count(), 2);
  list.Undo();
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.GetAt(0)->channel, 0);
  EXPECT_EQ(list.history().UndoCount(), 1u);
  {
    PhaseChangeGroup load(list, /*pauseHistory=*/true);
    list.RemoveAll();
    list.Add(test::PhaseAt(4, 0, 0, 1));
  }
  EXPECT_EQ(list.history().UndoCount(), 1u);
  // A group after a paused one records again.
  {
    PhaseChangeGroup group(list);
    list.Add(test::PhaseAt(5, 0, 0, 2));
  }
  EXPECT_EQ(list.history().UndoCount(), 2u);
  // An unbalanced EndGroup is harmless.
  list.EndGroup();
  list.Add(test::PhaseAt(6, 0, 0, 3));
  EXPECT_EQ(list.history().UndoCount(), 3u);
}

TEST(PhaseHistory, KeepsAtLeastAHundredStepsAndDropsTheOldest) {
  NUVPhases list;
  const int steps = static_cast<int>(kPhaseUndoDepth) + 25;
  for (int i = 0; i < steps; ++i) list.Add(test::PhaseAt(i, 0, 0, i));
  EXPECT_GE(kPhaseUndoDepth, 100u);
  int undone = 0;
  while (list.Undo()) ++undone;
  EXPECT_EQ(undone, static_cast<int>(kPhaseUndoDepth));
  EXPECT_EQ(list.Count(), steps - static_cast<int>(kPhaseUndoDepth));
}

TEST(PhaseHistory, SubscribersHearEveryChangeOnceAndCanLeave) {
  NUVPhases list;
  std::vector<PhaseListChange::Kind> heard;
  const int id = list.Subscribe([&](const PhaseListChange& c) { heard.push_back(c.kind); });
  list.Add(test::PhaseAt(0, 0, 0, 10));
  list.Modify(0, 0, 0, [](SEISMIC_PHASE& p) { p.weight = 1; });
  list.Remove(7, 7, 7);  // nothing to remove: nothing said
  {
    PhaseChangeGroup group(list);
    list.Add(test::PhaseAt(1, 0, 0, 10));
    list.Add(test::PhaseAt(2, 0, 0, 10));
  }
  list.Undo();
  list.Remove(0, 0, 0);
  list.RemoveAll();
  list.RemoveAll();  // already empty: nothing said
  using K = PhaseListChange;
  EXPECT_EQ(heard, (std::vector<K::Kind>{K::Added, K::Modified, K::Many, K::Many, K::Removed}));
  list.Unsubscribe(id);
  list.Undo();
  EXPECT_EQ(heard.size(), 5u);
  // Bookkeeping through a pointer is not a change of the list.
  SEISMIC_PHASE* p = list.GetAt(0);
  ASSERT_NE(p, nullptr);
  const size_t steps = list.history().UndoCount();
  p->arid = 77;
  EXPECT_EQ(list.history().UndoCount(), steps);
}

}  // namespace
}  // namespace nuv
