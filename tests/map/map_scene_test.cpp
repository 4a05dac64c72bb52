// What a redraw puts on the map: coastline segments and the 180° meridian,
// great circles and distance circles checked against DistAz, the ellipse in
// the local metric, the station filter and the status texts.

#include "map/map_scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "db/inventory.h"
#include "db/station_table.h"
#include "map/geo_lines.h"
#include "map/map_state.h"
#include "traveltime/dist_az.h"

namespace nuv::map {
namespace {

MapSceneInput Input(int width = 800, int height = 500) {
  MapSceneInput input;
  input.width = width;
  input.height = height;
  input.mode = DrawMode::Coastline;
  return input;
}

// The strokes of the coastline colour.
std::vector<Stroke> CoastStrokes(const MapScene& scene) {
  std::vector<Stroke> out;
  for (const Stroke& s : scene.strokes)
    if (s.colour == kCoastColour) out.push_back(s);
  return out;
}

int LongestJump(const std::vector<Stroke>& strokes) {
  int jump = 0;
  for (const Stroke& s : strokes)
    for (size_t i = 1; i < s.points.size(); ++i)
      jump = std::max(jump, std::abs(s.points[i].x - s.points[i - 1].x));
  return jump;
}

TEST(MapCoastlineLayer, PolylineAcrossTheDateLineDrawsNoLineAcrossTheMap) {
  Coastline coast;
  coast.polylines.push_back({{10, 170}, {11, 175}, {12, 179.5f}, {13, -179.5f}, {14, -175}});
  MapSceneInput input = Input();
  input.coastline = &coast;
  const MapScene scene = BuildMapScene(input);
  const auto strokes = CoastStrokes(scene);
  ASSERT_EQ(strokes.size(), 2u);
  EXPECT_LT(LongestJump(strokes), scene.rect.width() / 4);
  EXPECT_EQ(scene.coastPoints, 5u);
  // In a view that crosses 180° the two parts lie side by side: the segment
  // across the meridian is still left out, every point is drawn.
  input.view.SetRectangle(160, 40, 0, 20);
  const MapScene crossing = BuildMapScene(input);
  const auto across = CoastStrokes(crossing);
  ASSERT_EQ(across.size(), 2u);
  EXPECT_EQ(across[0].points.size() + across[1].points.size(), 5u);
  EXPECT_LT(std::abs(across[1].points.front().x - across[0].points.back().x),
            crossing.rect.width() / 20);
}

TEST(MapCoastlineLayer, PointsOutsideTheViewBreakTheLine) {
  Coastline coast;
  coast.polylines.push_back({{0, 0}, {1, 1}, {60, 2}, {2, 3}, {3, 4}, {70, 5}});
  MapSceneInput input = Input();
  input.coastline = &coast;
  input.view.SetRectangle(-10, 20, -10, 10);
  const auto strokes = CoastStrokes(BuildMapScene(input));
  ASSERT_EQ(strokes.size(), 2u);
  EXPECT_EQ(strokes[0].points.size(), 2u);
  EXPECT_EQ(strokes[1].points.size(), 2u);
  // Simple mode draws no coastline at all; an empty file leaves the layer empty.
  input.mode = DrawMode::Simple;
  EXPECT_TRUE(CoastStrokes(BuildMapScene(input)).empty());
  Coastline none;
  input.mode = DrawMode::Coastline;
  input.coastline = &none;
  const MapScene empty = BuildMapScene(input);
  EXPECT_TRUE(empty.drawn);
  EXPECT_TRUE(CoastStrokes(empty).empty());
}

TEST(MapCoastlineLayer, DegenerateViewOrSizeDrawsNothing) {
  MapSceneInput input = Input();
  input.view.SetRectangle(0, 10, 20, 20);
  EXPECT_FALSE(BuildMapScene(input).drawn);
  MapSceneInput tiny = Input(30, 10);
  const MapScene scene = BuildMapScene(tiny);
  EXPECT_FALSE(scene.drawn);
  EXPECT_TRUE(scene.strokes.empty());
}

TEST(MapGeoLines, DestinationAgreesWithDistAz) {
  // Stations at the equator, mid-latitudes, near and at the poles, either
  // side of the date line.
  const double stations[][2] = {{0, 0}, {43, 77}, {-33, -70}, {70, 179.9}, {89.9, 10}, {-90, 0}};
  for (const auto& s : stations)
    for (double az : {0.0, 45.0, 135.0, 270.0})
      for (double d : {1.0, 30.0, 100.0, 179.0}) {
        const GeoPoint p = Destination(s[0], s[1], az, d);
        ASSERT_LE(std::fabs(p.lon), 180.0f);
        DistAzResult r;
        ASSERT_TRUE(DistAz(static_cast<float>(s[0]), static_cast<float>(s[1]), p.lat, p.lon, r));
        EXPECT_NEAR(r.distance, d, 0.02) << s[0] << " " << s[1] << " az " << az << " d " << d;
        if (std::fabs(s[0]) < 89 && d < 170) {
          const double diff = std::fmod(std::fabs(r.azimuth - az) + 360, 360);
          EXPECT_LT(std::min(diff, 360 - diff), 0.1) << s[0] << " az " << az << " d " << d;
        }
      }
}

TEST(MapGeoLines, GreatCircleAndDistanceCircle) {
  const auto line = GreatCirclePoints(43, 77, 30, 0.025, 180);
  EXPECT_EQ(line.size(), 7201u);
  EXPECT_NEAR(line.front().lat, 43, 1e-4);
  EXPECT_TRUE(GreatCirclePoints(0, 0, 0, 0, 180).empty());
  const auto circle = DistanceCircle(43, 77, 12.5);
  ASSERT_EQ(circle.size(), 360u);
  for (size_t az = 0; az < 360; az += 17) {
    DistAzResult r;
    ASSERT_TRUE(DistAz(43, 77, circle[az].lat, circle[az].lon, r));
    EXPECT_NEAR(r.distance, 12.5, 0.01);
  }
}

TEST(MapGeoLines, EllipseUsesTheLocalMetric) {
  // An ellipse with its 100 km major axis pointing east at 0°, 43° and 70°:
  // the end of the axis lies 100 km east on the ground, so its longitude
  // offset grows with 1 / cos(latitude).
  for (double lat : {0.0, 43.0, 70.0}) {
    const auto outline = EllipseOutline(lat, 20, 100, 40, 90, 72);
    ASSERT_EQ(outline.size(), 73u);
    const GeoPoint end = outline[0];  // t = 0: along the major axis
    EXPECT_NEAR(end.lat, lat, 1e-4);
    const double km = (end.lon - 20) * 111.19 * std::cos(lat * kDegToRad);
    EXPECT_NEAR(km, 100, 0.01) << lat;
    // The minor axis points north: 40 km of latitude.
    EXPECT_NEAR((outline[18].lat - lat) * 111.19, -40, 0.01);
  }
  EXPECT_TRUE(EllipseOutline(43, 20, -1, -1, -1).empty());
  EXPECT_TRUE(EllipseOutline(43, 20, 10, 0, 0).empty());
}

TEST(MapLayers, StationsCirclesAzimuthsAndEpicentres) {
  MapSceneInput input = Input(1200, 700);
  input.stations = {{"AAA", 43, 77, 10}, {"BBB", 42, 75, -1}, {"FAR", -40, -100, -1}};
  input.view.SetRectangle(60, 40, 30, 55);
  input.drawAzimuth = true;
  input.azimuths = {{43, 77, 45}};
  input.origin = MapOrigin{42.7f, 74.6f, 20, 10, 30};
  input.startEpicentre = GeoPoint{44, 76};
  const MapScene scene = BuildMapScene(input);
  EXPECT_EQ(scene.stations, 2);  // FAR is outside the view
  EXPECT_EQ(scene.circles, 1);
  EXPECT_EQ(scene.azimuths, 1);
  EXPECT_EQ(scene.events, 1);
  int red = 0, ellipse = 0;
  for (const Stroke& s : scene.strokes) {
    red += s.colour == kRed;
    ellipse += s.colour == kEllipseColour;
  }
  EXPECT_GE(red, 2);  // both directions of the great circle
  EXPECT_EQ(ellipse, 1);
  // Station markers 3 mm wide and labelled to the right.
  int labelled = 0;
  for (const Label& l : scene.labels) labelled += l.text == "AAA" || l.text == "BBB";
  EXPECT_EQ(labelled, 2);
  EXPECT_EQ(scene.markers.front().diameter, static_cast<int>(std::lround(3 * input.pixelsPerMm)));
  // Without the azimuth flag no great circle is drawn.
  input.drawAzimuth = false;
  EXPECT_EQ(BuildMapScene(input).azimuths, 0);
}

TEST(MapGraticule, TicksAndLabelsOfTheWorldView) {
  const MapScene scene = BuildMapScene(Input(1600, 1000));
  int degreeLabels = 0;
  for (const Label& l : scene.labels) degreeLabels += l.text.find("°") != std::string::npos;
  // 37 longitude labels (-180..180 by 10) and 19 latitude labels.
  EXPECT_EQ(degreeLabels, 37 + 19);
}

TEST(MapStatusTexts, CursorAndMeasurement) {
  EXPECT_EQ(CursorText(55.75, 37.62), "55.750N 37.620E");
  EXPECT_EQ(CursorText(-33.5, -70.25), "33.500S 70.250W");
  EXPECT_EQ(CursorText(0, 0), "0.000S 0.000W");
  DistAzResult r;
  ASSERT_TRUE(DistAz(0, 0, 0, 90, r));
  EXPECT_EQ(MeasureText(r), "Аз.=90.00° Обр.аз.=270.00° Рас.=90.00°");
}

TEST(MapStationFilter, NetworkListChoosesStations) {
  StationTable table;
  for (const char* code : {"AB", "ABC", "XYZ"}) {
    CScreenFields s;
    s.code = code;
    table.records().push_back(s);
  }
  const std::vector<SeismoNetwork> networks = {{"N1", "ABC;XYZ;"}, {"N2", "AB;"}};
  auto codes = [&](int filter) {
    std::string out;
    for (const MapStation& s : MapStations(table, {1.5f}, networks, filter)) out += s.code + ",";
    return out;
  };
  EXPECT_EQ(codes(-1), "AB,ABC,XYZ,");
  EXPECT_EQ(codes(0), "ABC,XYZ,");  // "AB" is not a member of "ABC;XYZ;"
  EXPECT_EQ(codes(1), "AB,");
  EXPECT_EQ(codes(7), "AB,ABC,XYZ,");
  EXPECT_FLOAT_EQ(MapStations(table, {1.5f}, networks, -1)[0].distance, 1.5f);
  EXPECT_FLOAT_EQ(MapStations(table, {1.5f}, networks, -1)[1].distance, -1);
}

TEST(MapStartEpicentre, DialogFieldsRules) {
  std::string error;
  StartEpicentre s = ApplyStartEpicentreFields({"42,5", " 74.6 ", "", "кратко", 0}, error);
  EXPECT_TRUE(error.empty());
  EXPECT_TRUE(s.set);
  EXPECT_FLOAT_EQ(s.lat, 42.5f);
  EXPECT_FLOAT_EQ(s.depth, -1);
  EXPECT_DOUBLE_EQ(s.originTime, -1);
  EXPECT_EQ(s.comment, "кратко");
  // Only one coordinate: cleared; the time kept when positive.
  s = ApplyStartEpicentreFields({"42", "", "15", "", 1e9}, error);
  EXPECT_FALSE(s.set);
  EXPECT_FLOAT_EQ(s.depth, 15);
  EXPECT_DOUBLE_EQ(s.originTime, 1e9);
  // Text that is not a number, and coordinates off the globe, are refused.
  ApplyStartEpicentreFields({"abc", "10", "", "", 0}, error);
  EXPECT_EQ(error, "Широта");
  ApplyStartEpicentreFields({"10", "200", "", "", 0}, error);
  EXPECT_EQ(error, "Долгота");
  ApplyStartEpicentreFields({"10", "20", "-5", "", 0}, error);
  EXPECT_EQ(error, "Глубина(км.)");
  // The comment is cut to 128 characters.
  s = ApplyStartEpicentreFields({"", "", "", std::string(300, 'x'), 0}, error);
  EXPECT_EQ(s.comment.size(), kCommentLength);
  // Counted in characters, not bytes: 200 Cyrillic letters keep 128 of them.
  std::string cyrillic;
  for (int i = 0; i < 200; ++i) cyrillic += "ж";
  s = ApplyStartEpicentreFields({"", "", "", cyrillic, 0}, error);
  EXPECT_EQ(s.comment.size(), 2 * kCommentLength);
}

}  // namespace
}  // namespace nuv::map
