// The map window offscreen: its picture with stations, circles, azimuths,
// the origin's ellipse and the coastline; the menu commands and their check
// marks through the frame; the cursor and measurement texts, the rubber
// rectangle and the starting-epicentre dialog.

#include "map/ui/map_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "frame_fixture.h"
#include "map/map_state.h"
#include "map/ui/start_epicentre_dialog.h"
#include "screenshot.h"
#include "seismo/ui/location_dialogs.h"
#include "when_shown.h"
#include "widgets/ui/command_ids.h"

namespace nuv::test {
namespace {

using map::CMapWnd;

class MapWindowTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    const struct {
      const char* code;
      float lat, lon;
    } stations[] = {{"TKM", 42.9f, 74.6f},
                    {"AAK", 42.6f, 74.5f},
                    {"NRN", 41.4f, 76.0f},
                    {"ERM", 53.0f, 158.0f}};
    for (const auto& s : stations) {
      CScreenFields st;
      st.code = s.code;
      st.lat = s.lat;
      st.lon = s.lon;
      ws->stations().records().push_back(st);
    }
    ws->networks() = {{"KNET", "TKM;AAK;"}, {"ALL", "TKM;AAK;NRN;ERM;"}};
    std::filesystem::copy_file(std::string(NUV_SOURCE_DIR) + "/data/map/map.pnt",
                               ws->config().homeDir + "map.pnt",
                               std::filesystem::copy_options::overwrite_existing);
  }

  CMapWnd& Map() {
    auto* map = qobject_cast<CMapWnd*>(frame().document(DocumentKind::Map));
    EXPECT_NE(map, nullptr);
    return *map;
  }

  // The widget position of a geographic point in the current view.
  static QPoint Pos(CMapWnd& map, double lat, double lon) {
    const map::Projection p(map.state().view, map.mapRect());
    const map::PixelPoint px = p.ToPixel(lat, lon);
    return QPoint(px.x, map.height() - px.y);
  }
};

int CountColour(const QImage& image, QRgb colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == colour;
  return n;
}

TEST_F(MapWindowTest, DrawsStationsOriginAzimuthsAndCoastline) {
  CurrentEvent& event = ws->event();
  event.originValid = 1;
  event.originLat = 42.7f;
  event.originLon = 74.6f;
  event.ellipse.major = 300;
  event.ellipse.minor = 120;
  event.ellipse.direction = 60;
  event.SetStationDistance(2, 15.0f);
  SEISMIC_PHASE p;
  p.station = 0;
  p.hasPolarization = 1;
  p.azimuth = 250;
  p.SetTime(1e9);
  ws->phases().Add(p);

  frame().resize(1400, 900);
  frame().ExecuteCommand(cmd::kShowMap);
  CMapWnd& map = Map();
  ASSERT_TRUE(WaitFor([&] { return map.isVisible(); }));
  frame().ExecuteCommand(map::cmd::kCoastlineMap);
  frame().ExecuteCommand(map::cmd::kDrawAzimuth);
  EXPECT_EQ(frame().IsCommandChecked(map::cmd::kCoastlineMap), std::optional<bool>(true));
  EXPECT_EQ(frame().IsCommandChecked(map::cmd::kSimpleMap), std::optional<bool>(false));
  EXPECT_EQ(frame().IsCommandChecked(map::cmd::kDrawAzimuth), std::optional<bool>(true));
  EXPECT_GT(map.coastline().pointCount(), 20000u);

  const QImage world = map.Render(QSize(1200, 750));
  EXPECT_GT(CountColour(world, qRgb(0, 128, 0)), 3000);  // coastline
  EXPECT_GT(CountColour(world, qRgb(255, 0, 0)), 500);   // azimuth great circle
  EXPECT_GT(CountColour(world, qRgb(0, 0, 255)), 300);   // stations and the circle
  SaveScreenshot(frame(), "map_window_world");

  // Zoomed onto the network the ellipse shows.
  map.state().view.SetRectangle(60, 30, 32, 52);
  const QImage zoomed = map.Render(QSize(1200, 750));
  EXPECT_GT(CountColour(zoomed, qRgb(255, 0, 255)), 200);
  map.update();
  SaveScreenshot(frame(), "map_window_network");
}

