#pragma once
// Reads back the PNG files the map picture writes (8-bit RGB, one or more
// IDAT chunks, no row filters), checking every chunk's CRC.

#include <cstdint>
#include <string>

namespace nuv::test {

struct PngPixels {
  int width = 0, height = 0;
  std::string raw;  // rows top to bottom, each a filter byte and 3 bytes a pixel

  // The pixel's red, green and blue packed as 0xRRGGBB; 0 outside the picture.
  uint32_t Rgb(int x, int y) const;
};

// Decodes `png`; a broken chunk or stream fails the running test.
PngPixels ReadPng(const std::string& png);

}  // namespace nuv::test
