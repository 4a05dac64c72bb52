// The tau-p core against the published IASP91 model and travel times, and against
// closed-form results of the model's homogeneous layers.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

#include "traveltime/taup_model.h"
#include "traveltime/taup_phase.h"
#include "traveltime/taup_ray.h"

namespace nuv::taup {
namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

class Iasp91Times : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    model_ = std::make_unique<EarthModel>(EarthModel::Iasp91());
    rays_ = std::make_unique<RaySet>(*model_, std::vector<double>{0, 5, 10, 25, 50, 100, 300, 600});
    solver_ = std::make_unique<PhaseSolver>(*rays_);
  }
  static void TearDownTestSuite() {
    solver_.reset();
    rays_.reset();
    model_.reset();
  }
  static double T(const char* phase, double depth, double distance) {
    return solver_->Time(phase, depth, distance);
  }
  // Vertical travel time from depth a to depth b (a < b): midpoint rule inside each
  // region of the model, so that no step straddles a discontinuity.
  static double VerticalP(double a, double b) {
    double t = 0;
    for (const ModelRegion& r : model_->Regions()) {
      double top = std::max(a, r.topDepth), bottom = std::min(b, r.bottomDepth);
      if (bottom <= top) continue;
      const int n = 4000;
      double h = (bottom - top) / n;
      for (int i = 0; i < n; ++i) t += h / model_->Vp(top + (i + 0.5) * h, true);
    }
    return t;
  }
  static std::unique_ptr<EarthModel> model_;
  static std::unique_ptr<RaySet> rays_;
  static std::unique_ptr<PhaseSolver> solver_;
};
std::unique_ptr<EarthModel> Iasp91Times::model_;
std::unique_ptr<RaySet> Iasp91Times::rays_;
std::unique_ptr<PhaseSolver> Iasp91Times::solver_;

TEST(Iasp91Model, CoefficientsMatchThePublishedBoundaryValues) {
  EarthModel m = EarthModel::Iasp91();
  const double tol = 0.0006;  // the published checks have three decimals
  EXPECT_NEAR(m.Vp(35, true), 8.040, tol);
  EXPECT_NEAR(m.Vp(120, false), 8.050, tol);
  EXPECT_NEAR(m.Vp(120, true), 8.050, tol);
  EXPECT_NEAR(m.Vs(120, false), 4.500, tol);
  EXPECT_NEAR(m.Vs(120, true), 4.500, tol);
  EXPECT_NEAR(m.Vp(410, false), 9.030, tol);
  EXPECT_NEAR(m.Vp(410, true), 9.360, tol);
  EXPECT_NEAR(m.Vs(410, false), 4.870, tol);
  EXPECT_NEAR(m.Vs(410, true), 5.070, tol);
  EXPECT_NEAR(m.Vp(660, false), 10.200, tol);
  EXPECT_NEAR(m.Vp(660, true), 10.790, tol);
  EXPECT_NEAR(m.Vs(660, false), 5.600, tol);
  EXPECT_NEAR(m.Vs(660, true), 5.950, tol);
  EXPECT_NEAR(m.Vp(2889, false), 13.691, tol);
  EXPECT_NEAR(m.Vp(2889, true), 8.009, tol);
  EXPECT_NEAR(m.Vp(5153.9, false), 10.258, tol);
  EXPECT_NEAR(m.Vp(5153.9, true), 11.091, tol);
  EXPECT_EQ(m.Vs(3000, false), 0.0);

  EXPECT_DOUBLE_EQ(m.ConradDepth(), 20);
  EXPECT_DOUBLE_EQ(m.MohoDepth(), 35);
  EXPECT_DOUBLE_EQ(m.CmbDepth(), 2889);
  EXPECT_DOUBLE_EQ(m.IcbDepth(), 5153.9);
  std::vector<double> jumps = m.DiscontinuityDepths();
  for (double d : {20.0, 35.0, 410.0, 660.0, 2889.0, 5153.9})
    EXPECT_NE(std::find(jumps.begin(), jumps.end(), d), jumps.end()) << d;
  EXPECT_EQ(std::find(jumps.begin(), jumps.end(), 120.0), jumps.end());
  EXPECT_EQ(std::find(jumps.begin(), jumps.end(), 2740.0), jumps.end());
}

TEST_F(Iasp91Times, PMatchesThePublishedBookletTable) {
  // Kennett (1991), IASP91 Seismological Tables, surface focus, two decimals.
  const double booklet[][2] = {{23, 306.34}, {24, 316.31}, {25, 325.43},
                               {26, 334.51}, {27, 343.54}, {28, 352.50}};
  for (const auto& [distance, time] : booklet)
    EXPECT_NEAR(T("P", 0, distance), time, 0.05) << distance;
}

