// nuvcli workspace run, as the analyst runs it on a saved worksheet.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/nuvcli_in_folder.h"
#include "support/temp_dir.h"

namespace nuv {
namespace {

using test::FolderCliRun;

class WorkspaceCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = test::NuvcliProgram();
    if (program_.empty()) GTEST_SKIP() << "nuvcli is not built";
  }
  FolderCliRun Run(const std::string& args) { return test::RunNuvcli(dir_, program_, args); }
  void Worksheet(const std::string& name, const std::vector<std::string>& formulas) {
    std::string text = "[WORKSHEET]\nWINDOWS=" + std::to_string(formulas.size()) + "\n";
    for (size_t i = 0; i < formulas.size(); ++i)
      text += "[W" + std::to_string(i) + "]\nCOMMAND=" + formulas[i] + "\n";
    dir_.WriteFile(name, text);
  }

  // A failing run: a non-zero exit, nothing on standard output and the
  // message on standard error.
  void ExpectFailure(const std::string& args, const std::string& message) {
    const FolderCliRun run = Run(args);
    EXPECT_NE(run.status, 0) << args;
    EXPECT_TRUE(run.out.empty()) << args;
    EXPECT_NE(run.err.find(message), std::string::npos) << args << ": " << run.err;
  }

  test::TempDir dir_;
  std::string program_;
};

TEST_F(WorkspaceCliTest, ComputesWindowsInReferenceOrderAndWritesDataFiles) {
  Worksheet("a.wks", {"w2*2", "mean(w0)", "gline(3,0.5)"});
  const FolderCliRun run = Run("workspace run a.wks --out .");
  ASSERT_EQ(run.status, 0) << run.err;
  const auto json = nlohmann::json::parse(run.out);
  EXPECT_EQ(json["order"], nlohmann::json({2, 0, 1}));
  const auto& w = json["windows"];
  EXPECT_EQ(w[0]["samples"], nlohmann::json({0.0, 1.0, 2.0}));
  EXPECT_EQ(w[0]["dx"], 0.5);
  EXPECT_EQ(w[1]["samples"], nlohmann::json({1.0}));
  EXPECT_EQ(test::TempDir::ReadFile(dir_ / "W0.dat"), "0\n1\n2\n");
}

TEST_F(WorkspaceCliTest, LoadedDataFilesFeedTheFormulasAndNonFiniteValuesBecomeNull) {
  Worksheet("b.wks", {"", "w0*10", "log(w0)"});
  dir_.WriteFile("in.dat", "1\n0\n2\n");
  const FolderCliRun run = Run("workspace run b.wks --load 0=in.dat");
  ASSERT_EQ(run.status, 0) << run.err;
  const auto json = nlohmann::json::parse(run.out);
  EXPECT_EQ(json["windows"][0]["fixed"], true);
  EXPECT_EQ(json["windows"][1]["samples"], nlohmann::json({10.0, 0.0, 20.0}));
  EXPECT_TRUE(json["windows"][2]["samples"][1].is_null());  // log(0)
}

TEST_F(WorkspaceCliTest, FailuresGiveTheMessageAndANonZeroExit) {
  Worksheet("bad.wks", {"gline(3,1)", "w0+", "w32"});
  FolderCliRun run = Run("workspace run bad.wks");
  EXPECT_NE(run.status, 0);
  EXPECT_TRUE(run.out.empty());
  EXPECT_NE(run.err.find("W2: 'w32' - undefined variables or function"), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("W1: "), std::string::npos);

  dir_.WriteFile("many.wks", "[WORKSHEET]\nWINDOWS=33\n");
  ExpectFailure("workspace run many.wks", "Неверное число окон");
  dir_.WriteFile("zero.wks", "[WORKSHEET]\n");
  ExpectFailure("workspace run zero.wks", "не содержит окон");
  ExpectFailure("workspace run missing.wks", "Ошибка открытия файла missing.wks");
  Worksheet("ok.wks", {"1"});
  ExpectFailure("workspace run ok.wks --load 32=x.dat", "0..31");
  ExpectFailure("workspace run ok.wks --load 3=x.dat", "W3");
  dir_.WriteFile("empty.dat", "");
  ExpectFailure("workspace run ok.wks --load 0=empty.dat", "Файл empty.dat пуст");
  ExpectFailure("workspace run", "usage");
}

}  // namespace
}  // namespace nuv
