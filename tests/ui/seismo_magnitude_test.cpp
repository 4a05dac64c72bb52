// Energy class, coda and the amplitude-and-period dialog on screen.

#include <QComboBox>

#include "platform/strformat.h"
#include "screenshot.h"
#include "seismo/ui/magnitude_commands.h"
#include "seismo/ui/magnitude_dialogs.h"
#include "seismo_fixture.h"

namespace nuv::test {
namespace {

using SeismoMagnitudeTest = SeismoFixture;

TEST_F(SeismoMagnitudeTest, EnergyClassByVegikIsComputedAndStored) {
  window->ExecuteCommand(33187);  // no main pane yet
  EXPECT_EQ(prompts.MessageTexts().back(), "Не выбрано главное окно");
  AddChannels({{0, 0}});
  window->MakeMain(*Pane(0));
  window->ExecuteCommand(33187);
  EXPECT_EQ(prompts.MessageTexts().back(), "Отсутствуют замеры амплитуды для фаз группы P");

  const int p = ws->phaseTypes().IndexOf("P"), s = ws->phaseTypes().IndexOf("S");
  AddPhase(0, 0, p, kT0 + 10, 2.0f)->distance = 1.0f;
  AddPhase(0, 0, s, kT0 + 20, 5.0f);
  ws->event().originValid = 0;
  const double expected = *EnergyClassFormula(EnergyClassVariant::Vegik, 2, 5, 111, 15);
  WhenShown<CEnergyClassDialog>([&](CEnergyClassDialog& d) {
    EXPECT_EQ(d.windowTitle().toStdString(), "Энергетический класс");
    EXPECT_EQ(d.field("distance")->text().toStdString(), "111");
    EXPECT_EQ(d.field("class")->text().toStdString(), StrFormat("%.1f", expected));
    SaveScreenshot(d, "seismo_energy_class");
    // Beyond the formula's range the class is "???" and nothing is stored.
    d.field("distance")->setText("900");
    Click(d, "Рассчитать");
    EXPECT_EQ(d.field("class")->text().toStdString(), "???");
    Click(d, "Запомнить");
    EXPECT_TRUE(d.isVisible());
    d.field("distance")->setText("111");
    Click(d, "Рассчитать");
    d.phaseCombo()->setCurrentText("S");
    Click(d, "Запомнить");
  });
  window->ExecuteCommand(33187);
  EXPECT_NEAR(ws->phases().Find(0, 0, s)->energyClass, std::stod(StrFormat("%.1f", expected)),
              1e-9);
  EXPECT_EQ(ws->phases().Find(0, 0, p)->energyClass, 0);
  EXPECT_EQ(changes, 1);
}

TEST_F(SeismoMagnitudeTest, RautianAndCoda) {
  AddChannels({{0, 0}});
  window->MakeMain(*Pane(0));
  const int pg = ws->phaseTypes().IndexOf("P");  // the straight-ray set has no Pg
  ASSERT_EQ(ws->phaseTypes().IndexOf("Pg"), -1);
  AddPhase(0, 0, pg, kT0 + 10, 1.0f);
  window->ExecuteCommand(33170);
  EXPECT_EQ(prompts.MessageTexts().back(), "Нет отметки фазы Pg");

  window->ExecuteCommand(133);
  EXPECT_EQ(prompts.MessageTexts().back(), "Не выбран интервал");
  TracePane& pane = Pane(0)->pane();
  pane.hasInterval = true;
  pane.intervalStart = kT0 + 30;
  pane.intervalEnd = kT0 + 72.5;
  WhenShown<CCodaDialog>([&](CCodaDialog& d) {
    EXPECT_EQ(Find(d, "duration")->text().toStdString(), "42.500");
    d.phaseCombo()->setCurrentText("S");  // not picked on this channel
    d.accept();
  });
  window->ExecuteCommand(133);
  EXPECT_EQ(prompts.MessageTexts().back(), "Нет отметки фазы 'S'");
  WhenShown<CCodaDialog>([&](CCodaDialog& d) {
    SaveScreenshot(d, "seismo_coda");
    d.phaseCombo()->setCurrentText("P");
    d.accept();
  });
  window->ExecuteCommand(133);
  EXPECT_DOUBLE_EQ(ws->phases().Find(0, 0, pg)->coda, 42.5);
}

TEST_F(SeismoMagnitudeTest, AmplitudeDialogButtonsAndAssociation) {
  AmplitudeMeasure m;
  m.amplitude = 10;
  m.period = 1;
  m.time = kT0 + 12.5;
  m.distance = 30;
  m.depth = 33;
  PHASEDATA noTable;
  MagnitudeCalibrations calibrations;
  calibrations.table = [&](const std::string&) -> const PHASEDATA& { return noTable; };
  CAmplitudePeriodDialog d(m, {"P", "S", "Tk"}, calibrations, prompts);
  EXPECT_EQ(d.field("amplitude")->text().toStdString(), "10.0");
  EXPECT_EQ(d.field("logat")->text().toStdString(), "1.000");
  EXPECT_EQ(d.field("response")->text().toStdString(), "-");
  EXPECT_TRUE(d.magnitudeButton("Mb")->isEnabled());
  EXPECT_FALSE(d.magnitudeButton("MKT")->isEnabled());
  d.phaseCombo()->setCurrentText("Tk");
  EXPECT_FALSE(d.magnitudeButton("Ms")->isEnabled());
  EXPECT_TRUE(d.magnitudeButton("MKT")->isEnabled());
  d.phaseCombo()->setCurrentText("P");
  SaveScreenshot(d, "seismo_amplitude_period");

  // Ms: a question with the value; OK puts it into its field.
  prompts.answers = {PromptAnswer::Ok};
  d.magnitudeButton("Ms")->click();
  const double ms = std::log10(10.0) + 1.66 * std::log10(30.0) + 3.3;
  EXPECT_EQ(prompts.records.back().text, StrFormat("%3.2f", ms));
  EXPECT_EQ(prompts.records.back().caption, "Магнитуда Ms");
  EXPECT_EQ(d.resultField("Ms")->text().toStdString(), StrFormat("%3.2f", ms));
  // Mb without its calibration file: the message, nothing filled.
  d.magnitudeButton("Mb")->click();
  EXPECT_EQ(prompts.MessageTexts().back(), "Ошибка загрузки файла калибровки для Mb");
  EXPECT_TRUE(d.resultField("Mb")->text().isEmpty());
  d.field("period")->setText("0");
  d.magnitudeButton("Ms")->click();
  EXPECT_EQ(prompts.MessageTexts().back(), "Период = 0");

  // OK without the phase on the channel: the question, and the dialog stays.
  std::string storedPhase;
  MagnitudeValues stored;
  d.store = [&](const std::string& phase, const MagnitudeValues& values) {
    storedPhase = phase;
    stored = values;
    return phase == "S";
  };
  d.show();
  d.accept();
  EXPECT_TRUE(d.isVisible());
  EXPECT_EQ(prompts.MessageTexts().back(),
            "Отметка фазы 'P' отсутствует.\n Ассоциация не может быть выполнена.\nРезультат "
            "расчета не будет запомнен");
  d.phaseCombo()->setCurrentText("S");
  d.accept();
  EXPECT_FALSE(d.isVisible());
  ASSERT_EQ(stored.values.size(), 1u);
  EXPECT_EQ(stored.values[0].first, "Ms");
  EXPECT_NEAR(stored.values[0].second, ms, 0.006);
}

}  // namespace
}  // namespace nuv::test
