// Which parts of the nine relief bands a view stretches onto the map,
// including views across 180° and at the poles.

#include "map/relief.h"

#include <gtest/gtest.h>

#include "map/map_scene.h"

namespace nuv::map {
namespace {

constexpr int kHeight = 1000;
const MapRect kRect{40, 1640, 20, 920};

TEST(MapRelief, FileNames) {
  EXPECT_EQ(ReliefFileName(0), "map00.bmp");
  EXPECT_EQ(ReliefFileName(8), "map08.bmp");
}

TEST(MapRelief, WorldViewUsesEveryBandWhole) {
  const auto patches = ReliefPatches(Projection(MapView(), kRect), kHeight);
  ASSERT_EQ(patches.size(), 9u);
  for (int band = 0; band < 9; ++band) {
    const ReliefPatch& p = patches[static_cast<size_t>(band)];
    EXPECT_EQ(p.band, band);
    EXPECT_DOUBLE_EQ(p.srcLeft, 0);
    EXPECT_DOUBLE_EQ(p.srcWidth, kReliefWidth);
    EXPECT_DOUBLE_EQ(p.srcTop, 0);
    EXPECT_DOUBLE_EQ(p.srcHeight, kReliefHeight);
    EXPECT_EQ(p.left, kRect.left);
    EXPECT_EQ(p.right, kRect.right);
  }
  // Bands stack from the north pole down without gaps.
  EXPECT_EQ(patches.front().top, kHeight - kRect.top);
  EXPECT_EQ(patches.back().bottom, kHeight - kRect.bottom);
  for (size_t i = 1; i < patches.size(); ++i) EXPECT_EQ(patches[i].top, patches[i - 1].bottom);
}

TEST(MapRelief, PartialViewTakesTheOverlappingRows) {
  MapView v;
  v.SetRectangle(60, 30, 35, 55);  // bands 1 (70..50) and 2 (50..30)
  const auto patches = ReliefPatches(Projection(v, kRect), kHeight);
  ASSERT_EQ(patches.size(), 2u);
  EXPECT_EQ(patches[0].band, 1);
  EXPECT_DOUBLE_EQ(patches[0].srcTop, 15 * 12);  // 70 − 55 degrees
  EXPECT_DOUBLE_EQ(patches[0].srcHeight, 5 * 12);
  EXPECT_DOUBLE_EQ(patches[0].srcLeft, 240 * 12);  // 60°E
  EXPECT_DOUBLE_EQ(patches[0].srcWidth, 30 * 12);
  EXPECT_EQ(patches[1].band, 2);
  EXPECT_DOUBLE_EQ(patches[1].srcTop, 0);
  EXPECT_DOUBLE_EQ(patches[1].srcHeight, 15 * 12);
}

TEST(MapRelief, ViewAcrossTheDateLineDrawsTwoStretches) {
  MapView v;
  v.SetRectangle(170, 30, -10, 10);  // 170°E .. 160°W
  const auto patches = ReliefPatches(Projection(v, kRect), kHeight);
  ASSERT_EQ(patches.size(), 2u);  // band 4 only (10..−10), two stretches
  EXPECT_DOUBLE_EQ(patches[0].srcLeft, 350 * 12);
  EXPECT_DOUBLE_EQ(patches[0].srcWidth, 10 * 12);
  EXPECT_DOUBLE_EQ(patches[1].srcLeft, 0);
  EXPECT_DOUBLE_EQ(patches[1].srcWidth, 20 * 12);
  EXPECT_EQ(patches[0].left, kRect.left);
  EXPECT_EQ(patches[0].right, patches[1].left);
  EXPECT_EQ(patches[1].right, kRect.right);
  // The whole globe from 0°: every band in two halves.
  MapView fromZero;
  fromZero.ShiftEast();
  EXPECT_EQ(ReliefPatches(Projection(fromZero, kRect), kHeight).size(), 18u);
}

TEST(MapRelief, OnlyTheReliefModeAsksForBitmaps) {
  MapSceneInput input;
  input.width = 800;
  input.height = 500;
  input.mode = DrawMode::Relief;
  EXPECT_EQ(BuildMapScene(input).relief.size(), 9u);
  input.mode = DrawMode::Coastline;
  EXPECT_TRUE(BuildMapScene(input).relief.empty());
  input.mode = DrawMode::Relief;
  input.view.SetRectangle(0, 10, 5, 5);
  EXPECT_TRUE(BuildMapScene(input).relief.empty());
}

}  // namespace
}  // namespace nuv::map
