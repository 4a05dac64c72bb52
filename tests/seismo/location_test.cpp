#include "seismo/location.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "db/station_table.h"
#include "phases/current_event.h"
#include "phases/nuv_phases.h"
#include "seismo/f_table.h"
#include "seismo/svd.h"
#include "tables.h"
#include "traveltime/travel_time.h"

namespace nuv {
namespace {

struct Hypocentre {
  double lat, lon, depth, t0;
};

constexpr Hypocentre kTruth{42.3, 77.1, 33, 1.7e9 + 12.25};

// Stations around (and mostly east of) the epicentre, 1..9 degrees away.
const float kStations[][2] = {{43.1f, 79.0f}, {41.0f, 80.5f}, {44.9f, 76.0f}, {39.8f, 74.2f},
                              {42.0f, 84.5f}, {46.5f, 81.3f}, {38.4f, 78.8f}, {43.6f, 72.9f},
                              {40.2f, 86.0f}, {47.8f, 75.4f}};

class Location : public ::testing::Test {
 protected:
  void SetUp() override {
    test::WriteStraightRaySet(dir_);
    types_.Load(dir_.path().string());
    int index = 0;
    for (const auto& s : kStations) {
      CScreenFields station;
      station.code = "ST" + std::to_string(index++);
      station.lat = s[0];
      station.lon = s[1];
      station.channels[0].name = "SHZ";
      station.channels[0].lat = s[0];
      station.channels[0].lon = s[1];
      stations_.records().push_back(station);
    }
  }

  double Arrival(int station, int type, const Hypocentre& h) const {
    DistAzResult r;
    EXPECT_TRUE(DistAz(static_cast<float>(h.lat), static_cast<float>(h.lon), kStations[station][0],
                       kStations[station][1], r));
    const double t = TravelTime(types_.Data(type), h.depth, r.distance);
    EXPECT_GT(t, 0);
    return h.t0 + t;
  }

  // P at every station and S at the first `sCount`, picked without error
  // unless `noise` is given.
  void Pick(int stationCount, int sCount, double noise = 0, uint8_t weight = 0,
            const Hypocentre& truth = kTruth) {
    std::mt19937 random(7);
    std::normal_distribution<double> error(0, 1);
    for (int s = 0; s < stationCount; ++s) {
      for (int type = 0; type < (s < sCount ? 2 : 1); ++type) {
        SEISMIC_PHASE p;
        p.station = s;
        p.channel = 0;
        p.phaseType = type;
        p.defining = 1;
        p.weight = weight;
        p.SetTime(Arrival(s, type, truth) + noise * error(random));
        phases_.Add(p);
      }
    }
  }

  CArrivalList List() const { return BuildArrivalList(phases_, types_, stations_); }

