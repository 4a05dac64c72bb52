// The demo as a newcomer meets it: the channel list named for the start on
// screen at once, and the map that opens over the stations and follows the
// located event.

#include <QLineEdit>
#include <QMdiSubWindow>

#include "demo_fixture.h"
#include "map/ui/map_window.h"
#include "platform/profile_file.h"
#include "screenshot.h"
#include "seismo/ui/location_dialogs.h"
#include "waveview/ui/waveform_window.h"
#include "waveview/ui/zoom_window.h"
#include "when_shown.h"
#include "widgets/ui/command_ids.h"

namespace nuv::test {
namespace {

waveform& Waveforms(CNuvApp& app) {
  return *qobject_cast<waveform*>(app.mainFrame()->document(DocumentKind::Waveforms));
}

TEST_F(DemoFrame, ChannelListNamedForTheStartIsOnScreen) {
  const auto arrivals = DemoPArrivals(demo);
  {
    // The key is found in any letter case, as the other keys are.
    CNuvApp app;
    ASSERT_TRUE(Start(app, {"chanlist=DEMO-3C"}));
    waveform& window = Waveforms(app);
    ASSERT_TRUE(WaitFor([&] { return window.panes().size() == 9; }));
    EXPECT_EQ(window.panes().front()->pane().stationName, "DM01");
    for (const CZoomWindow* view : window.panes()) {
      const TracePane& pane = view->pane();
      SCOPED_TRACE(pane.stationName + pane.channelName);
      ASSERT_FALSE(pane.blocks.empty());
      const double p = arrivals.at(pane.stationName);
      EXPECT_GT(p, pane.WindowStart());
      EXPECT_LT(p, pane.WindowStart() + pane.windowLength);
      EXPECT_TRUE(view->isVisible());
    }
    EXPECT_TRUE(prompts.MessageTexts().empty());
    SaveScreenshot(*app.mainFrame(), "demo-first-start");
  }
  // Without the key, NUV.INI's [WAVEFORMS] STARTLIST names the list.
  ASSERT_TRUE(
      ProfileFile(demo / "settings" / "NUV.INI").WriteString("WAVEFORMS", "STARTLIST", "DEMO-Z"));
  {
    CNuvApp app;
    ASSERT_TRUE(Start(app));
    ASSERT_TRUE(WaitFor([&] { return Waveforms(app).panes().size() == 3; }));
  }
  // A list that was never saved is named in a message; the window stays empty.
  {
    CNuvApp app;
    ASSERT_TRUE(Start(app, {"CHANLIST=НЕТ ТАКОГО"}));
    ASSERT_TRUE(WaitFor([&] { return !prompts.MessageTexts().empty(); }));
    EXPECT_EQ(prompts.MessageTexts().back(), "Список каналов \"НЕТ ТАКОГО\" не найден");
    EXPECT_TRUE(Waveforms(app).panes().empty());
  }
}

TEST_F(DemoFrame, MapOpensOverTheStationsAndFollowsTheLocatedEvent) {
  CNuvApp app;
  ASSERT_TRUE(Start(app));
  CMainFrame& frame = *app.mainFrame();
  Workstation& ws = *app.workstation();
  frame.resize(1280, 800);
  frame.ExecuteCommand(cmd::kShowMap);
  auto* map = qobject_cast<map::CMapWnd*>(frame.document(DocumentKind::Map));
  ASSERT_NE(map, nullptr);
  ASSERT_TRUE(WaitFor([&] { return map->isVisible() && map->state().viewChosen; }));
  const map::MapView first = map->state().view;
  ASSERT_EQ(ws.stations().size(), 3u);
  for (int i = 0; i < ws.stations().size(); ++i)
    EXPECT_TRUE(first.Contains(ws.stations()[i].lat, ws.stations()[i].lon)) << i;
  EXPECT_LT(first.span, 40);

  // The analyst moves the map away, picks P and S at every station and
  // locates from the map; the view comes back onto the new origin.
  for (int i = 0; i < 3; ++i) frame.ExecuteCommand(map::cmd::kShiftWest);
  const map::MapView away = map->state().view;
  EXPECT_DOUBLE_EQ(away.span, first.span);
  const int typeP = ws.phaseTypes().IndexOf("P"), typeS = ws.phaseTypes().IndexOf("S");
  for (const auto& [code, arrival] : DemoArrivals(demo)) {
    const int station = ws.stations().FindStation(code);
    ASSERT_GE(station, 0) << code;
    for (const auto& [type, time] : {std::pair{typeP, arrival.p}, std::pair{typeS, arrival.s}}) {
      SEISMIC_PHASE phase;
      phase.station = station;
      phase.channel = ws.stations().FindChannel(station, "BHZ");
      phase.phaseType = type;
      phase.SetTime(time);
      phase.defining = 1;
      ws.phases().Add(phase);
    }
  }
  const double earliest = ws.phases().GetAt(0)->time;
  bool located = false;
  WhenShown<CStartPointDialog>([&](CStartPointDialog& start) {
    start.latEdit()->setText("42");
    start.lonEdit()->setText("75");
    start.depthEdit()->setText("10");
    start.timeEdit()->setText(QString::fromStdString(StartTimeText(earliest - 30)));
    WhenShown<CHypocentreDialog>([&](CHypocentreDialog& result) {
      located = true;
      result.accept();
    });
    start.accept();
  });
  frame.ExecuteCommand(cmd::kHypocentre);
  ASSERT_TRUE(located);
  const CurrentEvent& event = ws.event();
  ASSERT_EQ(event.originValid, 1);
  EXPECT_FALSE(away.Contains(event.originLat, event.originLon));
  ASSERT_TRUE(
      WaitFor([&] { return map->state().view.Contains(event.originLat, event.originLon); }));
  const map::MapView followed = map->state().view;
  EXPECT_NEAR(followed.centreLat(), event.originLat, 1e-3);
  EXPECT_NEAR(followed.centreLon(), event.originLon, 1e-3);
  EXPECT_DOUBLE_EQ(followed.span, first.span);  // the scale the analyst chose stays
  SaveScreenshot(frame, "demo-map-follows");

  // The origin already seen does not pull the view back after the analyst
  // moves it again.
  frame.ExecuteCommand(map::cmd::kShiftEast);
  frame.ExecuteCommand(map::cmd::kShiftEast);
  const map::MapView moved = map->state().view;
  map->Render(QSize(640, 400));
  EXPECT_DOUBLE_EQ(map->state().view.west, moved.west);
}

}  // namespace
}  // namespace nuv::test