TEST_F(Iasp91Times, SurfaceFocusPAndSMatchTheTauSplineTables) {
  // Tables computed from IASP91 with the tau-spline programs (three decimals).
  const double tol = 0.2;
  EXPECT_NEAR(T("P", 0, 10), 144.793, tol);
  EXPECT_NEAR(T("P", 0, 30), 370.144, tol);
  EXPECT_NEAR(T("P", 0, 60), 608.154, tol);
  EXPECT_NEAR(T("P", 0, 90), 781.206, tol);
  EXPECT_NEAR(T("S", 0, 30), 670.259, tol);
  EXPECT_NEAR(T("S", 0, 60), 1102.641, tol);
  EXPECT_NEAR(T("S", 0, 90), 1435.667, tol);
  EXPECT_NEAR(T("S", 5, 10), 258.106, tol);
  EXPECT_NEAR(T("S", 50, 10), 252.502, tol);
  EXPECT_NEAR(T("S", 100, 10), 251.521, tol);
}

TEST_F(Iasp91Times, SurfaceFocusSAtRegionalDistanceFollowsTheCrust) {
  // The tau-spline table's surface-focus S is 0.56 s earlier than ours from 2 to 22
  // degrees while its 5 km focus agrees with ours to 0.01 s. Moving the source up
  // through the 3.36 km/s upper crust must add h * sqrt(1/v^2 - p^2) for the ray's
  // slowness; the table adds 0.44 s over 5 km, the model needs about 1 s. So the
  // surface values are checked against that physical step instead.
  double p = (T("S", 0, 10.5) - T("S", 0, 9.5)) / (6371 * kDeg);  // s/km at the surface
  double eta = std::sqrt(1 / (3.36 * 3.36) - p * p);
  EXPECT_NEAR(T("S", 0, 10) - T("S", 5, 10), 5 * eta, 0.03);
  // At 1 degree the first S travels the upper crust: no faster than its chord.
  EXPECT_GE(T("S", 0, 1), 2 * 6371 * std::sin(0.5 * kDeg) / 3.36 - 1e-3);
}

TEST_F(Iasp91Times, FocalDepthChecksAndSksBeforeS) {
  EXPECT_NEAR(T("P", 10, 35), 412.43, 0.2);
  EXPECT_NEAR(T("S", 10, 35), 745.29, 0.2);
  EXPECT_NEAR(T("P", 300, 50), 504.256, 0.2);
  EXPECT_NEAR(T("S", 300, 50), 911.991, 0.2);
  EXPECT_NEAR(T("SKS", 0, 90), 1412.84, 0.2);
  EXPECT_LT(T("SKS", 0, 90), T("S", 0, 90));
  EXPECT_DOUBLE_EQ(T("SKS", 0, 90), T("SKSac", 0, 90));
}

TEST_F(Iasp91Times, HomogeneousLayersGiveClosedFormTimes) {
  // In the 5.8 km/s upper crust a ray from a surface source is a straight chord.
  for (double d : {0.5, 1.0, 4.0})
    EXPECT_NEAR(T("Pg", 0, d), 2 * 6371 * std::sin(d * kDeg / 2) / 5.8, 1e-3) << d;
  EXPECT_NEAR(T("Sg", 0, 1.0), 2 * 6371 * std::sin(0.5 * kDeg) / 3.36, 1e-3);
  // Straight up from a source in the upper crust, and from one in the lower crust.
  EXPECT_NEAR(T("P", 10, 0), 10 / 5.8, 1e-6);
  EXPECT_NEAR(T("Pb", 25, 0), 20 / 5.8 + 5 / 6.5, 1e-6);
  EXPECT_DOUBLE_EQ(T("P", 0, 0), 0);
  // Vertical rays through the graded mantle against a direct quadrature of 1/Vp.
  EXPECT_NEAR(T("P", 300, 0), VerticalP(0, 300), 2e-3);
  EXPECT_NEAR(T("PcP", 0, 0), 2 * VerticalP(0, 2889), 5e-3);
  EXPECT_NEAR(T("PcP", 300, 0), 2 * VerticalP(0, 2889) - VerticalP(0, 300), 5e-3);
  EXPECT_NEAR(T("PKiKP", 0, 0), 2 * VerticalP(0, 5153.9), 5e-3);
}

TEST_F(Iasp91Times, CrustalPhasesFollowTheDeepestPointOfTheRay) {
  // Pg only from sources above the Conrad, Pb from the lower crust, Pn from the mantle.
  EXPECT_GT(T("Pg", 10, 1), 0);
  EXPECT_EQ(T("Pg", 25, 1), -1);
  EXPECT_EQ(T("Pg", 25, 0.1), -1);
  EXPECT_GT(T("Pb", 25, 0.5), 0);
  EXPECT_EQ(T("Pb", 100, 1), -1);
  EXPECT_GT(T("Pn", 0, 5), 0);
  EXPECT_GT(T("Pn", 100, 1), 0);  // up-going from the uppermost mantle
  EXPECT_EQ(T("Pn", 0, 30), -1);  // turns below the uppermost mantle
  EXPECT_EQ(T("Pn", 600, 1), -1);
  EXPECT_EQ(T("Pg", 0, 12), -1);  // beyond the chord that grazes the Conrad
  // P is the first of them at every distance: Pg near the source, then Pn.
  for (double d : {0.5, 1.0, 2.0, 5.0, 10.0, 15.0}) {
    double first = 1e9;
    for (const char* p : {"Pg", "Pb", "Pn"}) {
      double t = T(p, 0, d);
      if (t >= 0) first = std::min(first, t);
    }
    EXPECT_NEAR(T("P", 0, d), first, 1e-6) << d;
  }
  EXPECT_LT(T("Pg", 0, 1), T("Pn", 0, 1));
  EXPECT_LT(T("Pn", 0, 5), T("Pg", 0, 5));
}

