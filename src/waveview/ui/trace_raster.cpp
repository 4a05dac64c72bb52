#include "waveview/ui/trace_raster.h"

#include <algorithm>
#include <cmath>

#include "platform/line_walk.h"

namespace nuv {

namespace {

// Cuts the segment a-b to the rectangle (Liang-Barsky); false when nothing
// of it is inside. Ends far outside (a trace point beyond the window) come
// back on the rectangle's edges.
bool ClipSegment(const QRect& r, double& ax, double& ay, double& bx, double& by) {
  const double dx = bx - ax, dy = by - ay;
  double t0 = 0, t1 = 1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {ax - r.left(), r.right() - ax, ay - r.top(), r.bottom() - ay};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0)
      t0 = std::max(t0, t);
    else
      t1 = std::min(t1, t);
    if (t0 > t1) return false;
  }
  const double x0 = ax + t0 * dx, y0 = ay + t0 * dy;
  bx = ax + t1 * dx;
  by = ay + t1 * dy;
  ax = x0;
  ay = y0;
  return true;
}

struct Pixels {
  uchar* bits;
  qsizetype stride;
  QRgb* At(int x, int y) const { return reinterpret_cast<QRgb*>(bits + y * stride) + x; }
};

bool Inside(const QRect& r, QPoint p) {
  return p.x() >= r.left() && p.x() <= r.right() && p.y() >= r.top() && p.y() <= r.bottom();
}

void DrawSegment(const Pixels& image, QPoint a, QPoint b, QRgb colour, const QRect& clip) {
  if (!Inside(clip, a) || !Inside(clip, b)) {
    double ax = a.x(), ay = a.y(), bx = b.x(), by = b.y();
    if (!ClipSegment(clip, ax, ay, bx, by)) return;
    auto inside = [&clip](double x, double y) {
      return QPoint(std::clamp(static_cast<int>(std::lround(x)), clip.left(), clip.right()),
                    std::clamp(static_cast<int>(std::lround(y)), clip.top(), clip.bottom()));
    };
    a = inside(ax, ay);
    b = inside(bx, by);
  }
  WalkLine(a.x(), a.y(), b.x(), b.y(), [&](int x, int y) { *image.At(x, y) = colour; });
}

}  // namespace

bool CanRasterize(const QImage& image) {
  return !image.isNull() && image.devicePixelRatio() == 1 &&
         (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32 ||
          image.format() == QImage::Format_ARGB32_Premultiplied);
}

void RasterizePolyline(QImage& image, const QPolygon& line, QRgb colour, const QRect& clip) {
  const QRect area = clip.intersected(image.rect());
  if (line.isEmpty() || area.isEmpty()) return;
  colour |= 0xff000000u;
  const Pixels pixels{image.bits(), image.bytesPerLine()};
  if (line.size() == 1) {
    if (area.contains(line.point(0)))
      DrawSegment(pixels, line.point(0), line.point(0), colour, area);
    return;
  }
  for (qsizetype i = 1; i < line.size(); ++i)
    DrawSegment(pixels, line.at(i - 1), line.at(i), colour, area);
}

}  // namespace nuv
