#include "waveview/ui/trace_drawing.h"

#include <QImage>
#include <QPainter>

#include "waveview/ui/trace_raster.h"

namespace nuv {

void TraceDrawing::Clear() {
  lines_.clear();
  labels_.clear();
}

void TraceDrawing::AddLine(const std::vector<PixelPoint>& points) {
  if (points.empty()) return;
  QPolygon line(static_cast<int>(points.size()));
  for (size_t i = 0; i < points.size(); ++i)
    line.setPoint(static_cast<int>(i), points[i].x, points[i].y);
  lines_.push_back(std::move(line));
}

void TraceDrawing::Paint(QPainter& painter) const {
  if (empty()) return;
  PaintLines(painter);
  PaintLabels(painter);
}

void TraceDrawing::Rasterize(QImage& image) const {
  if (empty()) return;
  const bool plainPen = pen_.style() == Qt::SolidLine && pen_.width() <= 1 &&
                        pen_.color().alpha() == 255 && pen_.brush().style() == Qt::SolidPattern;
  const bool direct = plainPen && CanRasterize(image);
  if (direct)
    for (const QPolygon& line : lines_) RasterizePolyline(image, line, pen_.color().rgb(), clip_);
  QPainter painter(&image);
  if (!direct) PaintLines(painter);
  PaintLabels(painter);
}

void TraceDrawing::PaintLines(QPainter& painter) const {
  painter.save();
  painter.setClipRect(clip_);
  painter.setPen(pen_);
  for (const QPolygon& line : lines_) {
    if (line.size() == 1)
      painter.drawPoint(line.point(0));
    else
      painter.drawPolyline(line);
  }
  painter.restore();
}

void TraceDrawing::PaintLabels(QPainter& painter) const {
  if (labels_.empty()) return;
  painter.save();
  painter.setClipRect(clip_);
  painter.setFont(font_);
  painter.setBackground(background_);
  for (const Label& label : labels_) {
    painter.setBackgroundMode(label.opaque ? Qt::OpaqueMode : Qt::TransparentMode);
    painter.setPen(label.color);
    painter.drawText(label.rect, label.flags, label.text);
  }
  painter.restore();
}

}  // namespace nuv
