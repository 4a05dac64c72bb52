#include "map/ui/map_painter.h"

#include <QLine>
#include <QPainter>
#include <QPolygon>
#include <QVector>

#include "map/map_scene.h"

namespace nuv::map {
namespace {

QColor ToQColor(Colour c) {
  return QColor(c.r, c.g, c.b);
}

QPoint ToQPoint(DevicePoint p) {
  return QPoint(p.x, p.y);
}

void PaintLabel(QPainter& painter, const Label& label) {
  const QString text = QString::fromStdString(label.text);
  const QFontMetrics metrics = painter.fontMetrics();
  const int w = metrics.horizontalAdvance(text);
  int x = label.at.x, y = label.at.y;  // y becomes the baseline
  switch (label.anchor) {
    case TextAnchor::LeftMiddle:
      y += (metrics.ascent() - metrics.descent()) / 2;
      break;
    case TextAnchor::RightMiddle:
      x -= w;
      y += (metrics.ascent() - metrics.descent()) / 2;
      break;
    case TextAnchor::CentreAbove:
      x -= w / 2;
      y -= metrics.descent();
      break;
    case TextAnchor::CentreBelow:
      x -= w / 2;
      y += metrics.ascent();
      break;
  }
  painter.setPen(ToQColor(label.colour));
  painter.drawText(x, y, text);
}

}  // namespace

void PaintMapScene(QPainter& painter, const MapScene& scene, const ReliefImages* relief) {
  painter.fillRect(0, 0, scene.width, scene.height, Qt::white);
  if (relief) {
    for (const ReliefPatch& patch : scene.relief) {
      const QImage& image = (*relief)[static_cast<size_t>(patch.band)];
      if (image.isNull()) continue;
      painter.drawImage(
          QRectF(patch.left, patch.top, patch.right - patch.left, patch.bottom - patch.top), image,
          QRectF(patch.srcLeft, patch.srcTop, patch.srcWidth, patch.srcHeight));
    }
  }
  // Strokes in their order, with the pen changed only when it must be and
  // runs of two-point strokes (ticks, crosses) drawn in one call.
  QVector<QLine> lines;
  QPolygon polygon;
  Colour penColour{1, 2, 3};
  bool penDotted = false, penSet = false;
  auto flushLines = [&] {
    if (!lines.isEmpty()) painter.drawLines(lines);
    lines.clear();
  };
  for (const Stroke& s : scene.strokes) {
    if (!penSet || !(s.colour == penColour) || s.dotted != penDotted) {
      flushLines();
      QPen pen(ToQColor(s.colour));
      pen.setStyle(s.dotted ? Qt::DotLine : Qt::SolidLine);
      painter.setPen(pen);
      penColour = s.colour;
      penDotted = s.dotted;
      penSet = true;
    }
    if (s.points.size() == 2) {
      lines.append(QLine(ToQPoint(s.points[0]), ToQPoint(s.points[1])));
      continue;
    }
    flushLines();
    polygon.resize(static_cast<int>(s.points.size()));
    for (size_t i = 0; i < s.points.size(); ++i)
      polygon.setPoint(static_cast<int>(i), ToQPoint(s.points[i]));
    painter.drawPolyline(polygon);
  }
  flushLines();
  for (const PixelGroup& group : scene.pixels) {
    painter.setPen(ToQColor(group.colour));
    QPolygon points(static_cast<int>(group.points.size()));
    for (size_t i = 0; i < group.points.size(); ++i)
      points.setPoint(static_cast<int>(i), ToQPoint(group.points[i]));
    painter.drawPoints(points);
  }
  for (const Marker& m : scene.markers) {
    painter.setPen(ToQColor(m.outline));
    painter.setBrush(ToQColor(m.fill));
    const int r = m.diameter / 2;
    painter.drawEllipse(QPoint(m.centre.x, m.centre.y), r, r);
    painter.setBrush(Qt::NoBrush);
    if (m.cross) {
      painter.setPen(ToQColor(m.dot));
      painter.drawLine(m.centre.x - r, m.centre.y, m.centre.x + r, m.centre.y);
      painter.drawLine(m.centre.x, m.centre.y - r, m.centre.x, m.centre.y + r);
    }
    if (m.dotSize > 0)
      painter.fillRect(m.centre.x - m.dotSize / 2, m.centre.y - m.dotSize / 2, m.dotSize, m.dotSize,
                       ToQColor(m.dot));
  }
  for (const Label& label : scene.labels) PaintLabel(painter, label);
}

}  // namespace nuv::map
