#include "seismo/polarization.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "db/station_table.h"
#include "phases/nuv_phases.h"
#include "traveltime/dist_az.h"

namespace nuv {
namespace {

constexpr double kPi = 3.14159265358979323846;

// A P wave from the source azimuth `az` with incidence `inc` (degrees):
// the ground moves up and away from the source, plus a little noise.
void PWave(double az, double inc, double noise, std::vector<float>& v, std::vector<float>& n,
           std::vector<float>& e) {
  std::mt19937 random(11);
  std::normal_distribution<double> error(0, noise);
  const double a = az * kPi / 180, i = inc * kPi / 180;
  for (int k = 0; k < 400; ++k) {
    const double s = std::sin(k * 0.21) * std::exp(-k / 150.0);
    v.push_back(static_cast<float>(s * std::cos(i) + error(random)));
    n.push_back(static_cast<float>(-s * std::sin(i) * std::cos(a) + error(random)));
    e.push_back(static_cast<float>(-s * std::sin(i) * std::sin(a) + error(random)));
  }
}

void ExpectZeros(const PolarizationResult& r) {
  EXPECT_EQ(r.azimuthNE, 0);
  EXPECT_EQ(r.azimuthZNE, 0);
  EXPECT_EQ(r.emergence, 0);
  EXPECT_EQ(r.planarity, 0);
  EXPECT_EQ(r.rectilinearity, 0);
}

TEST(Polarization, SingularCovarianceGivesZeros) {
  std::vector<float> v, zero(100, 0.0f), same;
  for (int k = 0; k < 100; ++k) v.push_back(static_cast<float>(std::sin(k * 0.3)));
  ExpectZeros(Polarization(v, zero, zero));  // purely vertical
  ExpectZeros(Polarization(v, v, v));        // exactly along one line
  ExpectZeros(Polarization(v, v, zero));
  ExpectZeros(Polarization(nullptr, nullptr, nullptr, 0));
}

TEST(Polarization, NearlyLinearMotionRecoversTheDirection) {
  for (double az : {30.0, 135.0, 250.0, 320.0}) {
    std::vector<float> v, n, e;
    PWave(az, 35, 0.002, v, n, e);
    const PolarizationResult r = Polarization(v, n, e);
    EXPECT_GT(r.rectilinearity, 0.99) << az;
    EXPECT_GT(r.planarity, 0.99) << az;
    EXPECT_NEAR(r.emergence, 35, 0.5) << az;
    EXPECT_NEAR(r.azimuthNE, az, 0.5) << az;
  }
}

// The angle between two azimuths, 0..180.
double AzimuthDifference(double a, double b) {
  const double d = std::fmod(std::fabs(a - b), 360.0);
  return d > 180 ? 360 - d : d;
}

TEST(Polarization, ZneAzimuthIsTheBackAzimuthOfAPWaveFromEveryQuadrant) {
  for (double az = 0; az < 360; az += 22.5) {
    for (double inc : {5.0, 20.0, 45.0, 65.0, 80.0}) {
      std::vector<float> v, n, e;
      PWave(az, inc, 0.003, v, n, e);
      const PolarizationResult r = Polarization(v, n, e);
      EXPECT_LT(AzimuthDifference(r.azimuthZNE, az), 1.0) << az << " " << inc;
      EXPECT_GE(r.azimuthZNE, 0);
      EXPECT_LT(r.azimuthZNE, 360);
      EXPECT_NEAR(r.emergence, inc, 1.0) << az << " " << inc;
      // A dilatation moves the ground the other way first: same direction.
      for (float* c : {v.data(), n.data(), e.data()})
        for (size_t k = 0; k < v.size(); ++k) c[k] = -c[k];
      EXPECT_LT(AzimuthDifference(Polarization(v, n, e).azimuthZNE, az), 1.0) << az << " " << inc;
    }
  }
}

TEST(Polarization, EigenvectorSignDoesNotTurnTheAzimuth) {
  // Up, and away from a source in the south-west: back azimuth 225.
  EXPECT_NEAR(AzimuthFromEigenvector(0.8, 0.42, 0.42), 225, 1e-9);
  EXPECT_NEAR(AzimuthFromEigenvector(-0.8, -0.42, -0.42), 225, 1e-9);
  EXPECT_NEAR(AzimuthFromEigenvector(0.5, -0.6, 0), 0, 1e-9);
  EXPECT_NEAR(AzimuthFromEigenvector(-0.5, 0, -0.6), 270, 1e-9);
}

TEST(Polarization, IsotropicMotion) {
  // Three uncorrelated components of equal variance over whole periods.
  std::vector<float> v, n, e;
  for (int k = 0; k < 360; ++k) {
    const double t = 2 * kPi * k / 360;
    v.push_back(static_cast<float>(std::sin(t)));
    n.push_back(static_cast<float>(std::cos(t)));
    e.push_back(static_cast<float>(std::sin(2 * t)));
  }
  const PolarizationResult r = Polarization(v, n, e);
  EXPECT_NEAR(r.rectilinearity, 0, 1e-4);
  EXPECT_NEAR(r.planarity, 0, 1e-4);
}

TEST(Polarization, JacobiSortsEigenpairs) {
  float a[3][3] = {{2, 1, 0}, {1, 2, 0}, {0, 0, 5}};
  float values[3], vectors[3][3];
  Jacobi3(a, values, vectors);
  EXPECT_NEAR(values[0], 5, 1e-5);
  EXPECT_NEAR(values[1], 3, 1e-5);
  EXPECT_NEAR(values[2], 1, 1e-5);
  EXPECT_NEAR(std::fabs(vectors[2][0]), 1, 1e-5);
  EXPECT_NEAR(std::fabs(vectors[0][1]), std::sqrt(0.5), 1e-5);
  EXPECT_NEAR(vectors[0][1], vectors[1][1], 1e-5);
}

TEST(Polarization, SlidingWindows) {
  const auto w = SlidingWindows(100, 40, 30);
  ASSERT_EQ(w.size(), 3u);
  EXPECT_EQ(w[0], std::make_pair(0, 40));
  EXPECT_EQ(w[1], std::make_pair(30, 40));
  EXPECT_EQ(w[2], std::make_pair(60, 39));
  EXPECT_TRUE(SlidingWindows(1, 40, 30).empty());
  EXPECT_TRUE(SlidingWindows(100, 1, 30).empty());
  // Once cut, a window never grows again.
  const auto tail = SlidingWindows(50, 30, 10);
  ASSERT_EQ(tail.size(), 5u);
  EXPECT_EQ(tail[2], std::make_pair(20, 29));
  EXPECT_EQ(tail[3], std::make_pair(30, 19));
  EXPECT_EQ(tail[4], std::make_pair(40, 9));
}

TEST(Polarization, SlidingAnalysisFollowsTheWindows) {
  // A P wave from 120 degrees, then one from 300: the azimuth curve turns.
  std::vector<float> v, n, e, v2, n2, e2;
  PWave(120, 30, 0.003, v, n, e);
  PWave(300, 30, 0.003, v2, n2, e2);
  v.insert(v.end(), v2.begin(), v2.begin() + 300);
  n.insert(n.end(), n2.begin(), n2.begin() + 300);
  e.insert(e.end(), e2.begin(), e2.begin() + 300);
  const auto azimuth = SlidingPolarization(v, n, e, 100, 100, PolarizationMeasure::Azimuth);
  ASSERT_EQ(azimuth.size(), SlidingWindows(700, 100, 100).size());
  EXPECT_LT(AzimuthDifference(azimuth.front(), 120), 2);
  EXPECT_LT(AzimuthDifference(azimuth[4], 300), 2);
  const auto rect = SlidingPolarization(v, n, e, 100, 100, PolarizationMeasure::Rectilinearity);
  const auto planar = SlidingPolarization(v, n, e, 100, 100, PolarizationMeasure::Planarity);
  for (size_t i = 0; i + 1 < rect.size(); ++i) {
    EXPECT_GT(rect[i], 0.95);
    EXPECT_GT(planar[i], 0.95);
  }
  // The shortest trace decides.
  n.resize(150);
  EXPECT_EQ(SlidingPolarization(v, n, e, 100, 50, PolarizationMeasure::Planarity).size(), 3u);
  EXPECT_TRUE(SlidingPolarization(v, n, e, 1, 50, PolarizationMeasure::Planarity).empty());
}

TEST(PlaneWave, RecoversAzimuthAndSlowness) {
  // Stations seen from the reference; a plane wave from azimuth 60 with
  // slowness 0.08 s/km.
  const double az0 = 60 * kPi / 180, slowness = 0.08 * 111.1953;  // s/degree
  const std::vector<double> dist{0, 0.5, 0.7, 0.4, 0.9};
  const std::vector<double> azim{0, 10, 100, 200, 300};
  std::vector<double> times;
  for (size_t i = 0; i < dist.size(); ++i) {
    const double x = dist[i] * std::sin(azim[i] * kPi / 180),
                 y = dist[i] * std::cos(azim[i] * kPi / 180);
    times.push_back(1000 - slowness * (x * std::sin(az0) + y * std::cos(az0)));
  }
  const PlaneWaveFit fit = FitPlaneWave(times, dist, azim);
  ASSERT_TRUE(fit.ok);
  EXPECT_NEAR(fit.azimuth, 60, 1e-6);
  EXPECT_NEAR(fit.slowness, slowness, 1e-6);
  EXPECT_NEAR(fit.velocityKm, 1 / 0.08, 1e-6);
  EXPECT_NEAR(fit.t0, 1000, 1e-6);
  EXPECT_NEAR(fit.rms, 0, 1e-6);
  EXPECT_EQ(FitPlaneWave({1, 2}, {1, 2}, {0, 90}).message, "Необходимо > 2 P-фаз");
  EXPECT_FALSE(FitPlaneWave({1, 2, 3}, {1, 2, 3}, {0, 0, 0}).ok);  // stations on one line
}

TEST(PlaneWave, FromPhasesPointsToTheSource) {
  // Four stations around a reference; the source lies to the east.
  StationTable stations;
  const float pos[][2] = {{40, 70}, {40.5f, 70}, {40, 70.6f}, {39.6f, 69.7f}, {40.3f, 69.5f}};
  for (const auto& p : pos) {
    CScreenFields s;
    s.lat = p[0];
    s.lon = p[1];
    s.channels[0].name = "SHZ";
    s.channels[0].lat = p[0];
    s.channels[0].lon = p[1];
    stations.records().push_back(s);
  }
  NUVPhases phases;
  for (int i = 0; i < 5; ++i) {
    SEISMIC_PHASE p;
    p.station = i;
    p.defining = 1;
    p.SetTime(100 - 8 * (pos[i][1] - 70) * std::cos(40 * kPi / 180));  // earlier to the east
    phases.Add(p);
  }
  const PlaneWaveFit fit = FitPlaneWaveToPhases(phases, stations, 0);
  ASSERT_TRUE(fit.ok);
  EXPECT_NEAR(fit.azimuth, 90, 1.0);
  EXPECT_NEAR(fit.slowness, 8, 0.2);
  ApplyPlaneWaveFit(fit, phases, 0);
  const SEISMIC_PHASE* ref = phases.Find(0, 0, 0);
  EXPECT_EQ(ref->hasPolarization, 1);
  EXPECT_EQ(ref->hasSlowness, 1);
  EXPECT_FLOAT_EQ(ref->azimuth, static_cast<float>(fit.azimuth));
  EXPECT_EQ(phases.Find(1, 0, 0)->hasSlowness, 0);
}

}  // namespace
}  // namespace nuv
