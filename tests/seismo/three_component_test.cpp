// Three component traces taken from trace panes: the checks before the
// azimuth, names of traces, and the samples of an interval.

#include "seismo/three_component.h"

#include <gtest/gtest.h>

#include <cmath>

#include "seismo/particle_motion.h"
#include "seismo/polarization.h"
#include "waveview/trace_pane.h"

namespace nuv {
namespace {

constexpr double kStart = 1.7e9;

// A pane of 60 s at 10 samples/s holding f(i).
TracePane MakePane(int number, int selection, double (*f)(int), double rate = 10) {
  TracePane p;
  p.number = number;
  p.selectionNumber = selection;
  p.channelRate = rate;
  p.SetWindowStart(kStart);
  p.windowLength = 60;
  NUVDataBlock b;
  b.rate = rate;
  b.start = kStart;
  b.Allocate(static_cast<int>(60 * rate));
  for (int i = 0; i < b.count; ++i) b.samples[static_cast<size_t>(i)] = static_cast<float>(f(i));
  p.blocks.Append(b);
  return p;
}

double Up(int i) {
  return std::sin(0.3 * i) * 0.6;
}
double North(int i) {
  return -std::sin(0.3 * i) * 0.8 + 0.01 * std::cos(1.7 * i);
}
double East(int i) {
  return 0.02 * std::sin(0.9 * i);
}

class ThreeComponent : public ::testing::Test {
 protected:
  void SetUp() override {
    panes_ = {MakePane(1, 1, Up), MakePane(2, 2, North), MakePane(3, 3, East),
              MakePane(4, -1, East)};
    panes_[0].isMain = true;
    panes_[0].hasInterval = true;
    panes_[0].intervalStart = kStart + 10;
    panes_[0].intervalEnd = kStart + 20;
  }
  std::vector<const TracePane*> Pointers() const {
    std::vector<const TracePane*> out;
    for (const TracePane& p : panes_) out.push_back(&p);
    return out;
  }
  std::vector<TracePane> panes_;
};

TEST_F(ThreeComponent, ChecksBeforeTheDialog) {
  EXPECT_EQ(CheckThreePanes(FindThreePanes(Pointers())), "");
  panes_[2].selectionNumber = -1;
  EXPECT_EQ(CheckThreePanes(FindThreePanes(Pointers())), kMsgNoThreePanes);
  panes_[2].selectionNumber = 3;
  panes_[0].isMain = false;
  panes_[3].isMain = true;
  EXPECT_EQ(CheckThreePanes(FindThreePanes(Pointers())), kMsgMainNotAmongThree);
  panes_[3].isMain = false;
  panes_[1].isMain = true;
  EXPECT_EQ(CheckThreePanes(FindThreePanes(Pointers())), kMsgNoMainInterval);
  panes_[1].hasInterval = true;
  panes_[1].intervalStart = kStart + 50;
  panes_[1].intervalEnd = kStart + 61;  // beyond the window's end
  EXPECT_EQ(CheckThreePanes(FindThreePanes(Pointers())),
            "Временной интервал находится вне пределов главного окна ");
}

TEST_F(ThreeComponent, TracesByNameAndTheirIntervals) {
  const auto panes = Pointers();
  EXPECT_EQ(PaneTraceName(panes_[1], false), "d2");
  EXPECT_EQ(PaneTraceName(panes_[1], true), "t2");
  const auto d2 = TraceByName(panes, " D2 ");
  ASSERT_TRUE(d2);
  EXPECT_EQ(d2->samples.size(), 600u);
  EXPECT_DOUBLE_EQ(d2->dx, 0.1);
  EXPECT_FLOAT_EQ(d2->samples[7], static_cast<float>(North(7)));
  // No transformed trace yet, no such pane, no such kind.
  EXPECT_FALSE(TraceByName(panes, "t2"));
  EXPECT_FALSE(TraceByName(panes, "d9"));
  for (const char* bad : {"", "x1", "d", "d1x", "w1", "dd1", "d-1"})
    EXPECT_FALSE(TraceByName(panes, bad)) << bad;
  panes_[1].transformed = std::vector<float>(300, 2.0f);
  panes_[1].transRate = 5;
  const auto t2 = TraceByName(Pointers(), "t2");
  ASSERT_TRUE(t2);
  EXPECT_DOUBLE_EQ(t2->dx, 0.2);
  // "sd1": the interval of pane 1 only.
  const auto sd1 = TraceByName(Pointers(), "sd1");
  ASSERT_TRUE(sd1);
  EXPECT_EQ(sd1->samples.size(), 100u);
  EXPECT_FLOAT_EQ(sd1->samples[0], static_cast<float>(Up(100)));
  EXPECT_FALSE(TraceByName(Pointers(), "sd2"));  // pane 2 has no interval
}

TEST_F(ThreeComponent, CutRefusesBadIntervalsAndRates) {
  const auto panes = Pointers();
  const PaneTrace v = *TraceByName(panes, "d1"), n = *TraceByName(panes, "d2"),
                  e = *TraceByName(panes, "d3");
  ComponentSamples s = CutComponents(v, n, e, kStart + 10, kStart + 20);
  ASSERT_EQ(s.message, "");
  EXPECT_EQ(s.v.size(), 100u);
  EXPECT_FLOAT_EQ(s.h1[0], static_cast<float>(North(100)));
  EXPECT_EQ(CutComponents(v, n, e, kStart - 1, kStart + 5).message, kMsgIntervalOutsideTrace);
  EXPECT_EQ(CutComponents(v, n, e, kStart + 50, kStart + 61).message, kMsgIntervalOutsideTrace);
  EXPECT_EQ(CutComponents(v, n, e, kStart + 5, kStart + 5).message, kMsgNoInterval);
  EXPECT_EQ(CutComponents(v, n, e, kStart + 5, kStart + 5.15).message, kMsgDataError);
  TracePane fast = MakePane(5, -1, East, 20);
  const PaneTrace f = *TraceByName({&fast}, "d5");
  EXPECT_EQ(CutComponents(v, n, f, kStart + 10, kStart + 20).message, kMsgDifferentRates);
  // The cut samples give the direction of the motion: up and to the south,
  // a P wave from the north.
  const PolarizationResult r = Polarization(s.v, s.h1, s.h2);
  EXPECT_LT(std::min(r.azimuthZNE, 360 - r.azimuthZNE), 3);
}

TEST(ParticleMotion, HodogramPixelsAndSpan) {
  // Motion along the diagonal: the points lie on the box's diagonal.
  std::vector<float> h, v;
  for (int k = 0; k < 50; ++k) {
    h.push_back(static_cast<float>(std::sin(k * 0.4)));
    v.push_back(static_cast<float>(std::sin(k * 0.4)));
  }
  const auto points = HodogramPoints(h.data(), v.data(), 50, 100);
  ASSERT_EQ(points.size(), 50u);
  int lowest = 100, highest = 0;
  for (const HodogramPoint& p : points) {
    EXPECT_EQ(p.x, p.y);
    lowest = std::min(lowest, p.x);
    highest = std::max(highest, p.x);
  }
  EXPECT_EQ(lowest, 0);
  EXPECT_EQ(highest, 100);
  // A still trace is widened and drawn in the middle.
  const std::vector<float> still(10, 3.0f);
  for (const HodogramPoint& p : HodogramPoints(still.data(), still.data(), 10, 100)) {
    EXPECT_EQ(p.x, 50);
    EXPECT_EQ(p.y, 50);
  }
  EXPECT_TRUE(HodogramPoints(h.data(), v.data(), 0, 100).empty());
  EXPECT_EQ(HodogramBoxSide(410), 200);

  int i0 = -1, n = -1;
  ASSERT_TRUE(HodogramSpan(100, 102, 104, 0.1, 600, i0, n));
  EXPECT_EQ(i0, 20);
  EXPECT_EQ(n, 20);
  ASSERT_TRUE(HodogramSpan(100, 104, 102, 0.1, 600, i0, n));  // a leftward drag
  EXPECT_EQ(n, 20);
  EXPECT_FALSE(HodogramSpan(100, 99, 102, 0.1, 600, i0, n));   // before the window
  EXPECT_FALSE(HodogramSpan(100, 150, 160, 0.1, 600, i0, n));  // reaches the last sample
  EXPECT_FALSE(HodogramSpan(100, 102, 104, 0, 600, i0, n));
}

}  // namespace
}  // namespace nuv
