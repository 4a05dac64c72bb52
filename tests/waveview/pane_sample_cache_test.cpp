// A pane's held samples against direct reads: random walks of shifts, zooms
// and jumps over an archive of real data files with gaps, files meeting
// end to end, a file off the sample grid, another rate and an overlapping
// recording must give, window after window, exactly the samples a read of
// that window gives; only the missing ends are read; the budget holds; and
// failing or replaced reads never leave stale samples behind.

#include "waveview/pane_sample_cache.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

#include "archive/block_reader.h"
#include "waveview/trace_pane.h"
#include "waveview/trace_polyline.h"

namespace nuv {
namespace {

namespace fs = std::filesystem;

// Data files of one channel, read as the archive reads them: every file
// that meets [t1, t2], in start order, through the block reader.
class Archive {
 public:
  Archive() {
    std::string pattern = (fs::temp_directory_path() / "nuvcache-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
    dir_ = pattern;
  }
  ~Archive() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  void AddFile(double begin, double seconds, double rate, std::mt19937& rng) {
    const int n = static_cast<int>(std::lround(seconds * rate));
    std::uniform_real_distribution<float> value(-1000, 1000);
    std::vector<float> samples(static_cast<size_t>(n));
    for (float& v : samples) v = value(rng);
    const std::string name = (dir_ / ("f" + std::to_string(files_.size()))).string();
    std::ofstream out(name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(samples.data()),
              static_cast<std::streamsize>(samples.size() * sizeof(float)));
    files_.push_back({name, 0, begin, n / rate, rate, 3});
    std::stable_sort(files_.begin(), files_.end(),
                     [](const BlockFile& a, const BlockFile& b) { return a.begin < b.begin; });
  }

  SegmentLoader Loader() {
    return [this](const std::string&, const std::string&, const std::string&, double t1, double t2,
                  NUVDataBlockArray& out) {
      out.Clear();
      ++reads;
      requested.emplace_back(t1, t2);
      if (failAfter >= 0 && reads > failAfter) throw std::runtime_error("read failed");
      for (const BlockFile& f : files_)
        if (auto b = ReadBlock(f, t1, t2)) out.Append(std::move(*b));
    };
  }

  int reads = 0;
  int failAfter = -1;
  std::vector<std::pair<double, double>> requested;

 private:
  fs::path dir_;
  std::vector<BlockFile> files_;
};

const PaneSampleCache::Channel kChannel{"STA", "BHZ", "??"};

// An archive of one channel: two files meeting end to end, a gap, a file
// off the 20 Hz grid, a 40 Hz file and a recording overlapping it.
void FillArchive(Archive& archive, std::mt19937& rng) {
  archive.AddFile(1000, 600, 20, rng);
  archive.AddFile(1600, 600, 20, rng);
  archive.AddFile(2500.025, 300, 20, rng);
  archive.AddFile(2800.025, 400, 40, rng);
  archive.AddFile(3000, 100, 40, rng);
}

// The window's samples from the held blocks equal those of a direct read.
void ExpectSameAsDirectRead(const NUVDataBlockArray& held, const SegmentLoader& load, double t1,
                            double t2) {
  NUVDataBlockArray direct;
  load("STA", "BHZ", "??", t1, t2, direct);
  const std::vector<SampleSpan> spans = WindowSpans(held, t1, t2);
  ASSERT_EQ(spans.size(), static_cast<size_t>(direct.size())) << t1 << " " << t2;
  for (size_t i = 0; i < spans.size(); ++i) {
    const NUVDataBlock& d = direct[static_cast<int>(i)];
    const SampleSpan& s = spans[i];
    const NUVDataBlock& b = held[s.block];
    ASSERT_EQ(s.count, d.count);
    EXPECT_NEAR(s.start, d.start, 1e-6);
    EXPECT_EQ(b.rate, d.rate);
    EXPECT_TRUE(std::equal(d.samples.begin(), d.samples.end(), b.samples.begin() + s.first));
  }
}

TEST(PaneSampleCache, RandomWindowsGiveTheSamplesOfADirectRead) {
  for (const size_t minBudget : {size_t{1} << 20, size_t{3000}}) {
    SCOPED_TRACE(minBudget);
    std::mt19937 rng(11);
    Archive archive;
    FillArchive(archive, rng);
    const SegmentLoader load = archive.Loader();
    PaneSampleCache cache;
    cache.SetMinBudget(minBudget);
    NUVDataBlockArray blocks;
    double start = 1500, length = 200;
    std::uniform_int_distribution<int> step(0, 5);
    std::uniform_real_distribution<double> anywhere(900, 3300);
    for (int i = 0; i < 400; ++i) {
      switch (step(rng)) {
        case 0:
          start += TracePane::ShiftAmount(length);
          break;
        case 1:
          start -= TracePane::ShiftAmount(length);
          break;
        case 2:
          start = 0.75 * start + 0.25 * (start + length);
          length = std::ceil(std::max(1.0, length / 2));
          break;
        case 3:
          start -= length / 2;
          length = std::min(2 * length, 2000.0);
          break;
        case 4:
          // A window starting exactly at a file edge.
          start = std::vector<double>{1000, 1600, 2200, 2500.025, 2800.025, 3000}[i % 6];
          break;
        default:
          start = anywhere(rng);
          break;
      }
      cache.Cover(load, kChannel, start, start + length, blocks);
      cache.KeepBudget(start, start + length, 40, blocks);
      ExpectSameAsDirectRead(blocks, load, start, start + length);
      if (HasFatalFailure()) return;
    }
  }
}

TEST(PaneSampleCache, ReadsOnlyWhatTheWindowLacks) {
  std::mt19937 rng(3);
  Archive archive;
  FillArchive(archive, rng);
  const SegmentLoader load = archive.Loader();
  PaneSampleCache cache;
  NUVDataBlockArray blocks;
  using Result = PaneSampleCache::Result;
  EXPECT_EQ(cache.Cover(load, kChannel, 1200, 1400, blocks), Result::kReplaced);
  EXPECT_EQ(archive.reads, 1);
  // Zoom in and a shift inside what is held: nothing read, arrays unchanged.
  const float* data = blocks[0].samples.data();
  EXPECT_EQ(cache.Cover(load, kChannel, 1250, 1300, blocks), Result::kUnchanged);
  EXPECT_EQ(cache.Cover(load, kChannel, 1300, 1400, blocks), Result::kUnchanged);
  EXPECT_EQ(archive.reads, 1);
  EXPECT_EQ(blocks[0].samples.data(), data);
  // Zoom out: the two ends, each reaching only a few samples into what is held.
  archive.requested.clear();
  EXPECT_EQ(cache.Cover(load, kChannel, 1100, 1500, blocks), Result::kExtended);
  ASSERT_EQ(archive.requested.size(), 2u);
  EXPECT_EQ(archive.requested[0].first, 1100);
  EXPECT_LT(archive.requested[0].second, 1201);
  EXPECT_GT(archive.requested[1].first, 1399);
  EXPECT_EQ(archive.requested[1].second, 1500);
  // One recording stays one block across the old edges.
  EXPECT_EQ(blocks.size(), 1);
  ExpectSameAsDirectRead(blocks, load, 1100, 1500);
  // A window in a gap is read once and then held as empty.
  EXPECT_EQ(cache.Cover(load, kChannel, 2250, 2400, blocks), Result::kReplaced);
  EXPECT_TRUE(WindowSpans(blocks, 2250, 2400).empty());
  const int reads = archive.reads;
  cache.Cover(load, kChannel, 2260, 2300, blocks);
  EXPECT_EQ(archive.reads, reads);
}

TEST(PaneSampleCache, FailuresAndOutsideChangesLeaveNoStaleSamples) {
  std::mt19937 rng(5);
  Archive archive;
  FillArchive(archive, rng);
  const SegmentLoader load = archive.Loader();
  PaneSampleCache cache;
  NUVDataBlockArray blocks;
  cache.Cover(load, kChannel, 1200, 1400, blocks);

  // A read failing on the second end: the error passes on and the next
  // window is read whole.
  archive.failAfter = archive.reads + 1;
  EXPECT_THROW(cache.Cover(load, kChannel, 1100, 1500, blocks), std::runtime_error);
  EXPECT_FALSE(cache.valid());
  archive.failAfter = -1;
  EXPECT_EQ(cache.Cover(load, kChannel, 1100, 1500, blocks), PaneSampleCache::Result::kReplaced);
  ExpectSameAsDirectRead(blocks, load, 1100, 1500);

  // Blocks replaced from outside (a beam, a file set) are not taken for held samples.
  blocks[0].samples.assign(10, 1.0f);
  blocks[0].count = 10;
  EXPECT_EQ(cache.Cover(load, kChannel, 1200, 1300, blocks), PaneSampleCache::Result::kReplaced);
  ExpectSameAsDirectRead(blocks, load, 1200, 1300);

  // Another channel, or a window away from everything held, is read afresh.
  EXPECT_EQ(cache.Cover(load, {"STA", "BHN", "??"}, 1200, 1300, blocks),
            PaneSampleCache::Result::kReplaced);
  EXPECT_EQ(cache.Cover(load, {"STA", "BHN", "??"}, 2900, 3000, blocks),
            PaneSampleCache::Result::kReplaced);
  ExpectSameAsDirectRead(blocks, load, 2900, 3000);
  // The same after Clear.
  cache.Clear();
  EXPECT_EQ(cache.Cover(load, {"STA", "BHN", "??"}, 2900, 3000, blocks),
            PaneSampleCache::Result::kReplaced);
}

TEST(PaneSampleCache, PanningKeepsTheBudget) {
  std::mt19937 rng(9);
  Archive archive;
  for (int h = 0; h < 8; ++h) archive.AddFile(1000 + 600.0 * h, 600, 20, rng);
  const SegmentLoader load = archive.Loader();
  PaneSampleCache cache;
  cache.SetMinBudget(1000);
  NUVDataBlockArray blocks;
  const double length = 100;
  size_t most = 0;
  for (double start = 1000; start < 5800; start += TracePane::ShiftAmount(length)) {
    cache.Cover(load, kChannel, start, start + length, blocks);
    cache.KeepBudget(start, start + length, 20, blocks);
    const size_t held = PaneSampleCache::HeldSamples(blocks);
    EXPECT_LE(held, static_cast<size_t>(PaneSampleCache::kBudgetWindows * length * 20));
    most = std::max(most, held);
    ExpectSameAsDirectRead(blocks, load, start, start + length);
  }
  // The budget is used, not just a window at a time.
  EXPECT_GT(most, static_cast<size_t>(2 * length * 20));
  // Within the budget nothing is dropped.
  EXPECT_FALSE(cache.KeepBudget(5700, 5800, 20, blocks));
}

// A pane holding more than its window: limits, the window array and the
// copied window blocks are those of the window alone.
TEST(PaneSampleCache, PaneUsesOnlyTheWindowOfWhatItHolds) {
  std::mt19937 rng(13);
  Archive archive;
  FillArchive(archive, rng);
  const SegmentLoader load = archive.Loader();
  TracePane held, direct;
  for (TracePane* p : {&held, &direct}) {
    p->channelRate = 20;
    p->SetWindowStart(1450);
    p->windowLength = 300;
  }
  held.sampleCache.Cover(load, kChannel, 1000, 2200, held.blocks);
  held.sampleCache.Cover(load, kChannel, 1450, 1750, held.blocks);
  load("STA", "BHZ", "??", 1450, 1750, direct.blocks);
  held.BuildPyramids();
  held.PrepareDisplayLimits();
  direct.PrepareDisplayLimits();
  EXPECT_EQ(held.ampMin, direct.ampMin);
  EXPECT_EQ(held.ampMax, direct.ampMax);
  EXPECT_EQ(held.WindowSampleArray(20), direct.WindowSampleArray(20));
  const NUVDataBlockArray copy = held.WindowBlocks();
  ASSERT_EQ(copy.size(), direct.blocks.size());
  for (int i = 0; i < copy.size(); ++i) EXPECT_EQ(copy[i].samples, direct.blocks[i].samples);
}

TEST(PaneSampleCache, SpansOfEmptyOrRatelessBlocksAreEmpty) {
  NUVDataBlock b;
  SampleSpan s;
  EXPECT_FALSE(SpanOfBlock(b, 0, 10, s));  // no samples
  b.Allocate(100);
  b.rate = 0;
  EXPECT_FALSE(SpanOfBlock(b, 0, 10, s));  // no spacing
  b.rate = 10;
  b.start = 20;
  EXPECT_FALSE(SpanOfBlock(b, 0, 10, s));   // before the block
  EXPECT_FALSE(SpanOfBlock(b, 30, 40, s));  // after it
  EXPECT_FALSE(SpanOfBlock(b, 25, 25, s));  // an empty window
  ASSERT_TRUE(SpanOfBlock(b, 24.95, 26, s));
  EXPECT_EQ(s.first, 49);  // the whole sample at or before the start
  EXPECT_EQ(s.count, 11);
  b.count = 200;  // a count beyond the array is not read
  ASSERT_TRUE(SpanOfBlock(b, 20, 100, s));
  EXPECT_EQ(s.count, 100);
}

}  // namespace
}  // namespace nuv
