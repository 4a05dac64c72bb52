#include "waveview/trace_pane.h"

#include <gtest/gtest.h>

#include "waveview/pane_geometry.h"
#include "waveview/trace_polyline.h"

namespace nuv {
namespace {

PaneGeometry Geo(int w = 402, int h = 200, int a = 20) {
  return {w, h, a};
}

TEST(WaveformTime, StoresWholeMillisecondsWithoutDrift) {
  CWaveformTime t;
  t.Set(100.0004);
  EXPECT_EQ(t.seconds, 100);
  EXPECT_EQ(t.milliseconds, 0);
  EXPECT_DOUBLE_EQ(t.Get(), 100.0);
  // Re-storing what was read never loses a millisecond.
  t.Set(1262303999.123);
  for (int i = 0; i < 50; ++i) t.Set(t.Get());
  EXPECT_EQ(t.milliseconds, 123);
  t.Set(1262303999.9999);
  EXPECT_EQ(t.seconds, 1262303999);
  EXPECT_EQ(t.milliseconds, 999);
  // Before 1970 the seconds are floored so seconds + ms/1000 stays the time.
  t.Set(-0.5);
  EXPECT_DOUBLE_EQ(t.Get(), -0.5);
}

TEST(PaneGeometry, TransformsFollowTheAreaBounds) {
  const PaneGeometry g = Geo();  // xL 1, xR 400, trace 16..179, yB 21, yT 184
  EXPECT_EQ(g.xR(), 400);
  EXPECT_EQ(g.traceBottom(), 179);
  EXPECT_DOUBLE_EQ(PixelToTime(g, 1000, 399, 1), 1000);
  EXPECT_DOUBLE_EQ(PixelToTime(g, 1000, 399, 400), 1399);
  EXPECT_EQ(TimeToPixel(g, 1000, 399, 1199.9), 200);
  // Amplitude at the bottom row of the area is lo, at the top hi.
  EXPECT_DOUBLE_EQ(PixelToAmplitude(g, -10, 10, 200 - 21), -10);
  EXPECT_DOUBLE_EQ(PixelToAmplitude(g, -10, 10, 200 - 184), 10);
  // A value equal to the upper limit lies on the top row, above it is clipped there too.
  EXPECT_EQ(AmplitudeToPixel(g, -10, 10, 10), g.traceTop());
  EXPECT_EQ(AmplitudeToPixel(g, -10, 10, 1e6), g.traceTop());
  EXPECT_EQ(AmplitudeToPixel(g, -10, 10, -1e6), g.traceBottom());
  EXPECT_EQ(AmplitudeToPixel(g, -10, 10, 0), 179 - 163 / 2);
  EXPECT_TRUE(g.InTraceArea(1, 16));
  EXPECT_FALSE(g.InTraceArea(5, 10));   // header
  EXPECT_FALSE(g.InTraceArea(5, 185));  // axis strip
}

TEST(PaneGeometry, TimeLabelsStayInsideThePane) {
  const PaneGeometry g{400, 100, 20};
  EXPECT_EQ(g.TimeLabelLeft(200, 50), 175);  // centred on its tick
  EXPECT_EQ(g.TimeLabelLeft(3, 50), 0);      // first label: shifted right
  EXPECT_EQ(g.TimeLabelLeft(397, 50), 350);  // last label: shifted left
  EXPECT_EQ(g.TimeLabelLeft(397, 500), 0);   // wider than the pane: from its left edge
}

TEST(TracePane, ShiftsMoveByHalfTheEvenWholeLength) {
  EXPECT_EQ(TracePane::ShiftAmount(61), 31);
  EXPECT_EQ(TracePane::ShiftAmount(60), 30);
  EXPECT_EQ(TracePane::ShiftAmount(0.4), 0);
  TracePane p;
  p.SetWindowStart(1000);
  p.windowLength = 61;
  p.ShiftLeft();
  EXPECT_DOUBLE_EQ(p.WindowStart(), 969);
  p.ShiftRight();
  p.ShiftRight();
  EXPECT_DOUBLE_EQ(p.WindowStart(), 1031);
  EXPECT_EQ(p.history.size(), 3);
}

TEST(TracePane, HorizontalZoomsAndTheirLimits) {
  TracePane p;
  p.SetWindowStart(1000);
  p.windowLength = 100;
  p.ZoomInTime();
  EXPECT_DOUBLE_EQ(p.WindowStart(), 1025);
  EXPECT_DOUBLE_EQ(p.windowLength, 50);
  p.windowLength = 1;
  p.ZoomInTime();
  EXPECT_DOUBLE_EQ(p.windowLength, 1);
  p.windowLength = 3;
  p.ZoomInTime();
  EXPECT_DOUBLE_EQ(p.windowLength, 2);  // ceil(1.5)

  p.SetWindowStart(5000.5);
  p.windowLength = 101;
  p.ZoomOutTime();
  EXPECT_DOUBLE_EQ(p.WindowStart(), 4950);
  EXPECT_DOUBLE_EQ(p.windowLength, 202);
  // Fifty hours cannot be doubled: the window stays, the history entry is still pushed.
  p.windowLength = 50 * 3600;
  const int before = p.history.size();
  p.ZoomOutTime();
  EXPECT_DOUBLE_EQ(p.windowLength, 50 * 3600);
  EXPECT_DOUBLE_EQ(p.WindowStart(), 4950);
  EXPECT_EQ(p.history.size(), before + 1);

  // Sub-second windows never collapse to an empty window: zooming out of
  // 0.4 s gives 0.8 s (trunc would give 0), of 0.7 s the whole 1 s.
  p.SetWindowStart(100);
  p.windowLength = 0.4;
  p.ZoomOutTime();
  EXPECT_DOUBLE_EQ(p.windowLength, 0.8);
  EXPECT_DOUBLE_EQ(p.WindowStart(), 99.8);
  p.windowLength = 0.7;
  p.ZoomOutTime();
  EXPECT_DOUBLE_EQ(p.windowLength, 1);
}

TEST(TracePane, TakingAnotherPanesWindowKeepsWholeSecondsButNeverNone) {
  TracePane main, other;
  main.SetWindowStart(2000.25);
  main.windowLength = 101.5;
  other.TakeWindowOf(main);
  EXPECT_DOUBLE_EQ(other.WindowStart(), 2000.25);
  EXPECT_DOUBLE_EQ(other.windowLength, 101);
  main.windowLength = 0.5;
  other.TakeWindowOf(main);
  EXPECT_DOUBLE_EQ(other.windowLength, 0.5);
  main.windowLength = 1.9;
  other.TakeWindowOf(main);
  EXPECT_DOUBLE_EQ(other.windowLength, 1);
}

TEST(TracePane, VerticalCommandsWorkOnTheWorkingSignal) {
  TracePane p;
  p.ampMin = 5;
  p.ampMax = 5;
  p.StretchVertical();
  EXPECT_DOUBLE_EQ(p.ampMin, 4);
  EXPECT_DOUBLE_EQ(p.ampMax, 6);
  p.ampMin = -8;
  p.ampMax = 8;
  p.StretchVertical();
  EXPECT_DOUBLE_EQ(p.ampMin, -4);
  EXPECT_DOUBLE_EQ(p.ampMax, 4);
  p.CompressVertical();
  EXPECT_DOUBLE_EQ(p.ampMin, -8);
  EXPECT_DOUBLE_EQ(p.ampMax, 8);
  p.MoveUp();
  EXPECT_DOUBLE_EQ(p.ampMin, -12);
  EXPECT_DOUBLE_EQ(p.ampMax, 4);
  p.MoveDown();
  EXPECT_DOUBLE_EQ(p.ampMin, -8);
  p.ampMin = p.ampMax = 3;
  p.CompressVertical();  // r = 0 counts as 1
  EXPECT_DOUBLE_EQ(p.ampMin, 2);
  EXPECT_DOUBLE_EQ(p.ampMax, 4);

  // With the transformed signal working, the source limits stay.
  p.showTransformed = true;
  p.transMin = -2;
  p.transMax = 2;
  p.StretchVertical();
  EXPECT_DOUBLE_EQ(p.transMin, -1);
  EXPECT_DOUBLE_EQ(p.transMax, 1);
  EXPECT_DOUBLE_EQ(p.ampMin, 2);
  EXPECT_FALSE(p.SameScale());  // no transformed samples held
  p.transformed = {1, 2, 3};
  EXPECT_TRUE(p.SameScale());
  EXPECT_DOUBLE_EQ(p.ampMin, -1);
  EXPECT_DOUBLE_EQ(p.ampMax, 1);
}

TEST(TracePane, HistoryKeepsTheLastTwentyWindows) {
  TracePane p;
  p.SetWindowStart(0);
  p.windowLength = 10;
  for (int i = 0; i < 25; ++i) p.ShiftRight();
  EXPECT_DOUBLE_EQ(p.WindowStart(), 125);
  EXPECT_EQ(p.history.size(), 20);
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(p.Back());
  EXPECT_DOUBLE_EQ(p.WindowStart(), 25);  // the five oldest are gone
  EXPECT_FALSE(p.Back());
  EXPECT_DOUBLE_EQ(p.WindowStart(), 25);
  // The limits come back too.
  p.ampMin = -1;
  p.ampMax = 1;
  p.StretchVertical();
  p.Back();
  EXPECT_DOUBLE_EQ(p.ampMax, 1);
}

TEST(TracePane, ZoomBoxOrdersCornersAndKeepsAtLeastOneSecond) {
  const PaneGeometry g = Geo();
  TracePane p;
  p.SetWindowStart(1000);
  p.windowLength = 399;  // one second per pixel
  p.ampMin = -10;
  p.ampMax = 10;
  p.PrepareDisplayLimits();
  p.ZoomBox(g, 300, 179, 101, 16);
  EXPECT_DOUBLE_EQ(p.WindowStart(), 1100);
  EXPECT_DOUBLE_EQ(p.windowLength, 199);
  EXPECT_DOUBLE_EQ(p.ampMin, -10);
  EXPECT_DOUBLE_EQ(p.ampMax, 10);
  // A box narrower than a second in time gives a one-second window.
  p.SetWindowStart(1000);
  p.windowLength = 3.99;
  p.ZoomBox(g, 100, 60, 150, 100);
  EXPECT_DOUBLE_EQ(p.windowLength, 1);
  EXPECT_LT(p.ampMin, p.ampMax);
  EXPECT_EQ(p.history.size(), 2);
}

TEST(TracePane, LimitsFromTheData) {
  TracePane p;
  NUVDataBlock b;
  b.rate = 1;
  b.start = 0;
  b.samples = {0, 0, 0};
  b.count = 3;
  p.blocks.Append(b);
  p.PrepareDisplayLimits();  // all zero
  EXPECT_DOUBLE_EQ(p.ampMin, -1);
  EXPECT_DOUBLE_EQ(p.ampMax, 1);

  TracePane q;
  b.samples = {0, 5, 0, 7};  // the first non-zero value starts them, later zeros count
  b.count = 4;
  q.blocks.Append(b);
  q.PrepareDisplayLimits();
  EXPECT_DOUBLE_EQ(q.ampMin, 0);
  EXPECT_DOUBLE_EQ(q.ampMax, 7);
  // Inverted limits are shown swapped; equal ones widened by 0.1.
  q.ampMin = 3;
  q.ampMax = -3;
  q.PrepareDisplayLimits();
  EXPECT_DOUBLE_EQ(q.dispMin, -3);
  EXPECT_DOUBLE_EQ(q.dispMax, 3);
  q.ampMin = q.ampMax = 2;
  q.PrepareDisplayLimits();
  EXPECT_DOUBLE_EQ(q.dispMin, 1.9);

  // Without any sample the limits stay unset for the next load.
  TracePane empty;
  empty.PrepareDisplayLimits();
  EXPECT_EQ(empty.ampMin, 0);
  EXPECT_EQ(empty.ampMax, 0);
}

TEST(TracePane, WindowSampleArrayAndCentre) {
  TracePane p;
  p.SetWindowStart(100);
  p.windowLength = 10;
  p.channelRate = 1;
  NUVDataBlock a;
  a.rate = 1;
  a.start = 98;  // starts at index floor(-2 * 9 / 10) = -2
  a.samples = {9, 9, 1, 2, 3};
  a.count = 5;
  NUVDataBlock b = a;
  b.start = 106;  // index trunc(6 * 9 / 10) = 5
  b.samples = {-4, 0, 6, 7, 8, 50};
  b.count = 6;
  p.blocks.Append(a);
  p.blocks.Append(b);
  const std::vector<float> w = p.WindowSampleArray(1);
  ASSERT_EQ(w.size(), 10u);
  const std::vector<float> expected = {1, 2, 3, 0, 0, -4, 0, 6, 7, 8};
  EXPECT_EQ(w, expected);
  // Centre ignores zero samples.
  ASSERT_TRUE(p.Centre());
  EXPECT_DOUBLE_EQ(p.ampMin, -4);
  EXPECT_DOUBLE_EQ(p.ampMax, 8);
  // An impossible window size reports a failure and keeps the limits.
  p.windowLength = 1e12;
  EXPECT_FALSE(p.Centre());
  EXPECT_DOUBLE_EQ(p.ampMax, 8);
  // Transformed: all samples, the first starts them.
  p.showTransformed = true;
  p.transformed = {0.5f, 3, -1};
  ASSERT_TRUE(p.Centre());
  EXPECT_DOUBLE_EQ(p.transMin, -1);
  EXPECT_DOUBLE_EQ(p.transMax, 3);
}

TEST(TracePane, IntervalFromPixels) {
  const PaneGeometry g = Geo();
  TracePane p;
  p.SetWindowStart(0);
  p.windowLength = 399;
  p.SetIntervalFromPixels(g, 300, 100);
  EXPECT_TRUE(p.hasInterval);
  EXPECT_DOUBLE_EQ(p.intervalStart, 99);
  EXPECT_DOUBLE_EQ(p.intervalEnd, 299);
  p.CentreIntervalAt(g, 51);
  EXPECT_DOUBLE_EQ(p.intervalStart, -50);
  EXPECT_DOUBLE_EQ(p.intervalEnd, 150);
  p.ClearInterval();
  p.CentreIntervalAt(g, 200);  // nothing to move
  EXPECT_FALSE(p.hasInterval);
}

TEST(TracePane, HeaderAndTransformNames) {
  StationTable table;
  CScreenFields s;
  s.code = "ABC";
  s.channels[0].name = "BHZ";
  s.channels[0].rate = 40;
  s.selection.year = 2009;
  s.selection.month = 8;
  s.selection.day = 5;
  s.selection.lengthMinutes = 2;
  table.records().push_back(s);
  TracePane p;
  p.number = 3;
  ChannelViewState view;
  view.ampMax = 7;
  p.PushHistory();
  p.Bind(table, view, 0, 0);
  EXPECT_TRUE(p.history.empty());
  EXPECT_DOUBLE_EQ(p.windowLength, 120);
  EXPECT_DOUBLE_EQ(p.ampMax, 7);
  EXPECT_EQ(p.HeaderText(), "D3    ABC[BHZ-(\?\?)] 40.000 samples/s 2009-Aug-05");
  p.isBeam = true;
  EXPECT_EQ(p.HeaderText(), "D3 #BEAM#   ABC[BHZ-(\?\?)] 40.000 samples/s 2009-Aug-05");
  EXPECT_EQ(p.TransformName(), "unfilter");
  p.transformed = {1};
  p.transformCode = 0;
  p.filter = {0.5, 2, 3, true};
  EXPECT_EQ(p.TransformName(), "0.5000 2.0000 3 B 0");
  p.transformCode = 1012;
  EXPECT_EQ(p.TransformName(), "KIRNOS_A");
  p.transformCode = 1008;
  EXPECT_EQ(p.TransformName(), "");
}

TEST(TraceDecimation, KeepsTheExtremesOfEachColumn) {
  // 4 columns of 1 s each: xL 1, xR 5 for a width of 7.
  TraceView view;
  view.geometry = {7, 120, 20};
  view.windowStart = 0;
  view.windowLength = 4;
  view.lo = 0;
  view.hi = 83;                                     // one row per unit: bottom 99, top 16
  const float s[] = {10, 20, 5, 30, 30, 30, 1, 2};  // 2 samples per second
  std::vector<PixelPoint> out;
  DecimateSamples(view, s, 8, 2.0, 0.0, out);
  const std::vector<PixelPoint> expected = {{1, 79}, {1, 89}, {2, 69}, {2, 94}, {3, 69}, {4, 97}};
  EXPECT_EQ(out, expected);
  // Columns at x <= 0 are not emitted.
  DecimateSamples(view, s, 8, 2.0, -1.0, out);
  EXPECT_EQ(out.front().x, 1);
  // A sample equal to the upper limit is drawn on the top row, not beyond it.
  const float top[] = {83, 200};
  DecimateSamples(view, top, 2, 1.0, 0.0, out);
  EXPECT_EQ(out[0].y, 16);
  EXPECT_EQ(out[1].y, 16);
  // Blocks are never joined.
  NUVDataBlockArray arr;
  NUVDataBlock b;
  b.rate = 2;
  b.samples.assign(s, s + 4);
  b.count = 4;
  arr.Append(b);
  b.start = 3;
  arr.Append(b);
  EXPECT_EQ(DecimateBlocks(view, arr).size(), 2u);
}

TEST(TraceDecimation, SkipsSamplesFarOutsideTheWindow) {
  TraceView view;
  view.geometry = {102, 120, 20};
  view.windowStart = 1000;
  view.windowLength = 100;
  view.lo = -1;
  view.hi = 1;
  std::vector<float> samples(100000, 0.5f);
  std::vector<PixelPoint> out;
  DecimateSamples(view, samples.data(), 100000, 100.0, 0.0,
                  out);  // 0..1000 s: ends at the window start
  ASSERT_FALSE(out.empty());
  EXPECT_LE(out.size(), 4u);
  EXPECT_LE(out.back().x, 1);
}

}  // namespace
}  // namespace nuv