  test::TempDir dir_;
  PhaseTypeTable types_;
  StationTable stations_;
  NUVPhases phases_;
};

TEST_F(Location, ObservationListWeightsOrderAndSkips) {
  SEISMIC_PHASE p;
  p.defining = 1;
  p.weight = 4;
  p.SetTime(30);
  phases_.Add(p);
  p.station = 1;
  p.weight = 0;
  p.SetTime(20);
  phases_.Add(p);
  p.station = 2;
  p.defining = 0;  // not defining: left out
  p.SetTime(10);
  phases_.Add(p);
  p.station = 77;  // not in the station table: left out
  p.defining = 1;
  p.SetTime(25);
  phases_.Add(p);
  p.station = 3;
  p.phaseType = 500;  // outside the phase types: building stops here
  p.SetTime(40);
  phases_.Add(p);
  p.station = 4;
  p.phaseType = 0;
  p.SetTime(50);
  phases_.Add(p);

  const CArrivalList list = List();
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list[0].station, 1);
  EXPECT_DOUBLE_EQ(list[0].weight, 1.0);
  EXPECT_EQ(list[1].station, 0);
  EXPECT_DOUBLE_EQ(list[1].weight, 0.2);
  EXPECT_DOUBLE_EQ(list[1].lat, kStations[0][0]);
  EXPECT_EQ(list[0].residual, 0);
}

TEST_F(Location, MisfitVanishesAtTheTruthAndFailsOffTheTable) {
  Pick(6, 3);
  const CArrivalList list = List();
  double t0 = 0;
  EXPECT_NEAR(Misfit(list, types_, kTruth.lat, kTruth.lon, kTruth.depth, &t0), 0, 1e-12);
  EXPECT_NEAR(t0, kTruth.t0, 1e-5);
  EXPECT_GT(Misfit(list, types_, kTruth.lat + 0.5, kTruth.lon, kTruth.depth, &t0), 0.1);
  // 60 degrees away the tables end: no misfit and t0 untouched.
  t0 = -5;
  EXPECT_EQ(Misfit(list, types_, -20, kTruth.lon, kTruth.depth, &t0), kNoMisfit);
  EXPECT_EQ(t0, -5);
  EXPECT_EQ(Misfit(list, types_, 95, 0, 10, &t0), kNoMisfit);
  EXPECT_EQ(Misfit(CArrivalList{}, types_, 0, 0, 10, &t0), kNoMisfit);
}

TEST(LocationHelpers, ParabolaSlopeAndWrapping) {
  EXPECT_NEAR(ParabolaSlope(3, 0.01, 2.99 * 2.99, 9, 3.01 * 3.01), 6, 1e-6);
  EXPECT_NEAR(ParabolaSlope(50, 1, 7 * 49 + 2, 7 * 50 + 2, 7 * 51 + 2), 7, 1e-9);
  EXPECT_EQ(ParabolaSlope(1, 0, 1, 2, 3), 0);
  EXPECT_DOUBLE_EQ(WrapLatitude(91), -89);
  EXPECT_DOUBLE_EQ(WrapLatitude(-91), 89);
  EXPECT_DOUBLE_EQ(WrapLatitude(45), 45);
  EXPECT_DOUBLE_EQ(WrapLatitude(271), 91 - 180);
  EXPECT_DOUBLE_EQ(WrapLongitude(181), -179);
  EXPECT_DOUBLE_EQ(WrapLongitude(-190), 170);
  EXPECT_DOUBLE_EQ(WrapLongitude(360), 0);
  EXPECT_DOUBLE_EQ(WrapLongitude(-180), -180);
}

TEST_F(Location, SearchConvergesFromANearbyStart) {
  Pick(10, 5);
  CArrivalList list = List();
  const LocationResult r =
      LocateSearch(list, types_, {41.5, 78.0, 10, kTruth.t0 - 100}, LocateOptions{});
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_NEAR(r.lat, kTruth.lat, 0.03);
  EXPECT_NEAR(r.lon, kTruth.lon, 0.03);
  EXPECT_NEAR(r.depth, kTruth.depth, 3);
  EXPECT_NEAR(r.t0, kTruth.t0, 0.5);
  EXPECT_LT(r.rms, 0.3);
  EXPECT_LT(r.iterations, 100);
  for (const CArrivalElement& e : list.elements()) EXPECT_LT(std::fabs(e.residual), 0.6);
}

TEST_F(Location, SearchReachesTheDeepestDepthOfTheTables) {
  // The tables end at 700 km: a source at 650 km is found there, not at a
  // depth limit of its own.
  const Hypocentre deep{kTruth.lat, kTruth.lon, 650, kTruth.t0};
  Pick(10, 10, 0, 0, deep);
  CArrivalList list = List();
  EXPECT_EQ(DeepestSearchDepth(list, types_), 700);
  const LocationResult r = LocateSearch(list, types_, {41.9, 77.6, 500, deep.t0 - 20}, {});
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_NEAR(r.lat, deep.lat, 0.05);
  EXPECT_NEAR(r.lon, deep.lon, 0.05);
  EXPECT_NEAR(r.depth, deep.depth, 5);
  EXPECT_NEAR(r.t0, deep.t0, 0.5);
  const LocationResult linear = LocateLinear(list, types_, {41.9, 77.6, 500, deep.t0 - 20}, {});
  EXPECT_NEAR(linear.depth, deep.depth, 5);
  EXPECT_EQ(DeepestSearchDepth(CArrivalList{}, types_), 600);
}

TEST_F(Location, SearchFromTheSurfaceOrTheTableBottomReachesTheHypocentre) {
  // A start at 0 km puts the upper depth probe above the surface and one at
  // the deepest depth the lower probe below the tables: neither may end the
  // search where it started.
  Pick(6, 2);
  for (double depth : {0.0, 400.0, 699.0}) {
    for (double radius : {0.3, 1.5}) {
      for (int k = 0; k < 8; ++k) {
        const double a = k * 45 * kDegToRad;
        CArrivalList list = List();
        const LocationStart start{kTruth.lat + radius * std::cos(a),
                                  kTruth.lon + radius * std::sin(a), depth, kTruth.t0 - 30};
        const LocationResult r = LocateSearch(list, types_, start, {});
        ASSERT_TRUE(r.ok) << r.message;
        EXPECT_NEAR(r.lat, kTruth.lat, 0.03) << depth << " " << radius << " " << k;
        EXPECT_NEAR(r.lon, kTruth.lon, 0.03) << depth << " " << radius << " " << k;
        EXPECT_NEAR(r.depth, kTruth.depth, 3) << depth << " " << radius << " " << k;
      }
    }
  }
}

TEST_F(Location, GridSearchFindsTheRegionAndReportsProgress) {
  Pick(10, 5);
  CArrivalList list = List();
  int calls = 0, last = -1;
  bool monotonic = true;
  LocateOptions options;
  options.gridSearch = true;
  const LocationResult r = LocateSearch(list, types_, {0, 0, 33, 0}, options, [&](int percent) {
    ++calls;
    monotonic = monotonic && percent >= last;
    last = percent;
    return true;
  });
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(calls, 91 * 181);
  EXPECT_TRUE(monotonic);
  EXPECT_GE(last, 100);
  EXPECT_NEAR(r.lat, kTruth.lat, 0.03);
  EXPECT_NEAR(r.lon, kTruth.lon, 0.03);
  EXPECT_NEAR(r.t0, kTruth.t0, 0.5);
}

TEST_F(Location, CancelledGridSearchLeavesNoResult) {
  Pick(10, 5);
  CArrivalList list = List();
  LocateOptions options;
  options.gridSearch = true;
  int calls = 0;
  auto stopAtHalf = [&](int percent) {
    ++calls;
    return percent < 50;
  };
  LocationResult r = LocateSearch(list, types_, {0, 0, 33, 0}, options, stopAtHalf);
  EXPECT_TRUE(r.cancelled);
  EXPECT_FALSE(r.ok);
  EXPECT_LT(calls, 91 * 181);
  for (const CArrivalElement& e : list.elements()) EXPECT_EQ(e.residual, 0);
  calls = 0;
  r = LocateLinear(list, types_, {0, 0, 33, 0}, options, stopAtHalf);
  EXPECT_TRUE(r.cancelled);
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.ellipse.valid());
}

