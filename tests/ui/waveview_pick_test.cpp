// Picking on the panes of a waveform window: mouse picks through the pick
// dialog, label drags, keyboard picks, the interval commands of the pop-up
// menu, lining up P and the amplitude measurement of the main pane.

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>

#include "platform/profile_file.h"
#include "screenshot.h"
#include "seismo/ui/magnitude_commands.h"
#include "seismo/ui/seismo_site.h"
#include "sigproc/ui/amplitude_measure_command.h"
#include "waveview/pick_keys.h"
#include "waveview/ui/pick_controller.h"
#include "waveview/ui/pick_pane_commands.h"
#include "waveview_fixture.h"

namespace nuv::test {
namespace {

class FakePickDialogs : public PickDialogs {
 public:
  std::optional<PickDialogResult> answer;
  std::vector<double> deltims;
  std::vector<std::string> transforms;
  std::optional<PickDialogResult> Pick(Workstation&, QWidget*, double deltim,
                                       const std::string& transformName) override {
    deltims.push_back(deltim);
    transforms.push_back(transformName);
    return answer;
  }
};

class PickTest : public WaveviewFixture {
 protected:
  void SetUp() override {
    WaveviewFixture::SetUp();
    std::vector<PhaseTypeTable::Entry> entries;
    for (const char* name : {"P", "S", "Pn", "Pg", "Sn", "Sg"}) {
      PhaseTypeTable::Entry e;
      e.name = name;
      e.ttFile = name;
      entries.push_back(e);
    }
    entries[0].data.hasTravelTimes = 1;  // P may be defining
    ws->phaseTypes().SetEntries(std::move(entries));
    auto fake = std::make_unique<FakePickDialogs>();
    dialogs_ = fake.get();
    controller = InstallPicking(*window, std::move(fake));
    // ABC with its three channels, then KUR.
    AddChannels({{1, 0}, {1, 1}, {1, 2}, {0, 0}});
    ASSERT_EQ(window->panes().size(), 4u);
    for (CZoomWindow* p : window->panes()) p->pane().SetWindowStart(kT0);
    for (CZoomWindow* p : window->panes()) p->RebuildPicture();
  }

  PickDialogResult Answer(const std::string& phase, bool copy = false) {
    PickDialogResult r;
    r.choice.phaseType = ws->phaseTypes().IndexOf(phase);
    r.copyToOtherChannels = copy;
    return r;
  }
  CZoomWindow* PaneOf(int station, int channel) {
    for (CZoomWindow* p : window->panes())
      if (p->pane().station == station && p->pane().channel == channel) return p;
    ADD_FAILURE() << "no pane " << station << "/" << channel;
    return window->panes().front();
  }
  int Mid(CZoomWindow* p) { return (p->Geometry().traceTop() + p->Geometry().traceBottom()) / 2; }
  double TimeAt(CZoomWindow* p, int x) {
    return PixelToTime(p->Geometry(), p->pane().WindowStart(), p->pane().windowLength, x);
  }
  void Click(CZoomWindow* p, int x1, int x2, int y) {
    Mouse(p, QEvent::MouseButtonPress, {x1, y}, Qt::LeftButton, Qt::LeftButton);
    Mouse(p, QEvent::MouseMove, {x2, y}, Qt::NoButton, Qt::LeftButton);
    Mouse(p, QEvent::MouseButtonRelease, {x2, y}, Qt::LeftButton, Qt::NoButton);
  }
  void Key(int key, const QString& text) {
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(window.get(), &e);
  }

