// The dialogs around picking: typing a phase in, the epicentral distance
// from two picks and the theoretical phases on the main pane.

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

#include "phases/phase_sets.h"
#include "platform/strformat.h"
#include "platform/time_base.h"
#include "screenshot.h"
#include "seismo/ui/phase_distance_dialogs.h"
#include "seismo/ui/seismo_site.h"
#include "traveltime/travel_time.h"
#include "waveview/ui/insert_phase_dialog.h"
#include "waveview_fixture.h"
#include "when_shown.h"

namespace nuv::test {
namespace {

// P at 10 s and S at 18 s per degree from 0 to 20 degrees, at any depth.
PhaseTypeTable::Entry Linear(const char* name, float slowness) {
  PhaseTypeTable::Entry e;
  e.name = name;
  e.ttFile = name;
  PHASEDATA& d = e.data;
  d.distances = {0, 5, 10, 15, 20};
  d.depths = {0, 100};
  for (int row = 0; row < 2; ++row)
    for (float x : d.distances) d.T.push_back(slowness * x);
  d.nx = 5, d.nd = 2, d.hasTravelTimes = 1;
  BuildSecondDerivatives(d);
  return e;
}

class PickDialogsTest : public WaveviewFixture {
 protected:
  void SetUp() override {
    WaveviewFixture::SetUp();
    std::vector<PhaseTypeTable::Entry> entries = {Linear("P", 10), Linear("S", 18)};
    entries.push_back({});
    entries.back().name = "Lg";  // no table
    ws->phaseTypes().SetEntries(std::move(entries));
  }
  void Pick(int station, int type, double time) {
    SEISMIC_PHASE p;
    p.station = station, p.channel = 0, p.phaseType = type;
    p.SetTime(time);
    ws->phases().Add(p);
  }
};

TEST_F(PickDialogsTest, InsertPhaseAddsAndRefuses) {
  CAddPhaseDlg dialog(*ws);
  EXPECT_EQ(dialog.timeEdit()->text(), "00:00:00.00");
  EXPECT_FALSE(dialog.channelCombo()->isEnabled());
  // No station yet.
  EXPECT_FALSE(dialog.Add());
  EXPECT_EQ(prompts.MessageTexts().back(), "Выберите сейсмическую станцию");
  QTreeWidgetItem* root = dialog.tree()->topLevelItem(0);
  ASSERT_TRUE(root);
  EXPECT_EQ(root->text(0), "Сейсмические станции");
  dialog.tree()->setCurrentItem(root->child(1));  // ABC
  EXPECT_TRUE(dialog.channelCombo()->isEnabled());
  EXPECT_EQ(dialog.channelCombo()->count(), 3);
  dialog.channelCombo()->setCurrentIndex(2);
  dialog.phaseCombo()->setCurrentIndex(1);
  dialog.dateEdit()->setText("05/08/2009");
  dialog.timeEdit()->setText("17:01:02.34");
  SaveScreenshot(dialog, "insert_phase");
  ASSERT_TRUE(dialog.Add());
  const SEISMIC_PHASE* p = ws->phases().Find(1, 2, 1);
  ASSERT_TRUE(p);
  EXPECT_NEAR(p->time, kT0 + 62.34, 1e-4);
  EXPECT_EQ(p->weight, 4);
  EXPECT_EQ(p->defining, 1);
  // The dialog stays usable: a bad date changes nothing.
  dialog.dateEdit()->setText("32/13/2009");
  EXPECT_FALSE(dialog.Add());
  EXPECT_EQ(prompts.MessageTexts().back(), "Введите правильную дату");
  EXPECT_EQ(ws->phases().Count(), 1);
  // Back to the root: no station chosen again.
  dialog.tree()->setCurrentItem(root);
  EXPECT_FALSE(dialog.channelCombo()->isEnabled());
}

TEST_F(PickDialogsTest, DistanceFromTwoPicks) {
  AddChannels({{0, 0}});
  window->MakeMain(*Pane(0));
  double depth = 5;
  CDistanceFromPhasesDlg dialog(*ws, 0, 0, depth);
  EXPECT_EQ(dialog.phaseA()->currentText(), "S");
  EXPECT_EQ(dialog.phaseB()->currentText(), "P");
  // S missing on the channel.
  Pick(0, 0, kT0 + 50);
  dialog.accept();
  EXPECT_EQ(prompts.MessageTexts().back(), "Нет отметки фазы S");
  // Same phase twice: refused with a beep.
  dialog.phaseA()->setCurrentIndex(0);
  dialog.accept();
  EXPECT_EQ(prompts.MessageTexts().back(), "Фазы совпадают");
  // S - P = 40 s gives 5 degrees and the origin 50 s before P; Cancel keeps the event.
  dialog.phaseA()->setCurrentIndex(1);
  Pick(0, 1, kT0 + 90);
  dialog.depthEdit()->setText("10");
  prompts.answers.push_back(PromptAnswer::Cancel);
  dialog.accept();
  EXPECT_FLOAT_EQ(ws->event().StationDistance(0), -1);
  prompts.answers.push_back(PromptAnswer::Ok);
  dialog.accept();
  EXPECT_NEAR(ws->event().StationDistance(0), 5, 1e-3);
  EXPECT_NEAR(ws->event().originTime, kT0, 1e-2);
  EXPECT_FLOAT_EQ(ws->event().originDepth, 10);
  EXPECT_NEAR(ws->phases().Find(0, 0, 1)->distance, 5, 1e-3);
  EXPECT_DOUBLE_EQ(depth, 10);  // remembered for the next time
}

TEST_F(PickDialogsTest, TheoreticalPhasesFromTheReference) {
  AddChannels({{0, 0}});
  CTheoreticalPhasesDlg dialog(*ws, *window);
  // No main pane: refused.
  EXPECT_FALSE(dialog.Place());
  EXPECT_EQ(prompts.MessageTexts().back(), "Не выбрано главное окно");
  window->MakeMain(*Pane(0));
  // Mode 1 with P picked at kT0 + 50: S at kT0 + 90 for 5 degrees.
  Pick(0, 0, kT0 + 50);
  for (int i = 0; i < dialog.phaseList()->count(); ++i)
    dialog.phaseList()->item(i)->setCheckState(i == 1 ? Qt::Checked : Qt::Unchecked);
  dialog.reference()->setCurrentIndex(0);
  ASSERT_TRUE(dialog.Place());
  ASSERT_TRUE(ws->phases().Find(0, 0, 1));
  EXPECT_NEAR(ws->phases().Find(0, 0, 1)->time, kT0 + 90, 1e-3);
  EXPECT_EQ(ws->phases().Find(0, 0, 1)->weight, 3);
  // The origin time moved to t0.
  const CalendarTime c = EpochToCalendar(kT0);
  EXPECT_EQ(dialog.timeEdit()->text().toStdString(),
            StrFormat("%02d:%02d:%06.3f", c.hour, c.minute, c.second));
  // A spin re-places at once: at 6 degrees the origin is 60 s before P and S 108 s after it.
  dialog.distance()->setValue(6.0);
  EXPECT_NEAR(ws->phases().Find(0, 0, 1)->time, kT0 + 50 - 60 + 108, 1e-2);
  SaveScreenshot(dialog, "theoretical_phases");
  // A reference without a pick on the channel.
  dialog.reference()->setCurrentIndex(2);
  EXPECT_FALSE(dialog.Place());
  EXPECT_EQ(prompts.MessageTexts().back(), "Нет отметки фазы Lg");
  // Mode 2 disables the distance.
  dialog.mode()->button(2)->click();
  EXPECT_FALSE(dialog.distance()->isEnabled());
}

// The "..." buttons rewrite a set from text: unknown names dropped, the
// checks follow when it is the active set, Cancel keeps it.
TEST_F(PickDialogsTest, TheoreticalPhasesSetEditedFromText) {
  CTheoreticalPhasesDlg dialog(*ws, *window);
  const std::string p = ws->phaseTypes().Name(0), second = ws->phaseTypes().Name(1);
  dialog.CheckSet(0);
  WhenShown<QInputDialog>([&](QInputDialog& input) {
    input.setTextValue(QString::fromStdString(second + ", NOSUCH; " + p));
    input.accept();
  });
  ASSERT_TRUE(dialog.EditSet(0));
  EXPECT_EQ(PhaseSets(ws->ini()).ReadSet("Teleseismic"), second + ";" + p + ";");
  EXPECT_EQ(dialog.phaseList()->item(0)->checkState(), Qt::Checked);
  EXPECT_EQ(dialog.phaseList()->item(1)->checkState(), Qt::Checked);
  WhenShown<QInputDialog>([](QInputDialog& input) {
    input.setTextValue("");
    input.reject();
  });
  EXPECT_FALSE(dialog.EditSet(0));
  EXPECT_EQ(PhaseSets(ws->ini()).ReadSet("Teleseismic"), second + ";" + p + ";");
  EXPECT_NE(dialog.findChild<QPushButton*>("editSet2"), nullptr);
  EXPECT_EQ(dialog.findChild<QPushButton*>("editSet3"), nullptr);
}

// Opened through the window's command on the main pane: a distance typed
// counts on Enter only, the analyst's measured P stays as it was, the
// phase without a table is named, and a reopened dialog still moves the
// phases it placed.
TEST_F(PickDialogsTest, TheoreticalPhasesBesideThePicksOnEnter) {
  RegisterPhaseDistanceDialogs(*window, SeismoSite{ws.get(), window.get(), window.get(), {}});
  AddChannels({{0, 0}});
  window->MakeMain(*Pane(0));
  SEISMIC_PHASE pick;
  pick.station = 0, pick.channel = 0, pick.phaseType = 0;
  pick.SetTime(kT0 + 47);
  pick.amplitude = 3.5f, pick.hasAmplitude = 1, pick.arid = 41;
  ws->phases().Add(pick);
  window->ExecuteCommand(kCmdTheoreticalPhases);
  auto* dialog = window->findChild<CTheoreticalPhasesDlg*>();
  ASSERT_TRUE(dialog);
  dialog->mode()->button(0)->click();  // from the origin time kT0
  const CalendarTime c = EpochToCalendar(kT0);
  dialog->dateEdit()->setText(
      QString::fromStdString(StrFormat("%02d/%02d/%04d", c.day, c.month, c.year)));
  dialog->timeEdit()->setText("17:00:00.000");
  for (int i = 0; i < dialog->phaseList()->count(); ++i)
    dialog->phaseList()->item(i)->setCheckState(Qt::Checked);  // P, S and Lg without a table
  prompts.records.clear();

  QLineEdit* distance = dialog->distance()->findChild<QLineEdit*>();
  ASSERT_TRUE(distance);
  distance->selectAll();
  QTest::keyClicks(distance, "12");
  EXPECT_TRUE(prompts.records.empty());
  EXPECT_EQ(ws->phases().Count(), 1);  // nothing placed while typing
  QTest::keyClick(distance, Qt::Key_Return);
  ASSERT_TRUE(ws->phases().Find(0, 0, 1));
  EXPECT_NEAR(ws->phases().Find(0, 0, 1)->time, kT0 + 18 * 12, 1e-3);
  const SEISMIC_PHASE* p = ws->phases().Find(0, 0, 0);
  EXPECT_DOUBLE_EQ(p->time, kT0 + 47);
  EXPECT_EQ(p->arid, 41);
  EXPECT_FLOAT_EQ(p->amplitude, 3.5f);
  const std::string said =
      "Расставлено фаз: 1 (S).\nНе заменены фазы, отмеченные на канале аналитиком: P.\n"
      "Нет данных годографа для фаз: Lg.";
  EXPECT_EQ(prompts.MessageTexts(), std::vector<std::string>{said});  // Enter is OK: one message
  EXPECT_EQ(dialog->summary()->text().toStdString(), said);
  SaveScreenshot(*dialog, "theoretical_phases_summary");

  // A spin places again without a message; closed and reopened, the dialog
  // still moves its own S.
  dialog->distance()->setValue(13);
  EXPECT_NEAR(ws->phases().Find(0, 0, 1)->time, kT0 + 18 * 13, 1e-3);
  dialog->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_FALSE(window->findChild<CTheoreticalPhasesDlg*>());
  window->ExecuteCommand(kCmdTheoreticalPhases);
  dialog = window->findChild<CTheoreticalPhasesDlg*>();
  ASSERT_TRUE(dialog);
  dialog->mode()->button(0)->click();
  dialog->dateEdit()->setText(
      QString::fromStdString(StrFormat("%02d/%02d/%04d", c.day, c.month, c.year)));
  dialog->timeEdit()->setText("17:00:00.000");
  dialog->distance()->setValue(14);
  EXPECT_NEAR(ws->phases().Find(0, 0, 1)->time, kT0 + 18 * 14, 1e-3);
  EXPECT_EQ(prompts.MessageTexts().size(), 1u);
}

}  // namespace
}  // namespace nuv::test
