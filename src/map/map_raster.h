#pragma once
// Draws a map scene into an RGB picture without Qt (the command line's
// picture) and writes it as PNG.

#include <cstdint>
#include <string>
#include <vector>

#include "map/map_scene.h"

namespace nuv::map {

struct RgbImage {
  int width = 0, height = 0;
  std::vector<uint8_t> pixels;  // rows top to bottom, 3 bytes a pixel

  RgbImage(int w, int h, Colour background);
  void Set(int x, int y, Colour c) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    uint8_t* p =
        &pixels[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3];
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
  }
  Colour At(int x, int y) const;
};

// White background, then the scene's primitives in their order.
RgbImage Rasterise(const MapScene& scene);

// The PNG file's bytes (8-bit RGB, deflate through zlib).
std::string EncodePng(const RgbImage& image);

}  // namespace nuv::map
