// The seismological commands of nuvcli that need no database: network
// magnitudes from a phase file and the azimuth of three components.

#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <sstream>

#include "support/nuvcli_in_folder.h"

namespace nuv {
namespace {

class SeismoCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = test::NuvcliProgram();
    if (program_.empty()) GTEST_SKIP() << "nuvcli is not built";
  }
  test::FolderCliRun Nuvcli(const std::string& args) {
    return test::RunNuvcli(dir_, program_, args);
  }

  test::TempDir dir_;
  std::string program_;
};

TEST_F(SeismoCommandsTest, NetworkMagnitudesWithTheirSpread) {
  dir_.WriteFile("phases.json",
                 R"([{"station": "A", "mb": 4.2, "ms": 3.9}, {"mb": 4.6}, {"mb": -1, "ms": null},
                     {"ms": 4.3}, {}])");
  test::FolderCliRun run = Nuvcli("magnitude network phases.json");
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json out = nlohmann::json::parse(run.out);
  EXPECT_NEAR(out["mb"].get<double>(), 4.4, 1e-6);
  EXPECT_NEAR(out["mbUncertainty"].get<double>(), 0.04, 1e-6);  // mean squared deviation
  EXPECT_EQ(out["mbCount"], 2);
  EXPECT_NEAR(out["ms"].get<double>(), 4.1, 1e-6);
  EXPECT_EQ(out["msCount"], 2);

  // No station value: no network value.
  dir_.WriteFile("none.json", R"([{"ms": 3.5}])");
  run = Nuvcli("magnitude network none.json");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(nlohmann::json::parse(run.out)["mb"].is_null());
  EXPECT_TRUE(nlohmann::json::parse(run.out)["mbUncertainty"].is_null());

  for (const char* bad : {R"({"mb": 4})", R"([{"mb": "4.1"}])", R"([3])", "[{"}) {
    dir_.WriteFile("bad.json", bad);
    run = Nuvcli("magnitude network bad.json");
    EXPECT_NE(run.status, 0) << bad;
    EXPECT_FALSE(run.err.empty()) << bad;
  }
  EXPECT_NE(Nuvcli("magnitude network absent.json").status, 0);
  EXPECT_NE(Nuvcli("magnitude network").status, 0);
}

TEST_F(SeismoCommandsTest, ZneBackAzimuthOfAPWave) {
  for (double baz : {35.0, 160.0, 215.0, 300.0}) {
    const double a = baz * M_PI / 180, i = 30 * M_PI / 180;
    std::ostringstream text;
    text << "# Z N E\n";
    for (int k = 0; k < 200; ++k) {
      const double s = std::sin(0.25 * k), t = 0.03 * std::cos(0.9 * k);
      text << s * std::cos(i) << " " << -s * std::sin(i) * std::cos(a) - t * std::sin(a) << " "
           << -s * std::sin(i) * std::sin(a) + t * std::cos(a) << "\n";
    }
    dir_.WriteFile("zne.txt", text.str());
    const test::FolderCliRun run = Nuvcli("polarization --zne zne.txt");
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json out = nlohmann::json::parse(run.out);
    EXPECT_NEAR(out["backAzimuth"].get<double>(), baz, 1.0) << run.out;
    EXPECT_NEAR(out["emergence"].get<double>(), 30, 1.0) << run.out;
  }
  // Motion along one line has no direction.
  dir_.WriteFile("line.txt", "1 1 1\n2 2 2\n-1 -1 -1\n");
  const test::FolderCliRun run = Nuvcli("polarization --zne line.txt");
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.err.find("Ошибка данных"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace nuv
