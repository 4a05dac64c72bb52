// The signal commands of nuvcli, run as the analyst runs them.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "platform/settings_store.h"
#include "sigproc/detector.h"
#include "support/nuvcli_in_folder.h"
#include "support/temp_dir.h"

namespace nuv {
namespace {

using test::FolderCliRun;

class SignalCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = test::NuvcliProgram();
    if (program_.empty()) GTEST_SKIP() << "nuvcli is not built";
  }

  FolderCliRun Nuvcli(const std::string& args) { return test::RunNuvcli(dir_, program_, args); }

  // One sample per line, as the workspace writes data files.
  void WriteSignal(const std::string& name, const std::vector<float>& x) {
    std::ostringstream text;
    for (float v : x) text << v << "\n";
    dir_.WriteFile(name, text.str());
  }

  std::vector<std::string> Lines(const std::string& name) {
    std::vector<std::string> lines;
    std::istringstream in(test::TempDir::ReadFile(dir_ / name));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  test::TempDir dir_;
  std::string program_;
};

std::vector<float> Burst(std::size_t n, double sps, double onset) {
  std::vector<float> x(n);
  unsigned state = 9;
  for (std::size_t i = 0; i < n; ++i) {
    state = state * 1103515245u + 12345u;
    const double noise = static_cast<double>((state >> 8) % 2001) / 1000.0 - 1.0;
    const double t = static_cast<double>(i) / sps;
    x[i] = static_cast<float>(200.0 + (t >= onset && t < onset + 3.0 ? 190.0 : 10.0) * noise);
  }
  return x;
}

TEST_F(SignalCommandsTest, SimulateThroughPolesAndZerosAndThroughAnAmplitudeTable) {
  WriteSignal("in.dat", Burst(1000, 100.0, 5.0));
  dir_.WriteFile("abc.pz", "ZEROS 3|POLES 2|-0.1 0.1|-0.1 -0.1|CONSTANT 2.5");
  dir_.WriteFile("abc.fap", "2\n0.1 4\n10 4\n");

  FolderCliRun run = Nuvcli("simulate 1004 --rate 100 --pz abc.pz in.dat wa.dat");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(nlohmann::json::parse(run.out), nlohmann::json({{"count", 992}}));
  const auto wa = Lines("wa.dat");
  ASSERT_EQ(wa.size(), 992u);
  // Each line one number, written with the digits that give it back.
  size_t used = 0;
  std::stod(wa[500], &used);
  EXPECT_EQ(used, wa[500].size()) << wa[500];

  run = Nuvcli("simulate KIRNOS_A --rate 100 --fap abc.fap in.dat kirnos.dat");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(nlohmann::json::parse(run.out)["count"], 1000);
  EXPECT_EQ(Lines("kirnos.dat").size(), 1000u);
}

TEST_F(SignalCommandsTest, SimulateRefusesBadInputWithTheSystemsMessages) {
  dir_.WriteFile("empty.dat", "");
  dir_.WriteFile("one.dat", "5\n");
  dir_.WriteFile("bad.pz", "POLES 2\n-1 x\n");
  dir_.WriteFile("good.pz", "POLES 1\n-1 0\n");
  dir_.WriteFile("bad.fap", "3\n0.1 1\n");
  WriteSignal("in.dat", Burst(200, 100.0, 1.0));

  FolderCliRun run = Nuvcli("simulate 1000 --rate 100 --pz good.pz empty.dat out.dat");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Файл empty.dat пуст"), std::string::npos) << run.err;
  run = Nuvcli("simulate 1000 --rate 100 --pz good.pz missing.dat out.dat");
  EXPECT_NE(run.err.find("Ошибка открытия файла missing.dat"), std::string::npos) << run.err;
  run = Nuvcli("simulate 1000 --rate 0 --pz good.pz in.dat out.dat");
  EXPECT_EQ(run.status, 1);
  run = Nuvcli("simulate 1000 --rate 100 --pz bad.pz in.dat out.dat");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Ошибка открытия таблицы калибровок"), std::string::npos) << run.err;
  run = Nuvcli("simulate 1011 --rate 100 --fap bad.fap in.dat out.dat");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("с АЧХ"), std::string::npos) << run.err;
  run = Nuvcli("simulate 1017 --rate 100 --fap bad.fap in.dat out.dat");
  EXPECT_EQ(run.status, 1);
  run = Nuvcli("simulate 1001 --rate 100 --fap bad.fap in.dat out.dat");  // needs --pz
  EXPECT_EQ(run.status, 1);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "out.dat"));

  // One sample: the pole-zero length is empty, the table pipeline gives 0.
  run = Nuvcli("simulate 1000 --rate 100 --pz good.pz one.dat out.dat");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(nlohmann::json::parse(run.out)["count"], 0);
}

