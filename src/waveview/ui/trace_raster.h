#pragma once
// Polylines of a one-pixel pen written straight into an image's pixels. A
// decimated trace is mostly short vertical runs, one per pixel column; the
// painter's general line drawing blends pixel by pixel and costs several
// times more on a screenful of such runs.

#include <QImage>
#include <QPolygon>
#include <QRect>

namespace nuv {

// True when RasterizePolyline can draw into `image`: 32-bit pixels and no
// scaling between its pixels and the polyline's coordinates.
bool CanRasterize(const QImage& image);

// Draws the polyline in `colour` (opaque), clipped to `clip`. Each segment
// is drawn by Bresenham's rule from its first end to its last, both ends
// included; a single point is a pixel.
void RasterizePolyline(QImage& image, const QPolygon& line, QRgb colour, const QRect& clip);

}  // namespace nuv
