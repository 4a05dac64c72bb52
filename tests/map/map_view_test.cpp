// The map's view window and projection: zoom and shift rules, the 180°
// meridian, the poles and the inverse of the projection.

#include "map/map_view.h"

#include <gtest/gtest.h>

#include <cmath>

namespace nuv::map {
namespace {

TEST(MapLongitude, NormalisesIntoTheHalfOpenRange) {
  EXPECT_DOUBLE_EQ(NormaliseLongitude(0), 0);
  EXPECT_DOUBLE_EQ(NormaliseLongitude(180), 180);
  EXPECT_DOUBLE_EQ(NormaliseLongitude(190), -170);
  EXPECT_DOUBLE_EQ(NormaliseLongitude(-190), 170);
  EXPECT_DOUBLE_EQ(NormaliseLongitude(360), 0);
  EXPECT_DOUBLE_EQ(NormaliseLongitude(-540), -180);
  EXPECT_DOUBLE_EQ(NormaliseLongitude(725), 5);
}

TEST(MapViewCommands, ZoomingInTwiceFromTheWorld) {
  MapView v;
  v.ZoomIn();
  v.ZoomIn();
  EXPECT_NEAR(v.west, -80, 1e-9);
  EXPECT_NEAR(v.east, 80, 1e-9);
  EXPECT_NEAR(v.south, -40, 1e-9);
  EXPECT_NEAR(v.north, 40, 1e-9);
  // Zooming out again gives the world back, never wider than 360°.
  v.ZoomOut();
  v.ZoomOut();
  v.ZoomOut();
  EXPECT_DOUBLE_EQ(v.span, 360);
  EXPECT_DOUBLE_EQ(v.south, -90);
  EXPECT_DOUBLE_EQ(v.north, 90);
}

TEST(MapViewCommands, ShiftEastAcrossTheDateLine) {
  MapView v;
  v.ShiftEast();
  // The whole globe starting at 0°.
  EXPECT_DOUBLE_EQ(v.west, 0);
  EXPECT_DOUBLE_EQ(v.east, 0);
  EXPECT_DOUBLE_EQ(v.span, 360);
  // A second shift makes both edges 180: the world view comes back.
  v.ShiftEast();
  EXPECT_DOUBLE_EQ(v.west, -180);
  EXPECT_DOUBLE_EQ(v.east, 180);
  // A narrow view shifted over 180° keeps its span and crosses the meridian.
  MapView narrow;
  narrow.SetRectangle(150, 40, -10, 10);
  narrow.ShiftEast();
  EXPECT_DOUBLE_EQ(narrow.west, 170);
  EXPECT_DOUBLE_EQ(narrow.east, -150);
  EXPECT_TRUE(narrow.ContainsLongitude(180));
  EXPECT_TRUE(narrow.ContainsLongitude(-160));
  EXPECT_FALSE(narrow.ContainsLongitude(0));
  narrow.ShiftWest();
  EXPECT_DOUBLE_EQ(narrow.west, 150);
  EXPECT_DOUBLE_EQ(narrow.east, -170);
}

TEST(MapViewCommands, ShiftsNorthAndSouthStopAtThePoles) {
  MapView v;
  v.SetRectangle(0, 40, 50, 80);
  v.ShiftNorth();  // centre 65 + height 30 passes the pole
  EXPECT_DOUBLE_EQ(v.north, 90);
  EXPECT_DOUBLE_EQ(v.south, 60);
  v.SetRectangle(0, 40, -80, -50);
  v.ShiftSouth();
  EXPECT_DOUBLE_EQ(v.south, -90);
  EXPECT_DOUBLE_EQ(v.north, -60);
  // The world view cannot move in latitude at all.
  MapView world;
  world.ShiftNorth();
  EXPECT_DOUBLE_EQ(world.south, -90);
  EXPECT_DOUBLE_EQ(world.north, 90);
  world.ShiftSouth();
  EXPECT_DOUBLE_EQ(world.south, -90);
  EXPECT_DOUBLE_EQ(world.north, 90);
}

TEST(MapViewCommands, DegenerateViewIsNotDrawable) {
  MapView v;
  v.SetRectangle(10, 20, 30, 30);
  EXPECT_FALSE(v.drawable());
  v.SetRectangle(10, 0, 0, 30);
  EXPECT_FALSE(v.drawable());
  // Latitudes beyond the poles are clamped, corners sorted.
  v.SetRectangle(10, 20, 120, -100);
  EXPECT_DOUBLE_EQ(v.south, -90);
  EXPECT_DOUBLE_EQ(v.north, 90);
}

TEST(MapViewFit, CoversEveryStationTheShortWayRound) {
  // Central Asia and a station in Alaska: the view runs east across 180°,
  // not over Europe and the Atlantic, and holds every station.
  const std::vector<std::pair<double, double>> stations = {
      {42.7, 74.6}, {45.7, 77.6}, {38.5, 69.0}, {64.87, -147.86}};
  const MapView v = FitView(stations, 1.6);
  for (const auto& [lat, lon] : stations) EXPECT_TRUE(v.Contains(lat, lon)) << lat << " " << lon;
  EXPECT_LT(v.span, 200);
  EXPECT_FALSE(v.Contains(50, 0));  // Europe is left out
  EXPECT_GT(v.west, 0);             // the view crosses 180°
  EXPECT_LT(v.east, 0);
  // One degree of longitude as wide as one of latitude is high.
  EXPECT_NEAR(v.span / v.height(), 1.6, 1e-9);
  EXPECT_GE(v.south, -90);
  EXPECT_LE(v.north, 90);

  // A lone station gets a regional view around it; none gives the world.
  const MapView lone = FitView({{-33.5, -70.25}}, 2);
  EXPECT_NEAR(lone.centreLat(), -33.5, 1e-9);
  EXPECT_NEAR(lone.centreLon(), -70.25, 1e-9);
  EXPECT_GE(lone.span, 8);
  EXPECT_LT(lone.span, 30);
  EXPECT_DOUBLE_EQ(FitView({}, 2).span, 360);
  // Stations near the pole: the view stops at 90° and still holds them.
  const MapView polar = FitView({{89, 10}, {80, 20}}, 1);
  EXPECT_DOUBLE_EQ(polar.north, 90);
  EXPECT_TRUE(polar.Contains(89, 10));
  EXPECT_TRUE(polar.Contains(80, 20));
}

class ProjectionTest : public ::testing::Test {
 protected:
  MapRect rect{40, 1640, 20, 920};
};

TEST_F(ProjectionTest, EdgesMapToTheFrame) {
  const Projection world(MapView(), rect);
  EXPECT_EQ(world.X(-180), rect.left);
  EXPECT_EQ(world.X(180), rect.right);
  EXPECT_EQ(world.X(0), (rect.left + rect.right) / 2);
  EXPECT_EQ(world.Y(-90), rect.bottom);
  EXPECT_EQ(world.Y(90), rect.top);
  // The whole globe from 0°: both its edges are 0° and map to both sides.
  MapView fromZero;
  fromZero.ShiftEast();
  const Projection shifted(fromZero, rect);
  EXPECT_EQ(shifted.X(0), rect.left);
  EXPECT_EQ(shifted.X(-90), rect.left + rect.width() * 3 / 4);
}

TEST_F(ProjectionTest, RoundTripsAcrossTheDateLineAndAtThePoles) {
  MapView across;
  across.SetRectangle(160, 40, -90, 90);  // 160°E .. 160°W
  const Projection p(across, rect);
  for (double lon : {160.0, 170.0, 179.5, 180.0, -179.5, -170.0, -160.0}) {
    const int x = p.X(lon);
    EXPECT_GE(x, rect.left);
    EXPECT_LE(x, rect.right);
    EXPECT_NEAR(p.Longitude(x), lon == 180.0 ? 180.0 : lon, 40.0 / rect.width()) << lon;
  }
  // Longitudes east of 180° lie right of those west of it.
  EXPECT_LT(p.X(179), p.X(-179));
  for (double lat : {-90.0, -89.99, 0.0, 89.99, 90.0}) {
    const int y = p.Y(lat);
    EXPECT_NEAR(p.Latitude(y), lat, 180.0 / rect.height()) << lat;
  }
  EXPECT_TRUE(across.Contains(90, 180));
  EXPECT_TRUE(across.Contains(-90, -160));
  EXPECT_FALSE(across.Contains(0, 150));
}

TEST_F(ProjectionTest, InverseOfAnEmptyRectangleStaysFinite) {
  const Projection p(MapView(), MapRect{10, 10, 10, 10});
  EXPECT_TRUE(std::isfinite(p.Longitude(50)));
  EXPECT_TRUE(std::isfinite(p.Latitude(50)));
}

}  // namespace
}  // namespace nuv::map
