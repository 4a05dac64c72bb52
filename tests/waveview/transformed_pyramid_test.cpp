// The pyramid of a pane's transformed samples, and pyramids asked about a
// part of their array, against a scan of every sample; a transformed signal
// replaced after the pyramid was built is never drawn from the old pyramid.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "waveview/minmax_pyramid.h"
#include "waveview/trace_pane.h"
#include "waveview/trace_polyline.h"

namespace nuv {
namespace {

std::vector<float> Noise(std::mt19937& rng, int n) {
  std::normal_distribution<float> value(0, 50);
  std::vector<float> v(static_cast<size_t>(n));
  for (float& x : v) x = value(rng);
  return v;
}

TEST(TransformedPyramid, MatchesAFullScanOfTheTransformedSamples) {
  std::mt19937 rng(21);
  for (int n : {17, 1001, 65537, 200003}) {
    SCOPED_TRACE(n);
    TracePane pane;
    pane.SetWindowStart(100);
    pane.windowLength = n / 50.0;
    pane.transRate = 50;
    pane.transformed = Noise(rng, n);
    pane.BuildTransformedPyramid();
    const MinMaxPyramid* pyramid = pane.TransformedPyramid();
    ASSERT_NE(pyramid, nullptr);
    std::uniform_int_distribution<int> index(0, n - 1);
    for (int k = 0; k < 200; ++k) {
      int a = index(rng), b = index(rng);
      if (a > b) std::swap(a, b);
      const auto [lo, hi] =
          std::minmax_element(pane.transformed.begin() + a, pane.transformed.begin() + b + 1);
      const MinMaxPyramid::Extremes e = pyramid->Range(a, b);
      EXPECT_EQ(e.lo, *lo);
      EXPECT_EQ(e.hi, *hi);
    }
    // Drawn through the pyramid, point for point as the scan draws it.
    for (double zoom : {1.0, 0.37, 0.01}) {
      TraceView view{{1600, 300, 20},
                     100 + pane.windowLength * (1 - zoom) / 2,
                     pane.windowLength * zoom,
                     -150,
                     150};
      std::vector<PixelPoint> fast, slow;
      DecimateSamples(view, pane.transformed.data(), n, 50, 100, fast, pyramid);
      DecimateSamples(view, pane.transformed.data(), n, 50, 100, slow);
      EXPECT_EQ(fast, slow);
    }
  }
}

TEST(TransformedPyramid, AReplacedSignalIsNotDrawnFromTheOldPyramid) {
  std::mt19937 rng(4);
  TracePane pane;
  EXPECT_EQ(pane.TransformedPyramid(), nullptr);  // nothing transformed
  pane.transformed = Noise(rng, 5000);
  pane.BuildTransformedPyramid();
  EXPECT_NE(pane.TransformedPyramid(), nullptr);
  pane.transformed = Noise(rng, 4000);
  EXPECT_EQ(pane.TransformedPyramid(), nullptr);
  pane.transformed.clear();
  pane.BuildTransformedPyramid();
  EXPECT_EQ(pane.TransformedPyramid(), nullptr);
}

TEST(TransformedPyramid, APartOfTheArrayIsDrawnFromThePyramidOfTheWhole) {
  std::mt19937 rng(8);
  const std::vector<float> v = Noise(rng, 100000);
  MinMaxPyramid pyramid;
  pyramid.Build(v.data(), static_cast<int>(v.size()));
  EXPECT_TRUE(pyramid.Holds(v.data() + 777, 5000));
  EXPECT_FALSE(pyramid.Holds(v.data() + 99000, 1001));  // runs past the end
  EXPECT_FALSE(pyramid.Holds(v.data() - 1, 10));        // starts before it
  std::uniform_int_distribution<int> index(0, 99999);
  for (int k = 0; k < 50; ++k) {
    int a = index(rng), b = index(rng);
    if (a > b) std::swap(a, b);
    const int count = b - a + 1;
    TraceView view{{1600, 300, 20}, a / 100.0, count / 100.0 * 0.8, -120, 120};
    std::vector<PixelPoint> fast, slow;
    DecimateSamples(view, v.data() + a, count, 100, a / 100.0, fast, &pyramid);
    DecimateSamples(view, v.data() + a, count, 100, a / 100.0, slow);
    EXPECT_EQ(fast, slow) << a << " " << b;
  }
}

}  // namespace
}  // namespace nuv
