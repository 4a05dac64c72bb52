#include <QImage>

#include "waveview/waveform_commands.h"
#include "waveview_fixture.h"

namespace nuv::test {
namespace {

using WaveformPhasesTest = WaveviewFixture;

SEISMIC_PHASE Phase(int station, int channel, int type, double time) {
  SEISMIC_PHASE p;
  p.station = station;
  p.channel = channel;
  p.phaseType = type;
  p.time = time;
  return p;
}

TEST_F(WaveformPhasesTest, CopiesSortsAndShowsTheList) {
  ws->phaseTypes().LoadNames("/nonexistent/");
  AddChannels({{0, 0}, {1, 0}, {1, 1}, {1, 2}});
  SEISMIC_PHASE p = Phase(1, 0, 0, kT0 + 100);
  p.defining = 1;
  window->AddPhase(p, true);
  // The two other channels of ABC get non-defining copies.
  EXPECT_EQ(ws->phases().Count(), 3);
  const SEISMIC_PHASE* copy = ws->phases().Find(1, 2, 0);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->defining, 0);
  EXPECT_EQ(copy->active, 1);
  EXPECT_EQ(ws->phases().Find(1, 0, 0)->defining, 1);

  // The defining P is drawn as a solid red line on the pane of ABC/BHZ.
  const int before = Pane(1)->RecordCount(CZoomWindow::kPhaseLayer);
  window->RedrawAllPhaseMarks();
  EXPECT_EQ(Pane(1)->RecordCount(CZoomWindow::kPhaseLayer), before + 1);
  const QImage image = Pane(1)->grab().toImage();
  const PaneGeometry g = Pane(1)->Geometry();
  const int x = TimeToPixel(g, kT0, 600, kT0 + 100);
  EXPECT_EQ(image.pixelColor(x, g.traceBottom() - 2), QColor(Qt::red));

  // Sorting by phase time: panes without phases last, in their order.
  ws->phases().Add(Phase(1, 1, 1, kT0 + 50));
  window->ExecuteCommand(kCmdSortPhaseTime);
  std::vector<std::string> order;
  for (CZoomWindow* pane : window->panes()) order.push_back(pane->pane().channelName);
  EXPECT_EQ(order, (std::vector<std::string>{"BHN", "BHZ", "BHE", "SHZ"}));
  EXPECT_EQ(ws->ini().Find("WAVEFORMS", "SORTODER"), "1");

  // Showing the list's span: 50..100 s after kT0 with 5% margins.
  window->ShowPhaseListSpan();
  for (CZoomWindow* pane : window->panes()) {
    EXPECT_NEAR(pane->pane().WindowStart(), kT0 + 47.5, 1e-3);
    EXPECT_DOUBLE_EQ(pane->pane().windowLength, 55);
    EXPECT_TRUE(pane->pane().history.empty());
  }
}

}  // namespace
}  // namespace nuv::test
