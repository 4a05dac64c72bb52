// The travel-time calculator and the distance-and-azimuth dialog.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "phases/phase_types.h"
#include "platform/scripted_prompts.h"
#include "seismo/ui/travel_time_dialogs.h"
#include "support/temp_dir.h"
#include "traveltime/travel_time.h"
#include "waveview_fixture.h"
#include "workstation/workstation.h"

namespace nuv::test {
namespace {

class SeismoDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApp();
    Config config;
    config.settingsDir = dir_.path();
    ws_ = std::make_unique<Workstation>(config, prompts_);
    std::vector<PhaseTypeTable::Entry> entries(2);
    entries[0].name = "P", entries[0].ttFile = "P";
    PHASEDATA& d = entries[0].data;
    d.distances = {0, 10, 20, 30};
    d.depths = {0, 100};
    d.T = {0, 150, 280, 400, 20, 160, 290, 410};  // seconds
    d.nx = 4, d.nd = 2, d.hasTravelTimes = 1;
    BuildSecondDerivatives(d);
    entries[1].name = "Pn", entries[1].ttFile = "P_n";  // no table read
    ws_->phaseTypes().SetEntries(std::move(entries));
  }
  TempDir dir_;
  ScriptedPrompts prompts_;
  std::unique_ptr<Workstation> ws_;
};

TEST_F(SeismoDialogsTest, CalculatorShowsTheTimeOrTheRefusal) {
  CTravelTimeCalculator dialog(*ws_);
  dialog.depthEdit()->setText("0");
  dialog.distanceEdit()->setText("10");
  dialog.Calculate();
  EXPECT_EQ(dialog.resultLabel()->text(), "Время пробега=00:02:30.00");
  dialog.phaseCombo()->setCurrentText("Pn");
  dialog.Calculate();
  EXPECT_EQ(prompts_.MessageTexts().back(), "Ошибка загрузки файла годографа Pn");
  dialog.phaseCombo()->setCurrentText("SKS");
  dialog.Calculate();
  EXPECT_EQ(prompts_.MessageTexts().back(), "В системе отсутствует годограф SKS");
  dialog.phaseCombo()->setCurrentText("P");
  dialog.distanceEdit()->setText("ten");
  dialog.Calculate();
  EXPECT_EQ(prompts_.records.back().kind, "beep");
}

TEST_F(SeismoDialogsTest, DistanceAndAzimuthChecksCoordinates) {
  ws_->event().originValid = 1;
  ws_->event().originLat = 42.704f;
  ws_->event().originLon = 74.6f;
  CDistAzDialog dialog(*ws_);
  EXPECT_EQ(dialog.field(0)->text(), "42.70");
  EXPECT_EQ(dialog.field(2)->text(), "0.");
  const char* points[] = {"0", "0", "0", "90"};
  for (int i = 0; i < 4; ++i) dialog.field(i)->setText(points[i]);
  dialog.accept();
  EXPECT_EQ(dialog.result(0)->text(), "90.00");
  EXPECT_EQ(dialog.result(1)->text(), "90.00");
  EXPECT_EQ(dialog.result(2)->text(), "270.00");
  dialog.field(3)->setText("181");
  dialog.accept();
  EXPECT_EQ(dialog.result(0)->text(), "");  // cleared, nothing computed
  EXPECT_EQ(prompts_.records.back().kind, "beep");
}

}  // namespace
}  // namespace nuv::test
