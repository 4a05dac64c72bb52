#include "map/map_raster.h"

#include <zlib.h>

#include <cmath>
#include <cstdlib>
#include <stdexcept>

#include "map/tiny_font.h"
#include "platform/line_walk.h"

namespace nuv::map {

RgbImage::RgbImage(int w, int h, Colour background)
    : width(std::max(w, 0)), height(std::max(h, 0)) {
  pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
  for (size_t i = 0; i < pixels.size(); i += 3) {
    pixels[i] = background.r;
    pixels[i + 1] = background.g;
    pixels[i + 2] = background.b;
  }
}

Colour RgbImage::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return {};
  const uint8_t* p =
      &pixels[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3];
  return {p[0], p[1], p[2]};
}

namespace {

// A dotted line sets every other pixel.
void Line(RgbImage& image, DevicePoint a, DevicePoint b, Colour c, bool dotted) {
  int n = 0;
  WalkLine(a.x, a.y, b.x, b.y, [&](int x, int y) {
    if (!dotted || n++ % 2 == 0) image.Set(x, y, c);
  });
}

void Disc(RgbImage& image, const Marker& m) {
  const double r = m.diameter / 2.0;
  const int r0 = static_cast<int>(std::ceil(r));
  for (int dy = -r0; dy <= r0; ++dy)
    for (int dx = -r0; dx <= r0; ++dx) {
      const double d = std::sqrt(static_cast<double>(dx * dx + dy * dy));
      if (d <= r - 1)
        image.Set(m.centre.x + dx, m.centre.y + dy, m.fill);
      else if (d <= r)
        image.Set(m.centre.x + dx, m.centre.y + dy, m.outline);
    }
  if (m.cross) {
    Line(image, {m.centre.x - r0, m.centre.y}, {m.centre.x + r0, m.centre.y}, m.dot, false);
    Line(image, {m.centre.x, m.centre.y - r0}, {m.centre.x, m.centre.y + r0}, m.dot, false);
  }
  for (int dy = 0; dy < m.dotSize / 2 * 2; ++dy)
    for (int dx = 0; dx < m.dotSize / 2 * 2; ++dx)
      image.Set(m.centre.x - m.dotSize / 2 + dx, m.centre.y - m.dotSize / 2 + dy, m.dot);
}

void Text(RgbImage& image, const Label& label) {
  const int w = TextWidth(label.text);
  int x = label.at.x, y = label.at.y;  // top left of the text
  switch (label.anchor) {
    case TextAnchor::LeftMiddle:
      y -= kGlyphHeight / 2;
      break;
    case TextAnchor::RightMiddle:
      x -= w;
      y -= kGlyphHeight / 2;
      break;
    case TextAnchor::CentreAbove:
      x -= w / 2;
      y -= kGlyphHeight;
      break;
    case TextAnchor::CentreBelow:
      x -= w / 2;
      break;
  }
  for (char32_t c : DecodeUtf8(label.text)) {
    const Glyph& g = GlyphOf(c);
    for (int row = 0; row < kGlyphHeight; ++row)
      for (int col = 0; col < kGlyphWidth; ++col)
        if (g[static_cast<size_t>(row)] & (0x10 >> col)) image.Set(x + col, y + row, label.colour);
    x += kGlyphAdvance;
  }
}

void PutBe32(std::string& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<char>((v >> shift) & 0xff));
}

void Chunk(std::string& out, const char* type, const std::string& data) {
  PutBe32(out, static_cast<uint32_t>(data.size()));
  const std::string body = std::string(type, 4) + data;
  out += body;
  PutBe32(out, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                           static_cast<uInt>(body.size()))));
}

}  // namespace

RgbImage Rasterise(const MapScene& scene) {
  RgbImage image(scene.width, scene.height, kWhite);
  for (const Stroke& s : scene.strokes)
    for (size_t i = 1; i < s.points.size(); ++i)
      Line(image, s.points[i - 1], s.points[i], s.colour, s.dotted);
  for (const PixelGroup& group : scene.pixels)
    for (const DevicePoint& p : group.points) image.Set(p.x, p.y, group.colour);
  for (const Marker& m : scene.markers) Disc(image, m);
  for (const Label& label : scene.labels) Text(image, label);
  return image;
}

std::string EncodePng(const RgbImage& image) {
  // Each row: filter byte 0, then the pixels.
  const size_t row = static_cast<size_t>(image.width) * 3;
  std::string raw;
  raw.reserve((row + 1) * static_cast<size_t>(image.height));
  for (int y = 0; y < image.height; ++y) {
    raw.push_back('\0');
    raw.append(reinterpret_cast<const char*>(&image.pixels[row * static_cast<size_t>(y)]), row);
  }
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
                reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
                6) != Z_OK)
    throw std::runtime_error("Ошибка сжатия изображения");
  packed.resize(size);

  std::string header;
  PutBe32(header, static_cast<uint32_t>(image.width));
  PutBe32(header, static_cast<uint32_t>(image.height));
  header +=
      std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace
  std::string png("\x89PNG\r\n\x1a\n", 8);
  Chunk(png, "IHDR", header);
  Chunk(png, "IDAT", packed);
  Chunk(png, "IEND", "");
  return png;
}

}  // namespace nuv::map
