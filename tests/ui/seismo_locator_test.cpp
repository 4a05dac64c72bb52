// The "Запуск OLK" window: fields from NUV.INI and the event, the folder
// browser, a run of the test locator that leaves the window responsive, and
// closing it while the program still runs.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <csignal>
#include <filesystem>

#include "platform/scripted_prompts.h"
#include "screenshot.h"
#include "seismo/ui/external_locator_dialog.h"
#include "support/temp_dir.h"
#include "waveview_fixture.h"
#include "workstation/workstation.h"

namespace nuv::test {
namespace {

class SeismoLocatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApp();
    Config config;
    config.settingsDir = settings_.path();
    config.homeDir = settings_.path().string() + "/";
    ws_ = std::make_unique<Workstation>(config, prompts_);
    ws_->ini().WriteString("OLK", "DIR", locatorDir_.path().string());
    ws_->ini().WriteString("OLK", "PROGRAM",
                           std::string(NUV_TEST_DATA_DIR) + "/olk/olk_test_locator.sh");
    CScreenFields station;
    station.code = "AAA";
    station.channels[0].name = "SHZ";
    station.channels[0].lat = 43.25f, station.channels[0].lon = 76.5f;
    ws_->stations().records().push_back(station);
    SEISMIC_PHASE p;
    p.station = 0, p.channel = 0, p.defining = 1;
    p.SetTime(1.7e9);
    ws_->phases().Add(p);
    ws_->event().orid = 77;
  }
  TempDir settings_, locatorDir_;
  ScriptedPrompts prompts_;
  std::unique_ptr<Workstation> ws_;
};

TEST_F(SeismoLocatorTest, FieldsComeFromTheSettingsAndTheEvent) {
  CRunOLKDlg dialog(*ws_);
  EXPECT_EQ(dialog.windowTitle(), "Запуск OLK");
  EXPECT_EQ(dialog.dirEdit()->text().toStdString(), locatorDir_.path().string());
  EXPECT_EQ(dialog.numberEdit()->text(), "77");
  EXPECT_EQ(dialog.numberEdit()->maxLength(), 30);
  ws_->event().orid = -1;
  CRunOLKDlg fresh(*ws_);
  EXPECT_EQ(fresh.numberEdit()->text(), "0");
  // The browser starts at the typed directory; a cancelled browse keeps it.
  prompts_.paths.push_back("/chosen/olk");
  dialog.Browse();
  EXPECT_EQ(dialog.dirEdit()->text(), "/chosen/olk");
  ASSERT_FALSE(prompts_.records.empty());
  EXPECT_EQ(prompts_.records.back().kind, "folder");
  EXPECT_EQ(prompts_.records.back().text, "Выбрать каталог");
  dialog.Browse();
  EXPECT_EQ(dialog.dirEdit()->text(), "/chosen/olk");
}

TEST_F(SeismoLocatorTest, RunShowsThePrintoutAndKeepsTheDirectory) {
  const std::string other = (locatorDir_.path() / "run2").string();
  std::filesystem::create_directories(other);
  CRunOLKDlg dialog(*ws_);
  dialog.dirEdit()->setText(QString::fromStdString(other));
  QSignalSpy finished(&dialog, &CRunOLKDlg::runFinished);
  dialog.runButton()->click();
  EXPECT_FALSE(dialog.runButton()->isEnabled());  // one run at a time
  ASSERT_TRUE(finished.wait(20000));
  EXPECT_TRUE(dialog.runButton()->isEnabled());
  const std::string output = dialog.outputEdit()->toPlainText().toStdString();
  EXPECT_NE(output.find("OLK test locator: 1 phases"), std::string::npos) << output;
  EXPECT_NE(output.find("Epicentre 43.250 76.500"), std::string::npos) << output;
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(other) / "00000077.sds"));
  EXPECT_EQ(ws_->ini().GetString("OLK", "DIR", "", 4096), other);
  SaveScreenshot(dialog, "run_olk");
}

TEST_F(SeismoLocatorTest, ClosingWhileTheProgramRunsStopsIt) {
  ws_->ini().WriteString("OLK", "ARGS", "--hang");
  {
    CRunOLKDlg dialog(*ws_);
    QSignalSpy finished(&dialog, &CRunOLKDlg::runFinished);
    dialog.runButton()->click();
    EXPECT_TRUE(dialog.running());
    EXPECT_FALSE(finished.wait(200));
  }
  // The program is gone (stopped, not left to its 60 s time-out).
  const std::string pid = TempDir::ReadFile(locatorDir_.path() / "hang.pid");
  ASSERT_FALSE(pid.empty());
  EXPECT_NE(::kill(std::stoi(pid), 0), 0);
}

}  // namespace
}  // namespace nuv::test
