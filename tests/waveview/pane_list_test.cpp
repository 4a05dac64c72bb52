#include "waveview/pane_list.h"

#include <gtest/gtest.h>

#include <memory>

namespace nuv {
namespace {

struct Panes {
  std::vector<std::unique_ptr<TracePane>> owned;
  PaneList list;
  TracePane& Add(const std::string& station = "A", int number = -1) {
    owned.push_back(std::make_unique<TracePane>());
    TracePane& p = *owned.back();
    p.stationName = station;
    p.number = number >= 0 ? number : NextPaneNumber(list);
    list.push_back(&p);
    return p;
  }
  std::vector<int> Numbers() const {
    std::vector<int> n;
    for (const TracePane* p : list) n.push_back(p->number);
    return n;
  }
};

TEST(PaneList, NumbersAreNeverReusedBelowTheLargest) {
  Panes s;
  s.Add();
  s.Add();
  s.Add();
  EXPECT_EQ(s.Numbers(), (std::vector<int>{0, 1, 2}));
  s.list.erase(s.list.begin() + 1);  // delete D1
  EXPECT_EQ(NextPaneNumber(s.list), 3);
  EXPECT_EQ(NextPaneNumber({}), 0);
}

TEST(PaneList, ActivationOrderAndRenumbering) {
  Panes s;
  TracePane& a = s.Add();
  TracePane& b = s.Add();
  TracePane& c = s.Add();
  // With every pane inactive the first activation is number 1.
  ActivatePane(s.list, b);
  ActivatePane(s.list, a);
  ActivatePane(s.list, c);
  EXPECT_EQ(b.selectionNumber, 1);
  EXPECT_EQ(a.selectionNumber, 2);
  EXPECT_EQ(c.selectionNumber, 3);
  ActivatePane(s.list, a);  // already active: unchanged
  EXPECT_EQ(a.selectionNumber, 2);
  DeactivatePane(s.list, b);
  EXPECT_EQ(b.selectionNumber, -1);
  EXPECT_EQ(a.selectionNumber, 1);
  EXPECT_EQ(c.selectionNumber, 2);
  EXPECT_EQ(ActivePanes(s.list), (PaneList{&a, &c}));

  MakeMainPane(s.list, c);
  EXPECT_EQ(MainPane(s.list), &c);
  MakeMainPane(s.list, a);
  EXPECT_FALSE(c.isMain);
  // The main pane deactivated: the first active one takes the role.
  DeactivatePane(s.list, a);
  PassMainRole(s.list);
  EXPECT_EQ(MainPane(s.list), &c);
  DeactivatePane(s.list, c);
  PassMainRole(s.list);
  EXPECT_EQ(MainPane(s.list), nullptr);

  ActivateAll(s.list);
  EXPECT_EQ(a.selectionNumber, 1);
  EXPECT_EQ(b.selectionNumber, 2);
  EXPECT_EQ(c.selectionNumber, 3);
  DeactivateAll(s.list);
  EXPECT_TRUE(ActivePanes(s.list).empty());
  EXPECT_EQ(NextSelectionNumber(s.list), 1);
}

TEST(PaneList, SortsAreStable) {
  StationTable table;
  for (auto [code, nindex] : std::vector<std::pair<std::string, int>>{
           {"KUR", 5}, {"ARU", kUnnumberedStation}, {"OBN", 9}}) {
    CScreenFields f;
    f.code = code;
    f.nindex = nindex;
    table.records().push_back(f);
  }
  Panes s;
  TracePane& k1 = s.Add("KUR");
  k1.station = 0;
  TracePane& o = s.Add("OBN");
  o.station = 2;
  TracePane& a = s.Add("ARU");
  a.station = 1;
  TracePane& k2 = s.Add("KUR");
  k2.station = 0;
  // Descending DB number: a station without NINDEX (999999999) first.
  SortPanesByDbNumber(s.list, table);
  EXPECT_EQ(s.list, (PaneList{&a, &o, &k1, &k2}));
  // Alphabetical: the channels of one station keep their order.
  std::swap(s.list[2], s.list[3]);
  SortPanesByAlphabet(s.list);
  EXPECT_EQ(s.list, (PaneList{&a, &k2, &k1, &o}));
  // Screen number: unnumbered panes last, in their previous order.
  o.selectionNumber = 2;
  k1.selectionNumber = 1;
  SortPanesByScreenNumber(s.list);
  EXPECT_EQ(s.list, (PaneList{&k1, &o, &a, &k2}));
  // A key with missing values (largest double) puts those last.
  SortPanesByKey(
      s.list, [&](const TracePane& p) { return &p == &o ? 5.0 : 1e308; }, false);
  EXPECT_EQ(s.list.front(), &o);
  EXPECT_EQ(s.list, (PaneList{&o, &k1, &a, &k2}));

  EXPECT_EQ(SortOrderText(kSortDbNumber), "0");
  EXPECT_EQ(SortOrderText(kSortPhaseTime), "1");
  EXPECT_EQ(SortOrderText(kSortAlphabet), "2");
  EXPECT_EQ(SortOrderText(kSortScreenNumber), "2");
  EXPECT_EQ(SortOrderText(kSortDistance), "");
  EXPECT_EQ(SortOrderText(kSortMb), "");
}

TEST(PaneList, LayoutAndScrolling) {
  Panes s;
  for (int i = 0; i < 4; ++i) s.Add().rect = {0, 0, 300, 50 + i};
  CompactLayout(s.list);
  EXPECT_EQ(s.list[1]->rect.y, 51);
  EXPECT_EQ(s.list[2]->rect.y, 103);
  EXPECT_EQ(s.list[3]->rect.y, 156);

  // Fit all: 400 / 4 = 100 per pane.
  FitAll(s.list, 320, 400, 60);
  EXPECT_EQ(s.list[0]->rect, (PaneRect{0, 0, 320, 99}));
  EXPECT_EQ(s.list[3]->rect, (PaneRect{0, 300, 320, 99}));
  // Below the minimum height every pane takes the minimum and the window scrolls.
  FitAll(s.list, 320, 100, 60);
  EXPECT_EQ(s.list[1]->rect.y, 60);
  EXPECT_EQ(s.list[3]->rect.height, 59);
  EXPECT_EQ(TotalPaneHeight(s.list), 240);

  EXPECT_EQ(ScrollPanesTo(s.list, 5000), 5000);
  EXPECT_EQ(s.list[0]->rect.y, -120);
  EXPECT_EQ(s.list[1]->rect.y, -60);
  EXPECT_EQ(ScrollPositionOf(s.list), 5000);
  EXPECT_EQ(ScrollPanesTo(s.list, 12000), kScrollRange);
  EXPECT_EQ(ScrollPanesTo(s.list, -5), 0);
  EXPECT_EQ(s.list[0]->rect.y, 0);

  EqualHeights(s.list, 30);
  EXPECT_EQ(s.list[3]->rect, (PaneRect{0, 93, 320, 30}));
  RelayoutInOrder(s.list, 500);
  EXPECT_EQ(s.list[1]->rect, (PaneRect{0, 31, 500, 30}));

  EXPECT_EQ(SelectionPaneHeight(600, 1, 2, 40), 200);
  EXPECT_EQ(SelectionPaneHeight(600, 0, 24, 40), 40);
}

TEST(PaneList, TheStackNeverLeavesTheClientAreaBlank) {
  Panes s;
  for (int i = 0; i < 4; ++i) s.Add().rect = {0, 0, 300, 99};
  CompactLayout(s.list);  // 400 pixels in a client 100 high
  // Scrolling stops where the last pane meets the bottom.
  EXPECT_EQ(MaxScrollPosition(s.list, 100), 7500);
  EXPECT_EQ(ScrollPanesTo(s.list, 9800, MaxScrollPosition(s.list, 100)), 7500);
  EXPECT_EQ(s.list[3]->rect.y, 0);
  EXPECT_EQ(MaxScrollPosition(s.list, 500), 0);

  // Fitting the scrolled stack into a client 300 high leaves it at -300
  // with panes of 75: it moves down until the last pane ends at the bottom.
  FitAll(s.list, 300, 300, 20);
  EXPECT_EQ(s.list[0]->rect.y, -300);
  KeepStackInView(s.list, 300);
  EXPECT_EQ(s.list[0]->rect.y, 0);
  EXPECT_EQ(s.list[3]->rect.Bottom(), 299);
  // A stack at the top is never pulled down.
  s.list[3]->rect.height = 10;
  KeepStackInView(s.list, 300);
  EXPECT_EQ(s.list[0]->rect.y, 0);

  // A pane below the client area is scrolled to the top, as far as the
  // stack allows; a visible one does not move the stack.
  for (TracePane* p : s.list) p->rect.height = 99;
  CompactLayout(s.list);
  ScrollPaneIntoView(s.list, 2, 150);
  EXPECT_EQ(s.list[2]->rect.y, 0);
  ScrollPaneIntoView(s.list, 3, 150);
  EXPECT_EQ(s.list[3]->rect.Bottom(), 150);
  ScrollPaneIntoView(s.list, 3, 150);
  EXPECT_EQ(s.list[3]->rect.Bottom(), 150);
}

}  // namespace
}  // namespace nuv
