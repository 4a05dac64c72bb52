#include "support/png_read.h"

#include <gtest/gtest.h>
#include <zlib.h>

namespace nuv::test {
namespace {

uint32_t Be32(const std::string& s, size_t at) {
  return (static_cast<uint32_t>(static_cast<unsigned char>(s[at])) << 24) |
         (static_cast<uint32_t>(static_cast<unsigned char>(s[at + 1])) << 16) |
         (static_cast<uint32_t>(static_cast<unsigned char>(s[at + 2])) << 8) |
         static_cast<uint32_t>(static_cast<unsigned char>(s[at + 3]));
}

}  // namespace

uint32_t PngPixels::Rgb(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0;
  const size_t at = static_cast<size_t>(y) * (static_cast<size_t>(width) * 3 + 1) + 1 +
                    static_cast<size_t>(x) * 3;
  if (at + 2 >= raw.size()) return 0;
  return (static_cast<uint32_t>(static_cast<unsigned char>(raw[at])) << 16) |
         (static_cast<uint32_t>(static_cast<unsigned char>(raw[at + 1])) << 8) |
         static_cast<uint32_t>(static_cast<unsigned char>(raw[at + 2]));
}

PngPixels ReadPng(const std::string& png) {
  PngPixels out;
  std::string idat;
  size_t at = 8;
  while (at + 12 <= png.size()) {
    const uint32_t length = Be32(png, at);
    const std::string type = png.substr(at + 4, 4);
    const std::string body = png.substr(at + 4, 4 + length);
    EXPECT_EQ(Be32(png, at + 8 + length),
              crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())))
        << type;
    if (type == "IHDR") {
      out.width = static_cast<int>(Be32(png, at + 8));
      out.height = static_cast<int>(Be32(png, at + 12));
    }
    if (type == "IDAT") idat += png.substr(at + 8, length);
    at += 12 + length;
  }
  EXPECT_EQ(at, png.size());
  uLongf size = static_cast<uLongf>((out.width * 3 + 1) * out.height);
  out.raw.assign(size, '\0');
  EXPECT_EQ(
      uncompress(reinterpret_cast<Bytef*>(out.raw.data()), &size,
                 reinterpret_cast<const Bytef*>(idat.data()), static_cast<uLong>(idat.size())),
      Z_OK);
  out.raw.resize(size);
  return out;
}

}  // namespace nuv::test
