#include "traveltime/travel_time.h"

#include <gtest/gtest.h>

#include "phases/current_event.h"
#include "phases/nuv_phases.h"
#include "seismo/distance_estimate.h"
#include "support/temp_dir.h"
#include "tables.h"
#include "traveltime/dist_az.h"

namespace nuv {
namespace {

TEST(DistAz, ReferenceCases) {
  DistAzResult r;
  ASSERT_TRUE(DistAz(0, 0, 0, 90, r));
  EXPECT_NEAR(r.distance, 90, 1e-4);
  EXPECT_NEAR(r.azimuth, 90, 1e-4);
  EXPECT_NEAR(r.backAzimuth, 270, 1e-4);

  ASSERT_TRUE(DistAz(45.5f, 100.25f, 45.5f, 100.25f, r));
  EXPECT_EQ(r.distance, 0);
  EXPECT_EQ(r.azimuth, 0);
  EXPECT_EQ(r.backAzimuth, 0);

  // Due north along a meridian and across the pole (the polar branch of the
  // geocentric conversion joins the tangent branch).
  ASSERT_TRUE(DistAz(0, 10, 90, 10, r));
  EXPECT_NEAR(r.distance, 90, 0.01);
  EXPECT_NEAR(r.azimuth, 0, 1e-3);
  ASSERT_TRUE(DistAz(87.2f, 0, 87.0f, 0, r));
  EXPECT_NEAR(r.distance, 0.2, 0.01);
  EXPECT_NEAR(r.azimuth, 180, 1e-3);

  // Geocentric latitudes: at the equator one degree of latitude spans
  // 0.993277 degree of arc; at 45N almost exactly one.
  ASSERT_TRUE(DistAz(0, 30, 1, 30, r));
  EXPECT_NEAR(r.distance, 0.99328, 2e-5);
  ASSERT_TRUE(DistAz(44.5f, 30, 45.5f, 30, r));
  EXPECT_NEAR(r.distance, 1.0, 1e-4);
  EXPECT_NEAR(r.azimuth, 0, 1e-3);
  EXPECT_NEAR(r.backAzimuth, 180, 1e-3);
}

TEST(DistAz, CoordinatesOutOfRangeLeaveTheOutputs) {
  DistAzResult r;
  r.distance = 7;
  r.azimuth = 8;
  r.backAzimuth = 9;
  EXPECT_FALSE(DistAz(90.5f, 0, 0, 0, r));
  EXPECT_FALSE(DistAz(0, 0, 0, -180.5f, r));
  EXPECT_FALSE(DistAz(NAN, 0, 0, 0, r));
  EXPECT_EQ(r.distance, 7);
  EXPECT_EQ(r.azimuth, 8);
  EXPECT_EQ(r.backAzimuth, 9);
  EXPECT_TRUE(DistAz(-90, -180, 90, 180, r));
}

class TravelTimeTable : public ::testing::Test {
 protected:
  PHASEDATA Read(const std::string& text, bool hash = false) {
    PHASEDATA data;
    const auto path = dir_.WriteFile("table", text);
    EXPECT_TRUE(ReadTravelTimeFile(path.string(), data, hash)) << text;
    return data;
  }
  bool Fails(const std::string& text) {
    PHASEDATA data;
    const auto path = dir_.WriteFile("bad", text);
    const bool ok = ReadTravelTimeFile(path.string(), data);
    return !ok && !data.hasTravelTimes && data.nd == 0;
  }
  test::TempDir dir_;
};

TEST_F(TravelTimeTable, LayoutAndMalformedFiles) {
  // Blank lines before counts and numbers, CR LF endings, numbers over
  // several lines, extra numbers after a count ignored.
  PHASEDATA data = Read(
      "title 1 2 3\r\n\r\n2\r\n0\r\n100 999\r\n\n4\n0 1\n2 3\n  \n10 20 30 40\n11 21 31 41 55\n");
  EXPECT_EQ(data.nd, 2);
  EXPECT_EQ(data.nx, 4);
  EXPECT_EQ(data.depths, (std::vector<float>{0, 100}));
  EXPECT_FLOAT_EQ(data.T[5], 21);
  EXPECT_EQ(data.hasTravelTimes, 1);

  PHASEDATA missing;
  EXPECT_FALSE(ReadTravelTimeFile((dir_ / "absent").string(), missing));
  EXPECT_TRUE(Fails(""));
  EXPECT_TRUE(Fails("title\n"));
  EXPECT_TRUE(Fails("title\nabc\n"));
  EXPECT_TRUE(Fails("title\n0\n\n1\n0\n"));              // no depths
  EXPECT_TRUE(Fails("title\n-2\n"));                     // negative count
  EXPECT_TRUE(Fails("title\n2\n0 10\n2\n0 1\n1 2\n"));   // second row missing
  EXPECT_TRUE(Fails("title\n1\n0\n2\n0 1\n1 x\n"));      // text for a number
  EXPECT_TRUE(Fails("title\n1\n0\n2\n0 1\n1 2abc\n"));   // number with rubbish
  EXPECT_TRUE(Fails("title\n1\n0\n3\n0 2 1\n1 2 3\n"));  // distances not ascending
  EXPECT_TRUE(Fails("title\n2\n10 0\n1\n0\n1\n2\n"));    // depths not ascending
  EXPECT_TRUE(Fails("title\n1\n0\n2\n0 1\n1 nan\n"));
  EXPECT_TRUE(Fails("title\n999999999\n"));
}

TEST_F(TravelTimeTable, HashCommentsOnlyInCalibrationTables) {
  const std::string text =
      "Q table\n1 # one depth\n0\n3 # three distances\n1 2 # degrees\n3\n4 5 6\n";
  PHASEDATA calib = Read(text, true);
  EXPECT_EQ(calib.nx, 3);
  EXPECT_FLOAT_EQ(calib.T[2], 6);
  PHASEDATA plain;
  EXPECT_FALSE(ReadTravelTimeFile(dir_.WriteFile("plain", text).string(), plain, false));
}

TEST_F(TravelTimeTable, EndsOfTheTable) {
  PHASEDATA data =
      Read("t\n2\n0 100\n5\n10 20 30 40 50\n100 200 300 400 500\n110 210 310 410 510\n");
  EXPECT_DOUBLE_EQ(TravelTime(data, 0, 10), 100);
  EXPECT_DOUBLE_EQ(TravelTime(data, 100, 50), 510);
  EXPECT_NEAR(TravelTime(data, 0, 50), 500, 1e-9);
  EXPECT_EQ(TravelTime(data, 0, 9.999), -1);
  EXPECT_EQ(TravelTime(data, 0, 50.001), -1);
  EXPECT_EQ(TravelTime(data, -0.001, 20), -1);
  EXPECT_EQ(TravelTime(data, 100.001, 20), -1);
  EXPECT_EQ(TravelTime(data, NAN, 20), -1);
  EXPECT_EQ(TravelTime(data, 0, NAN), -1);
  // Linear data: the natural spline reproduces it, and depth is linear.
  EXPECT_NEAR(TravelTime(data, 0, 27.5), 275, 1e-4);
  EXPECT_NEAR(TravelTime(data, 50, 27.5), 280, 1e-4);
  EXPECT_NEAR(TravelTime(data, 25, 40), 402.5, 1e-4);
  PHASEDATA none;
  EXPECT_EQ(TravelTime(none, 0, 20), -1);
}

TEST_F(TravelTimeTable, SplineAgainstHandComputation) {
  // Nodes 0, 1, 2 with values 0, 1, 0: one interior node, Y2[1] by hand:
  // sig = 0.5, p = 2, Y2 = -0.25 -> -0.25*0 + U, U = (-1 - 1) * 6 / 2 / 2 = -3.
  PHASEDATA data = Read("t\n1\n0\n3\n0 1 2\n0 1 0\n");
  EXPECT_FLOAT_EQ(data.Y2[0], 0);
  EXPECT_FLOAT_EQ(data.Y2[1], -3);
  EXPECT_FLOAT_EQ(data.Y2[2], 0);
  // At d = 0.5: a = b = 0.5, value = 0.5 + (0.125 - 0.5) * (-3) / 6 = 0.6875.
  EXPECT_NEAR(TravelTime(data, 0, 0.5), 0.6875, 1e-7);
  EXPECT_NEAR(TravelTime(data, 0, 1.5), 0.6875, 1e-7);
}

TEST_F(TravelTimeTable, GapsAtMinusOneNodes) {
  // Row 0 has a gap at node 3 (distance 3); row 1 is complete.
  PHASEDATA data = Read(
      "t\n2\n0 10\n8\n0 1 2 3 4 5 6 7\n"
      "0 1 4 -1 16 25 36 49\n"
      "1 2 5 10 17 26 37 50\n");
  // Between nodes 2 and 4 the phase does not exist.
  EXPECT_EQ(TravelTime(data, 0, 2.5), -1);
  EXPECT_EQ(TravelTime(data, 0, 3.0), -1);
  EXPECT_EQ(TravelTime(data, 0, 3.7), -1);
  // A depth between the rows needs both: still -1.
  EXPECT_EQ(TravelTime(data, 5, 3.5), -1);
  EXPECT_EQ(TravelTime(data, 10, 3.5), -1);  // the last depth still pairs with the row above
  // The nodes next to the gap carry no curvature into it.
  EXPECT_FLOAT_EQ(data.Y2[2], 0);
  EXPECT_FLOAT_EQ(data.Y2[3], 0);
  EXPECT_FLOAT_EQ(data.Y2[4], 0);
  // Away from the gap the curve is a spline of its own segment.
  EXPECT_NEAR(TravelTime(data, 0, 1.0), 1, 1e-6);
  EXPECT_NEAR(TravelTime(data, 0, 5.5), 30.25, 0.1);
  // The node before the gap opens the gapped interval; the node after it
  // opens a complete one.
  EXPECT_EQ(TravelTime(data, 0, 2.0), -1);
  EXPECT_DOUBLE_EQ(TravelTime(data, 0, 4.0), 16);
  EXPECT_NEAR(TravelTime(data, 0, 1.999), 4, 0.01);
}

TEST(TravelTimeText, HoursModulo48) {
  EXPECT_EQ(TravelTimeText(754.256), "Время пробега=00:12:34.26");
  EXPECT_EQ(TravelTimeText(3600 * 49 + 61.5), "Время пробега=01:01:1.50");
  EXPECT_EQ(TravelTimeText(0), "Время пробега=00:00:0.00");
}

TEST_F(TravelTimeTable, SingleRowAndSingleNode) {
  PHASEDATA row = Read("t\n1\n33\n3\n0 1 2\n5 6 7\n");
  EXPECT_NEAR(TravelTime(row, 33, 1.5), 6.5, 1e-6);
  EXPECT_EQ(TravelTime(row, 34, 1.5), -1);
  PHASEDATA node = Read("t\n1\n0\n1\n5\n42\n");
  EXPECT_DOUBLE_EQ(TravelTime(node, 0, 5), 42);
}

class StraightRay : public ::testing::Test {
 protected:
  void SetUp() override {
    test::WriteStraightRaySet(dir_);
    types_.Load(dir_.path().string());
    ASSERT_TRUE(types_.HasTravelTimes(0));
    ASSERT_TRUE(types_.HasTravelTimes(1));
  }
  const PHASEDATA& P() const { return types_.Data(0); }
  const PHASEDATA& S() const { return types_.Data(1); }
  test::TempDir dir_;
  PhaseTypeTable types_;
};

TEST_F(StraightRay, InterpolationFollowsTheCurve) {
  for (double h : {0.0, 12.0, 33.0, 250.0})
    for (double d : {2.2, 7.77, 19.1, 29.9})
      EXPECT_NEAR(TravelTime(P(), h, d), test::StraightRayTime(h, d, test::kVp), 0.2)
          << h << " " << d;
}

TEST_F(StraightRay, EvenAxesGiveTheSameIntervalsAsBisection) {
  // The evenly spaced axes of the set are looked up from a computed
  // position; the plain bisection must give the very same numbers.
  ASSERT_NE(P().distanceIndexScale, 0);
  ASSERT_NE(P().depthIndexScale, 0);
  PHASEDATA bisected = P();
  bisected.distanceIndexScale = bisected.depthIndexScale = 0;
  std::vector<double> distances{0, 0.5, 29.5, 30, 14.999999, 15, 15.000001};
  std::vector<double> depths{0, 25, 675, 700, 24.9999, 350};
  for (int i = 0; i < 300; ++i) {
    distances.push_back(i * 0.1003);
    depths.push_back(i * 2.3401);
  }
  for (double h : depths)
    for (double d : distances)
      ASSERT_EQ(TravelTime(P(), h, d), TravelTime(bisected, h, d)) << h << " " << d;
  // An uneven axis is bisected.
  PHASEDATA uneven;
  ASSERT_TRUE(ReadTravelTimeFile(
      dir_.WriteFile("uneven", "t\n1\n0\n4\n0 1 3 10\n0 1 3 10\n").string(), uneven));
  EXPECT_EQ(uneven.distanceIndexScale, 0);
  EXPECT_NEAR(TravelTime(uneven, 0, 5), 5, 0.5);
}

TEST_F(StraightRay, Inverses) {
  const double t = TravelTime(P(), 10, 12.34);
  EXPECT_NEAR(DistanceForTime(P(), t, 10), 12.34, 1e-6);
  // Beyond the curve in either direction there is no distance.
  EXPECT_EQ(DistanceForTime(P(), 1e6, 10), -1);
  EXPECT_EQ(DistanceForTime(P(), 0.5, 10), -1);

  const double dt = TravelTime(S(), 15, 8.5) - TravelTime(P(), 15, 8.5);
  EXPECT_NEAR(DistanceForTimeDifference(S(), P(), dt, 15), 8.5, 1e-6);
  // An S-P difference beyond the table's largest: no solution.
  const double largest = TravelTime(S(), 15, 30) - TravelTime(P(), 15, 30);
  EXPECT_EQ(DistanceForTimeDifference(S(), P(), largest + 5, 15), -1);
  PHASEDATA none;
  EXPECT_EQ(DistanceForTimeDifference(S(), none, 10, 15), -1);
  EXPECT_EQ(DistanceForTime(none, 10, 15), -1);

  // Far from the source the slowness tends to 1 / v s/km.
  const double far = DistanceForSlowness(P(), 1.0 / test::kVp * 0.995, 0);
  EXPECT_GT(far, 5);
  const double near = DistanceForSlowness(P(), 1.0 / test::kVp * 0.5, 100);
  EXPECT_GT(near, 0.1);
  EXPECT_LT(near, 2);
  EXPECT_EQ(DistanceForSlowness(none, 0.1, 0), -1);
}

TEST_F(StraightRay, InverseSkipsAGapAtTheStart) {
  // P that exists only beyond 2 degrees: the lower end moves up to it.
  std::string text = "t\n1\n0\n7\n0 1 2 3 4 5 6\n-1 -1 30 40 50 60 70\n";
  PHASEDATA late;
  ASSERT_TRUE(ReadTravelTimeFile(dir_.WriteFile("late", text).string(), late));
  PHASEDATA line;
  ASSERT_TRUE(ReadTravelTimeFile(
      dir_.WriteFile("line", "t\n1\n0\n7\n0 1 2 3 4 5 6\n0 5 10 15 20 25 30\n").string(), line));
  // late - line = 20 + 5 (d - 2): dt = 30 at d = 4.
  EXPECT_NEAR(DistanceForTimeDifference(late, line, 30, 0), 4, 1e-3);
}

TEST_F(StraightRay, DistanceEstimateFromTwoPhases) {
  NUVPhases phases;
  SEISMIC_PHASE p;
  p.station = 2;
  p.channel = 1;
  p.phaseType = 0;
  p.SetTime(5000 + TravelTime(P(), 10, 6.25));
  phases.Add(p);
  DistanceEstimate e = EstimateEpicentralDistance(phases, types_, 2, 1, 1, 1, 10);
  EXPECT_EQ(e.message, "Фазы совпадают");
  EXPECT_TRUE(e.beep);
  e = EstimateEpicentralDistance(phases, types_, 2, 1, 1, 0, 10);
  EXPECT_EQ(e.message, "Нет отметки фазы S");
  p.phaseType = 1;
  p.SetTime(5000 + TravelTime(S(), 10, 6.25));
  phases.Add(p);
  e = EstimateEpicentralDistance(phases, types_, 2, 1, 1, 0, 10);
  ASSERT_TRUE(e.ok) << e.message;
  EXPECT_NEAR(e.distance, 6.25, 1e-6);
  EXPECT_NEAR(e.originTime, 5000, 1e-5);
  EXPECT_EQ(e.message.rfind("Расстояние до эпицентра 6.250 градусов.\n Время в очаге 01:23:20.0 "
                            "01.01.1970\n при глубине 10 км",
                            0),
            0u);
  CurrentEvent event;
  ApplyDistanceEstimate(e, phases, event, 2, 1, 1, 0, 10);
  EXPECT_FLOAT_EQ(event.StationDistance(2), 6.25f);
  EXPECT_FLOAT_EQ(event.originDepth, 10);
  EXPECT_NEAR(event.originTime, 5000, 1e-5);
  EXPECT_FLOAT_EQ(phases.Find(2, 1, 0)->distance, 6.25f);
  EXPECT_FLOAT_EQ(phases.Find(2, 1, 1)->distance, 6.25f);
  // S before P by more than any distance of the table allows: no solution.
  phases.Find(2, 1, 1)->SetTime(9000);
  EXPECT_EQ(EstimateEpicentralDistance(phases, types_, 2, 1, 1, 0, 10).message, "Нет решения");
}

}  // namespace
}  // namespace nuv
