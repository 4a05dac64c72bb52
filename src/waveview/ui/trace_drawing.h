#pragma once
// A trace layer kept as what it draws (the decimated polylines and the
// limits in the corners): drawn onto the pane on every paint, or written
// once into the pane's image of its bottom layers.

#include <QColor>
#include <QFont>
#include <QPen>
#include <QPolygon>
#include <QRect>
#include <QString>
#include <vector>

#include "waveview/trace_polyline.h"

class QImage;
class QPainter;

namespace nuv {

class TraceDrawing {
 public:
  struct Label {
    QRect rect;
    int flags = 0;
    QString text;
    QColor color;
    bool opaque = false;  // on the background colour
  };

  void Clear();
  bool empty() const { return lines_.empty() && labels_.empty(); }
  void SetClip(const QRect& clip) { clip_ = clip; }
  void SetPen(const QPen& pen) { pen_ = pen; }
  void SetFont(const QFont& font) { font_ = font; }
  void SetBackground(const QColor& colour) { background_ = colour; }
  // One polyline (a single point is drawn as a point).
  void AddLine(const std::vector<PixelPoint>& points);
  void AddLabel(const Label& label) { labels_.push_back(label); }

  void Paint(QPainter& painter) const;
  // The same drawing into an image; a plain one-pixel pen writes the
  // pixels itself.
  void Rasterize(QImage& image) const;

 private:
  void PaintLines(QPainter& painter) const;
  void PaintLabels(QPainter& painter) const;

  QRect clip_;
  QPen pen_;
  QFont font_;
  QColor background_;
  std::vector<QPolygon> lines_;
  std::vector<Label> labels_;
};

}  // namespace nuv