TEST_F(Iasp91Times, CorePhaseBranchesAndTheShadow) {
  // At 150 degrees all three PKP branches exist: df first, then bc, then ab.
  double df = T("PKPdf", 0, 150), bc = T("PKPbc", 0, 150), ab = T("PKPab", 0, 150);
  ASSERT_GT(df, 0);
  ASSERT_GT(bc, 0);
  ASSERT_GT(ab, 0);
  EXPECT_LT(df, bc);
  EXPECT_LT(bc, ab);
  EXPECT_DOUBLE_EQ(T("PKP", 0, 150), df);
  // bc ends at the caustic B (about 145 degrees) and at the grazing ray C (about 155).
  EXPECT_EQ(T("PKPbc", 0, 140), -1);
  EXPECT_EQ(T("PKPbc", 0, 160), -1);
  EXPECT_GT(T("PKPab", 0, 170), 0);
  EXPECT_EQ(T("PKPdf", 0, 100), -1);
  EXPECT_GT(T("PKiKP", 0, 100), 0);
  // Direct P beyond the shadow edge is diffracted along the core-mantle boundary: its
  // slope is the slowness of the boundary, r/v = 3482 km / 13.691 km/s per radian.
  double slope = (T("P", 0, 115) - T("P", 0, 105)) / 10;
  EXPECT_NEAR(slope, 3482 / 13.6908 * kDeg, 1e-3);
  EXPECT_EQ(T("P", 0, kDiffractionLimit + 1), -1);
  EXPECT_EQ(T("PcP", 0, 120), -1);
  // Phases past 180 degrees come back folded: PKKP and P'P' exist at short distances.
  EXPECT_GT(T("PKKPdf", 0, 10), 0);
  EXPECT_GT(T("PKPPKP", 0, 60), 0);
  EXPECT_NEAR(T("PKPPKP", 0, 0), 2 * T("PKPdf", 0, 180), 0.05);
}

TEST_F(Iasp91Times, DepthPhasesAndMultiplesAreConsistent) {
  // A surface source makes the depth phase the phase itself.
  EXPECT_NEAR(T("pP", 0, 60), T("P", 0, 60), 1e-6);
  EXPECT_NEAR(T("sS", 0, 60), T("S", 0, 60), 1e-6);
  // pP - P grows with depth; sP arrives after pP, sS after sP... at teleseismic distance.
  double p300 = T("P", 300, 60), pp300 = T("pP", 300, 60), sp300 = T("sP", 300, 60);
  EXPECT_GT(pp300 - p300, 50);
  EXPECT_LT(pp300 - p300, 80);
  EXPECT_GT(sp300, pp300);
  EXPECT_GT(T("sS", 300, 60), T("pS", 300, 60));
  // PP at 2D is later than P at 2D and close to twice P at D for a surface source.
  EXPECT_NEAR(T("PP", 0, 60), 2 * T("P", 0, 30), 0.5);
  EXPECT_GT(T("PP", 0, 60), T("P", 0, 60));
  EXPECT_NEAR(T("PPP", 0, 90), 3 * T("P", 0, 30), 0.5);
  // PS and SP have the same path reversed for a surface source.
  EXPECT_NEAR(T("PS", 0, 60), T("SP", 0, 60), 1e-3);
  EXPECT_NEAR(T("PcS", 0, 30), T("ScP", 0, 30), 1e-3);
  EXPECT_GT(T("ScS", 0, 30), T("S", 0, 30));
}

TEST_F(Iasp91Times, RejectsADepthThatIsNotASourceDepthOfTheSet) {
  EXPECT_THROW(T("P", 12, 30), std::invalid_argument);
  EXPECT_THROW(T("NoSuchPhase", 0, 30), std::invalid_argument);
}

TEST_F(Iasp91Times, FirstArrivalsIncreaseWithDistanceAtTheirSlowness) {
  // dT/dD of a first arrival is the ray slowness: positive and at most the slowness of
  // the slowest layer the ray can start in.
  for (double depth : {0.0, 100.0, 600.0}) {
    for (const char* phase : {"P", "S"}) {
      double prev = T(phase, depth, 0);
      double maxSlope = 6371 / (phase[0] == 'P' ? 5.8 : 3.36) * kDeg;
      for (double d = 1; d <= kDiffractionLimit; d += 1) {
        double t = T(phase, depth, d);
        ASSERT_GT(t, prev) << phase << " " << depth << " " << d;
        EXPECT_LE(t - prev, maxSlope + 1e-6);
        prev = t;
      }
    }
  }
}

}  // namespace
}  // namespace nuv::taup
