// Extremes from the min/max pyramid against a scan of every sample: ranges
// of every length and alignment, and whole pictures of random traces with
// gaps, odd lengths and every kind of window, which must come out point for
// point as the full scan draws them.

#include "waveview/minmax_pyramid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "waveview/trace_pane.h"
#include "waveview/trace_polyline.h"

namespace nuv {
namespace {

std::vector<float> RandomSamples(std::mt19937& rng, int n) {
  std::normal_distribution<float> noise(0, 100);
  std::vector<float> v(static_cast<size_t>(n));
  float walk = 0;
  for (float& x : v) {
    walk += noise(rng);
    x = walk + noise(rng);
  }
  return v;
}

TEST(MinMaxPyramid, EveryRangeGivesTheExtremesOfAScan) {
  std::mt19937 rng(7);
  for (int n : {1, 15, 16, 17, 63, 64, 65, 1000, 4097, 70001}) {
    SCOPED_TRACE(n);
    const std::vector<float> v = RandomSamples(rng, n);
    MinMaxPyramid p;
    p.Build(v.data(), n);
    EXPECT_EQ(p.empty(), n < MinMaxPyramid::kBase);
    if (p.empty()) continue;
    std::uniform_int_distribution<int> index(0, n - 1);
    for (int trial = 0; trial < 3000; ++trial) {
      int a = index(rng), b = index(rng);
      if (trial % 3 == 0) b = std::min(n - 1, a + trial % 200);  // short ranges
      if (a > b) std::swap(a, b);
      const auto [lo, hi] = std::minmax_element(v.begin() + a, v.begin() + b + 1);
      const MinMaxPyramid::Extremes e = p.Range(a, b);
      ASSERT_EQ(e.lo, *lo) << a << ".." << b;
      ASSERT_EQ(e.hi, *hi) << a << ".." << b;
    }
    const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
    EXPECT_EQ(p.Range(0, n - 1).lo, *lo);
    EXPECT_EQ(p.Range(0, n - 1).hi, *hi);
  }
}

TEST(MinMaxPyramid, StoresAFractionOfTheSamplesAndRefusesNaN) {
  std::vector<float> v(1 << 20, 1.0f);
  MinMaxPyramid p;
  p.Build(v.data(), static_cast<int>(v.size()));
  // Two floats per 16 samples, then an eighth of that per level: about a
  // seventh of the samples' own size.
  EXPECT_LT(p.MemoryBytes(), v.size() * sizeof(float) / 5);
  EXPECT_GT(p.levels(), 5);
  EXPECT_TRUE(p.Covers(v.data(), static_cast<int>(v.size())));
  EXPECT_FALSE(p.Covers(v.data(), static_cast<int>(v.size()) - 1));

  // A NaN anywhere, even in the tail beyond the last full run, leaves no levels.
  for (size_t at : {size_t{5}, v.size() / 2, v.size() - 3}) {
    std::vector<float> w(v.begin(), v.end() - 7);
    w[std::min(at, w.size() - 1)] = std::numeric_limits<float>::quiet_NaN();
    p.Build(w.data(), static_cast<int>(w.size()));
    EXPECT_TRUE(p.empty()) << at;
    EXPECT_FALSE(p.Covers(w.data(), static_cast<int>(w.size())));
  }
}

// Draws a random trace through random windows with and without pyramids.
class PyramidPicture : public ::testing::TestWithParam<int> {};

TEST_P(PyramidPicture, IsPointForPointTheFullScan) {
  std::mt19937 rng(static_cast<unsigned>(GetParam()));
  std::uniform_int_distribution<int> lengths(1, 200000);
  std::uniform_real_distribution<double> unit(0, 1);
  const double rate = GetParam() % 2 ? 100 : 40;
  // Blocks with gaps and overlaps between them and odd lengths.
  std::vector<std::vector<float>> blocks;
  std::vector<double> starts;
  double t = 1000;
  for (int b = 0; b < 4; ++b) {
    blocks.push_back(RandomSamples(rng, lengths(rng) | 1));
    starts.push_back(t);
    t += blocks.back().size() / rate + (unit(rng) - 0.3) * 600;
  }
  std::vector<MinMaxPyramid> pyramids(blocks.size());
  for (size_t b = 0; b < blocks.size(); ++b)
    pyramids[b].Build(blocks[b].data(), static_cast<int>(blocks[b].size()));

  std::vector<TraceColumnCache> caches(blocks.size());
  const double span = t - 1000;
  for (int trial = 0; trial < 40; ++trial) {
    TraceView view;
    view.geometry = {static_cast<int>(50 + unit(rng) * 1600), 120, 20};
    // Windows from a fraction of a second to twice the whole trace, some
    // starting before it.
    view.windowLength = trial % 5 == 0 ? 0.5 + unit(rng) * 3 : span * (0.01 + 2 * unit(rng));
    view.windowStart = 1000 + (unit(rng) - 0.2) * span;
    view.lo = -3000 + unit(rng) * 1000;
    view.hi = trial % 7 == 0 ? view.lo : view.lo + unit(rng) * 8000;  // flat limits too
    if (trial % 11 == 0) std::swap(view.lo, view.hi);                 // inverted limits
    for (size_t b = 0; b < blocks.size(); ++b) {
      SCOPED_TRACE(testing::Message() << "trial " << trial << " block " << b);
      std::vector<PixelPoint> scan, fast;
      const int n = static_cast<int>(blocks[b].size());
      DecimateSamples(view, blocks[b].data(), n, rate, starts[b], scan);
      DecimateSamples(view, blocks[b].data(), n, rate, starts[b], fast, &pyramids[b]);
      ASSERT_EQ(fast, scan);
      // Columns kept for the window serve new limits as a scan would.
      TraceView stretched = view;
      stretched.hi = view.lo + (view.hi - view.lo) * 0.37;
      DecimateSamples(view, blocks[b].data(), n, rate, starts[b], fast, &pyramids[b], &caches[b]);
      DecimateSamples(stretched, blocks[b].data(), n, rate, starts[b], scan);
      DecimateSamples(stretched, blocks[b].data(), n, rate, starts[b], fast, &pyramids[b],
                      &caches[b]);
      ASSERT_EQ(fast, scan);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, PyramidPicture, ::testing::Range(1, 9));

TEST(PyramidPicture, AStalePyramidIsNotUsed) {
  std::vector<float> v(1000, 5.0f);
  MinMaxPyramid p;
  p.Build(v.data(), 1000);
  const std::vector<float> other(1000, -5.0f);
  TraceView view{{402, 200, 20}, 0, 10, -10, 10};
  std::vector<PixelPoint> scan, fast;
  DecimateSamples(view, other.data(), 1000, 100, 0, scan);
  DecimateSamples(view, other.data(), 1000, 100, 0, fast, &p);
  EXPECT_EQ(fast, scan);

  // New samples in the same array and a new pyramid over them: the columns
  // kept from the old ones are not taken.
  TraceColumnCache cache;
  DecimateSamples(view, v.data(), 1000, 100, 0, fast, &p, &cache);
  std::fill(v.begin(), v.end(), -5.0f);
  p.Build(v.data(), 1000);
  DecimateSamples(view, v.data(), 1000, 100, 0, fast, &p, &cache);
  EXPECT_EQ(fast, scan);
}

TEST(PaneLimits, PyramidsGiveTheLimitsOfAScanFromTheFirstNonZeroSample) {
  std::mt19937 rng(3);
  for (int variant = 0; variant < 3; ++variant) {
    TracePane scanned, fast;
    for (TracePane* pane : {&scanned, &fast}) {
      std::mt19937 copy = rng;
      for (int b = 0; b < 3; ++b) {
        NUVDataBlock block;
        block.samples = RandomSamples(copy, 5001 + 977 * b);
        // Leading zeros do not start the limits; the zeros after them count.
        std::fill_n(block.samples.begin(), variant == 0 ? 0 : 40 * (b + 1), 0.0f);
        if (variant == 2) std::fill(block.samples.begin() + 100, block.samples.end(), -1.0f);
        block.count = static_cast<int>(block.samples.size());
        block.rate = 100;
        block.start = 1000 + b * 100;
        pane->blocks.Append(std::move(block));
      }
    }
    rng.discard(10);
    fast.BuildPyramids();
    ASSERT_NE(fast.PyramidOf(0), nullptr);
    scanned.PrepareDisplayLimits();
    fast.PrepareDisplayLimits();
    EXPECT_EQ(fast.ampMin, scanned.ampMin) << variant;
    EXPECT_EQ(fast.ampMax, scanned.ampMax) << variant;

    // Built in a worker thread, the same pyramids reach the pane.
    TracePane async;
    async.blocks = scanned.blocks;
    async.StartPyramids();
    async.FinishPyramids();
    ASSERT_EQ(async.pyramids.size(), 3u);
    EXPECT_NE(async.PyramidOf(2), nullptr);
    EXPECT_EQ(async.PyramidOf(3), nullptr);
    // Replaced samples make the old pyramid stale.
    async.blocks[1].samples.assign(10, 1.0f);
    async.blocks[1].count = 10;
    EXPECT_EQ(async.PyramidOf(1), nullptr);
  }
}

}  // namespace
}  // namespace nuv