TEST_F(Location, FixedDepthAndFixedCoordinates) {
  Pick(10, 5);
  CArrivalList list = List();
  LocateOptions fixDepth;
  fixDepth.fixDepth = true;
  LocationResult r = LocateSearch(list, types_, {41.8, 77.5, 60, kTruth.t0}, fixDepth);
  EXPECT_EQ(r.depth, 60);
  r = LocateLinear(list, types_, {41.8, 77.5, 60, kTruth.t0}, fixDepth);
  EXPECT_EQ(r.depth, 60);
  EXPECT_EQ(r.covariance.rows, 3);

  // Fixed coordinates: the typed point and time stay; only residuals.
  LocateOptions fixed;
  fixed.fixCoords = true;
  fixed.gridSearch = true;  // nothing to search with fixed coordinates
  int calls = 0;
  r = LocateSearch(list, types_, {kTruth.lat, kTruth.lon, kTruth.depth, kTruth.t0 + 2}, fixed,
                   [&](int) { return ++calls > 0; });
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(r.lat, kTruth.lat);
  EXPECT_EQ(r.lon, kTruth.lon);
  EXPECT_EQ(r.depth, kTruth.depth);
  EXPECT_EQ(r.t0, kTruth.t0 + 2);
  for (const CArrivalElement& e : list.elements()) EXPECT_NEAR(e.residual, -2, 1e-5);
  EXPECT_NEAR(r.rms, 2, 1e-5);
  r = LocateLinear(list, types_, {kTruth.lat, kTruth.lon, kTruth.depth, kTruth.t0 + 2}, fixed);
  EXPECT_EQ(r.lat, kTruth.lat);
  EXPECT_NEAR(r.rms, 2, 1e-5);
  EXPECT_FALSE(r.ellipse.valid());
}

