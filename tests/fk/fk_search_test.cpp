#include "fk/fk_search.h"

#include <gtest/gtest.h>

#include <cmath>

#include "fk/fk_array.h"
#include "fk/fk_beam.h"

namespace nuv {
namespace {

using test::PlaneWave;
using test::PlaneWaveArray;
using test::SquareArray;

double AngleDifference(double a, double b) {
  const double d = std::fmod(std::fabs(a - b), 360.0);
  return std::min(d, 360.0 - d);
}

TEST(FkSearch, PlaneWaveOverNineStationsGivesItsAzimuthAndSlowness) {
  const PlaneWave waves[] = {{60, 0.12}, {250, 0.08}, {0, 0.2}, {135, 0.3}, {300, 0.05}};
  for (const PlaneWave& wave : waves) {
    SCOPED_TRACE(wave.azimuth);
    FkSearchResult r;
    ASSERT_EQ(FkSearch(PlaneWaveArray(SquareArray(), wave), 100, FkGrid{}, r), "");
    EXPECT_LT(AngleDifference(r.azimuth, wave.azimuth), 6.0);
    EXPECT_NEAR(r.slowness, wave.slowness, 0.012);
    EXPECT_DOUBLE_EQ(r.highest, 1.0);
    EXPECT_GT(r.lowest, 0.0);
    EXPECT_LT(r.lowest, 0.5);
    // The map spans the whole default grid.
    EXPECT_GE(r.grid.size(), 200u * 200u);
    EXPECT_LE(r.grid.size(), 201u * 201u);
  }
}

TEST(FkSearch, SameResultOnOneOrManyWorkers) {
  const auto panes = PlaneWaveArray(SquareArray(), {200, 0.15});
  FkGrid grid;
  grid.intervals = 60;
  FkSearchResult one, many;
  ASSERT_EQ(FkSearch(panes, 100, grid, one, 1), "");
  ASSERT_EQ(FkSearch(panes, 100, grid, many, 4), "");
  ASSERT_EQ(one.grid.size(), many.grid.size());
  for (size_t i = 0; i < one.grid.size(); ++i) EXPECT_EQ(one.grid[i].power, many.grid[i].power);
  EXPECT_EQ(one.bestPx, many.bestPx);
  EXPECT_EQ(one.bestPy, many.bestPy);
}

TEST(FkSearch, ResampledPaneTakesTheSlowPathAndStillFindsTheWave) {
  // One station recorded at 200 samples/s against a 100 samples/s reference.
  const PlaneWave wave{100, 0.1};
  auto panes = PlaneWaveArray(SquareArray(), wave);
  const auto fast = PlaneWaveArray(SquareArray(), wave, 200);
  panes[4] = fast[4];
  FkSearchResult r;
  ASSERT_EQ(FkSearch(panes, 100, FkGrid{}, r), "");
  EXPECT_LT(AngleDifference(r.azimuth, wave.azimuth), 6.0);
  EXPECT_NEAR(r.slowness, wave.slowness, 0.012);
}

TEST(FkSearch, DegenerateArraysAreRefused) {
  const std::string message =
      "Для F-K анализа нужны по крайней мере две станции с разными смещениями (DNORTH, DEAST).";
  FkSearchResult r;
  r.azimuth = -1;
  // One station.
  EXPECT_EQ(FkSearch(PlaneWaveArray({{0.f, 0.f}}, {}), 100, FkGrid{}, r), message);
  // Three stations at one place (offsets NULL in the station table read as 0).
  EXPECT_EQ(FkSearch(PlaneWaveArray({{0.f, 0.f}, {0.f, 0.f}, {0.f, 0.f}}, {}), 100, FkGrid{}, r),
            message);
  // Two positions, but the second station has no interval.
  auto panes = PlaneWaveArray({{0.f, 0.f}, {1.f, 0.f}}, {});
  panes[1].hasInterval = false;
  EXPECT_EQ(FkSearch(panes, 100, FkGrid{}, r), message);
  EXPECT_EQ(FkSearch({}, 100, FkGrid{}, r), message);
  // A channel without a sampling rate.
  panes = PlaneWaveArray({{0.f, 0.f}, {1.f, 0.f}}, {});
  panes[1].rate = 0;
  EXPECT_NE(FkSearch(panes, 100, FkGrid{}, r).find("частота дискретизации"), std::string::npos);
  // No reference rate, and an interval shorter than one slot.
  panes = PlaneWaveArray({{0.f, 0.f}, {1.f, 0.f}}, {});
  EXPECT_NE(FkSearch(panes, 0, FkGrid{}, r), "");
  for (FkPane& p : panes) p.intervalEnd = p.intervalStart + 0.001;
  EXPECT_NE(FkSearch(panes, 100, FkGrid{}, r), "");
  EXPECT_EQ(r.azimuth, -1) << "a refused search leaves the previous result";
}

TEST(FkSearch, EqualPowersKeepTheFirstPointInGridOrder) {
  // A constant signal well beyond the window on both sides: every beam is
  // the same, so the first grid point (min, min) stays the best.
  auto panes = PlaneWaveArray(SquareArray(), {});
  for (FkPane& p : panes) std::fill(p.samples.begin(), p.samples.end(), 1.0f);
  FkGrid grid;
  grid.intervals = 20;
  for (unsigned threads : {1u, 3u}) {
    FkSearchResult r;
    ASSERT_EQ(FkSearch(panes, 100, grid, r, threads), "");
    EXPECT_EQ(r.bestPx, -0.5f);
    EXPECT_EQ(r.bestPy, -0.5f);
    EXPECT_NEAR(r.azimuth, 225.0, 1e-9);
    EXPECT_NEAR(r.slowness, 0.7071, 1e-4);
    EXPECT_EQ(r.lowest, 1.0);
    EXPECT_EQ(r.highest, 1.0);
  }
}

TEST(FkSearch, SilentTracesHaveNoDirection) {
  auto panes = PlaneWaveArray(SquareArray(), {});
  for (FkPane& p : panes) std::fill(p.samples.begin(), p.samples.end(), 0.0f);
  FkSearchResult r;
  EXPECT_EQ(FkSearch(panes, 100, FkGrid{}, r),
            "Все лучи имеют нулевую мощность: направление не определено.");
}

TEST(FkGrid, AxisAndParameterRanges) {
  const std::vector<float> axis = FkAxis(FkGrid{});
  ASSERT_GE(axis.size(), 200u);
  ASSERT_LE(axis.size(), 201u);
  EXPECT_EQ(axis.front(), -0.5f);
  EXPECT_NEAR(axis[1] - axis[0], 0.005, 1e-6);
  EXPECT_LT(axis.back(), 0.5f);
  EXPECT_EQ(FkGridError(FkGrid{}), "");
  EXPECT_EQ(FkGridError({-20.f, 20.f, 2}), "");
  EXPECT_EQ(FkGridError({-20.f, 20.f, 1000}), "");
  EXPECT_EQ(FkGridError({-20.5f, 0.5f, 200}), "Введите число от -20 до 20.");
  EXPECT_EQ(FkGridError({-0.5f, 21.f, 200}), "Введите число от -20 до 20.");
  EXPECT_EQ(FkGridError({-0.5f, NAN, 200}), "Введите число от -20 до 20.");
  EXPECT_EQ(FkGridError({-0.5f, 0.5f, 1}), "Введите целое число от 2 до 1000.");
  EXPECT_EQ(FkGridError({-0.5f, 0.5f, 1001}), "Введите целое число от 2 до 1000.");
  // An empty grid would answer with its starting point: refused.
  EXPECT_EQ(FkGridError({0.5f, 0.5f, 200}), "Минимум Px и Py должен быть меньше максимума.");
  EXPECT_EQ(FkGridError({0.6f, 0.5f, 200}), "Минимум Px и Py должен быть меньше максимума.");
  EXPECT_TRUE(FkAxis({0.5f, 0.5f, 200}).empty());
}

TEST(FkGrid, AzimuthIsClockwiseFromNorthTowardsTheSource) {
  EXPECT_DOUBLE_EQ(FkAzimuth(-0.1, 0), 270.0);
  EXPECT_DOUBLE_EQ(FkAzimuth(0, 0.1), 0.0);
  EXPECT_DOUBLE_EQ(FkAzimuth(0.1, 0), 90.0);
  EXPECT_DOUBLE_EQ(FkAzimuth(0, -0.1), 180.0);
  EXPECT_DOUBLE_EQ(FkAzimuth(-0.5, -0.5), 225.0);
}

TEST(FkDelay, SlotsOfShiftedSamples) {
  FkPane p;
  p.rate = 8;
  p.start = 100;
  p.samples = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  std::vector<float> beam(5, 0.0f);
  // Window [100.25, 100.875] with 5 slots; a delay of 0.125 s moves sample k
  // to 100 + k/8 + 0.125: samples 1..6 land in slots 0..5 and slot 5 (the
  // window's end) is dropped.
  FkAddDelayed(p, 0.125, 100.25, 100.875, beam.data(), beam.size());
  EXPECT_EQ(beam, (std::vector<float>{2, 3, 4, 5, 6}));
  EXPECT_TRUE(FkPaneRun(p, 0.125, 100.25, 100.875, 5).contiguous);
  // Times that land on boundaries only up to rounding still fill their slots.
  p.rate = 10;
  p.start = 1234567890.1;
  std::fill(beam.begin(), beam.end(), 0.0f);
  FkAddDelayed(p, 0.2, p.start + 0.3, p.start + 0.8, beam.data(), beam.size());
  EXPECT_EQ(beam, (std::vector<float>{2, 3, 4, 5, 6}));
  // Data wholly after the window add nothing, nor wholly before it.
  std::fill(beam.begin(), beam.end(), 0.0f);
  FkAddDelayed(p, 50, p.start + 0.3, p.start + 0.8, beam.data(), beam.size());
  FkAddDelayed(p, -50, p.start + 0.3, p.start + 0.8, beam.data(), beam.size());
  EXPECT_EQ(beam, std::vector<float>(5, 0.0f));
  // Twice the beam's rate: two samples share each slot.
  p.rate = 16;
  p.start = 100;
  std::fill(beam.begin(), beam.end(), 0.0f);
  FkAddDelayed(p, 0.0, 100.0, 100.625, beam.data(), beam.size());
  EXPECT_FALSE(FkPaneRun(p, 0.0, 100.0, 100.625, 5).contiguous);
  EXPECT_EQ(beam, (std::vector<float>{1 + 2, 3 + 4, 5 + 6, 7 + 8, 9 + 10}));
}

TEST(FkBeam, MeanOfShiftedTracesAndEveryPaneCounts) {
  auto panes = PlaneWaveArray({{0.f, 0.f}, {1.f, 0.f}, {0.f, 1.f}}, {90, 0.2, 30, 0.0}, 10, 60);
  FkBeamReference ref{0.f, 0.f, panes[0].start, 60.9, 10};
  FkBeam beam;
  ASSERT_EQ(FormFkBeam(panes, ref, 90, 0.2, beam), "");
  ASSERT_EQ(beam.samples.size(), 600u);  // trunc(60.9) s at 10 samples/s
  EXPECT_EQ(beam.start, panes[0].start);
  EXPECT_EQ(beam.rate, 10);
  // The wave from the east: the eastern station leads by 0.2 s (two
  // samples), so the aligned beam equals the mean of the aligned traces.
  for (size_t i = 10; i < 590; ++i) {
    const float expected =
        (panes[0].samples[i] + panes[1].samples[i - 2] + panes[2].samples[i]) / 3;
    ASSERT_NEAR(beam.samples[i], expected, 1e-5) << i;
  }
  // A fourth pane whose data start after the window still divides.
  FkPane late = panes[0];
  late.start += 1000;
  auto four = panes;
  four.push_back(late);
  FkBeam quarter;
  ASSERT_EQ(FormFkBeam(four, ref, 90, 0.2, quarter), "");
  for (size_t i = 10; i < 590; ++i) ASSERT_NEAR(quarter.samples[i], beam.samples[i] * 3 / 4, 1e-5);
  EXPECT_NE(FormFkBeam({}, ref, 90, 0.2, beam), "");
  EXPECT_NE(FormFkBeam(panes, ref, NAN, 0.2, beam), "");
  ref.windowLength = 0.5;  // less than one whole second
  EXPECT_NE(FormFkBeam(panes, ref, 90, 0.2, beam), "");
}

TEST(FkColours, IndexLimitedToTheScale) {
  EXPECT_EQ(FkColourIndex(0.2, 0.2, 1.0), 0);
  EXPECT_EQ(FkColourIndex(1.0, 0.2, 1.0), 9);
  EXPECT_EQ(FkColourIndex(0.6, 0.2, 1.0), 4);
  EXPECT_EQ(FkColourIndex(5.0, 0.2, 1.0), 9);
  EXPECT_EQ(FkColourIndex(-1.0, 0.2, 1.0), 0);
  EXPECT_EQ(FkColourIndex(0.5, 1.0, 1.0), 0);  // a scale without width
  EXPECT_EQ(FkColourIndex(NAN, 0.0, 1.0), 0);
  EXPECT_EQ(kFkColours[2], kFkColours[3]);
}

}  // namespace
}  // namespace nuv
