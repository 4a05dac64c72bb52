// Trace polylines written into image pixels: every vertex inside the clip
// is drawn, nothing lands outside it, segments reaching far outside are
// cut rather than walked, and a trace written so spans the rows the
// painter's drawing of it spans.

#include "waveview/ui/trace_raster.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <random>
#include <utility>

#include "waveview/ui/trace_drawing.h"

namespace nuv {
namespace {

constexpr QRgb kWhite = 0xffffffff;
constexpr QRgb kTrace = 0xff00007f;

int CountOutside(const QImage& image, const QRect& clip) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (!clip.contains(x, y) && image.pixel(x, y) != kWhite) ++n;
  return n;
}

TEST(TraceRaster, DrawsEveryVertexInsideAndNothingOutsideTheClip) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> x(-40, 240), y(-40, 140);
  const QRect clip(10, 8, 180, 80);
  for (int trial = 0; trial < 50; ++trial) {
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(kWhite);
    QPolygon line;
    for (int i = 0; i < 1 + trial % 9; ++i) line << QPoint(x(rng), y(rng));
    RasterizePolyline(image, line, kTrace, clip);
    EXPECT_EQ(CountOutside(image, clip), 0) << trial;
    for (const QPoint& p : line)
      if (clip.contains(p)) EXPECT_EQ(image.pixel(p), kTrace) << trial;
  }
  // Ends a billion pixels away are cut to the clip, not walked to.
  QImage image(200, 100, QImage::Format_RGB32);
  image.fill(kWhite);
  RasterizePolyline(image, QPolygon({QPoint(-1000000000, 50), QPoint(1000000000, 50)}), kTrace,
                    clip);
  EXPECT_EQ(image.pixel(clip.left(), 50), kTrace);
  EXPECT_EQ(image.pixel(clip.right(), 50), kTrace);
  EXPECT_EQ(CountOutside(image, clip), 0);
}

TEST(TraceRaster, ColumnRunsAreWholeAndJoinedAndWidePensFallBackToThePainter) {
  // A decimated trace: a run per column and a step to the next.
  const QRect clip(1, 16, 300, 40);
  TraceDrawing trace;
  trace.SetClip(clip);
  std::mt19937 rng(3);
  std::uniform_int_distribution<int> row(10, 60);
  std::vector<PixelPoint> points;
  for (int c = 0; c < 320; ++c) {
    const int a = row(rng), b = row(rng);
    points.push_back({c, std::min(a, b)});
    points.push_back({c, std::max(a, b)});
  }
  trace.AddLine(points);
  trace.SetPen(QPen(QColor(0, 0, 127), 1));
  QImage image(320, 70, QImage::Format_RGB32);
  image.fill(kWhite);
  trace.Rasterize(image);
  EXPECT_EQ(CountOutside(image, clip), 0);
  auto span = [&image](int x) {
    int top = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y)
      if (image.pixel(x, y) == kTrace) {
        if (top < 0) top = y;
        bottom = y;
      }
    return std::pair(top, bottom);
  };
  for (int x = clip.left(); x <= clip.right(); ++x) {
    // The column's own run, as far as it lies in the clip, is drawn whole.
    const int top = std::max(points[2 * x].y, clip.top());
    const int bottom = std::min(points[2 * x + 1].y, clip.bottom());
    for (int y = top; y <= bottom; ++y) ASSERT_EQ(image.pixel(x, y), kTrace) << x << " " << y;
    // Neighbouring columns touch: the line has no gaps.
    if (x < clip.right()) {
      const auto [t0, b0] = span(x);
      const auto [t1, b1] = span(x + 1);
      EXPECT_TRUE(t1 <= b0 + 1 && t0 <= b1 + 1) << x;
    }
  }

  // A wide pen is drawn by the painter, as on the pane.
  trace.SetPen(QPen(QColor(0, 0, 127), 3));
  QImage direct(320, 70, QImage::Format_RGB32), painted(320, 70, QImage::Format_RGB32);
  direct.fill(kWhite);
  painted.fill(kWhite);
  trace.Rasterize(direct);
  QPainter p(&painted);
  trace.Paint(p);
  p.end();
  EXPECT_EQ(direct, painted);
}

}  // namespace
}  // namespace nuv
