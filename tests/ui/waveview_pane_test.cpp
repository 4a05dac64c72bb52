#include <QScrollBar>
#include <QToolButton>

#include "screenshot.h"
#include "waveview/waveform_commands.h"
#include "waveview_fixture.h"

namespace nuv::test {
namespace {

using WaveformPaneTest = WaveviewFixture;

TEST_F(WaveformPaneTest, GoingBackRestoresEachPanesOwnWindowUnderTimeAlignment) {
  AddChannels({{0, 0}, {1, 0}});
  window->MakeMain(*Pane(0));
  Mouse(Pane(1), QEvent::MouseButtonPress, QPoint(100, 8), Qt::LeftButton, Qt::LeftButton);
  ASSERT_FALSE(Pane(1)->pane().isActive);
  ASSERT_TRUE(Pane(0)->pane().isMain);
  window->ExecuteCommand(kCmdAlignTime);
  window->ExecuteCommand(kCmdShiftRight);
  window->ExecuteCommand(kCmdShiftRight);
  EXPECT_DOUBLE_EQ(Pane(0)->pane().WindowStart(), kT0 + 600);
  // Activated later, the second pane keeps its own window and has no history.
  window->ActivatePane(*Pane(1));
  ASSERT_TRUE(Pane(0)->pane().isMain);
  EXPECT_DOUBLE_EQ(Pane(1)->pane().WindowStart(), kT0);

  // Going back does not first pull the panes onto the main pane's window:
  // the main pane steps back, the pane without history only reloads (both
  // from the samples they hold: nothing is read).
  const int before = loads;
  window->ExecuteCommand(kCmdBack);
  EXPECT_DOUBLE_EQ(Pane(0)->pane().WindowStart(), kT0 + 300);
  EXPECT_DOUBLE_EQ(Pane(1)->pane().WindowStart(), kT0);
  EXPECT_EQ(loads, before);

  // A shift still starts from the main pane's window.
  window->ExecuteCommand(kCmdShiftLeft);
  EXPECT_DOUBLE_EQ(Pane(0)->pane().WindowStart(), kT0);
  EXPECT_DOUBLE_EQ(Pane(1)->pane().WindowStart(), kT0);
  window->ExecuteCommand(kCmdBack);
  EXPECT_DOUBLE_EQ(Pane(0)->pane().WindowStart(), kT0 + 300);
  EXPECT_DOUBLE_EQ(Pane(1)->pane().WindowStart(), kT0 + 300);
  EXPECT_TRUE(prompts.MessageTexts().empty());
}

TEST_F(WaveformPaneTest, ZoomBoxAndRebindingCarryTheOtherActivePanesUnderTimeAlignment) {
  AddChannels({{0, 0}, {1, 0}, {1, 1}});
  // The third pane stays out of the alignment: it is not active.
  Mouse(Pane(2), QEvent::MouseButtonPress, QPoint(100, 8), Qt::LeftButton, Qt::LeftButton);
  ASSERT_FALSE(Pane(2)->pane().isActive);
  window->MakeMain(*Pane(0));
  window->ExecuteCommand(kCmdAlignTime);

  // A zoom box in the second pane makes it the main pane; the other active
  // pane follows its new window, with whole seconds.
  CZoomWindow* boxed = Pane(1);
  const PaneGeometry g = boxed->Geometry();
  QTest::mouseDClick(boxed, Qt::LeftButton, Qt::NoModifier, QPoint(100, 40));
  ASSERT_TRUE(boxed->zoomBoxOpen());
  EXPECT_TRUE(boxed->pane().isMain);
  EXPECT_FALSE(Pane(0)->pane().isMain);
  QTest::mouseDClick(boxed, Qt::LeftButton, Qt::NoModifier, QPoint(351, 80));
  const double t1 = PixelToTime(g, kT0, 600, 100);
  const double t2 = PixelToTime(g, kT0, 600, 351);
  EXPECT_NEAR(boxed->pane().WindowStart(), t1, 0.001);
  EXPECT_DOUBLE_EQ(boxed->pane().windowLength, std::floor(t2 - t1));
  EXPECT_DOUBLE_EQ(Pane(0)->pane().WindowStart(), boxed->pane().WindowStart());
  EXPECT_DOUBLE_EQ(Pane(0)->pane().windowLength, boxed->pane().windowLength);
  ASSERT_FALSE(Pane(0)->pane().WindowSpans().empty());
  EXPECT_NEAR(Pane(0)->pane().WindowSpans()[0].start, boxed->pane().WindowStart(), 0.1);
  EXPECT_DOUBLE_EQ(Pane(2)->pane().WindowStart(), kT0);
  // Only the boxed pane has a history entry.
  EXPECT_EQ(boxed->pane().history.size(), 1);
  EXPECT_TRUE(Pane(0)->pane().history.empty());

  // Re-binding the main pane reloads the other active panes on its window.
  dialogs->stationChannel.push_back(StationChannelChoice{2, 0, kT0 + 1000, 90.5});
  window->ExecuteCommand(kCmdSelectStationChannel);
  EXPECT_EQ(boxed->pane().stationName, "OBN");
  EXPECT_DOUBLE_EQ(Pane(0)->pane().WindowStart(), kT0 + 1000);
  EXPECT_DOUBLE_EQ(Pane(0)->pane().windowLength, 90);
  EXPECT_NEAR(Pane(0)->pane().blocks[0].start, kT0 + 1000, 0.1);
  EXPECT_DOUBLE_EQ(Pane(2)->pane().WindowStart(), kT0);

  // Switched off, the panes go their own ways again.
  window->ExecuteCommand(kCmdAlignTime);
  window->ExecuteCommand(kCmdDeactivateAll);
  window->ActivatePane(*Pane(0));
  window->ExecuteCommand(kCmdShiftRight);
  EXPECT_DOUBLE_EQ(Pane(0)->pane().WindowStart(), kT0 + 1045);
  EXPECT_DOUBLE_EQ(boxed->pane().WindowStart(), kT0 + 1000);
  EXPECT_TRUE(prompts.MessageTexts().empty());
}

TEST_F(WaveformPaneTest, MaximisingAScrolledPaneShowsItAndRestoringCompacts) {
  AddNinePanesTo(200);
  ASSERT_EQ(window->panes().size(), 9u);
  const int h = Pane(0)->height();
  window->ScrollTo(4000);
  const int scrolledTop = Pane(3)->geometry().top();
  // The maximised pane fills the client area from its top.
  Pane(3)->headerButton(kCmdMaximizeButton)->click();
  EXPECT_EQ(Pane(3)->geometry(),
            QRect(0, 0, window->client()->width(), window->client()->height()));
  EXPECT_EQ(Pane(4)->geometry().top(), window->client()->height() + 1);
  EXPECT_EQ(Pane(2)->geometry().bottom() + 2, 0);
  EXPECT_EQ(window->scrollPosition(), ScrollPositionOf(window->PaneStates()));
  // Restored, it takes its height back and the stack closes up around it.
  Pane(3)->headerButton(kCmdMaximizeButton)->click();
  EXPECT_EQ(Pane(3)->height(), h);
  EXPECT_EQ(Pane(3)->geometry().top(), 0);
  EXPECT_EQ(Pane(4)->geometry().top(), h + 1);
  EXPECT_NE(scrolledTop, 0);
  // Deleting the panes above keeps the stack closed up from the top.
  for (int i = 0; i < 3; ++i) Pane(i)->pane().closeRequested = true;
  window->ExecuteCommand(kCmdClosePanes);
  ASSERT_EQ(window->panes().size(), 6u);
  EXPECT_EQ(Pane(0)->geometry().top(), 0);
  EXPECT_EQ(Pane(1)->geometry().top(), h + 1);
  EXPECT_EQ(window->scrollPosition(), 0);
}

TEST_F(WaveformPaneTest, ClearingIntervalsNeedsAnActivePane) {
  AddChannels({{0, 0}, {1, 0}});
  for (CZoomWindow* p : window->panes()) {
    Mouse(p, QEvent::MouseButtonPress, QPoint(100, 50), Qt::LeftButton, Qt::LeftButton);
    Mouse(p, QEvent::MouseMove, QPoint(200, 50), Qt::NoButton, Qt::LeftButton);
    Mouse(p, QEvent::MouseButtonRelease, QPoint(200, 50), Qt::LeftButton, Qt::NoButton);
    ASSERT_TRUE(p->pane().hasInterval);
  }
  window->MakeMain(*Pane(0));
  window->ExecuteCommand(kCmdStretchVertical);
  SaveScreenshot(*window, "waveform-intervals");
  window->ExecuteCommand(kCmdDeactivateAll);
  window->ExecuteCommand(kCmdClearIntervals);
  EXPECT_EQ(prompts.MessageTexts(), std::vector<std::string>{"Не выбрано главное окно"});
  EXPECT_EQ(prompts.records.back().caption, kAppTitle);
  EXPECT_TRUE(Pane(0)->pane().hasInterval);
  // Only the active panes drop their marks.
  window->ActivatePane(*Pane(1));
  window->ExecuteCommand(kCmdClearIntervals);
  EXPECT_TRUE(Pane(0)->pane().hasInterval);
  EXPECT_FALSE(Pane(1)->pane().hasInterval);
  EXPECT_EQ(prompts.MessageTexts().size(), 1u);
}

TEST_F(WaveformPaneTest, CommonCursorGoesAwayOnAClickBesideThePanes) {
  AddChannels({{0, 0}});
  window->ExecuteCommand(kCmdCommonCursor);
  Mouse(Pane(0), QEvent::MouseMove, QPoint(120, 60), Qt::NoButton, Qt::NoButton);
  ASSERT_EQ(Pane(0)->cursorLine(), 120);
  // A click in the window's own area below the panes.
  QWidget* client = window->client();
  Mouse(client, QEvent::MouseButtonPress, QPoint(10, client->height() - 2), Qt::LeftButton,
        Qt::LeftButton);
  EXPECT_EQ(Pane(0)->cursorLine(), -1);
  // A click on the scroll bar.
  Mouse(Pane(0), QEvent::MouseMove, QPoint(140, 60), Qt::NoButton, Qt::NoButton);
  ASSERT_EQ(Pane(0)->cursorLine(), 140);
  window->findChild<QScrollBar*>()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(Pane(0)->cursorLine(), -1);
  // A click on a pane is no click beside the panes.
  Mouse(Pane(0), QEvent::MouseMove, QPoint(150, 60), Qt::NoButton, Qt::NoButton);
  Mouse(Pane(0), QEvent::MouseButtonPress, QPoint(150, 60), Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(Pane(0)->cursorLine(), 150);
  Mouse(Pane(0), QEvent::MouseButtonRelease, QPoint(150, 60), Qt::LeftButton, Qt::NoButton);
}

TEST_F(WaveformPaneTest, RebindingDropsTheRescaleHighlight) {
  AddChannels({{0, 0}});
  window->MakeMain(*Pane(0));
  window->ExecuteCommand(kCmdStretchVertical);
  ASSERT_TRUE(Pane(0)->pane().rescaled);
  dialogs->stationChannel.push_back(StationChannelChoice{1, 0, kT0, 60});
  window->ExecuteCommand(kCmdSelectStationChannel);
  EXPECT_EQ(Pane(0)->pane().stationName, "ABC");
  EXPECT_FALSE(Pane(0)->pane().rescaled);
}

TEST_F(WaveformPaneTest, AFailedArchiveReadLeavesThePaneWithWhatArrived) {
  // The archive gives one block of ABC and then fails; the other stations read.
  window->SetSegmentLoader([](const std::string& sta, const std::string&, const std::string&,
                              double t1, double, NUVDataBlockArray& out) {
    out.Clear();
    NUVDataBlock b;
    b.rate = 10;
    b.start = t1;
    b.Allocate(50);
    for (int i = 0; i < 50; ++i) b.samples[static_cast<size_t>(i)] = static_cast<float>(i % 7);
    out.Append(std::move(b));
    if (sta == "ABC") throw std::runtime_error("Файл данных не найден");
  });
  QStringList status;
  QObject::connect(window.get(), &waveform::statusMessage, [&](const QString& t) { status << t; });
  AddChannels({{0, 0}, {1, 0}, {2, 0}});
  ASSERT_EQ(window->panes().size(), 3u);
  EXPECT_EQ(prompts.MessageTexts(), std::vector<std::string>{"Файл данных не найден"});
  for (CZoomWindow* p : window->panes()) EXPECT_EQ(p->pane().blocks.size(), 1);
  // Limits from the samples that arrived (zeros after the first non-zero count).
  EXPECT_DOUBLE_EQ(Pane(1)->pane().ampMin, 0);
  EXPECT_DOUBLE_EQ(Pane(1)->pane().ampMax, 6);
  // The status line does not keep "reading" after the failure.
  ASSERT_FALSE(status.isEmpty());
  EXPECT_EQ(status.back(), "");

  // An archive that fails before any block leaves the pane empty: it is
  // drawn without a trace and its limits wait for data.
  window->SetSegmentLoader([](const std::string&, const std::string&, const std::string&, double,
                              double, NUVDataBlockArray& out) {
    out.Clear();
    throw std::runtime_error("Нет связи с БД");
  });
  window->MakeMain(*Pane(2));
  window->ExecuteCommand(kCmdDeactivateAll);
  window->ActivatePane(*Pane(2));
  const double hi = Pane(2)->pane().ampMax;
  window->ExecuteCommand(kCmdShiftRight);
  EXPECT_EQ(prompts.MessageTexts().back(), "Нет связи с БД");
  // Nothing new arrived: the pane shows only what it held, up to the old window's end.
  for (const SampleSpan& s : Pane(2)->pane().WindowSpans())
    EXPECT_LE(s.start + s.count / 10.0, kT0 + 600 + 0.1);
  EXPECT_DOUBLE_EQ(Pane(2)->pane().ampMax, hi);
  EXPECT_DOUBLE_EQ(Pane(2)->pane().WindowStart(), kT0 + 300);
  // Centring an empty pane gives the flat range and no error.
  const size_t messages = prompts.MessageTexts().size();
  window->ExecuteCommand(kCmdCentre);
  EXPECT_DOUBLE_EQ(Pane(2)->pane().ampMin, -1);
  EXPECT_DOUBLE_EQ(Pane(2)->pane().ampMax, 1);
  EXPECT_EQ(prompts.MessageTexts().size(), messages);
}

TEST_F(WaveformPaneTest, PanesServeTheAnalysesThroughTheirInterface) {
  AddChannels({{1, 2}});
  CZoomWindow* pane = Pane(0);
  WaveformWindowInterface& face = *pane;
  int station = -1, channel = -1;
  face.GetChannel(station, channel);
  EXPECT_EQ(station, 1);
  EXPECT_EQ(channel, 2);
  EXPECT_EQ(face.TransformName(), "unfilter");
  // Redrawing the phase marks re-records that layer alone.
  const int phases = pane->RecordCount(CZoomWindow::kPhaseLayer);
  const int source = pane->RecordCount(CZoomWindow::kSourceLayer);
  face.RedrawPhaseMarks();
  EXPECT_EQ(pane->RecordCount(CZoomWindow::kPhaseLayer), phases + 1);
  EXPECT_EQ(pane->RecordCount(CZoomWindow::kSourceLayer), source);
  const int picks = pane->RecordCount(CZoomWindow::kPickLayer);
  face.ClearPickLayer();
  EXPECT_EQ(pane->RecordCount(CZoomWindow::kPickLayer), picks + 1);
  EXPECT_EQ(pane->RecordCount(CZoomWindow::kSourceLayer), source);
  // The window's redraw of every pane's marks goes through the same call.
  window->RedrawAllPhaseMarks();
  EXPECT_EQ(pane->RecordCount(CZoomWindow::kPhaseLayer), phases + 2);
}

}  // namespace
}  // namespace nuv::test