TEST_F(MapWindowTest, OpensOverEveryStationWithBordersAndLakes) {
  // A station in Alaska besides those of Central Asia and Kamchatka.
  CScreenFields alaska;
  alaska.code = "COLA";
  alaska.lat = 64.87f;
  alaska.lon = -147.86f;
  ws->stations().records().push_back(alaska);
  for (const char* lines : {"borders.pnt", "lakes.pnt"})
    std::filesystem::copy_file(std::string(NUV_SOURCE_DIR) + "/data/map/" + lines,
                               ws->config().homeDir + lines);
  frame().resize(1400, 900);
  frame().ExecuteCommand(cmd::kShowMap);
  CMapWnd& map = Map();
  ASSERT_TRUE(WaitFor([&] { return map.isVisible() && map.state().viewChosen; }));
  const map::MapView view = map.state().view;
  for (const CScreenFields& s : ws->stations().records())
    EXPECT_TRUE(view.Contains(s.lat, s.lon)) << s.code;
  EXPECT_LT(view.span, 200);  // across the Pacific, not round the world
  EXPECT_FALSE(view.Contains(50, 0));
  EXPECT_GT(map.borders().pointCount(), 10000u);
  EXPECT_GT(map.lakes().pointCount(), 1000u);
  // The simple mode draws the borders in grey and the lakes in their blue.
  const QImage picture = map.Render(QSize(1200, 750));
  EXPECT_GT(CountColour(picture, qRgb(160, 160, 160)), 1000);
  EXPECT_GT(CountColour(picture, qRgb(40, 120, 200)), 100);
  SaveScreenshot(frame(), "map_window_first_view");
  // "Восстановить исходное значение масштаба" still gives the whole world.
  frame().ExecuteCommand(map::cmd::kRestoreView);
  EXPECT_DOUBLE_EQ(map.state().view.span, 360);
  EXPECT_DOUBLE_EQ(map.state().view.south, -90);
}

TEST_F(MapWindowTest, MenuCommandsChangeTheView) {
  frame().ExecuteCommand(cmd::kShowMap);
  CMapWnd& map = Map();
  frame().ExecuteCommand(map::cmd::kZoomIn);
  frame().ExecuteCommand(map::cmd::kZoomIn);
  EXPECT_NEAR(map.state().view.west, -80, 1e-9);
  EXPECT_NEAR(map.state().view.north, 40, 1e-9);
  frame().ExecuteCommand(map::cmd::kRestoreView);
  frame().ExecuteCommand(map::cmd::kShiftEast);
  EXPECT_DOUBLE_EQ(map.state().view.west, 0);
  EXPECT_DOUBLE_EQ(map.state().view.span, 360);
  // Printing and redrawing have no command behind them.
  EXPECT_FALSE(frame().IsCommandEnabled(map::cmd::kPrintMap));
  EXPECT_FALSE(frame().IsCommandEnabled(map::cmd::kRedraw));
  EXPECT_TRUE(frame().IsCommandEnabled(map::cmd::kZoomOut));
  // Relief with one band provided: it is stretched into its part of the map,
  // the missing bands stay white.
  QImage band(map::kReliefWidth, map::kReliefHeight, QImage::Format_RGB32);
  band.fill(qRgb(200, 170, 90));
  ASSERT_TRUE(band.save(QString::fromStdString(ws->config().homeDir + "map03.bmp"), "BMP"));
  frame().ExecuteCommand(map::cmd::kReliefMap);
  EXPECT_EQ(frame().IsCommandChecked(map::cmd::kReliefMap), std::optional<bool>(true));
  EXPECT_FALSE(map.relief()[3].isNull());
  EXPECT_TRUE(map.relief()[0].isNull());
  frame().ExecuteCommand(map::cmd::kRestoreView);
  const QImage relief = map.Render(QSize(900, 600));
  const int shaded = CountColour(relief, qRgb(200, 170, 90));
  // Band 3 is a ninth of the map's height.
  EXPECT_GT(shaded, 800 * 500 / 9 * 8 / 10);
  EXPECT_LT(shaded, 900 * 600 / 9);
  // The network chosen in the "MAP" bar filters the stations.
  frame().networkList()->setCurrentIndex(0);
  map.OnCommand(map::cmd::kStationGroupChosen);
  EXPECT_EQ(map.state().stationFilter, 0);
}

TEST_F(MapWindowTest, StatusTextsRubberRectangleAndMeasurement) {
  frame().ExecuteCommand(cmd::kShowMap);
  CMapWnd& map = Map();
  ASSERT_TRUE(WaitFor([&] { return map.isVisible() && map.width() > 300; }));
  map.state().view.SetRectangle(30, 20, 50, 60);
  const QString moscow = map.StatusTextAt(Pos(map, 55.75, 37.62));
  EXPECT_TRUE(moscow.startsWith("55.7")) << moscow.toStdString();
  EXPECT_TRUE(moscow.contains("N ")) << moscow.toStdString();
  EXPECT_TRUE(moscow.endsWith("E")) << moscow.toStdString();
  EXPECT_EQ(map.StatusTextAt(QPoint(1, 1)), " ");  // outside the map

  QSignalSpy status(&map, &CMapWnd::statusMessage);
  QTest::mousePress(&map, Qt::LeftButton, Qt::ShiftModifier, Pos(map, 52, 32));
  QMouseEvent move(QEvent::MouseMove, Pos(map, 58, 48), map.mapToGlobal(Pos(map, 58, 48)),
                   Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier);
  QApplication::sendEvent(&map, &move);
  QTest::mouseRelease(&map, Qt::LeftButton, Qt::ShiftModifier, Pos(map, 58, 48));
  ASSERT_FALSE(status.isEmpty());
  EXPECT_TRUE(status.last().at(0).toString().startsWith("Аз.="))
      << status.last().at(0).toString().toStdString();

  // Two double clicks make the rectangle between them the view.
  QTest::mouseDClick(&map, Qt::LeftButton, Qt::NoModifier, Pos(map, 58, 34));
  QTest::mouseDClick(&map, Qt::LeftButton, Qt::NoModifier, Pos(map, 52, 44));
  EXPECT_NEAR(map.state().view.west, 34, 0.2);
  EXPECT_NEAR(map.state().view.span, 10, 0.2);
  EXPECT_NEAR(map.state().view.south, 52, 0.2);
  EXPECT_NEAR(map.state().view.north, 58, 0.2);
}

