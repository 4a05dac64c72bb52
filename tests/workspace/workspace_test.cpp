// The workspace's windows: adding and removing, recomputation through the
// references between windows, failures of formulas and the view ranges.

#include "workspace/workspace.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace nuv {
namespace {

TEST(WorkspaceWindows, OpensWithTwoAndRefusesThe33rdAndTheLastDeletion) {
  Workspace ws;
  EXPECT_EQ(ws.WindowCount(), 2);
  EXPECT_EQ(ws.active(), 0);
  const DspWindow& fresh = ws.window(1);
  EXPECT_EQ(fresh.count(), 0);
  EXPECT_EQ(fresh.dx, 1.0);
  EXPECT_TRUE(fresh.shown);
  EXPECT_FALSE(fresh.fixed || fresh.logScale || fresh.xLocked);
  while (ws.WindowCount() < kMaxDspWindows) ASSERT_TRUE(ws.AddWindow());
  EXPECT_EQ(ws.active(), 31);
  EXPECT_FALSE(ws.AddWindow());
  EXPECT_EQ(ws.WindowCount(), 32);
  EXPECT_FALSE(ws.SetActive(32));
  EXPECT_FALSE(ws.SetActive(-1));
  EXPECT_THROW(ws.window(32), std::out_of_range);
  while (ws.WindowCount() > 1) ASSERT_TRUE(ws.DeleteWindow());
  EXPECT_FALSE(ws.DeleteWindow());
  EXPECT_EQ(ws.active(), 0);
}

TEST(WorkspaceWindows, DeletingMovesLaterWindowsDownWithTheirData) {
  Workspace ws;
  ws.AddWindow();
  for (int i = 0; i < 3; ++i) ws.SetFormula(i, "gline(4,1," + std::to_string(i) + ",1)");
  ws.RecomputeAll();
  const std::vector<double> third = ws.window(2).data;
  ASSERT_TRUE(ws.SetActive(1));
  ASSERT_TRUE(ws.DeleteWindow());
  EXPECT_EQ(ws.WindowCount(), 2);
  EXPECT_EQ(ws.active(), 0);
  EXPECT_EQ(ws.window(1).formula, "gline(4,1,2,1)");
  EXPECT_EQ(ws.window(1).data, third);
  // Deleting W0 keeps the active index at 0.
  ASSERT_TRUE(ws.DeleteWindow());
  EXPECT_EQ(ws.active(), 0);
  EXPECT_EQ(ws.window(0).data, third);
}

TEST(WorkspaceWindows, NextWindowSkipsHiddenOnesAndWraps) {
  Workspace ws;
  ws.AddWindow();
  ws.SetActive(0);
  ws.window(1).shown = false;
  ws.NextWindow();
  EXPECT_EQ(ws.active(), 2);
  ws.NextWindow();
  EXPECT_EQ(ws.active(), 0);
}

TEST(WorkspaceRecompute, PropagatesThroughReferencesButNotToLongerNames) {
  Workspace ws;
  while (ws.WindowCount() < 11) ws.AddWindow();
  ws.SetFormula(0, "gline(3,1,1,1)");  // 1, 2, 3
  ws.SetFormula(1, "w0*2");
  ws.SetFormula(2, "W1+1");  // names are compared in lower case
  ws.SetFormula(3, "w10");
  ws.SetFormula(10, "gline(2,1,5,0)");
  ws.Evaluate(10);
  const std::vector<int> order = ws.Recompute(0);
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(ws.window(1).data, (std::vector<double>{2, 4, 6}));
  EXPECT_EQ(ws.window(2).data, (std::vector<double>{3, 5, 7}));
  EXPECT_EQ(ws.window(3).count(), 0);
  EXPECT_TRUE(RefersToWindow("sin(w1)", 1));
  EXPECT_FALSE(RefersToWindow("w1x", 1));
  EXPECT_FALSE(RefersToWindow("w12", 1));
  EXPECT_TRUE(RefersToWindow("w12+w1", 1));
}

TEST(WorkspaceRecompute, FixedWindowsStopThePassAndKeepTheirFormula) {
  Workspace ws;
  ws.SetFormula(0, "gline(2,1,1,0)");
  ws.SetFormula(1, "w0+1");
  ws.ToggleFixed();  // W0 active
  EXPECT_TRUE(ws.Recompute(0).empty());
  EXPECT_FALSE(ws.SetFormula(0, "7"));
  EXPECT_EQ(ws.window(0).formula, "gline(2,1,1,0)");
  EXPECT_EQ(ws.window(1).count(), 0);
}

TEST(WorkspaceRecompute, CyclesEndAndEveryWindowIsComputedOnce) {
  Workspace ws;
  ws.SetFormula(0, "w1+1");
  ws.SetFormula(1, "w0+1");
  EXPECT_EQ(ws.Recompute(0), (std::vector<int>{0, 1}));
  // w1 was empty (one 0.0) when W0 was computed.
  EXPECT_EQ(ws.window(0).data, std::vector<double>{1});
  EXPECT_EQ(ws.window(1).data, std::vector<double>{2});
  EXPECT_EQ(ws.RecomputeAll().size(), 2u);
}

TEST(WorkspaceRecompute, RecomputeAllComputesReferencedWindowsFirst) {
  Workspace ws;
  ws.AddWindow();
  ws.SetFormula(0, "w2*10");
  ws.SetFormula(1, "w0+w2");
  ws.SetFormula(2, "gline(2,1,1,1)");
  EXPECT_EQ(ws.RecomputeAll(), (std::vector<int>{2, 0, 1}));
  EXPECT_EQ(ws.window(1).data, (std::vector<double>{11, 22}));
}

TEST(WorkspaceRecompute, FailuresKeepTheMessageAndOneZero) {
  Workspace ws;
  const char* bad[] = {"", "w0+", "(w0", "nosuch(1)", "w32", "1/"};
  for (const char* formula : bad) {
    ws.SetFormula(1, formula);
    ws.Evaluate(1);
    EXPECT_FALSE(ws.window(1).error.empty()) << formula;
    EXPECT_EQ(ws.window(1).data, std::vector<double>{0.0}) << formula;
    EXPECT_EQ(ws.window(1).dx, 1.0);
  }
  ws.SetFormula(1, "w32");
  ws.Evaluate(1);
  EXPECT_EQ(ws.window(1).error, "'w32' - undefined variables or function");
  // A window beyond those in use has no value but is a known name.
  ws.SetFormula(1, "w5+3");
  ws.Evaluate(1);
  EXPECT_TRUE(ws.window(1).error.empty());
  EXPECT_EQ(ws.window(1).data, std::vector<double>{3});
}

TEST(WorkspaceRecompute, ScalarResultAndEmptyWindowReference) {
  Workspace ws;
  ws.SetFormula(0, "gline(2,1)");  // 0, 1
  ws.SetFormula(1, "mean(w0)");
  ws.Recompute(0);
  EXPECT_EQ(ws.window(1).data, std::vector<double>{0.5});
  Workspace empty;
  empty.SetFormula(1, "w0*3");
  empty.Evaluate(1);
  EXPECT_EQ(empty.window(1).data, std::vector<double>{0.0});
}

TEST(WorkspaceRecompute, NonFiniteSamplesDoNotSpoilTheRanges) {
  Workspace ws;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  ws.LoadData(0, {nan, 2, -inf, -3, inf}, 1.0);
  EXPECT_TRUE(ws.window(0).fixed);
  EXPECT_EQ(ws.window(0).yMin, -3);
  EXPECT_EQ(ws.window(0).yMax, 2);
  ws.LoadData(1, {nan, nan}, 0.5);
  EXPECT_EQ(ws.window(1).yMin, 0);
  EXPECT_EQ(ws.window(1).yMax, 0);
  ws.window(1).fixed = false;
  ws.SetFormula(1, "log(gline(3,1,-1,1))");  // log of -1, 0, 1
  ws.Evaluate(1);
  EXPECT_TRUE(std::isfinite(ws.window(1).yMin) && std::isfinite(ws.window(1).yMax));
}

TEST(WorkspaceOverlays, KeepOnlySucceedingSeriesAndClearTheRest) {
  Workspace ws;
  ws.SetFormula(0, "gline(4,1)");
  ws.Evaluate(0);
  std::vector<std::string> formulas = {"w0*2", "mean(w0)", "w0+", "", "  w0  "};
  const auto errors = ws.SetOverlays(formulas);
  const auto& slots = ws.window(0).overlays;
  EXPECT_EQ(slots[0].data, (std::vector<double>{0, 2, 4, 6}));
  EXPECT_TRUE(slots[1].data.empty());  // a single sample
  EXPECT_TRUE(slots[2].data.empty());
  EXPECT_FALSE(errors[2].empty());
  EXPECT_EQ(slots[4].formula, "w0");
  EXPECT_EQ(slots[4].data.size(), 4u);
  ws.SetOverlays({});
  for (const auto& slot : ws.window(0).overlays) EXPECT_TRUE(slot.data.empty());
}

TEST(WorkspaceWorksheet, ReplacingRefusesCountsOutsideTheWindowRange) {
  Workspace ws;
  EXPECT_FALSE(ws.ReplaceWindows({}));
  EXPECT_FALSE(ws.ReplaceWindows(std::vector<std::string>(33, "1")));
  EXPECT_EQ(ws.WindowCount(), 2);
  ws.AddWindow();
  ASSERT_TRUE(ws.ReplaceWindows({"1", std::string(2000, 'x')}));
  EXPECT_EQ(ws.WindowCount(), 2);
  EXPECT_EQ(ws.active(), 0);
  EXPECT_EQ(ws.window(1).formula.size(), kDspFormulaLength);
  EXPECT_EQ(ws.window(0).count(), 0);  // not evaluated until recomputed
}

}  // namespace
}  // namespace nuv

namespace nuv {
namespace {

TEST(WorkspacePanes, PaneNamesReachFormulasAndTheNameList) {
  InMemoryFormulaData panes;
  panes.AddPane({7, "KUR", "SHZ"});
  panes.SetPaneData(7, PaneSignal::kSource, Signal({1, 2, 3}, 0.05));
  Workspace ws;
  ws.SetFormula(0, "d7*2");
  ws.Evaluate(0);
  EXPECT_FALSE(ws.window(0).error.empty());  // no panes handed in
  ws.SetPaneSource(&panes);
  ws.Evaluate(0);
  EXPECT_EQ(ws.window(0).data, (std::vector<double>{2, 4, 6}));
  EXPECT_EQ(ws.window(0).dx, 0.05);
  const std::vector<FormulaName> names = ws.Names();
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(names[0].name, "d7");
  EXPECT_EQ(names[0].comment, "Волновая форма KUR:SHZ");
  EXPECT_EQ(names[1].name, "w0");
  EXPECT_EQ(names[1].comment, "d7*2");
  EXPECT_EQ(names[2].name, "w1");
}

}  // namespace
}  // namespace nuv
