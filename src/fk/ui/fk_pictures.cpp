#include "fk/ui/fk_pictures.h"

#include <QPainter>
#include <QPolygonF>
#include <cmath>

#include "fk/fk_beam.h"
#include "platform/strformat.h"

namespace nuv {

namespace {

QColor Colour(int index) {
  return QColor::fromRgb(kFkColours[index]);
}

QString Number(double v) {
  return QString::fromStdString(StrFormat("%0.4f", v));
}

}  // namespace

void DrawFkPowerMap(QImage& image, const FkSearchResult* result, float max) {
  const double w = image.width(), h = image.height();
  image.fill(Qt::white);
  if (!(max > 0)) return;
  const auto x = [&](double v) { return w * (v + max) / (2 * max); };
  const auto y = [&](double v) { return h - h * (v + max) / (2 * max); };
  QPainter painter(&image);
  if (result) {
    const double d = result->step;
    for (const FKParam& g : result->grid) {
      const QColor c = Colour(FkColourIndex(g.power, result->lowest, result->highest));
      painter.setPen(c);
      painter.setBrush(c);
      const QPolygonF cell({QPointF(x(g.px), y(g.py)), QPointF(x(g.px + d), y(g.py)),
                            QPointF(x(g.px + d), y(g.py + d)), QPointF(x(g.px), y(g.py + d))});
      painter.drawPolygon(cell);
    }
  }
  // Axes with their ends labelled.
  painter.setPen(Qt::black);
  painter.setBrush(Qt::NoBrush);
  painter.setBackgroundMode(Qt::TransparentMode);
  const QFontMetrics metrics(painter.font());
  const int x0 = static_cast<int>(x(0)), y0 = static_cast<int>(y(0));
  const int textHeight = metrics.height();
  painter.drawLine(x0, 0, x0, static_cast<int>(h));
  painter.drawText(x0 - metrics.horizontalAdvance("Py") - 2, metrics.ascent(), "Py");
  painter.drawText(x0 + 2, metrics.ascent(), Number(max));
  painter.drawText(x0 + 2, static_cast<int>(h) - metrics.descent(), Number(-max));
  painter.drawLine(0, y0, static_cast<int>(w), y0);
  painter.drawText(static_cast<int>(w) - metrics.horizontalAdvance("Px") - 2, y0 + textHeight,
                   "Px");
  painter.drawText(static_cast<int>(w) - metrics.horizontalAdvance(Number(max)) - 2,
                   y0 - metrics.descent(), Number(max));
  painter.drawText(2, y0 - metrics.descent(), Number(-max));
  if (result) {
    // The result vector from the origin to the best point.
    const QPointF end(x(result->bestPx), y(result->bestPy));
    painter.setPen(QPen(Qt::white, 2));
    painter.drawLine(QPointF(x(0), y(0)), end);
    painter.drawEllipse(end, 4, 4);
  }
}

void DrawFkLegend(QImage& image, double lowest, double highest) {
  image.fill(Qt::white);
  QPainter painter(&image);
  const int band = image.height() / 10;
  const QFontMetrics metrics(painter.font());
  for (int i = 0; i < 10; ++i) {
    const int top = image.height() - (i + 1) * band;
    painter.fillRect(0, top, image.width(), band, Colour(i));
    painter.setPen(Qt::black);
    painter.drawText(2, top + 2 + metrics.ascent(), Number(lowest + (highest - lowest) * i / 9));
  }
}

FkPicture::FkPicture(std::mutex& lock, QSize size, QWidget* parent) : QWidget(parent), lock_(lock) {
  setFixedSize(size);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage FkPicture::image() const {
  const std::lock_guard<std::mutex> hold(lock_);
  return image_;
}

void FkPicture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const std::lock_guard<std::mutex> hold(lock_);
  if (image_.isNull())
    painter.fillRect(rect(), Qt::white);
  else
    painter.drawImage(0, 0, image_);
}

}  // namespace nuv