  FakePickDialogs* dialogs_ = nullptr;
  PickController* controller = nullptr;
};

TEST_F(PickTest, ClickAndDragPicksThroughTheDialog) {
  CZoomWindow* bhz = PaneOf(1, 0);
  dialogs_->answer = Answer("P");
  window->ExecuteCommand(kCmdPickMode);
  ASSERT_TRUE(window->pickMode());
  EXPECT_EQ(window->IsCommandChecked(kCmdPickMode), std::optional<bool>(true));
  Click(bhz, 200, 203, Mid(bhz));    // a wobble of 3 pixels is a click
  EXPECT_FALSE(window->pickMode());  // one pick per activation
  ASSERT_EQ(dialogs_->deltims.size(), 1u);
  EXPECT_DOUBLE_EQ(dialogs_->deltims[0], 0);
  const SEISMIC_PHASE* p = ws->phases().Find(1, 0, 0);
  ASSERT_TRUE(p);
  EXPECT_NEAR(p->time, TimeAt(bhz, 200), 1e-6);
  EXPECT_EQ(p->defining, 1);
  EXPECT_EQ(p->onset, 1);
  EXPECT_EQ(bhz->pane().hasInterval, false);  // the pick made no interval
  // A drag: the uncertainty spans the drag and the time is its middle.
  dialogs_->answer = Answer("S");
  window->SetPickMode(true);
  Click(bhz, 300, 340, Mid(bhz));
  ASSERT_EQ(dialogs_->deltims.size(), 2u);
  EXPECT_NEAR(dialogs_->deltims[1], TimeAt(bhz, 340) - TimeAt(bhz, 300), 1e-6);
  const SEISMIC_PHASE* s = ws->phases().Find(1, 0, 1);
  ASSERT_TRUE(s);
  EXPECT_NEAR(s->time, (TimeAt(bhz, 300) + TimeAt(bhz, 340)) / 2, 1e-6);
  EXPECT_EQ(s->defining, 0);  // S has no travel-time table
  SaveScreenshot(*window, "pick_marks");
}

TEST_F(PickTest, PicksThatAddNothing) {
  CZoomWindow* bhz = PaneOf(1, 0);
  dialogs_->answer = Answer("P");
  // Release in the header: outside the trace area, no dialog.
  window->SetPickMode(true);
  Click(bhz, 200, 200, 5);
  EXPECT_TRUE(dialogs_->deltims.empty());
  EXPECT_FALSE(window->pickMode());
  // Without pick mode a click makes no pick.
  Click(bhz, 200, 200, Mid(bhz));
  EXPECT_TRUE(dialogs_->deltims.empty());
  // Cancel: nothing added and the pick marker dropped.
  dialogs_->answer.reset();
  window->SetPickMode(true);
  const int pickLayer = bhz->RecordCount(CZoomWindow::kPickLayer);
  Click(bhz, 200, 200, Mid(bhz));
  EXPECT_EQ(dialogs_->deltims.size(), 1u);
  EXPECT_EQ(ws->phases().Count(), 0);
  EXPECT_GE(bhz->RecordCount(CZoomWindow::kPickLayer), pickLayer + 2);  // drawn, then dropped
  // Escape leaves pick mode.
  window->SetPickMode(true);
  Key(Qt::Key_Escape, "");
  EXPECT_FALSE(window->pickMode());
}

TEST_F(PickTest, PickInAGapOrBeyondTheData) {
  // The pane's samples end at a third of the window: picks land at the
  // pointer's time, with or without samples under it.
  CZoomWindow* bhe = PaneOf(1, 2);
  TracePane& t = bhe->pane();
  for (NUVDataBlock& b : t.blocks) b.count = std::min(b.count, 2000), b.samples.resize(b.count);
  bhe->RebuildPicture();
  dialogs_->answer = Answer("P");
  window->SetPickMode(true);
  Click(bhe, 700, 700, Mid(bhe));
  ASSERT_TRUE(ws->phases().Find(1, 2, 0));
  EXPECT_NEAR(ws->phases().Find(1, 2, 0)->time, TimeAt(bhe, 700), 1e-6);
  // A pane with no samples at all.
  t.blocks.Clear();
  bhe->RebuildPicture();
  dialogs_->answer = Answer("S");
  window->SetPickMode(true);
  Click(bhe, 100, 100, Mid(bhe));
  ASSERT_TRUE(ws->phases().Find(1, 2, 1));
  EXPECT_NEAR(ws->phases().Find(1, 2, 1)->time, TimeAt(bhe, 100), 1e-6);
}

TEST_F(PickTest, CopyToTheStationsOtherChannelsAndTransformedPane) {
  CZoomWindow* bhn = PaneOf(1, 1);
  bhn->pane().transformed.assign(100, 1.0f);
  bhn->pane().transformCode = 0;
  bhn->pane().filterOn = true;
  bhn->pane().filter = {1, 5, 4, false, 0};
  dialogs_->answer = Answer("P", true);
  dialogs_->answer->choice.filter = bhn->TransformName();
  window->SetPickMode(true);
  Click(bhn, 250, 250, Mid(bhn));
  ASSERT_EQ(dialogs_->transforms.size(), 1u);
  EXPECT_EQ(dialogs_->transforms[0], bhn->TransformName());
  EXPECT_NE(dialogs_->transforms[0], "unfilter");
  ASSERT_EQ(ws->phases().Count(), 3);  // BHZ, BHN, BHE of ABC; not KUR
  EXPECT_EQ(ws->phases().Find(1, 1, 0)->defining, 1);
  EXPECT_EQ(ws->phases().Find(1, 1, 0)->pFilType, bhn->TransformName());
  EXPECT_EQ(ws->phases().Find(1, 0, 0)->defining, 0);
  EXPECT_EQ(ws->phases().Find(1, 2, 0)->defining, 0);
  EXPECT_FALSE(ws->phases().Find(0, 0, 0));
  // The pick with its copies is one step.
  ASSERT_TRUE(ws->phases().Undo());
  EXPECT_EQ(ws->phases().Count(), 0);
}

TEST_F(PickTest, LabelDragRetimesInsideAndKeepsTheTimeOutside) {
  CZoomWindow* bhz = PaneOf(1, 0);
  SEISMIC_PHASE p;
  p.station = 1, p.channel = 0, p.phaseType = 0;
  p.SetTime(TimeAt(bhz, 200) + 0.1);
  ws->phases().Add(p);
  const int markX = ws->phases().Find(1, 0, 0)->markX;
  const int y = bhz->Geometry().traceTop() + 4;
  Mouse(bhz, QEvent::MouseButtonPress, {markX + 3, y}, Qt::LeftButton, Qt::LeftButton);
  EXPECT_TRUE(controller->draggingLabel());
  Mouse(bhz, QEvent::MouseMove, {markX + 53, y}, Qt::NoButton, Qt::LeftButton);
  SaveScreenshot(*window, "pick_label_drag");
  Mouse(bhz, QEvent::MouseButtonRelease, {markX + 53, y}, Qt::LeftButton, Qt::NoButton);
  EXPECT_FALSE(controller->draggingLabel());
  EXPECT_NEAR(ws->phases().Find(1, 0, 0)->time, TimeAt(bhz, markX + 50), 1e-6);
  // The marks are redrawn from the new time (its column truncated).
  EXPECT_NEAR(ws->phases().Find(1, 0, 0)->markX, markX + 50, 1);
  // Dropped left of the trace area: the time stays.
  const double before = ws->phases().Find(1, 0, 0)->time;
  Mouse(bhz, QEvent::MouseButtonPress, {markX + 53, y}, Qt::LeftButton, Qt::LeftButton);
  Mouse(bhz, QEvent::MouseButtonRelease, {-40, y}, Qt::LeftButton, Qt::NoButton);
  EXPECT_DOUBLE_EQ(ws->phases().Find(1, 0, 0)->time, before);
  // Undo takes the drag back.
  ASSERT_TRUE(ws->phases().Undo());
  EXPECT_NEAR(ws->phases().Find(1, 0, 0)->time, TimeAt(bhz, 200) + 0.1, 1e-6);
}

TEST_F(PickTest, OverlappingLabelsDragTheOneOnTop) {
  CZoomWindow* bhz = PaneOf(1, 0);
  for (int type : {0, 1}) {
    SEISMIC_PHASE p;
    p.station = 1, p.channel = 0, p.phaseType = type;
    p.SetTime(TimeAt(bhz, 200 + 4 * type) + 0.1);
    ws->phases().Add(p);
  }
  const double pTime = ws->phases().Find(1, 0, 0)->time;
  const int sx = ws->phases().Find(1, 0, 1)->markX;
  const int y = bhz->Geometry().traceTop() + 4;
  Mouse(bhz, QEvent::MouseButtonPress, {sx + 1, y}, Qt::LeftButton, Qt::LeftButton);
  Mouse(bhz, QEvent::MouseButtonRelease, {sx + 101, y}, Qt::LeftButton, Qt::NoButton);
  EXPECT_DOUBLE_EQ(ws->phases().Find(1, 0, 0)->time, pTime);  // P underneath stays
  EXPECT_NEAR(ws->phases().Find(1, 0, 1)->time, TimeAt(bhz, sx + 100), 1e-6);
}

TEST_F(PickTest, KeyboardPicksAtThePointer) {
  CZoomWindow* kur = PaneOf(0, 0);
  Mouse(kur, QEvent::MouseMove, {400, Mid(kur)}, Qt::NoButton, Qt::NoButton);
  Key(Qt::Key_1, "1");
  const SEISMIC_PHASE* p = ws->phases().Find(0, 0, 0);
  ASSERT_TRUE(p);
  EXPECT_NEAR(p->time, TimeAt(kur, 400), 1e-6);
  EXPECT_EQ(p->weight, 0);
  EXPECT_EQ(p->onset, 1);
  EXPECT_EQ(p->firstMotion, 4);
  // Rebound keys from the settings file: S on "Q", "2" unbound.
  std::vector<PickKeyBinding> keys = DefaultPickKeys();
  keys[1].key = "Q";
  ASSERT_TRUE(WritePickKeys(ws->ini(), keys));
  Key(Qt::Key_2, "2");
  EXPECT_FALSE(ws->phases().Find(0, 0, 1));
  Key(Qt::Key_Q, "q");
  EXPECT_TRUE(ws->phases().Find(0, 0, 1));
  // Pointer over the header: no pick.
  Mouse(kur, QEvent::MouseMove, {400, 5}, Qt::NoButton, Qt::NoButton);
  Key(Qt::Key_3, "3");
  EXPECT_FALSE(ws->phases().Find(0, 0, 2));
  // A bound phase the table lacks: a beep, nothing added.
  keys[2].phase = "Pn";
  std::vector<PhaseTypeTable::Entry> few(1);
  few[0].name = "P";
  ws->phaseTypes().SetEntries(std::move(few));
  Mouse(kur, QEvent::MouseMove, {420, Mid(kur)}, Qt::NoButton, Qt::NoButton);
  const int count = ws->phases().Count();
  Key(Qt::Key_3, "3");
  EXPECT_EQ(ws->phases().Count(), count);
  EXPECT_EQ(prompts.records.back().kind, "beep");
}

TEST_F(PickTest, IntervalCommandsAndLiningUpP) {
  CZoomWindow* bhz = PaneOf(1, 0);
  CZoomWindow* kur = PaneOf(0, 0);
  auto add = [&](int station, int channel, int type, double t, int defining) {
    SEISMIC_PHASE p;
    p.station = station, p.channel = channel, p.phaseType = type, p.defining = defining;
    p.SetTime(t);
    ws->phases().Add(p);
  };
  add(1, 0, 0, kT0 + 100, 0);
  add(1, 0, 1, kT0 + 200, 1);
  add(1, 0, 2, kT0 + 400, 0);
  add(0, 0, 0, kT0 + 160, 0);
  bhz->pane().intervalStart = kT0 + 250;  // reversed ends
  bhz->pane().intervalEnd = kT0 + 100;
  bhz->pane().hasInterval = true;
  bhz->OnPaneCommand(kCmdIncludeInInterval);
  EXPECT_EQ(ws->phases().Find(1, 0, 0)->defining, 1);  // no table, defining all the same
  EXPECT_EQ(ws->phases().Find(1, 0, 2)->defining, 0);
  EXPECT_EQ(ws->phases().Find(0, 0, 0)->defining, 0);
  bhz->OnPaneCommand(kCmdExcludeInInterval);
  EXPECT_EQ(ws->phases().Find(1, 0, 1)->defining, 0);
  // Lining up: KUR's P moves to the offset of ABC's P in its window.
  bhz->OnPaneCommand(kCmdLineUpP);
  EXPECT_NEAR(kur->pane().WindowStart(), kT0 + 160 - 100, 1e-6);
  EXPECT_DOUBLE_EQ(kur->pane().windowLength, bhz->pane().windowLength);
  bhz->OnPaneCommand(kCmdDeleteInInterval);
  EXPECT_FALSE(ws->phases().Find(1, 0, 0));
  EXPECT_FALSE(ws->phases().Find(1, 0, 1));
  EXPECT_TRUE(ws->phases().Find(1, 0, 2));
  // Without the pane's own P inside its window nothing moves.
  const double kurStart = kur->pane().WindowStart();
  bhz->OnPaneCommand(kCmdLineUpP);
  EXPECT_DOUBLE_EQ(kur->pane().WindowStart(), kurStart);
  // The pop-up menu carries the commands.
  QMenu* menu = bhz->BuildContextMenu();
  QStringList texts;
  for (QAction* a : menu->actions()) texts << a->text();
  EXPECT_TRUE(texts.contains("(*)Удалить фазы в интервале"));
  EXPECT_TRUE(texts.contains("Выровнять положение фаз P на экране"));
  delete menu;
}

TEST_F(PickTest, AmplitudeOfASineOnTheMainPane) {
  std::vector<std::pair<int, AmplitudeMeasure>> handed;
  SeismoSite site{ws.get(), window.get(), window.get(), {}};
  RegisterAmplitudeMeasureCommands(*window, site, [&](int st, int, const AmplitudeMeasure& m) {
    handed.push_back({st, m});
  });
  CZoomWindow* kur = PaneOf(0, 0);
  window->MakeMain(*kur);
  TracePane& t = kur->pane();
  // No transformed signal: refused with its message.
  window->ExecuteCommand(kCmdAmplitudeCalib);
  EXPECT_EQ(prompts.MessageTexts().back(),
            "Оценка амплитуды и периода производится только по фильтрованным данным");
  // A 2 s cosine of amplitude 7 at the channel's 10 samples/s: the extremes fall on samples.
  t.windowLength = 20;
  t.transformed.resize(200);
  for (size_t i = 0; i < t.transformed.size(); ++i)
    t.transformed[i] = static_cast<float>(7 * std::cos(M_PI * static_cast<double>(i) / 10));
  t.transformCode = 0;
  window->ExecuteCommand(kCmdAmplitudeCalib);
  EXPECT_EQ(prompts.MessageTexts().back(), "Не выбран интервал");
  t.hasInterval = true;
  t.intervalStart = kT0 + 15;  // reversed ends
  t.intervalEnd = kT0 + 5;
  window->ExecuteCommand(kCmdAmplitudeCalib);
  ASSERT_EQ(handed.size(), 1u);
  const AmplitudeMeasure m = handed[0].second;
  EXPECT_EQ(handed[0].first, 0);
  EXPECT_NEAR(m.period, 2.0, 1e-9);
  // Swing 14 counts, times calib 1 and the period, in micrometres, halved.
  EXPECT_NEAR(m.amplitude, 14 * 1.0 * 2.0 / 1000 / 2, 1e-6);
  EXPECT_NEAR(t.intervalEnd - t.intervalStart, 2.0, 1e-9);
  EXPECT_NEAR((t.intervalEnd + t.intervalStart) / 2, m.time, 1e-9);
  // A simulation divides by 1000 whatever the method.
  t.transformCode = 1000;
  t.intervalStart = kT0 + 5;
  t.intervalEnd = kT0 + 15;
  window->ExecuteCommand(kCmdAmplitudeFap);
  ASSERT_EQ(handed.size(), 2u);
  EXPECT_NEAR(handed[1].second.amplitude, 14.0 / 1000 / 2, 1e-6);
  // The interval outside the window is refused.
  t.transformCode = 0;
  t.intervalStart = kT0 + 15;
  t.intervalEnd = kT0 + 25;
  window->ExecuteCommand(kCmdAmplitudeCalib);
  EXPECT_EQ(prompts.MessageTexts().back(), "Интервал вне пределов активного окна");
  EXPECT_EQ(handed.size(), 2u);
  // Calib missing in the block that holds the interval start.
  t.transformCode = 0;
  for (NUVDataBlock& b : t.blocks) b.calib = -1;
  t.intervalStart = kT0 + 5;
  t.intervalEnd = kT0 + 15;
  window->ExecuteCommand(kCmdAmplitudeCalib);
  EXPECT_EQ(handed.size(), 2u);
  EXPECT_EQ(prompts.MessageTexts().back(), "Нет calib и calper для канала 'SHZ' станции 'KUR'");
}

TEST_F(PickTest, MeasurementStoredInTheChosenPhaseAsOneUndoableChange) {
  SEISMIC_PHASE p;
  p.station = 0, p.channel = 0, p.phaseType = 1;  // S on KUR
  p.SetTime(kT0 + 30);
  ws->phases().Add(p);
  AmplitudeMeasure m;
  m.amplitude = 0.25;
  m.period = 1.5;
  m.time = kT0 + 31;
  SeismoSite site{ws.get(), window.get(), window.get(), {}};
  auto answer = [](const char* phase) {
    QTimer::singleShot(0, [phase] {
      if (auto* d = qobject_cast<CAmplitudePeriodDialog*>(QApplication::activeModalWidget())) {
        d->phaseCombo()->setCurrentText(phase);
        d->accept();
        if (d->isVisible()) d->reject();  // refused: leave it
      }
    });
  };
  // A phase the channel lacks: nothing stored.
  answer("P");
  ShowAmplitudePeriodDialog(site, 0, 0, m);
  EXPECT_FALSE(ws->phases().Find(0, 0, 0));
  EXPECT_EQ(ws->phases().Find(0, 0, 1)->hasAmplitude, 0);
  answer("S");
  ShowAmplitudePeriodDialog(site, 0, 0, m);
  const SEISMIC_PHASE* s = ws->phases().Find(0, 0, 1);
  EXPECT_EQ(s->hasAmplitude, 1);
  EXPECT_FLOAT_EQ(s->amplitude, 0.25f);
  EXPECT_FLOAT_EQ(s->period, 1.5f);
  EXPECT_DOUBLE_EQ(s->ampTime, kT0 + 31);
  ASSERT_TRUE(ws->phases().Undo());
  EXPECT_EQ(ws->phases().Find(0, 0, 1)->hasAmplitude, 0);
}

TEST_F(PickTest, PickDialogDefaultsAndRefusedName) {
  CPickDlg dialog(*ws, 0.5, "BP 1-5");
  EXPECT_EQ(dialog.windowTitle(), "Отметить фазу");
  EXPECT_EQ(dialog.onsetGroup()->checkedId(), 0);
  EXPECT_EQ(dialog.weightGroup()->checkedId(), 1);
  EXPECT_EQ(dialog.motionGroup()->checkedId(), 4);
  EXPECT_EQ(dialog.chanTypeCombo()->currentText(), "BP");
  EXPECT_EQ(dialog.phaseCombo()->currentText(), "P");
  SaveScreenshot(dialog, "pick_dialog");
  dialog.phaseCombo()->setEditText("Xx");
  dialog.accept();
  EXPECT_EQ(dialog.QDialog::result(), QDialog::Rejected);
  EXPECT_EQ(prompts.records.back().kind, "beep");
  dialog.phaseCombo()->setEditText("Sg");
  dialog.weightGroup()->button(3)->setChecked(true);
  dialog.copyBox()->setChecked(true);
  dialog.accept();
  EXPECT_EQ(dialog.QDialog::result(), QDialog::Accepted);
  EXPECT_EQ(dialog.pick().choice.phaseType, ws->phaseTypes().IndexOf("Sg"));
}

}  // namespace
}  // namespace nuv::test
