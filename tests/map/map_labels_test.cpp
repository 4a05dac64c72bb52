// Station codes where stations crowd: an array of nine stations a few
// kilometres apart (one pixel at a regional scale) among single stations,
// placed so that no code covers another and each stays near its station.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "map/label_placement.h"
#include "map/map_scene.h"
#include "map/tiny_font.h"

namespace nuv::map {
namespace {

// How far a label's box lies from a point (0 when the point is inside).
int Distance(const LabelBox& box, int x, int y) {
  const int dx = std::max({box.left - x, 0, x - (box.right() - 1)});
  const int dy = std::max({box.top - y, 0, y - (box.bottom() - 1)});
  return static_cast<int>(std::ceil(std::hypot(dx, dy)));
}

// The farthest a label may go: its column beside the symbol, kMaxLabelRows rows up or down.
int Reach(const LabelRequest& r) {
  return r.radius + 2 + kMaxLabelRows * (r.height + 1) + r.height;
}

TEST(MapLabels, CrowdedLabelsNeitherOverlapNorWanderAndComeOutTheSameEveryTime) {
  const LabelBox area{0, 0, 400, 300};
  std::vector<LabelRequest> requests;
  // Nine symbols on one pixel and two more beside them, 4 characters each.
  for (int i = 0; i < 9; ++i) requests.push_back({200, 150, 5, TextWidth("AR01"), kGlyphHeight});
  requests.push_back({203, 148, 5, TextWidth("DM01"), kGlyphHeight});
  requests.push_back({190, 160, 5, TextWidth("DM02"), kGlyphHeight});
  // A station at the right edge, and one alone.
  requests.push_back({396, 40, 5, TextWidth("EDGE"), kGlyphHeight});
  requests.push_back({50, 250, 5, TextWidth("LONE"), kGlyphHeight});

  const std::vector<LabelSpot> spots = PlaceLabels(requests, area);
  ASSERT_EQ(spots.size(), requests.size());
  for (size_t i = 0; i < spots.size(); ++i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(spots[i].placed);
    EXPECT_EQ(spots[i].box.width, requests[i].width);
    EXPECT_LE(Distance(spots[i].box, requests[i].x, requests[i].y), Reach(requests[i]));
    for (size_t j = 0; j < i; ++j) EXPECT_FALSE(spots[i].box.Overlaps(spots[j].box)) << j;
  }
  // The lone station keeps the place right of its symbol; the one at the
  // edge goes left rather than off the map; the first of the array is
  // beside it, later ones further away with a line to their symbol.
  EXPECT_EQ(spots.back().box.left, 50 + 5 + 2);
  EXPECT_FALSE(spots.back().leader);
  EXPECT_LE(spots[11].box.right(), 400);
  EXPECT_FALSE(spots[0].leader);
  EXPECT_TRUE(spots[8].leader);
  // The same symbols give the same places.
  const std::vector<LabelSpot> again = PlaceLabels(requests, area);
  for (size_t i = 0; i < spots.size(); ++i) {
    EXPECT_EQ(again[i].box.left, spots[i].box.left);
    EXPECT_EQ(again[i].box.top, spots[i].box.top);
  }

  // More codes on one pixel than the columns hold: the rest are left out
  // rather than drawn over the others.
  const std::vector<LabelRequest> pile(60, LabelRequest{200, 150, 5, 23, 7});
  const std::vector<LabelSpot> piled = PlaceLabels(pile, area);
  int placed = 0;
  for (size_t i = 0; i < piled.size(); ++i) {
    if (!piled[i].placed) continue;
    ++placed;
    for (size_t j = 0; j < i; ++j)
      if (piled[j].placed) EXPECT_FALSE(piled[i].box.Overlaps(piled[j].box));
  }
  EXPECT_GT(placed, 30);
  EXPECT_LT(placed, 60);
}

TEST(MapLabels, ArrayOnTheRegionalMapIsLabelledApart) {
  // The demo's array: nine stations 2 km apart, three degrees north-east of
  // the event, with the regional stations around it.
  MapSceneInput input;
  input.width = 900;
  input.height = 600;
  input.view.SetRectangle(60, 30, 33, 52);
  for (int i = 0; i < 9; ++i)
    input.stations.push_back(
        {"AR0" + std::to_string(i + 1), 45.7f + 0.018f * (i / 3), 77.6f + 0.025f * (i % 3)});
  input.stations.push_back({"DM01", 45.5f, 77.4f});
  input.stations.push_back({"DM02", 42.7f, 74.6f});
  const MapScene scene = BuildMapScene(input);
  EXPECT_EQ(scene.stations, 11);
  EXPECT_EQ(scene.hiddenLabels, 0);
  // The station codes' boxes as the picture draws them (left, vertical middle).
  std::vector<LabelBox> boxes;
  for (const Label& l : scene.labels) {
    if (l.text.find("°") != std::string::npos) continue;  // graticule
    ASSERT_EQ(l.anchor, TextAnchor::LeftMiddle);
    boxes.push_back({l.at.x, l.at.y - kGlyphHeight / 2, TextWidth(l.text), kGlyphHeight});
  }
  ASSERT_EQ(boxes.size(), 11u);
  for (size_t i = 0; i < boxes.size(); ++i)
    for (size_t j = 0; j < i; ++j) EXPECT_FALSE(boxes[i].Overlaps(boxes[j])) << i << " " << j;
  // The codes moved off their symbols are joined to them by dotted lines.
  int leaders = 0;
  for (const Stroke& s : scene.strokes) leaders += s.colour == kBlue && s.dotted;
  EXPECT_GT(leaders, 0);
}

}  // namespace
}  // namespace nuv::map