TEST_F(SignalCommandsTest, FilterRefusesCutOffsTheDesignCannotTake) {
  WriteSignal("in.dat", Burst(400, 100.0, 1.0));
  for (const char* args :
       {"LP 4 0 0", "LP 4 0 50", "HP 4 0 5", "BP 4 0 5", "BP 4 1 60", "HP 4 55 0", "BP 4 5 2"}) {
    const FolderCliRun run = Nuvcli(std::string("filter ") + args + " --rate 100 in.dat out.dat");
    EXPECT_EQ(run.status, 1) << args;
    EXPECT_NE(run.err.find("частот"), std::string::npos) << args << ": " << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir_ / "out.dat")) << args;
  }
  const FolderCliRun run = Nuvcli("filter BP 4 1 10 --rate 100 --zero-phase in.dat out.dat");
  ASSERT_EQ(run.status, 0) << run.err;
  const auto lines = Lines("out.dat");
  ASSERT_EQ(lines.size(), 400u);
  for (const std::string& line : lines) EXPECT_EQ(line.find("nan"), std::string::npos) << line;
}

TEST_F(SignalCommandsTest, DetectReportsMarks) {
  const auto x = Burst(15000, 100.0, 100.0);
  WriteSignal("in.dat", x);
  FolderCliRun run = Nuvcli("detect sta-lta --lta 10 --sta 1 --k 4 --rate 100 --start 1000 in.dat");
  ASSERT_EQ(run.status, 0) << run.err;
  const auto marks = nlohmann::json::parse(run.out)["marks"];
  // The same marks as the detector gives on the samples as written.
  std::vector<float> written;
  for (const auto& line : Lines("in.dat")) written.push_back(std::stof(line));
  DetectParam expected;
  RunNUVDetector(written, 100.0, 1000.0, {10.0, 1.0, 4.0, 0}, expected);
  ASSERT_EQ(marks.size(), expected.size());
  ASSERT_GE(marks.size(), 2u);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_DOUBLE_EQ(marks[i]["time"].get<double>(), expected.time(i));
    EXPECT_EQ(marks[i]["lta"], 10.0);
    EXPECT_EQ(marks[i]["sta"], 1.0);
  }
  EXPECT_NEAR(marks[0]["time"].get<double>(), 1100.0, 1.0);

  run = Nuvcli("detect vendrel --lta 10 --sta 1 --k 4 --rate 100 in.dat");
  ASSERT_EQ(run.status, 0) << run.err;
  const auto vendrel = nlohmann::json::parse(run.out)["marks"];
  ASSERT_GE(vendrel.size(), 1u);
  EXPECT_NEAR(vendrel[0]["time"].get<double>(), 100.0, 0.5);
}

TEST_F(SignalCommandsTest, DetectTakesStoredDefaultsAndChecksRanges) {
  WriteSignal("in.dat", Burst(15000, 100.0, 100.0));
  SettingsStore store(dir_ / "settings" / "registry.txt");
  ASSERT_TRUE(SaveDetectorDefaults(store, "ABC", "BHZ", {20.0, 2.0, 3.0, 0}));
  FolderCliRun run = Nuvcli("detect sta-lta --rate 100 --station ABC --channel BHZ in.dat");
  ASSERT_EQ(run.status, 0) << run.err;
  const auto marks = nlohmann::json::parse(run.out)["marks"];
  ASSERT_GE(marks.size(), 2u);
  EXPECT_EQ(marks[0]["lta"], 20.0);
  EXPECT_EQ(marks[0]["sta"], 2.0);

  run = Nuvcli("detect sta-lta --rate 100 --lta 0.5 in.dat");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Please enter a number between 1 and 999."), std::string::npos);
  run = Nuvcli("detect vendrel --rate 100 --lta 999 in.dat");  // beyond the 16-bit counts
  EXPECT_EQ(run.status, 1);
  run = Nuvcli("detect sta-lta --rate 2 --sta 0.1 in.dat");  // STA shorter than a sample
  EXPECT_EQ(run.status, 1);
  dir_.WriteFile("empty.dat", "junk\n");
  run = Nuvcli("detect vendrel --rate 100 empty.dat");
  EXPECT_NE(run.err.find("Файл empty.dat пуст"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace nuv