TEST_F(Location, TooFewObservations) {
  CArrivalList empty;
  LocationResult r = LocateSearch(empty, types_, {0, 0, 10, 0}, LocateOptions{});
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, kMsgNoDefiningPhases);
  Pick(3, 0);
  CArrivalList three = List();
  r = LocateLinear(three, types_, {kTruth.lat, kTruth.lon, 10, kTruth.t0}, LocateOptions{});
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, "Количество фаз < 4");
}

TEST_F(Location, SearchReportsAStartWithoutTravelTimes) {
  Pick(4, 0);
  CArrivalList list = List();
  LocateOptions fixed;
  fixed.fixCoords = true;
  const LocationResult r = LocateSearch(list, types_, {-60, -100, 10, 0}, fixed);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, kMsgNoTravelTimes);
  EXPECT_EQ(r.misfit, kNoMisfit);
}

TEST_F(Location, LinearConvergesWithAnEllipseThatScalesWithTheNoise) {
  Pick(10, 10, 0.1);
  CArrivalList list = List();
  const LocationResult r =
      LocateLinear(list, types_, {41.5, 78, 20, kTruth.t0 - 3}, LocateOptions{});
  ASSERT_TRUE(r.ok);
  EXPECT_FALSE(r.solutionFailed);
  EXPECT_NEAR(r.lat, kTruth.lat, 0.05);
  EXPECT_NEAR(r.lon, kTruth.lon, 0.05);
  EXPECT_NEAR(r.depth, kTruth.depth, 8);
  EXPECT_NEAR(r.t0, kTruth.t0, 1);
  EXPECT_GT(r.rms, 0.02);
  EXPECT_LT(r.rms, 0.2);
  ASSERT_TRUE(r.ellipse.valid());
  EXPECT_GE(r.ellipse.major, r.ellipse.minor);
  EXPECT_GT(r.ellipse.minor, 0);
  EXPECT_GE(r.ellipse.direction, 0);
  EXPECT_LT(r.ellipse.direction, 180);
  // The covariance is symmetric with positive variances.
  ASSERT_EQ(r.covariance.rows, 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_GT(r.covariance(i, i), 0);
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(r.covariance(i, j), r.covariance(j, i), 1e-9);
  }

  // Three times the noise: the same geometry, about three times the axes.
  phases_.RemoveAll();
  Pick(10, 10, 0.3);
  CArrivalList noisier = List();
  const LocationResult r3 =
      LocateLinear(noisier, types_, {41.5, 78, 20, kTruth.t0 - 3}, LocateOptions{});
  ASSERT_TRUE(r3.ellipse.valid());
  EXPECT_NEAR(r3.ellipse.major / r.ellipse.major, 3, 0.5);
  EXPECT_NEAR(r3.ellipse.direction, r.ellipse.direction, 10);
}

// From a shallow start over a degree away, a full linearised step once ran to
// the deepest table and stopped there after the iteration limit with
// residuals of a minute, reported as a location.
TEST_F(Location, LinearFromAPoorStartConverges) {
  Pick(10, 4, 0.1);
  for (const double startDepth : {10.0, 33.0, 100.0}) {
    for (const double late : {-60.0, 0.0, 60.0}) {
      CArrivalList list = List();
      const LocationResult r =
          LocateLinear(list, types_, {41, 78, startDepth, kTruth.t0 + late}, LocateOptions{});
      ASSERT_TRUE(r.ok);
      EXPECT_NEAR(r.lat, kTruth.lat, 0.05) << startDepth << " " << late;
      EXPECT_NEAR(r.lon, kTruth.lon, 0.05) << startDepth << " " << late;
      EXPECT_NEAR(r.depth, kTruth.depth, 8) << startDepth << " " << late;
      EXPECT_LT(r.rms, 0.2) << startDepth << " " << late;
      EXPECT_LT(r.iterations, 50);
    }
  }
}

TEST(LocationHelpers, EllipseFromCovariance) {
  // Uncorrelated: no ellipse.
  EXPECT_FALSE(EllipseFromCovariance(1, 0, 1, 1, 10, 0).valid());
  // Variance mostly along north-east: direction 45 degrees.
  const ConfidenceEllipse e = EllipseFromCovariance(2, 1.5, 2, 1, 10, 0);
  ASSERT_TRUE(e.valid());
  EXPECT_NEAR(e.direction, 45, 1e-4);
  const double scale = std::sqrt(2 * FQuantile(2, 10, 0.90)) * 111.195;
  EXPECT_NEAR(e.major, std::sqrt(3.5) * scale, 1e-3);
  EXPECT_NEAR(e.minor, std::sqrt(0.5) * scale, 1e-3);
  // Along north-west.
  EXPECT_NEAR(EllipseFromCovariance(2, -1.5, 2, 1, 10, 0).direction, 135, 1e-4);
  // Not positive definite: nothing.
  EXPECT_FALSE(EllipseFromCovariance(1, 3, 1, 1, 10, 0).valid());
}

