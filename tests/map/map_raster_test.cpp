// The command line's picture: the rasterised scene and its PNG encoding,
// read back with zlib and checked chunk by chunk.

#include "map/map_raster.h"

#include <gtest/gtest.h>

#include "support/png_read.h"

namespace nuv::map {
namespace {

TEST(MapPicture, PngRoundTripsThePixels) {
  RgbImage image(7, 3, kWhite);
  image.Set(0, 0, kRed);
  image.Set(6, 2, kBlue);
  image.Set(-1, 0, kBlack);  // outside: ignored
  image.Set(7, 0, kBlack);
  const std::string png = EncodePng(image);
  ASSERT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  const test::PngPixels pixels = test::ReadPng(png);
  const std::string& raw = pixels.raw;
  EXPECT_EQ(pixels.width, 7);
  EXPECT_EQ(pixels.height, 3);
  ASSERT_EQ(raw.size(), static_cast<size_t>((7 * 3 + 1) * 3));
  EXPECT_EQ(raw[0], '\0');  // filter byte
  EXPECT_EQ(static_cast<unsigned char>(raw[1]), 255);
  EXPECT_EQ(static_cast<unsigned char>(raw[2]), 0);
  const size_t last = 2 * 22 + 1 + 6 * 3;
  EXPECT_EQ(static_cast<unsigned char>(raw[last + 2]), 255);
  EXPECT_EQ(static_cast<unsigned char>(raw[last]), 0);
}

TEST(MapPicture, RasterisedSceneShowsEveryLayer) {
  MapScene scene;
  scene.width = 100;
  scene.height = 60;
  scene.strokes.push_back({{{10, 10}, {90, 10}}, kCoastColour});
  scene.strokes.push_back({{{10, 20}, {90, 50}}, kRed, true});
  scene.pixels.push_back({{{5, 55}}, kBlue});
  scene.markers.push_back({{50, 30}, 11, kBlue, kWhite, kBlue, 4});
  scene.labels.push_back({{60, 30}, "DM01", kBlue, TextAnchor::LeftMiddle});
  const RgbImage image = Rasterise(scene);
  EXPECT_EQ(image.At(50, 10), kCoastColour);
  EXPECT_EQ(image.At(5, 55), kBlue);
  EXPECT_EQ(image.At(50, 30), kBlue);       // the dot
  EXPECT_EQ(image.At(50 + 3, 30), kWhite);  // the fill
  EXPECT_EQ(image.At(0, 0), kWhite);        // background
  int dotted = 0, labelPixels = 0;
  for (int x = 10; x <= 90; ++x)
    for (int y = 18; y <= 52; ++y) dotted += image.At(x, y) == kRed;
  for (int x = 60; x < 90; ++x)
    for (int y = 25; y < 36; ++y) labelPixels += image.At(x, y) == kBlue;
  EXPECT_GT(dotted, 30);
  EXPECT_LT(dotted, 70);  // every other pixel of an 81-pixel line
  EXPECT_GT(labelPixels, 20);
  // An empty picture still encodes.
  EXPECT_FALSE(EncodePng(RgbImage(0, 0, kWhite)).empty());
}

}  // namespace
}  // namespace nuv::map
