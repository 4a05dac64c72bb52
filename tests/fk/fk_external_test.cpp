#include "fk/fk_external.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

#include "archive/wfdisc_format.h"
#include "fk/fk_array.h"
#include "platform/profile_file.h"
#include "support/temp_dir.h"

namespace nuv {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

const std::string kScript = std::string(NUV_TEST_DATA_DIR) + "/fk/fake_fk.sh";

// Sets FAKE_FK_MODE for one case.
class FakeMode {
 public:
  explicit FakeMode(const char* mode) { setenv("FAKE_FK_MODE", mode, 1); }
  ~FakeMode() { unsetenv("FAKE_FK_MODE"); }
};

class FkExternalTest : public ::testing::Test {
 protected:
  FkExternalSettings Settings(const std::string& module) {
    FkExternalSettings s;
    s.module = module;
    s.wfd = dir.path().string() + "/  ";  // a slash and blanks, as typed
    s.timeout = std::chrono::seconds(20);
    return s;
  }
  std::vector<FkPane> panes = test::PlaneWaveArray(test::SquareArray(), {60, 0.1}, 100, 60);
  TempDir dir;
};

TEST(FkExchange, DirectoryLosesBlanksAndOneSlash) {
  EXPECT_EQ(FkExchangeDir("/tmp/fk/  "), "/tmp/fk");
  EXPECT_EQ(FkExchangeDir("C:\\FK\\"), "C:\\FK");
  EXPECT_EQ(FkExchangeDir("/tmp/fk//"), "/tmp/fk/");
  EXPECT_EQ(FkExchangeDir(""), "");
}

TEST(FkExchange, SettingsComeFromTheProfile) {
  TempDir dir;
  const fs::path ini =
      dir.WriteFile("NUV.INI", "[FKEXT]\nMODULE=/opt/fk\nWFD=/tmp/x/\nTIMEOUT=7\n");
  const FkExternalSettings s = FkExternalSettings::Read(ProfileFile(ini));
  EXPECT_EQ(s.module, "/opt/fk");
  EXPECT_EQ(s.wfd, "/tmp/x/");
  EXPECT_EQ(s.timeout, std::chrono::seconds(7));
  // No key, or a time limit that is not positive: five minutes.
  const fs::path bare = dir.WriteFile("B.INI", "[FKEXT]\nTIMEOUT=-3\n");
  EXPECT_EQ(FkExternalSettings::Read(ProfileFile(bare)).timeout, std::chrono::seconds(300));
}

TEST_F(FkExternalTest, FileSetHoldsEveryIntervalInOrder) {
  panes[2].hasInterval = false;  // left out
  // An interval after the pane's data: skipped, but the shortest interval.
  panes[3].intervalStart = panes[3].start + 100000;
  panes[3].intervalEnd = panes[3].intervalStart + 2;
  double shortest = 0;
  ASSERT_EQ(WriteFkExchange(dir.path().string(), panes, shortest), "");
  EXPECT_DOUBLE_EQ(shortest, 2);
  const std::string text = TempDir::ReadFile(dir / "0.wfdisc");
  const std::vector<WfdiscRecord> lines = ParseWfdiscText(text);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(text.size(), 7 * 284u);
  long offset = 0;
  const std::string data = TempDir::ReadFile(dir / "data.w");
  for (const WfdiscRecord& r : lines) {
    EXPECT_EQ(r.chan, "bhz");
    EXPECT_EQ(r.datatype, "f4");
    EXPECT_EQ(r.dfile, "data.w");
    EXPECT_EQ(r.dir, ".");
    EXPECT_EQ(r.wfid, -1);
    EXPECT_EQ(r.foff, offset);
    EXPECT_EQ(r.nsamp, 1200);  // 12 s at 100 samples/s
    EXPECT_EQ(r.jdate, 1970001);
    EXPECT_EQ(r.lddate, "1970:001-00:16:40");
    offset += 4 * r.nsamp;
  }
  ASSERT_EQ(data.size(), static_cast<size_t>(offset));
  // The first pane's first sample is the one at the interval's earlier end.
  float first;
  std::memcpy(&first, data.data(), 4);
  EXPECT_EQ(first, panes[0].samples[2400]);
}

TEST_F(FkExternalTest, UnwritableDirectoryStopsBeforeTheProgram) {
  double shortest = 0;
  EXPECT_EQ(WriteFkExchange((dir / "missing").string(), panes, shortest),
            "Ошибка записи файла wfdisc");
  FkExternalResult r;
  FkExternalSettings s = Settings(kScript);
  s.wfd = (dir / "missing").string();
  EXPECT_EQ(RunExternalFk(s, panes, r), "Ошибка записи файла wfdisc");
  for (FkPane& p : panes) p.hasInterval = false;
  EXPECT_EQ(RunExternalFk(Settings(kScript), panes, r),
            "Список отобраных каналов пуст. Модуль F-K анализа запущен не будет.");
}

TEST_F(FkExternalTest, ProgramAnswerIsRead) {
  FkExternalResult r;
  ASSERT_EQ(RunExternalFk(Settings(kScript), panes, r), "");
  EXPECT_NEAR(r.slowness, 0.0823, 1e-6);
  EXPECT_NEAR(r.azimuth, 45.5, 1e-6);
  setenv("FAKE_FK_AZIMUTH", "312.25", 1);
  ASSERT_EQ(RunExternalFk(Settings(kScript), panes, r), "");
  unsetenv("FAKE_FK_AZIMUTH");
  EXPECT_NEAR(r.azimuth, 312.25, 1e-4);
}

TEST_F(FkExternalTest, ProgramFailuresAreReported) {
  FkExternalResult r{1, 2};
  const std::string missing = (dir / "no-such-fk").string();
  EXPECT_EQ(RunExternalFk(Settings(missing), panes, r),
            "Ошибка запуска модуля \n'" + missing + "'");
  EXPECT_EQ(RunExternalFk(Settings(""), panes, r), "Ошибка запуска модуля \n''");
  // A file that is not executable cannot be started either.
  const fs::path plain = dir.WriteFile("plain", "#!/bin/sh\n");
  EXPECT_EQ(RunExternalFk(Settings(plain.string()), panes, r),
            "Ошибка запуска модуля \n'" + plain.string() + "'");
  {
    FakeMode mode("fail");
    EXPECT_EQ(RunExternalFk(Settings(kScript), panes, r),
              "Модуль F-K анализа '" + kScript + "' завершился с ошибкой (код 3).");
  }
  const std::string results = dir.path().string() + "/results";
  {
    // A results file left by an earlier run is not taken for this run's answer.
    dir.WriteFile("results", "0.5 10\n");
    FakeMode mode("silent");
    EXPECT_EQ(RunExternalFk(Settings(kScript), panes, r),
              "Ошибка открытия файла результатов F-K анализа:\n'" + results + "'");
  }
  {
    FakeMode mode("garbage");
    EXPECT_EQ(RunExternalFk(Settings(kScript), panes, r),
              "Файл результатов F-K анализа '" + results + "' не содержит медленности и азимута.");
  }
  EXPECT_EQ(r.slowness, 1) << "a failed run leaves the previous result";
}

TEST_F(FkExternalTest, HangingProgramIsStoppedAtTheTimeLimit) {
  FakeMode mode("hang");
  FkExternalSettings s = Settings(kScript);
  s.timeout = std::chrono::milliseconds(400);
  FkExternalResult r;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(RunExternalFk(s, panes, r),
            "Модуль F-K анализа '" + kScript + "' не завершился за 0.4 с и был остановлен.");
  // Generous: the point is that it does not wait for ever.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
}

}  // namespace
}  // namespace nuv
