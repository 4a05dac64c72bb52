// Decoding of miniSEED written by libmseed, the joining of records into
// runs and the cutting of runs into archive files.

#include "archive/mseed_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "archive/archive_error.h"
#include "archive/mseed_import.h"
#include "platform/time_base.h"
#include "support/mseed_writer.h"

namespace nuv {
namespace {

using test::MseedChannel;
using test::PackMseed;

MseedChannel Channel(const char* chan, double start, int encoding, bool bigEndian = true) {
  MseedChannel c;
  c.station = "ANMO";
  c.channel = chan;
  c.start = start;
  c.encoding = encoding;
  c.bigEndian = bigEndian;
  return c;
}

std::vector<int32_t> Ramp(size_t n, int32_t step, int32_t from = 0) {
  std::vector<int32_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = from + static_cast<int32_t>(i) * step;
  return v;
}

MseedContents Read(const std::string& bytes) {
  return ReadMseed({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, "test.mseed");
}

TEST(MseedReader, RecordsOfBothByteOrdersJoinInTimeOrder) {
  // Ten 512-byte Steim-2 records; the later half written first, and in the
  // other byte order.
  const std::vector<int32_t> samples = Ramp(4000, 977, -1900000);
  const std::vector<int32_t> first(samples.begin(), samples.begin() + 2000);
  const std::vector<int32_t> second(samples.begin() + 2000, samples.end());
  const std::string bytes = PackMseed(Channel("BHZ", 1000 + 20, 11, false), second) +
                            PackMseed(Channel("BHZ", 1000, 11), first);
  ASSERT_TRUE(LooksLikeMseed({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}));
  const MseedContents contents = Read(bytes);
  ASSERT_EQ(contents.traces.size(), 1u);
  EXPECT_GT(contents.records, 2);
  const MseedTrace& trace = contents.traces[0];
  EXPECT_EQ(trace.Id(), "XX.ANMO..BHZ");
  EXPECT_EQ(trace.start, 1000);
  EXPECT_EQ(trace.rate, 100);
  ASSERT_EQ(trace.samples.size(), samples.size());
  for (size_t i = 0; i < samples.size(); ++i)
    ASSERT_EQ(trace.samples[i], static_cast<float>(samples[i])) << i;
}

TEST(MseedReader, GapsOverlapsAndChannelsStaySeparate) {
  const std::string bytes =
      PackMseed(Channel("BHZ", 2000, 3), Ramp(100, 1)) +     // 2000 .. 2001
      PackMseed(Channel("BHZ", 2001.5, 3), Ramp(100, 2)) +   // gap of 0.5 s
      PackMseed(Channel("BHZ", 2001.004, 3), Ramp(10, 3)) +  // within half a sample: joins
      PackMseed(Channel("BHZ", 2002, 3), Ramp(50, 4)) +      // overlaps the previous run
      PackMseed(Channel("BHN", 2000, 4), std::vector<float>{0.5f, -1.25f});
  const MseedContents contents = Read(bytes);
  ASSERT_EQ(contents.traces.size(), 4u);
  EXPECT_EQ(contents.traces[0].channel, "BHN");
  EXPECT_EQ(contents.traces[0].samples, (std::vector<float>{0.5f, -1.25f}));
  EXPECT_EQ(contents.traces[1].start, 2000);
  EXPECT_EQ(contents.traces[1].samples.size(), 110u);
  EXPECT_EQ(contents.traces[1].samples[100], 0);  // the joined record's first sample
  EXPECT_EQ(contents.traces[2].start, 2001.5);
  EXPECT_EQ(contents.traces[2].samples.size(), 100u);
  EXPECT_EQ(contents.traces[3].start, 2002);
  EXPECT_EQ(contents.traces[3].samples.size(), 50u);
}

TEST(MseedReader, DoublesBeyondTheFloatRangeAreClamped) {
  const std::string bytes =
      PackMseed(Channel("BHZ", 0, 5), std::vector<double>{1e300, -1e300, 0.5, 1e-300});
  const MseedContents contents = Read(bytes);
  ASSERT_EQ(contents.traces.size(), 1u);
  EXPECT_EQ(contents.traces[0].samples,
            (std::vector<float>{std::numeric_limits<float>::max(),
                                -std::numeric_limits<float>::max(), 0.5f, 0.0f}));
}

TEST(MseedReader, DamagedAndForeignBytesAreRefused) {
  const std::string good = PackMseed(Channel("BHZ", 0, 11), Ramp(3000, 5));
  const auto bytes = [](const std::string& s) {
    return std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(s.data()), s.size());
  };
  EXPECT_FALSE(LooksLikeMseed(bytes(std::string(600, 'x'))));
  EXPECT_FALSE(LooksLikeMseed(bytes(good.substr(0, 20))));
  // Cut in the middle of a record.
  EXPECT_THROW(Read(good.substr(0, good.size() - 100)), ArchiveError);
  // A second record whose header is garbage.
  std::string broken = good;
  for (size_t i = 512; i < 560; ++i) broken[i] = '#';
  try {
    Read(broken);
    ADD_FAILURE() << "no error";
  } catch (const ArchiveError& e) {
    EXPECT_NE(std::string(e.what()).find("test.mseed"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("512"), std::string::npos) << e.what();
  }
  // A float record whose header claims more samples than it holds (libmseed
  // would read them past the end of the record).
  std::string claims = PackMseed(Channel("BHZ", 0, 4), std::vector<float>{1, 2, 3});
  claims[30] = '\x40';  // number of samples, big-endian: 16384
  claims[31] = '\0';
  EXPECT_THROW(Read(claims), ArchiveError);
  // Blank padding after the last record is no damage.
  EXPECT_EQ(Read(good + std::string(300, '\0')).traces.size(), 1u);
}

TEST(MseedPieces, RunsAreCutAtMidnightAndNoon) {
  MseedTrace trace;
  trace.rate = 100;
  // 11:59:59.99: the second sample lies exactly on noon.
  trace.start = CalendarToEpoch(2020, 2, 29, 11, 59, 59.99);
  trace.samples.resize(10);
  EXPECT_EQ(SplitIntoPieces(trace), (std::vector<std::pair<size_t, size_t>>{{0, 1}, {1, 10}}));
  // A day and a half from 06:00 gives four files.
  trace.start = CalendarToEpoch(2020, 2, 29, 6, 0, 0);
  trace.samples.resize(100 * 36 * 3600);
  const auto pieces = SplitIntoPieces(trace);
  ASSERT_EQ(pieces.size(), 4u);
  EXPECT_EQ(pieces[0], (std::pair<size_t, size_t>{0, 100 * 6 * 3600}));
  EXPECT_EQ(pieces[1].second - pieces[1].first, 100u * 12 * 3600);
  EXPECT_EQ(pieces[3].second, trace.samples.size());
  // Slow channels and empty runs.
  trace.rate = 1e-6;
  trace.samples.resize(3);
  EXPECT_EQ(SplitIntoPieces(trace).size(), 3u);
  trace.samples.clear();
  EXPECT_TRUE(SplitIntoPieces(trace).empty());
}

}  // namespace
}  // namespace nuv