// The confidence region in degrees is the set of displacements d = (dLat,
// dLon) with d' C^-1 d <= k^2. Independently of the ellipse formulas: walk
// round that contour, convert every point to km on the ground (a degree of
// longitude is cos(latitude) degrees of arc), and take the farthest and the
// nearest point as the ends of the axes.
struct ContourAxes {
  double major = 0, minor = 1e30, direction = 0;
};
ContourAxes AxesOfContour(double cLatLat, double cLatLon, double cLonLon, double k,
                          double latitude) {
  // C = L L' (Cholesky); the contour is d = k L u for unit vectors u.
  const double l11 = std::sqrt(cLatLat), l21 = cLatLon / l11;
  const double l22 = std::sqrt(cLonLon - l21 * l21);
  ContourAxes axes;
  for (int step = 0; step < 360000; ++step) {
    const double t = step * 1e-3 * kDegToRad;
    const double dLat = k * l11 * std::cos(t);
    const double dLon = k * (l21 * std::cos(t) + l22 * std::sin(t));
    const double north = dLat * 111.195, east = dLon * 111.195 * std::cos(latitude * kDegToRad);
    const double r = std::hypot(north, east);
    if (r > axes.major) {
      axes.major = r;
      axes.direction = std::fmod(std::atan2(east, north) / kDegToRad + 360, 180.0);
    }
    axes.minor = std::min(axes.minor, r);
  }
  return axes;
}

TEST(LocationHelpers, EllipseUsesTheLocalMetricAtEveryLatitude) {
  const double cLatLat = 0.010, cLatLon = 0.006, cLonLon = 0.020, rms = 0.7;
  const int n = 12;
  const double k = rms * std::sqrt(2 * FQuantile(2, n, 0.90));
  for (double latitude : {0.0, 43.0, -43.0, 70.0}) {
    const ConfidenceEllipse e = EllipseFromCovariance(cLatLat, cLatLon, cLonLon, rms, n, latitude);
    ASSERT_TRUE(e.valid()) << latitude;
    const ContourAxes expected = AxesOfContour(cLatLat, cLatLon, cLonLon, k, latitude);
    EXPECT_NEAR(e.major, expected.major, 1e-3 * expected.major) << latitude;
    EXPECT_NEAR(e.minor, expected.minor, 1e-3 * expected.minor) << latitude;
    double turn = std::fabs(e.direction - expected.direction);
    EXPECT_LT(std::min(turn, 180 - turn), 0.05) << latitude;
  }
  // Farther north a degree of longitude shrinks: at 70 degrees the east-west
  // spread nearly vanishes and the major axis turns towards north.
  const ConfidenceEllipse at70 = EllipseFromCovariance(cLatLat, cLatLon, cLonLon, rms, n, 70);
  const ConfidenceEllipse at0 = EllipseFromCovariance(cLatLat, cLatLon, cLonLon, rms, n, 0);
  EXPECT_LT(at70.major, at0.major);
  EXPECT_LT(std::min<double>(at70.direction, 180 - at70.direction),
            std::min<double>(at0.direction, 180 - at0.direction));
}

TEST(FTable, TabulatedAndInterpolatedValues) {
  EXPECT_DOUBLE_EQ(FQuantile(2, 1, 0.90), 49.5);
  EXPECT_DOUBLE_EQ(FQuantile(1, 1, 0.90), 39.86);
  EXPECT_DOUBLE_EQ(FQuantile(3, 120, 0.99), 3.95);
  EXPECT_DOUBLE_EQ(FQuantile(2, INFINITY, 0.95), 3.00);
  EXPECT_DOUBLE_EQ(FQuantile(2, 0, 0.90), 1000);
  EXPECT_DOUBLE_EQ(FQuantile(2, -3, 0.90), 1000);
  // Between 30 and 40 linearly in n / (n + 1).
  const double u = 35.0 / 36, u0 = 30.0 / 31, u1 = 40.0 / 41;
  EXPECT_NEAR(FQuantile(2, 35, 0.90), 2.49 + (u - u0) * (2.44 - 2.49) / (u1 - u0), 1e-12);
  // Beyond 120 towards infinity.
  EXPECT_GT(FQuantile(2, 500, 0.90), 2.30);
  EXPECT_LT(FQuantile(2, 500, 0.90), 2.35);
  EXPECT_EQ(FQuantile(4, 10, 0.90), -1);
  EXPECT_EQ(FQuantile(2, 10, 0.5), -1);
}

