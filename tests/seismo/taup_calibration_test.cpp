// The shipped magnitude calibration files, loaded and used as the workstation does.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "seismo/magnitudes.h"
#include "support/temp_dir.h"

namespace nuv {
namespace {

const std::string kDir = std::string(NUV_SOURCE_DIR) + "/data/calibration/";

TEST(CalibrationFiles, MbHoldsGutenbergRichterQ) {
  PHASEDATA q;
  ASSERT_TRUE(LoadCalibrationTable(kDir + "mb.txt", q));
  ASSERT_EQ(q.nd, 17);
  ASSERT_EQ(q.nx, 108);
  EXPECT_EQ(q.depths.front(), 0);
  EXPECT_EQ(q.depths.back(), 700);
  EXPECT_EQ(q.distances.front(), 2);
  EXPECT_EQ(q.distances.back(), 109);
  // Values of the published table at nodes.
  EXPECT_NEAR(CalibLookup(q, 0, 5), 6.4, 1e-6);
  EXPECT_NEAR(CalibLookup(q, 25, 5), 6.3, 1e-6);
  EXPECT_NEAR(CalibLookup(q, 0, 50), 6.7, 1e-6);
  EXPECT_NEAR(CalibLookup(q, 0, 109), 8.0, 1e-6);
  EXPECT_NEAR(CalibLookup(q, 700, 109), 7.5, 1e-6);
  EXPECT_NEAR(CalibLookup(q, 300, 30), 6.3, 1e-6);
  EXPECT_NEAR(CalibLookup(q, 12.5, 50), 6.75, 1e-6);  // linear in depth
  // The original has no values at 2..4 degrees below the surface, and the lookup blends
  // the surface row with the 25 km row, so even a surface focus gets none there.
  EXPECT_EQ(CalibLookup(q, 25, 3), -1);
  EXPECT_EQ(CalibLookup(q, 0, 3), -1);
  EXPECT_EQ(CalibLookup(q, 0, 120), -1);

  MagnitudeResult mb = MagnitudeMb(1.0, 1.0, 50, 0, q);
  ASSERT_TRUE(mb.ok);
  EXPECT_NEAR(mb.value, std::log10(2.0) + 6.7, 1e-6);
  EXPECT_FALSE(MagnitudeMb(1.0, 1.0, 3, 100, q).ok);
}

TEST(CalibrationFiles, MplpAndMpspLoadButHoldNoValues) {
  for (const char* name : {"mplp.txt", "mpsp.txt"}) {
    PHASEDATA q;
    ASSERT_TRUE(LoadCalibrationTable(kDir + name, q)) << name;
    for (double h : {0.0, 33.0, 700.0})
      for (double d : {0.0, 45.0, 180.0}) EXPECT_EQ(CalibLookup(q, h, d), -1) << name;
    std::ifstream in(kDir + name);
    std::string title;
    std::getline(in, title);
    EXPECT_NE(title.find("no published values"), std::string::npos);
  }
  PHASEDATA q;
  ASSERT_TRUE(LoadCalibrationTable(kDir + "mplp.txt", q));
  MagnitudeResult m = MagnitudeMplp(10, 1, 30, 10, q);
  EXPECT_FALSE(m.ok);
  EXPECT_EQ(m.message, OutsideCalibrationMessage("MPLP"));
}

TEST(CalibrationFiles, MlFollowsRichtersTable) {
  test::TempDir dir;
  std::filesystem::copy_file(kDir + "ML.txt", dir / "ML.txt");
  std::optional<MlCalibration> cal = MlCalib(dir.path().string() + "/", "NOSTA");
  ASSERT_TRUE(cal.has_value());
  ASSERT_EQ(cal->points.size(), 36u);
  EXPECT_EQ(cal->points.front().first, 0);
  EXPECT_EQ(cal->points.back().first, 600);
  // ML = log10(A) + log10(2080) - 3 + (-log A0), -log A0 = 3.0 at 100 km, 3.65 at 220 km.
  const double a = 5.0;  // micrometres of ground motion
  const double base = std::log10(a) + std::log10(2080.0) - 3;
  MagnitudeResult at100 = MagnitudeMl(a, 100 / 111.1953, 0, &*cal);
  ASSERT_TRUE(at100.ok);
  EXPECT_NEAR(at100.value, base + 3.0, 1e-5);
  MagnitudeResult at220 = MagnitudeMl(a, 220 / 111.1953, 10, &*cal);
  ASSERT_TRUE(at220.ok);
  EXPECT_NEAR(at220.value, base + 3.65, 1e-5);
  // Halfway between 10 km (1.5) and 20 km (1.7).
  EXPECT_NEAR(MagnitudeMl(a, 15 / 111.1953, 0, &*cal).value, base + 1.6, 1e-5);
  // A Wood-Anderson record of 1 mm at 100 km is ML 3 by definition.
  EXPECT_NEAR(MagnitudeMl(1000.0 / 2080.0, 100 / 111.1953, 0, &*cal).value, 3.0, 1e-5);
  MagnitudeResult far = MagnitudeMl(a, 650 / 111.1953, 0, &*cal);
  EXPECT_FALSE(far.ok);
  EXPECT_EQ(far.message, kMsgMlNoCalibrationData);
}

}  // namespace
}  // namespace nuv
