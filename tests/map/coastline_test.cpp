// The coastline file: polylines by code, damaged and missing files, the
// block reading, and the shipped file built from Natural Earth.

#include "map/coastline.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "support/temp_dir.h"

namespace nuv::map {
namespace {

using test::TempDir;

std::string Record(int code, int latMinutes, int lonMinutes) {
  std::string r;
  for (int v : {code, latMinutes, lonMinutes}) {
    const auto u = static_cast<uint16_t>(static_cast<int16_t>(v));
    r.push_back(static_cast<char>(u & 0xff));
    r.push_back(static_cast<char>(u >> 8));
  }
  return r;
}

TEST(CoastlineFile, CodesStartAndContinuePolylines) {
  const std::string bytes = Record(1001, 600, -1200) + Record(5, 660, -1140) +
                            Record(1000, 720, -1080) + Record(2000, -5400, 10800) +
                            Record(0, -5340, -10800);
  const CoastlineLoad load = ParseCoastline(bytes);
  EXPECT_TRUE(load.problem.empty());
  ASSERT_EQ(load.coastline.polylines.size(), 2u);
  ASSERT_EQ(load.coastline.polylines[0].size(), 3u);
  EXPECT_FLOAT_EQ(load.coastline.polylines[0][0].lat, 10);
  EXPECT_FLOAT_EQ(load.coastline.polylines[0][0].lon, -20);
  EXPECT_FLOAT_EQ(load.coastline.polylines[0][2].lat, 12);
  // Signed fields: the south pole and both sides of the date line.
  EXPECT_FLOAT_EQ(load.coastline.polylines[1][0].lat, -90);
  EXPECT_FLOAT_EQ(load.coastline.polylines[1][0].lon, 180);
  EXPECT_FLOAT_EQ(load.coastline.polylines[1][1].lon, -180);
  EXPECT_EQ(load.coastline.pointCount(), 5u);
}

TEST(CoastlineFile, DamagedRecordsAreDroppedAndReported) {
  // A file that starts with a continuation code still starts a polyline; a
  // point off the globe breaks the line; a cut last record is reported.
  const std::string bytes = Record(1, 0, 0) + Record(1, 60, 60) + Record(1, 6000, 0) +
                            Record(1, 120, 120) + Record(1, 180, 180) + std::string("\x01\x02", 2);
  const CoastlineLoad load = ParseCoastline(bytes);
  ASSERT_EQ(load.coastline.polylines.size(), 2u);
  EXPECT_EQ(load.coastline.polylines[0].size(), 2u);
  EXPECT_EQ(load.coastline.polylines[1].size(), 2u);
  EXPECT_NE(load.problem.find("неполная"), std::string::npos) << load.problem;
  // Empty input: no polylines, no problem.
  EXPECT_TRUE(ParseCoastline("").coastline.empty());
  EXPECT_TRUE(ParseCoastline("").problem.empty());
}

TEST(CoastlineFile, MissingUnreadableAndEmptyFiles) {
  TempDir dir;
  const CoastlineLoad missing = ReadCoastline((dir / "map.pnt").string());
  EXPECT_TRUE(missing.coastline.empty());
  EXPECT_NE(missing.problem.find("map.pnt"), std::string::npos);
  // A folder in place of the file: open succeeds, reading fails.
  std::filesystem::create_directory(dir / "folder.pnt");
  const CoastlineLoad folder = ReadCoastline((dir / "folder.pnt").string());
  EXPECT_TRUE(folder.coastline.empty());
  EXPECT_FALSE(folder.problem.empty());
  const CoastlineLoad empty = ReadCoastline(dir.WriteFile("empty.pnt", "").string());
  EXPECT_TRUE(empty.coastline.empty());
  EXPECT_TRUE(empty.problem.empty());
  if (geteuid() != 0) {
    const auto locked = dir.WriteFile("locked.pnt", Record(1001, 0, 0));
    chmod(locked.c_str(), 0);
    EXPECT_FALSE(ReadCoastline(locked.string()).problem.empty());
  }
}

TEST(CoastlineFile, LongFilesAreReadAcrossBlocksWithoutSplittingRecords) {
  // More than two blocks of 300000 bytes, one polyline of many points: a
  // record split at a block boundary would start a new polyline or shift
  // every following field.
  Coastline coast;
  coast.polylines.emplace_back();
  const int n = static_cast<int>(kPntReadBlock / kPntRecordSize) * 2 + 777;
  for (int i = 0; i < n; ++i)
    coast.polylines[0].push_back({static_cast<float>((i % 10800 - 5400) / 60.0),
                                  static_cast<float>((i % 21600 - 10800) / 60.0)});
  coast.polylines.push_back({{1, 2}, {3, 4}});
  TempDir dir;
  const auto path = dir.WriteFile("map.pnt", EncodeCoastline(coast));
  const CoastlineLoad load = ReadCoastline(path.string());
  EXPECT_TRUE(load.problem.empty()) << load.problem;
  ASSERT_EQ(load.coastline.polylines.size(), 2u);
  ASSERT_EQ(load.coastline.polylines[0].size(), static_cast<size_t>(n));
  for (int i : {0, 49999, 50000, 50001, 100000, n - 1}) {
    EXPECT_FLOAT_EQ(load.coastline.polylines[0][static_cast<size_t>(i)].lat,
                    coast.polylines[0][static_cast<size_t>(i)].lat);
    EXPECT_FLOAT_EQ(load.coastline.polylines[0][static_cast<size_t>(i)].lon,
                    coast.polylines[0][static_cast<size_t>(i)].lon);
  }
}

TEST(CoastlineFile, ShippedFileIsAWholeWorldCoastline) {
  const std::string path = std::string(NUV_SOURCE_DIR) + "/data/map/map.pnt";
  const CoastlineLoad load = ReadCoastline(path);
  ASSERT_TRUE(load.problem.empty()) << load.problem;
  EXPECT_GT(load.coastline.polylines.size(), 500u);
  EXPECT_GT(load.coastline.pointCount(), 20000u);
  // It covers both hemispheres and both sides of the date line.
  float minLat = 90, maxLat = -90, minLon = 180, maxLon = -180;
  for (const auto& line : load.coastline.polylines)
    for (const GeoPoint& p : line) {
      minLat = std::min(minLat, p.lat);
      maxLat = std::max(maxLat, p.lat);
      minLon = std::min(minLon, p.lon);
      maxLon = std::max(maxLon, p.lon);
    }
  EXPECT_LT(minLat, -75);
  EXPECT_GT(maxLat, 80);
  EXPECT_LT(minLon, -179);
  EXPECT_GT(maxLon, 179);
}

}  // namespace
}  // namespace nuv::map
