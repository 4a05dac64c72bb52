// Regional velocity models read from text files, and travel times through them.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "support/temp_dir.h"
#include "traveltime/taup_model.h"
#include "traveltime/taup_phase.h"
#include "traveltime/taup_ray.h"

namespace nuv::taup {
namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

std::string ErrorOf(const std::string& text) {
  try {
    EarthModel::Parse(text);
  } catch (const ModelError& e) {
    return e.what();
  }
  return "";
}

TEST(ModelFile, RegionalCrustContinuesWithIasp91Below) {
  EarthModel m = EarthModel::Parse(
      "# one-layer crust over a fast lid\n"
      "name Test crust\n"
      "0 6.0 3.5\n"
      "40 6.0 3.5   # base of the crust\n"
      "40 8.1 4.6\n"
      "\n"
      "100 8.2 4.65\n");
  EarthModel iasp = EarthModel::Iasp91();
  EXPECT_EQ(m.Name(), "Test crust");
  EXPECT_DOUBLE_EQ(m.MohoDepth(), 40);    // first jump to mantle velocities
  EXPECT_DOUBLE_EQ(m.ConradDepth(), 40);  // no jump above it
  EXPECT_DOUBLE_EQ(m.Vp(20), 6.0);
  EXPECT_NEAR(m.Vp(70), 8.15, 1e-12);  // linear between lines
  EXPECT_NEAR(m.Vs(70), 4.625, 1e-12);
  EXPECT_DOUBLE_EQ(m.Vp(100, false), 8.2);
  EXPECT_NEAR(m.Vp(100, true), iasp.Vp(100), 1e-12);
  EXPECT_NEAR(m.Vp(1500), iasp.Vp(1500), 1e-12);
  EXPECT_DOUBLE_EQ(m.CmbDepth(), 2889);
  EXPECT_DOUBLE_EQ(m.IcbDepth(), 5153.9);

  RaySet rays(m, {0, 10});
  PhaseSolver solver(rays);
  // Straight chords in the homogeneous crust, no lower crust, Pn beyond the crossover.
  EXPECT_NEAR(solver.Time("Pg", 0, 1), 2 * 6371 * std::sin(0.5 * kDeg) / 6.0, 1e-3);
  EXPECT_EQ(solver.Time("Pb", 0, 1), -1);
  EXPECT_GT(solver.Time("Pn", 0, 5), 0);
  EXPECT_LT(solver.Time("Pn", 0, 5), solver.Time("Pg", 0, 5));
  EXPECT_NEAR(solver.Time("P", 10, 0), 10 / 6.0, 1e-6);
}

TEST(ModelFile, KeywordsSetTheCrustalBoundaries) {
  EarthModel m = EarthModel::Parse(
      "conrad 15\nmoho 30\n0 5.5 3.2\n15 5.5 3.2\n15 6.4 3.7\n30 6.8 3.9\n30 7.5 4.3\n50 7.6 "
      "4.3\n");
  EXPECT_DOUBLE_EQ(m.ConradDepth(), 15);
  EXPECT_DOUBLE_EQ(m.MohoDepth(), 30);  // Vp 7.5 below: not found without the keyword
  EarthModel guessed =
      EarthModel::Parse("0 5.5 3.2\n15 5.5 3.2\n15 6.4 3.7\n30 6.8 3.9\n30 7.9 4.3\n50 8 4.4\n");
  EXPECT_DOUBLE_EQ(guessed.MohoDepth(), 30);
  EXPECT_DOUBLE_EQ(guessed.ConradDepth(), 15);
}

TEST(ModelFile, TheIasp91CrustAsAFileGivesTheBuiltInTimes) {
  EarthModel file = EarthModel::Parse("0 5.8 3.36\n20 5.8 3.36\n20 6.5 3.75\n35 6.5 3.75\n");
  EarthModel builtIn = EarthModel::Iasp91();
  RaySet a(file, {0, 10}), b(builtIn, {0, 10});
  PhaseSolver sa(a), sb(b);
  for (const char* phase : {"P", "S", "Pg", "Pn", "PcP", "PKPdf", "sS"}) {
    for (double d : {0.5, 5.0, 30.0, 150.0}) {
      EXPECT_NEAR(sa.Time(phase, 10, d), sb.Time(phase, 10, d), 1e-6) << phase << " " << d;
    }
  }
}

TEST(ModelFile, LowVelocityZoneLeavesAShadowInsteadOfFakeArrivals) {
  // A slow lower crust under a fast upper crust, and a fast lid (8.0 to 8.1 km/s down to
  // 60 km) over the slower IASP91 mantle: rays that graze the top of a slow layer and rays
  // that just enter it emerge far apart, and no ray arrives in between.
  EarthModel m =
      EarthModel::Parse("0 6.0 3.5\n15 6.0 3.5\n15 5.0 2.9\n30 5.0 2.9\n30 8.0 4.5\n60 8.1 4.55\n");
  EXPECT_DOUBLE_EQ(m.ConradDepth(), 15);
  EXPECT_DOUBLE_EQ(m.MohoDepth(), 30);
  RaySet rays(m, {0});
  PhaseSolver solver(rays);
  // Pg ends where its chord grazes the top of the slow layer.
  const double graze = 2 * std::acos(6356.0 / 6371.0) / kDeg;
  EXPECT_GT(solver.Time("Pg", 0, graze - 0.1), 0);
  EXPECT_EQ(solver.Time("Pg", 0, graze + 0.1), -1);
  // Rays turning in the lid reach about 6 degrees; the next ones turn far below 60 km.
  EXPECT_GT(solver.Time("Pn", 0, 6), 0);
  for (double d : {9.0, 10.0, 11.0, 12.0}) EXPECT_EQ(solver.Time("P", 0, d), -1) << d;
  EXPECT_GT(solver.Time("P", 0, 20), 0);
  // Wherever P exists it is the first of the crustal and uppermost-mantle classes.
  for (double d = 0.5; d <= 8; d += 0.5) {
    double first = 1e9;
    for (const char* p : {"Pg", "Pb", "Pn"}) {
      double t = solver.Time(p, 0, d);
      if (t >= 0) first = std::min(first, t);
    }
    EXPECT_NEAR(solver.Time("P", 0, d), first, 1e-6) << d;
  }
}

TEST(ModelFile, FaultyFilesAreRefusedWithTheLine) {
  EXPECT_EQ(ErrorOf("5 6.0 3.5\n20 6.0 3.5\n"), "line 1: the first depth must be 0");
  EXPECT_EQ(ErrorOf("0 6.0 3.5\n20 6.0 3.5\n10 6 3\n"), "line 3: depths must not decrease");
  EXPECT_EQ(ErrorOf("0 6 3.5\n20 6 3.5\n20 7 4\n20 8 4.5\n"),
            "line 4: a depth may appear at most twice");
  EXPECT_EQ(ErrorOf("0 6.0 6.5\n20 6 3\n"), "line 1: Vs must be at least 0 and below Vp");
  EXPECT_EQ(ErrorOf("0 0 0\n20 6 3\n"), "line 1: Vp must be positive");
  EXPECT_EQ(ErrorOf("0 6 3\n20 six 3\n"), "line 2: expected \"depth vp vs\" or a keyword");
  EXPECT_EQ(ErrorOf("0 6 3 4\n20 6 3\n"), "line 1: unexpected text \"4\"");
  EXPECT_EQ(ErrorOf("moho\n0 6 3\n20 6 3\n"), "line 1: \"moho\" needs a positive number in km");
  EXPECT_EQ(ErrorOf("0 6 3\n"), "a model needs at least two depth lines");
  EXPECT_EQ(ErrorOf(""), "a model needs at least two depth lines");
  EXPECT_EQ(ErrorOf("0 6 3\n0 7 4\n"), "line 2: the model ends at a discontinuity");
  EXPECT_EQ(ErrorOf("0 6 3\n30 6 3\n30 8 4.5\n"), "line 3: the model ends at a discontinuity");
  EXPECT_EQ(ErrorOf("conrad 30\nmoho 20\n0 6 3\n40 6 3\n"), "the Conrad lies below the Moho");
  EXPECT_EQ(ErrorOf("0 6 3\n7000 6 3\n"), "line 2: depth beyond the radius 6371.0 km");
  EXPECT_NE(ErrorOf("radius 3000\n0 6 3\n100 6 3\n").find("must reach the centre"),
            std::string::npos);
}

TEST(ModelFile, LoadNamesTheFile) {
  test::TempDir dir;
  auto good = dir.WriteFile("crust.txt", "0 6.1 3.5\n30 6.1 3.5\n30 8.0 4.5\n60 8.1 4.55\n");
  EarthModel m = EarthModel::Load(good.string());
  EXPECT_EQ(m.Name(), good.string());  // no "name" line: the path stands for it
  EXPECT_DOUBLE_EQ(m.MohoDepth(), 30);

  auto bad = dir.WriteFile("bad.txt", "0 6.1\n");
  try {
    EarthModel::Load(bad.string());
    FAIL() << "a bad file was accepted";
  } catch (const ModelError& e) {
    EXPECT_EQ(std::string(e.what()),
              bad.string() + ": line 1: expected \"depth vp vs\" or a keyword");
  }
  EXPECT_THROW(EarthModel::Load((dir / "missing.txt").string()), ModelError);
}

TEST(ModelFile, AModelWithoutCoreHasNoCorePhases) {
  EarthModel m = EarthModel::Parse("radius 1000\n0 6 3.5\n1000 7 4\n");
  EXPECT_EQ(m.CmbDepth(), -1);
  RaySet rays(m, {0});
  PhaseSolver solver(rays);
  EXPECT_GT(solver.Time("P", 0, 60), 0);
  EXPECT_EQ(solver.Time("PcP", 0, 10), -1);
  EXPECT_EQ(solver.Time("PKPdf", 0, 170), -1);
  EXPECT_EQ(solver.Time("SKS", 0, 100), -1);
  // Without a core nothing diffracts: straight through the homogeneous-ish sphere.
  EXPECT_GT(solver.Time("P", 0, 179), 0);
}

}  // namespace
}  // namespace nuv::taup