TEST_F(MapWindowTest, StartingEpicentreDialog) {
  frame().ExecuteCommand(cmd::kShowMap);
  CMapWnd& map = Map();
  ASSERT_TRUE(WaitFor([&] { return map.isVisible() && map.width() > 300; }));
  map.state().view.SetRectangle(60, 30, 30, 55);
  // Prefilled with the point; depth typed, comment kept for the next time.
  WhenShown<map::CStartEpicentreDlg>([](map::CStartEpicentreDlg& d) {
    EXPECT_EQ(d.windowTitle(), "Введите параметры  гипоцентра");
    EXPECT_TRUE(d.latEdit()->text().startsWith("42."));
    d.depthEdit()->setText("12");
    d.commentEdit()->setText("проба");
    d.accept();
  });
  map.EditStartEpicentre(Pos(map, 42.5, 75.0));
  EXPECT_TRUE(map.state().start.set);
  EXPECT_NEAR(map.state().start.lon, 75.0, 0.1);
  EXPECT_FLOAT_EQ(map.state().start.depth, 12);
  EXPECT_DOUBLE_EQ(map.state().start.originTime, -1);

  // A bad latitude keeps the dialog open with a message; "Очистить" then OK clears it.
  WhenShown<map::CStartEpicentreDlg>([this](map::CStartEpicentreDlg& d) {
    EXPECT_EQ(d.commentEdit()->text(), "проба");
    d.latEdit()->setText("север");
    d.accept();
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(prompts.MessageTexts().empty());
    d.Clear();
    d.accept();
  });
  map.EditStartEpicentre(Pos(map, 40, 70));
  EXPECT_FALSE(map.state().start.set);
  EXPECT_FLOAT_EQ(map.state().start.depth, -1);
}

TEST_F(MapWindowTest, FrameWiringFilterStatusAndLocationStart) {
  frame().ExecuteCommand(cmd::kShowMap);
  CMapWnd& map = Map();
  ASSERT_TRUE(WaitFor([&] { return map.isVisible(); }));
  // The network chosen in the "MAP" bar filters the stations drawn.
  auto drawn = [&] {
    map::MapSceneInput input = map::SceneInput(*ws, map.state(), &map.coastline());
    input.width = 800;
    input.height = 500;
    return map::BuildMapScene(input).stations;
  };
  EXPECT_EQ(drawn(), 4);
  frame().networkList()->setCurrentIndex(0);
  emit frame().networkList()->activated(0);
  EXPECT_EQ(map.state().stationFilter, 0);
  EXPECT_EQ(drawn(), 2);  // KNET: TKM and AAK
  frame().networkList()->setCurrentIndex(1);
  emit frame().networkList()->activated(1);
  EXPECT_EQ(drawn(), 4);

  // The map's texts reach the frame's message pane.
  emit map.statusMessage("55.750N 37.620E");
  EXPECT_EQ(frame().messageText(), "55.750N 37.620E");

  // "Оценка положения гипоцентра" from the map starts from the marked epicentre.
  map.state().start.set = true;
  map.state().start.lat = 41.25f;
  map.state().start.lon = 77.5f;
  map.state().start.depth = 33;
  bool shown = false;
  WhenShown<CStartPointDialog>([&shown](CStartPointDialog& d) {
    shown = true;
    EXPECT_TRUE(d.latEdit()->text().startsWith("41.25")) << d.latEdit()->text().toStdString();
    EXPECT_TRUE(d.lonEdit()->text().startsWith("77.5")) << d.lonEdit()->text().toStdString();
    EXPECT_TRUE(d.depthEdit()->text().startsWith("33")) << d.depthEdit()->text().toStdString();
    d.reject();
  });
  ASSERT_TRUE(frame().IsCommandEnabled(cmd::kHypocentre));
  frame().ExecuteCommand(cmd::kHypocentre);
  EXPECT_TRUE(shown);
}

}  // namespace
}  // namespace nuv::test
