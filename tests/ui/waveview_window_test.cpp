#include <QAction>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolButton>

#include "platform/profile_file.h"
#include "waveview/channel_list.h"
#include "waveview/waveform_commands.h"
#include "waveview_fixture.h"

namespace nuv::test {
namespace {

using WaveformWindowTest = WaveviewFixture;

TEST_F(WaveformWindowTest, AddingChannelsCreatesNumberedPanesStackedInTableOrder) {
  // Cells ticked out of order come back in station order, channels ascending.
  AddChannels({{1, 2}, {0, 0}, {1, 0}});
  EXPECT_TRUE(dialogs->busyDuringSelection);
  EXPECT_FALSE(window->busy());
  ASSERT_EQ(window->panes().size(), 3u);
  const int w = window->client()->width();
  const int h = window->client()->height() / 3;
  const char* names[] = {"KUR", "ABC", "ABC"};
  const char* channels[] = {"SHZ", "BHZ", "BHE"};
  for (int i = 0; i < 3; ++i) {
    const TracePane& p = Pane(i)->pane();
    EXPECT_EQ(p.number, i);
    EXPECT_EQ(Pane(i)->objectName().toStdString(), "D" + std::to_string(i));
    EXPECT_EQ(p.selectionNumber, i + 1);
    EXPECT_TRUE(p.isActive);
    EXPECT_EQ(p.stationName, names[i]);
    EXPECT_EQ(p.channelName, channels[i]);
    EXPECT_EQ(Pane(i)->geometry(), QRect(0, i * h, w, h - 1));
    EXPECT_DOUBLE_EQ(p.WindowStart(), kT0);
    EXPECT_DOUBLE_EQ(p.windowLength, 600);
    ASSERT_EQ(p.blocks.size(), 1);
    EXPECT_EQ(p.blocks[0].count, 6000);
    EXPECT_NE(p.ampMax, 0);
  }
  EXPECT_EQ(loads, 3);
  // Every load remembered the channel's window.
  EXPECT_TRUE(LoadTimeWindow(ws->store(), "ABC", "BHE"));

  // A selection without a ticked cell adds nothing.
  AddChannels({});
  EXPECT_EQ(window->panes().size(), 3u);
  // A closed dialog (no "Ok") adds nothing either.
  dialogs->selectChannels = [](waveform& w) {
    w.selection().Set(0, 2, true);
    return false;
  };
  window->ExecuteCommand(kCmdAddChannels);
  EXPECT_EQ(window->panes().size(), 3u);

  // Many channels get the minimum height and the window scrolls.
  std::vector<std::pair<int, int>> many;
  for (int i = 0; i < 20; ++i) many.push_back({1, i % 3});
  AddChannels(many);
  ASSERT_EQ(window->panes().size(), 6u);  // cells repeat: three new panes
  EXPECT_EQ(Pane(3)->pane().number, 3);
  EXPECT_EQ(Pane(3)->pane().selectionNumber, 4);
  EXPECT_EQ(Pane(3)->geometry().top(), Pane(2)->geometry().bottom() + 2);
}

TEST_F(WaveformWindowTest, MinimumHeightAppliesWhenTheClientIsTooSmall) {
  AddNinePanesTo(120);
  const int n = static_cast<int>(window->panes().size());
  ASSERT_EQ(n, 9);
  for (CZoomWindow* p : window->panes()) EXPECT_EQ(p->height(), window->MinPaneHeight() - 1);
  // Scrolling moves the whole stack: position 10000 maps onto the total height.
  const int total = TotalPaneHeight(window->PaneStates());
  window->ScrollTo(5000);
  EXPECT_EQ(Pane(0)->geometry().top(), -(total / 2));
  EXPECT_EQ(window->scrollPosition(), 5000);
  QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, 120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(window.get(), &wheel);
  EXPECT_EQ(window->scrollPosition(), 4800);
  window->ExecuteCommand(kCmdFitAll);
  EXPECT_EQ(Pane(1)->geometry().top() - Pane(0)->geometry().top(), window->MinPaneHeight());
}

TEST_F(WaveformWindowTest, AddedPanesComeIntoViewAndNoLayoutLeavesTheWindowBlank) {
  AddNinePanesTo(200);
  const int clientHeight = window->client()->height();
  // Three more panes land below the visible area: the view follows them.
  AddChannels({{0, 0}, {1, 0}, {2, 0}});
  ASSERT_EQ(window->panes().size(), 12u);
  EXPECT_EQ(Pane(9)->geometry().top(), 0);
  EXPECT_EQ(window->scrollPosition(), ScrollPositionOf(window->PaneStates()));
  // Scrolling stops where the last pane meets the bottom.
  window->ScrollTo(kScrollRange);
  EXPECT_EQ(Pane(11)->geometry().bottom() + 1, clientHeight);
  // "Fit all" while scrolled, then the first pane maximised and restored:
  // the stack always reaches the bottom of the client area.
  window->ExecuteCommand(kCmdFitAll);
  EXPECT_GE(Pane(11)->geometry().bottom() + 1, window->client()->height());
  Pane(11)->headerButton(kCmdMaximizeButton)->click();
  Pane(11)->headerButton(kCmdMaximizeButton)->click();
  EXPECT_GE(Pane(11)->geometry().bottom() + 1, window->client()->height());
  EXPECT_EQ(window->scrollPosition(), ScrollPositionOf(window->PaneStates()));
}

TEST_F(WaveformWindowTest, TimeCommandsShiftZoomAndGoBack) {
  AddChannels({{0, 0}, {1, 0}});
  window->ExecuteCommand(kCmdDeactivateAll);
  // Without an active pane the command is refused with the message.
  window->ExecuteCommand(kCmdShiftLeft);
  ASSERT_EQ(prompts.MessageTexts(), std::vector<std::string>{"Не выбрано главное окно"});
  EXPECT_EQ(prompts.records.back().caption, kAppTitle);
  EXPECT_DOUBLE_EQ(Pane(0)->pane().WindowStart(), kT0);

  Mouse(Pane(0), QEvent::MouseButtonPress, QPoint(100, 8), Qt::LeftButton, Qt::LeftButton);
  EXPECT_TRUE(Pane(0)->pane().isActive);
  EXPECT_TRUE(Pane(0)->pane().isMain);
  const int before = loads;
  window->ExecuteCommand(kCmdShiftRight);
  EXPECT_DOUBLE_EQ(Pane(0)->pane().WindowStart(), kT0 + 300);
  EXPECT_DOUBLE_EQ(Pane(1)->pane().WindowStart(), kT0);  // inactive pane untouched
  EXPECT_EQ(loads, before + 1);
  window->ExecuteCommand(kCmdStretchHorizontal);
  EXPECT_DOUBLE_EQ(Pane(0)->pane().WindowStart(), kT0 + 450);
  EXPECT_DOUBLE_EQ(Pane(0)->pane().windowLength, 300);
  window->ExecuteCommand(kCmdCompressHorizontal);
  EXPECT_DOUBLE_EQ(Pane(0)->pane().windowLength, 600);
  window->ExecuteCommand(kCmdBack);
  window->ExecuteCommand(kCmdBack);
  EXPECT_DOUBLE_EQ(Pane(0)->pane().WindowStart(), kT0 + 300);
  EXPECT_DOUBLE_EQ(Pane(0)->pane().windowLength, 600);
  // The window's samples follow the window.
  ASSERT_FALSE(Pane(0)->pane().WindowSpans().empty());
  EXPECT_NEAR(Pane(0)->pane().WindowSpans()[0].start, kT0 + 300, 0.1);

  // With time alignment the active panes first take the main pane's window.
  Mouse(Pane(1), QEvent::MouseButtonPress, QPoint(100, 8), Qt::LeftButton, Qt::LeftButton);
  EXPECT_TRUE(Pane(1)->pane().isMain);
  Pane(1)->pane().windowLength = 101.5;
  window->ExecuteCommand(kCmdAlignTime);
  EXPECT_TRUE(window->Checked(kCmdAlignTime));
  EXPECT_DOUBLE_EQ(Pane(0)->pane().WindowStart(), kT0);
  EXPECT_DOUBLE_EQ(Pane(0)->pane().windowLength, 101);
  window->ExecuteCommand(kCmdShiftLeft);
  EXPECT_DOUBLE_EQ(Pane(0)->pane().WindowStart(), kT0 - 51);
  EXPECT_DOUBLE_EQ(Pane(1)->pane().WindowStart(), kT0 - 51);
}

TEST_F(WaveformWindowTest, AmplitudeCommandsReRecordOnlyTheTraceLayer) {
  AddChannels({{0, 0}});
  CZoomWindow* pane = Pane(0);
  const double hi = pane->pane().ampMax;
  const int frame = pane->RecordCount(CZoomWindow::kFrameLayer);
  const int source = pane->RecordCount(CZoomWindow::kSourceLayer);
  const int header = pane->RecordCount(CZoomWindow::kHeaderLayer);
  const QImage before = pane->grab().toImage();
  window->ExecuteCommand(kCmdStretchVertical);
  // The trace is drawn anew over the same frame and header.
  const QImage after = pane->grab().toImage();
  const PaneGeometry g = pane->Geometry();
  const QRect trace(QPoint(g.xL(), g.traceTop()), QPoint(g.xR(), g.traceBottom()));
  const QRect axis(0, g.traceBottom() + 2, g.width, g.height - g.traceBottom() - 2);
  EXPECT_NE(before.copy(trace), after.copy(trace));
  EXPECT_EQ(before.copy(axis), after.copy(axis));
  EXPECT_EQ(before.copy(0, 0, g.width, kHeaderHeight), after.copy(0, 0, g.width, kHeaderHeight));
  EXPECT_EQ(pane->RecordCount(CZoomWindow::kSourceLayer), source + 1);
  EXPECT_EQ(pane->RecordCount(CZoomWindow::kFrameLayer), frame);
  EXPECT_EQ(pane->RecordCount(CZoomWindow::kHeaderLayer), header);
  EXPECT_LT(pane->pane().ampMax, hi);
  EXPECT_TRUE(pane->pane().rescaled);
  window->ExecuteCommand(kCmdCentre);
  EXPECT_NEAR(pane->pane().ampMax, 100, 0.5);
  window->ExecuteCommand(kCmdBack);  // undoes the centre
  EXPECT_LT(pane->pane().ampMax, hi);

  // The scale dialog stores the four values without a history entry.
  const int history = pane->pane().history.size();
  dialogs->scale = std::array<double, 4>{50, -50, 2, -2};
  pane->OnPaneCommand(kCmdPaneScale);
  EXPECT_DOUBLE_EQ(pane->pane().ampMax, 50);
  EXPECT_DOUBLE_EQ(pane->pane().transMin, -2);
  EXPECT_EQ(pane->pane().history.size(), history);

  // Amplitude alignment: every active pane gets the main pane's range around its centre.
  AddChannels({{1, 0}});
  Pane(1)->pane().ampMin = 10;
  Pane(1)->pane().ampMax = 20;
  window->MakeMain(*Pane(0));
  window->ExecuteCommand(kCmdActivateAll);
  window->ExecuteCommand(kCmdAlignAmplitude);
  EXPECT_DOUBLE_EQ(Pane(1)->pane().ampMin, -35);
  EXPECT_DOUBLE_EQ(Pane(1)->pane().ampMax, 65);
  // Panes alike in size and window share one frame; each keeps its own trace.
  Pane(1)->resize(pane->size());
  window->ExecuteCommand(kCmdShiftRight);
  const QImage first = pane->grab().toImage(), second = Pane(1)->grab().toImage();
  EXPECT_EQ(first.copy(axis), second.copy(axis));
  EXPECT_NE(first.copy(trace), second.copy(trace));
}

TEST_F(WaveformWindowTest, ZoomBoxBetweenTwoDoubleClicks) {
  AddChannels({{0, 0}, {1, 0}});
  window->ExecuteCommand(kCmdDeactivateAll);
  CZoomWindow* pane = Pane(1);
  const PaneGeometry g = pane->Geometry();
  const double start = pane->pane().WindowStart();
  const double length = pane->pane().windowLength;
  QTest::mouseDClick(pane, Qt::LeftButton, Qt::NoModifier, QPoint(200, 40));
  EXPECT_TRUE(pane->zoomBoxOpen());
  EXPECT_TRUE(pane->pane().isActive);
  EXPECT_TRUE(pane->pane().isMain);
  EXPECT_EQ(pane->pane().selectionNumber, 1);
  Mouse(pane, QEvent::MouseMove, QPoint(100, 80), Qt::NoButton, Qt::NoButton);
  QTest::mouseDClick(pane, Qt::LeftButton, Qt::NoModifier, QPoint(100, 80));
  EXPECT_FALSE(pane->zoomBoxOpen());
  const double t1 = PixelToTime(g, start, length, 100);
  const double t2 = PixelToTime(g, start, length, 200);
  EXPECT_NEAR(pane->pane().WindowStart(), t1, 0.001);
  EXPECT_DOUBLE_EQ(pane->pane().windowLength, std::floor(t2 - t1));
  EXPECT_LT(pane->pane().ampMin, pane->pane().ampMax);
  EXPECT_EQ(pane->pane().history.size(), 1);
  window->ExecuteCommand(kCmdBack);
  EXPECT_DOUBLE_EQ(pane->pane().WindowStart(), start);
  // A double-click with Shift held starts nothing.
  QTest::mouseDClick(pane, Qt::LeftButton, Qt::ShiftModifier, QPoint(200, 40));
  EXPECT_FALSE(pane->zoomBoxOpen());
}

TEST_F(WaveformWindowTest, IntervalNeedsADragOfMoreThanFivePixels) {
  AddChannels({{0, 0}});
  CZoomWindow* pane = Pane(0);
  Mouse(pane, QEvent::MouseButtonPress, QPoint(100, 50), Qt::LeftButton, Qt::LeftButton);
  Mouse(pane, QEvent::MouseMove, QPoint(105, 50), Qt::NoButton, Qt::LeftButton);
  Mouse(pane, QEvent::MouseButtonRelease, QPoint(105, 50), Qt::LeftButton, Qt::NoButton);
  EXPECT_FALSE(pane->pane().hasInterval);
  const int before = pane->RecordCount(CZoomWindow::kIntervalLayer);
  Mouse(pane, QEvent::MouseButtonPress, QPoint(100, 50), Qt::LeftButton, Qt::LeftButton);
  Mouse(pane, QEvent::MouseMove, QPoint(106, 50), Qt::NoButton, Qt::LeftButton);
  EXPECT_TRUE(pane->pane().hasInterval);  // drawn while dragging
  Mouse(pane, QEvent::MouseButtonRelease, QPoint(106, 50), Qt::LeftButton, Qt::NoButton);
  EXPECT_GT(pane->RecordCount(CZoomWindow::kIntervalLayer), before);
  const PaneGeometry g = pane->Geometry();
  const TracePane& p = pane->pane();
  EXPECT_DOUBLE_EQ(p.intervalStart, PixelToTime(g, p.WindowStart(), p.windowLength, 100));
  EXPECT_DOUBLE_EQ(p.intervalEnd, PixelToTime(g, p.WindowStart(), p.windowLength, 106));
  // Shift + press centres the interval on the pointer, keeping its length.
  const double length = p.intervalEnd - p.intervalStart;
  Mouse(pane, QEvent::MouseButtonPress, QPoint(300, 50), Qt::LeftButton, Qt::LeftButton,
        Qt::ShiftModifier);
  EXPECT_NEAR(p.intervalEnd - p.intervalStart, length, 1e-6);
  EXPECT_NEAR((p.intervalStart + p.intervalEnd) / 2,
              PixelToTime(g, p.WindowStart(), p.windowLength, 300), 1e-6);
  Mouse(pane, QEvent::MouseButtonRelease, QPoint(300, 50), Qt::LeftButton, Qt::NoButton);
  // "Выровнять отметки" copies the main pane's interval to the others.
  AddChannels({{1, 1}});
  window->MakeMain(*pane);
  window->ExecuteCommand(kCmdAlignMarks);
  EXPECT_TRUE(Pane(1)->pane().hasInterval);
  EXPECT_DOUBLE_EQ(Pane(1)->pane().intervalStart, p.intervalStart);
  window->ExecuteCommand(kCmdClearIntervals);
  EXPECT_FALSE(Pane(0)->pane().hasInterval);
}

TEST_F(WaveformWindowTest, HeaderClicksNumberActivePanesAndPassTheMainRole) {
  AddChannels({{0, 0}, {1, 0}, {1, 1}});
  // Clicking a header deactivates; the numbers above it close up.
  Mouse(Pane(0), QEvent::MouseButtonPress, QPoint(100, 8), Qt::LeftButton, Qt::LeftButton);
  EXPECT_FALSE(Pane(0)->pane().isActive);
  EXPECT_EQ(Pane(1)->pane().selectionNumber, 1);
  EXPECT_EQ(Pane(2)->pane().selectionNumber, 2);
  // Activating again gives the next number and the main role.
  Mouse(Pane(0), QEvent::MouseButtonPress, QPoint(100, 8), Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(Pane(0)->pane().selectionNumber, 3);
  EXPECT_TRUE(Pane(0)->pane().isMain);
  // Deactivating the main pane passes the role to the first active pane.
  Mouse(Pane(0), QEvent::MouseButtonPress, QPoint(100, 8), Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(window->MainPane(), Pane(1));
  // A click outside the band (too far right) changes nothing.
  const int w = Pane(1)->width();
  Mouse(Pane(1), QEvent::MouseButtonPress, QPoint(w - 70, 8), Qt::LeftButton, Qt::LeftButton);
  EXPECT_TRUE(Pane(1)->pane().isActive);
  // The main-pane button.
  Pane(2)->headerButton(kCmdMainPaneButton)->click();
  EXPECT_EQ(window->MainPane(), Pane(2));
  EXPECT_FALSE(Pane(1)->pane().isMain);
  // The signal button toggles the working signal.
  Pane(2)->headerButton(kCmdSignalButton)->click();
  EXPECT_TRUE(Pane(2)->pane().showTransformed);
  window->ExecuteCommand(kCmdShowSource);
  EXPECT_FALSE(Pane(2)->pane().showTransformed);
  window->ExecuteCommand(kCmdActivateAll);
  EXPECT_EQ(Pane(0)->pane().selectionNumber, 3);
  // While the selection dialog is open the panes ignore the mouse.
  dialogs->selectChannels = [&](waveform&) {
    Mouse(Pane(0), QEvent::MouseButtonPress, QPoint(100, 8), Qt::LeftButton, Qt::LeftButton);
    return false;
  };
  window->ExecuteCommand(kCmdAddChannels);
  EXPECT_TRUE(Pane(0)->pane().isActive);
}

TEST_F(WaveformWindowTest, DeletingPanes) {
  AddChannels({{0, 0}, {1, 0}, {1, 1}, {1, 2}});
  // From the window menu only the first active pane goes.
  window->ExecuteCommand(kCmdDeleteActive);
  ASSERT_EQ(window->panes().size(), 3u);
  EXPECT_EQ(Pane(0)->pane().number, 1);
  EXPECT_EQ(Pane(0)->geometry().top(), 0);
  EXPECT_EQ(Pane(1)->geometry().top(), Pane(0)->geometry().bottom() + 2);
  // The close button removes its pane once the posted command arrives.
  Pane(1)->headerButton(kCmdClosePanes)->click();
  EXPECT_EQ(window->panes().size(), 3u);
  QCoreApplication::processEvents();
  ASSERT_EQ(window->panes().size(), 2u);
  EXPECT_EQ(Pane(1)->pane().number, 3);
  // The next pane number follows the largest one.
  AddChannels({{2, 0}});
  EXPECT_EQ(window->panes().back()->pane().number, 4);
  // From a pane's pop-up every active pane goes.
  Pane(0)->OnPaneCommand(kCmdDeleteActive);
  QCoreApplication::processEvents();
  EXPECT_TRUE(window->panes().empty());
}

TEST_F(WaveformWindowTest, SortingReordersAndRemembersTheOrder) {
  AddChannels({{0, 0}, {1, 0}, {1, 1}, {2, 0}});  // KUR, ABC, ABC, OBN
  window->ExecuteCommand(kCmdSortAlphabet);
  std::vector<std::string> order;
  for (CZoomWindow* p : window->panes())
    order.push_back(p->pane().stationName + p->pane().channelName);
  EXPECT_EQ(order, (std::vector<std::string>{"ABCBHZ", "ABCBHN", "KURSHZ", "OBNSHZ"}));
  EXPECT_EQ(Pane(0)->geometry().top(), 0);
  EXPECT_EQ(Pane(1)->geometry().top(), Pane(0)->geometry().bottom() + 2);
  EXPECT_EQ(ws->ini().Find("WAVEFORMS", "SORTODER"), "2");
  window->ExecuteCommand(kCmdSortDbNumber);
  EXPECT_EQ(Pane(0)->pane().stationName, "OBN");  // no NINDEX first
  EXPECT_EQ(Pane(1)->pane().stationName, "KUR");
  EXPECT_EQ(ws->ini().Find("WAVEFORMS", "SORTODER"), "0");
  dialogs->sorts.push_back(kCmdSortScreenNumber);
  window->ExecuteCommand(kCmdSortMenu);
  EXPECT_EQ(Pane(0)->pane().selectionNumber, 1);
  EXPECT_EQ(Pane(3)->pane().selectionNumber, 4);
  EXPECT_EQ(window->sortOrder(), 2);
  // A new window reads the order back.
  waveform again(*ws);
  EXPECT_EQ(again.sortOrder(), 2);
}

TEST_F(WaveformWindowTest, ChannelListsRestorePanesWindowsAndRoles) {
  AddChannels({{0, 0}, {1, 0}, {1, 1}});
  window->ExecuteCommand(kCmdDeactivateAll);
  Mouse(Pane(2), QEvent::MouseButtonPress, QPoint(100, 8), Qt::LeftButton, Qt::LeftButton);
  Mouse(Pane(0), QEvent::MouseButtonPress, QPoint(100, 8), Qt::LeftButton, Qt::LeftButton);
  window->ExecuteCommand(kCmdShiftRight);  // both active panes move on and remember it
  dialogs->saveNames.push_back("evening");
  window->ExecuteCommand(kCmdSaveChannelList);
  const auto entries = LoadChannelList(ws->store(), "evening");
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].sta, "KUR");
  EXPECT_EQ(entries[0].activeWindow, "1");
  EXPECT_EQ(entries[0].mainWindow, "1");
  EXPECT_EQ(entries[1].activeWindow, "0");

  // Loading removes every pane first, then restores the list.
  dialogs->loadNames.push_back("evening");
  window->ExecuteCommand(kCmdLoadChannelList);
  ASSERT_EQ(window->panes().size(), 3u);
  // Activated in list order (KUR then ABC/BHN), then sorted by screen number;
  // the inactive pane follows the numbered ones.
  EXPECT_EQ(Pane(0)->pane().stationName, "KUR");
  EXPECT_EQ(Pane(0)->pane().selectionNumber, 1);
  EXPECT_EQ(Pane(1)->pane().channelName, "BHN");
  EXPECT_EQ(Pane(1)->pane().selectionNumber, 2);
  EXPECT_EQ(Pane(2)->pane().channelName, "BHZ");
  EXPECT_FALSE(Pane(2)->pane().isActive);
  EXPECT_TRUE(Pane(0)->pane().isMain);
  EXPECT_FALSE(Pane(1)->pane().isMain);
  EXPECT_EQ(Pane(1)->pane().number, 2);
  EXPECT_DOUBLE_EQ(Pane(0)->pane().WindowStart(), kT0 + 300);
  EXPECT_DOUBLE_EQ(Pane(2)->pane().WindowStart(), kT0);
  const int h = window->client()->height() / 3;
  EXPECT_EQ(Pane(0)->geometry(), QRect(0, 0, window->client()->width(), h - 1));

  // An entry whose location code no longer matches is dropped silently; a
  // list of unknown channels leaves the window empty.
  ws->stations()[1].channels[1].lcode = "00";
  dialogs->loadNames.push_back("evening");
  window->ExecuteCommand(kCmdLoadChannelList);
  EXPECT_EQ(window->panes().size(), 2u);
  dialogs->loadNames.push_back("nothing");
  window->ExecuteCommand(kCmdLoadChannelList);
  EXPECT_TRUE(window->panes().empty());
  EXPECT_TRUE(prompts.MessageTexts().empty());
}

TEST_F(WaveformWindowTest, NewPaneAndRebinding) {
  dialogs->stationChannel.push_back(StationChannelChoice{1, 2, kT0 + 60, 120});
  window->ExecuteCommand(kCmdNewPane);
  ASSERT_EQ(window->panes().size(), 1u);
  EXPECT_EQ(Pane(0)->pane().channelName, "BHE");
  EXPECT_DOUBLE_EQ(Pane(0)->pane().WindowStart(), kT0 + 60);
  EXPECT_DOUBLE_EQ(Pane(0)->pane().windowLength, 120);
  EXPECT_EQ(Pane(0)->height(), window->client()->height());
  EXPECT_FALSE(dialogs->lastPreset);
  // Re-binding the main pane is preset with its channel and window.
  window->ExecuteCommand(kCmdSelectStationChannel);
  EXPECT_EQ(prompts.MessageTexts().back(), "Не выбрано главное окно");
  window->MakeMain(*Pane(0));
  dialogs->stationChannel.push_back(StationChannelChoice{0, 0, kT0, 30});
  window->ExecuteCommand(kCmdSelectStationChannel);
  ASSERT_TRUE(dialogs->lastPreset);
  EXPECT_EQ(dialogs->lastPreset->channel, 2);
  EXPECT_DOUBLE_EQ(dialogs->lastPreset->length, 120);
  EXPECT_EQ(Pane(0)->pane().stationName, "KUR");
  EXPECT_DOUBLE_EQ(Pane(0)->pane().windowLength, 30);
  EXPECT_TRUE(Pane(0)->pane().history.empty());
  // A second new pane goes below the first, half the client high.
  dialogs->stationChannel.push_back(StationChannelChoice{2, 0, kT0, 30});
  window->ExecuteCommand(kCmdNewPane);
  EXPECT_EQ(Pane(1)->geometry().top(), Pane(0)->geometry().bottom() + 2);
}

TEST_F(WaveformWindowTest, ResizingMaximisingAndTheReadout) {
  AddChannels({{0, 0}, {1, 0}, {1, 1}});
  CZoomWindow* pane = Pane(0);
  const PaneGeometry g = pane->Geometry();
  const int band = g.traceBottom() + 10;
  Mouse(pane, QEvent::MouseButtonPress, QPoint(50, band), Qt::LeftButton, Qt::LeftButton);
  EXPECT_TRUE(pane->resizing());
  Mouse(pane, QEvent::MouseMove, QPoint(50, 20), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(pane->height(), window->AxisHeight() + 45);  // never lower
  Mouse(pane, QEvent::MouseMove, QPoint(50, 150), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(pane->height(), 150);
  EXPECT_EQ(Pane(1)->geometry().top(), 151);
  Mouse(pane, QEvent::MouseButtonRelease, QPoint(50, 150), Qt::LeftButton, Qt::NoButton,
        Qt::ShiftModifier);
  for (CZoomWindow* p : window->panes()) EXPECT_EQ(p->height(), 150);
  EXPECT_EQ(Pane(2)->geometry().top(), 302);

  // Maximise and back.
  Pane(1)->headerButton(kCmdMaximizeButton)->click();
  EXPECT_EQ(Pane(1)->height(), window->client()->height());
  EXPECT_EQ(Pane(1)->geometry().top(), 0);
  Pane(1)->headerButton(kCmdMaximizeButton)->click();
  EXPECT_EQ(Pane(1)->height(), 150);

  // The readout over the trace area, and nothing over the header.
  QStringList texts;
  QObject::connect(window.get(), &waveform::statusMessage, [&](const QString& t) { texts << t; });
  Mouse(Pane(1), QEvent::MouseMove, QPoint(300, 5), Qt::NoButton, Qt::NoButton);
  EXPECT_TRUE(texts.isEmpty());
  Mouse(Pane(1), QEvent::MouseMove, QPoint(1, 60), Qt::NoButton, Qt::NoButton);
  ASSERT_EQ(texts.size(), 1);
  EXPECT_TRUE(texts[0].startsWith("17:00:0.000  05/08/2009 A:")) << texts[0].toStdString();
  Mouse(Pane(1), QEvent::MouseButtonPress, QPoint(1, 60), Qt::LeftButton, Qt::LeftButton);
  Mouse(Pane(1), QEvent::MouseMove, QPoint(1, 60), Qt::NoButton, Qt::LeftButton);
  EXPECT_TRUE(texts.back().startsWith("00:00:0.000  A:0.0")) << texts.back().toStdString();
}

TEST_F(WaveformWindowTest, SwitchesAndTheCommonCursor) {
  AddChannels({{0, 0}, {1, 0}});
  EXPECT_TRUE(window->Checked(kCmdDrawWaveforms));
  window->Action(kCmdDrawWaveforms)->trigger();
  EXPECT_FALSE(window->settings().drawWaveforms);
  EXPECT_FALSE(window->Action(kCmdDrawWaveforms)->isChecked());
  EXPECT_FALSE(window->IsCommandEnabled(kCmdPrint));
  EXPECT_FALSE(window->Action(kCmdMenuCentre)->isEnabled());
  window->ExecuteCommand(kCmdCommonCursor);
  Mouse(Pane(0), QEvent::MouseMove, QPoint(120, 60), Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(Pane(0)->cursorLine(), 120);
  EXPECT_EQ(Pane(1)->cursorLine(), 120);
  QTest::keyClick(window.get(), Qt::Key_A);
  EXPECT_EQ(Pane(1)->cursorLine(), -1);
  Mouse(Pane(0), QEvent::MouseMove, QPoint(130, 60), Qt::NoButton, Qt::NoButton);
  window->ExecuteCommand(kCmdCommonCursor);
  EXPECT_EQ(Pane(0)->cursorLine(), -1);
  QSignalSpy spy(window.get(), &waveform::settingsRequested);
  window->ExecuteCommand(kCmdSettings);
  EXPECT_EQ(spy.count(), 1);
}

}  // namespace
}  // namespace nuv::test
