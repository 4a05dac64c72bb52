// The view operations of a data window: zoom, stretch, shift, auto-scale and
// the scale dialog's values, at their edges.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "workspace/dsp_window.h"

namespace nuv {
namespace {

DspWindow Ramp(int n) {
  DspWindow w;
  std::vector<double> v;
  for (int i = 0; i < n; ++i) v.push_back(i);
  w.SetData(v, 0.5);
  return w;
}

TEST(DspView, ZoomKeepsCentresAndIndexBounds) {
  DspWindow w = Ramp(101);  // 0..100, values 0..100
  ZoomWindow(w, 1 / 1.5);
  EXPECT_DOUBLE_EQ((w.yMax + w.yMin) / 2, 50);
  EXPECT_NEAR(w.yMax - w.yMin, 100 / 1.5, 1e-9);
  EXPECT_NEAR((w.first + w.last) / 2.0, 50, 1);
  for (int i = 0; i < 30; ++i) ZoomWindow(w, 1 / 1.5);
  EXPECT_GE(w.last, w.first + 1);
  EXPECT_GE(w.first, 0);
  // Zooming out without end neither overflows nor goes below sample 0.
  for (int i = 0; i < 200; ++i) ZoomWindow(w, 1.5);
  EXPECT_EQ(w.first, 0);
  EXPECT_LE(w.last, kDspMaxIndex);
  EXPECT_GT(w.last, 100);
}

TEST(DspView, EmptyWindowOperationsStayDefined) {
  DspWindow w;
  ZoomWindow(w, 1 / 1.5);
  EXPECT_EQ(w.first, 0);
  EXPECT_EQ(w.last, 1);
  AutoScale(w);  // fewer than two samples: nothing
  EXPECT_EQ(w.last, 1);
  ScaleValues(w, 1 / 1.5);
  EXPECT_NEAR(w.yMax, 0.1, 1e-12);
  EXPECT_NEAR(w.yMin, -0.1, 1e-12);
  ShiftIndexes(w, -1);
  EXPECT_EQ(w.first, 0);
}

TEST(DspView, StretchShrinkAndShift) {
  DspWindow w = Ramp(81);
  ScaleValues(w, 1.5);
  EXPECT_DOUBLE_EQ(w.yMax, 40 + 60);
  ShiftValues(w, +1);  // a quarter of the half-range (60) up
  EXPECT_DOUBLE_EQ(w.yMax, 115);
  ShiftValues(w, -1);
  EXPECT_DOUBLE_EQ(w.yMax, 100);
  ShiftIndexes(w, +1);  // width 80: 10 samples
  EXPECT_EQ(w.first, 10);
  EXPECT_EQ(w.last, 90);
  ShiftIndexes(w, -1);
  ShiftIndexes(w, -1);
  EXPECT_EQ(w.first, 0);
  EXPECT_EQ(w.last, 80);
  w.xLocked = true;
  ScaleIndexes(w, 1 / 1.5);
  ShiftIndexes(w, +1);
  ZoomWindow(w, 1 / 1.5);
  EXPECT_EQ(w.first, 0);
  EXPECT_EQ(w.last, 80);
  w.yMin = w.yMax = 7;
  AutoScale(w);  // the values follow even with X locked
  EXPECT_EQ(w.yMin, 0);
  EXPECT_EQ(w.yMax, 80);
}

TEST(DspView, ScaleDialogValuesAreCheckedAndTruncated) {
  DspWindow w = Ramp(10);  // dx 0.5
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(CheckScale({0, -1, 0, 1, false}), ScaleFault::kXMax);
  EXPECT_EQ(CheckScale({0, 1, 0, -1, false}), ScaleFault::kYMax);
  EXPECT_EQ(CheckScale({nan, 1, 0, 1, false}), ScaleFault::kXMin);
  EXPECT_EQ(CheckScale({0, 1, 0, INFINITY, false}), ScaleFault::kYMax);
  EXPECT_EQ(CheckScale({1, 1, 2, 2, false}), ScaleFault::kNone);
  ApplyScale(w, {1.2, 3.9, -1, 1, true});
  EXPECT_EQ(w.first, 2);
  EXPECT_EQ(w.last, 7);
  EXPECT_TRUE(w.xLocked);
  ApplyScale(w, {-5, 1e300, -1, 1, false});
  EXPECT_EQ(w.first, 0);
  EXPECT_EQ(w.last, kDspMaxIndex);
  const DspScale before = CurrentScale(w);
  w.dx = 0;  // nothing happens
  ApplyScale(w, {0, 1, 5, 6, false});
  EXPECT_EQ(w.yMin, before.yMin);
  EXPECT_TRUE(ValidTimeStep(0));
  EXPECT_TRUE(ValidTimeStep(1e29));
  EXPECT_FALSE(ValidTimeStep(1.1e29));
  EXPECT_FALSE(ValidTimeStep(-0.01));
  EXPECT_FALSE(ValidTimeStep(nan));
}

TEST(DspView, OverlaySpanFollowsTheWindowAndStaysInTheOverlay) {
  DspWindow w = Ramp(101);  // dx 0.5
  DspOverlay o;
  o.data.assign(1000, 1.0);
  o.dx = 0.01;
  w.first = 10;
  w.last = 20;  // 5 s to 10 s
  IndexSpan span = OverlaySpan(w, o);
  EXPECT_EQ(span.first, 500);
  EXPECT_EQ(span.last, 1000);
  // Zoomed far out, the visible times lie a hundred million overlay samples
  // beyond the end: the span still covers the whole overlay.
  for (int i = 0; i < 200; ++i) ZoomWindow(w, 1.5);
  ASSERT_EQ(w.last, kDspMaxIndex);
  span = OverlaySpan(w, o);
  EXPECT_EQ(span.first, 0);
  EXPECT_EQ(span.last, 1000);
  // A step of 0 or one that is not a number gives nothing to draw.
  o.dx = 0;
  span = OverlaySpan(w, o);
  EXPECT_EQ(span.first, 0);
  EXPECT_EQ(span.last, 0);
  o.dx = std::numeric_limits<double>::quiet_NaN();
  span = OverlaySpan(w, o);
  EXPECT_EQ(span.first, 0);
  EXPECT_EQ(span.last, 0);
}

}  // namespace
}  // namespace nuv