TEST(Svd, DecomposesAndSolves) {
  std::mt19937 random(3);
  std::uniform_real_distribution<double> value(-1, 1);
  Matrix a(7, 4);
  for (double& x : a.a) x = value(random);
  Matrix u = a, v;
  std::vector<double> w;
  ASSERT_EQ(SvdDecompose(u, w, v), 0);
  for (int i = 0; i < 7; ++i)
    for (int j = 0; j < 4; ++j) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += u(i, k) * w[k] * v(j, k);
      EXPECT_NEAR(sum, a(i, j), 1e-12);
    }
  for (int p = 0; p < 4; ++p) {
    EXPECT_GE(w[p], 0);
    for (int q = 0; q < 4; ++q) {
      double uu = 0, vv = 0;
      for (int i = 0; i < 7; ++i) uu += u(i, p) * u(i, q);
      for (int i = 0; i < 4; ++i) vv += v(i, p) * v(i, q);
      EXPECT_NEAR(uu, p == q ? 1 : 0, 1e-12);
      EXPECT_NEAR(vv, p == q ? 1 : 0, 1e-12);
    }
  }
  // A consistent system is solved exactly.
  const std::vector<double> x{1, -2, 0.5, 3};
  std::vector<double> b(7, 0);
  for (int i = 0; i < 7; ++i)
    for (int j = 0; j < 4; ++j) b[i] += a(i, j) * x[j];
  const auto solved = SvdSolve(u, w, v, b);
  for (int j = 0; j < 4; ++j) EXPECT_NEAR(solved[j], x[j], 1e-10);

  // A rank-deficient matrix: the zero singular value is left out.
  Matrix r(3, 2);
  r(0, 0) = r(1, 0) = r(2, 0) = 1;
  Matrix ur = r, vr;
  ASSERT_EQ(SvdDecompose(ur, w, vr), 0);
  EXPECT_TRUE(w[0] == 0 || w[1] == 0);
  const auto minimal = SvdSolve(ur, w, vr, {2, 2, 2});
  EXPECT_NEAR(minimal[0], 2, 1e-12);
  EXPECT_NEAR(minimal[1], 0, 1e-12);

  Matrix wide(2, 3);
  EXPECT_EQ(SvdDecompose(wide, w, v), -1);
}

TEST_F(Location, RecomputeResidualsAndDistances) {
  Pick(4, 2);
  SEISMIC_PHASE pseudo;
  pseudo.station = 0;
  pseudo.phaseType = 2;  // a pseudo-phase without a table
  pseudo.hasResidual = 1;
  pseudo.SetTime(kTruth.t0 + 30);
  phases_.Add(pseudo);
  CurrentEvent event;
  EXPECT_FALSE(RecomputeResiduals(phases_, types_, stations_, event));
  EXPECT_FALSE(RecomputeDistances(phases_, stations_, event));
  event.originValid = 1;
  event.originLat = static_cast<float>(kTruth.lat);
  event.originLon = static_cast<float>(kTruth.lon);
  event.originDepth = static_cast<float>(kTruth.depth);
  event.originTime = kTruth.t0 + 1;
  ASSERT_TRUE(RecomputeResiduals(phases_, types_, stations_, event));
  ASSERT_TRUE(RecomputeDistances(phases_, stations_, event));
  for (const SEISMIC_PHASE& p : phases_) {
    DistAzResult r;
    DistAz(event.originLat, event.originLon, kStations[p.station][0], kStations[p.station][1], r);
    EXPECT_FLOAT_EQ(p.distance, r.distance);
    if (p.phaseType == 2) {
      EXPECT_EQ(p.hasResidual, 0);
    } else {
      EXPECT_EQ(p.hasResidual, 1);
      EXPECT_NEAR(p.residual, -1, 1e-3);
    }
  }
}

}  // namespace
}  // namespace nuv
