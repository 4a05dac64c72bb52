#include "workspace/ui/dsp_canvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "platform/strformat.h"
#include "workspace/ui/dsp_dialogs.h"
#include "workspace/workspace.h"

namespace nuv {
namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// Maps data to the plot area, in decimal logarithms on the logarithmic scale.
struct PlotScale {
  QRect area;
  double x0, x1, y0, y1;
  bool log;

  static double Axis(double v, bool log) { return log ? std::log10(std::max(v, 1e-10)) : v; }
  double X(double x) const {
    const double span = Axis(x1, log) - Axis(x0, log);
    if (span == 0) return area.left();
    return area.left() + (Axis(x, log) - Axis(x0, log)) / span * area.width();
  }
  double Y(double y) const {
    const double span = Axis(y1, log) - Axis(y0, log);
    if (span == 0) return area.center().y();
    const double v = area.bottom() - (Axis(y, log) - Axis(y0, log)) / span * area.height();
    return std::clamp(v, -1e6, 1e6);
  }
  // The data time under a pixel column.
  double TimeAt(int px) const {
    const double t = area.width() ? double(px - area.left()) / area.width() : 0;
    const double a = Axis(x0, log), b = Axis(x1, log);
    const double v = a + t * (b - a);
    return log ? std::pow(10.0, v) : v;
  }
  double ValueAt(int py) const {
    const double t = area.height() ? double(area.bottom() - py) / area.height() : 0;
    const double a = Axis(y0, log), b = Axis(y1, log);
    const double v = a + t * (b - a);
    return log ? std::pow(10.0, v) : v;
  }
};

PlotScale ScaleOf(const DspWindow& w, const QRect& area) {
  return {area, w.first * w.dx, w.last * w.dx, w.yMin, w.yMax, w.logScale};
}

// A series over the visible index range; with many samples per pixel each
// column is drawn as its minimum-to-maximum stroke.
void DrawSeries(QPainter& painter, const PlotScale& s, const std::vector<double>& data, double dx,
                int first, int last) {
  const int n = static_cast<int>(data.size());
  const int from = std::max(first, 0), to = std::min(last, n - 1);
  if (to <= from) return;
  QPainterPath path;
  bool open = false;
  const int width = std::max(s.area.width(), 1);
  if (to - from > 4 * width) {
    // Column by column: minimum and maximum of the samples falling in it.
    int column = -1;
    double lo = 0, hi = 0;
    auto flush = [&] {
      if (column < 0) return;
      const double x = s.area.left() + column;
      path.moveTo(x, s.Y(hi));
      path.lineTo(x, s.Y(lo));
    };
    for (int i = from; i <= to; ++i) {
      if (!std::isfinite(data[static_cast<size_t>(i)])) continue;
      const int c = static_cast<int>(s.X(i * dx)) - s.area.left();
      const double v = data[static_cast<size_t>(i)];
      if (c != column) {
        flush();
        column = c;
        lo = hi = v;
      } else {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
      }
    }
    flush();
  } else {
    for (int i = from; i <= to; ++i) {
      const double v = data[static_cast<size_t>(i)];
      if (!std::isfinite(v)) {
        open = false;  // a gap where the value is not a number
        continue;
      }
      const QPointF p(s.X(i * dx), s.Y(v));
      if (open) {
        path.lineTo(p);
      } else {
        path.moveTo(p);
        open = true;
      }
    }
  }
  painter.drawPath(path);
}

}  // namespace

std::vector<QRect> DspFrames(const QSize& client, int shown) {
  std::vector<QRect> frames(static_cast<size_t>(std::max(shown, 0)));
  if (shown <= 0 || client.width() < 50 || client.height() < 40) return frames;
  if (shown == 1) {
    frames[0] = QRect(QPoint(0, 0), client);
    return frames;
  }
  const int rows = (shown + 1) / 2;
  const int w = client.width() / 2, h = client.height() / rows;
  for (int j = 0; j < shown; ++j) {
    const bool spans = shown % 2 == 1 && j == shown - 1;
    frames[static_cast<size_t>(j)] = QRect((j % 2) * w, (j / 2) * h, spans ? client.width() : w, h);
  }
  return frames;
}

QRect DspPlotArea(const QRect& frame) {
  return frame.adjusted(20, 20, -4, -26);
}

CDspCanvas::CDspCanvas(Workspace& workspace, QWidget* parent)
    : QWidget(parent), workspace_(workspace) {
  setMouseTracking(true);
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, QColor(230, 230, 230));
  setPalette(p);
}

std::vector<int> CDspCanvas::ShownWindows() const {
  std::vector<int> shown;
  for (int i = 0; i < workspace_.WindowCount(); ++i)
    if (workspace_.window(i).shown) shown.push_back(i);
  return shown;
}

QRect CDspCanvas::frameOf(int index) const {
  const std::vector<int> shown = ShownWindows();
  const std::vector<QRect> frames = DspFrames(size(), static_cast<int>(shown.size()));
  for (size_t j = 0; j < shown.size(); ++j)
    if (shown[j] == index) return frames[j];
  return {};
}

std::pair<int, QRect> CDspCanvas::HitTest(const QPoint& point) const {
  const std::vector<int> shown = ShownWindows();
  const std::vector<QRect> frames = DspFrames(size(), static_cast<int>(shown.size()));
  for (size_t j = 0; j < shown.size(); ++j)
    if (frames[j].contains(point)) return {shown[j], frames[j]};
  return {-1, QRect()};
}

int CDspCanvas::windowAt(const QPoint& point) const {
  return HitTest(point).first;
}

void CDspCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const std::vector<int> shown = ShownWindows();
  const std::vector<QRect> frames = DspFrames(size(), static_cast<int>(shown.size()));
  for (size_t j = 0; j < shown.size(); ++j)
    if (!frames[j].isEmpty()) DrawWindow(painter, shown[j], frames[j]);
}

void CDspCanvas::DrawWindow(QPainter& painter, int index, const QRect& frame) const {
  const DspWindow& w = workspace_.window(index);
  const QRect inner = frame.adjusted(1, 1, -2, -2);
  painter.fillRect(inner, Qt::white);
  const bool active = index == workspace_.active();
  painter.setPen(QPen(active ? QColor(0, 0, 200) : Qt::gray, active ? 2 : 1));
  painter.drawRect(inner);
  painter.setPen(Qt::black);
  const QFontMetrics fm = painter.fontMetrics();
  QString title = QString("W%1").arg(index);
  if (w.fixed) title += QString::fromUtf8(" (фикс.)");
  if (w.xLocked) title += QString::fromUtf8("  [X]");
  painter.drawText(inner.right() - fm.horizontalAdvance(title) - 6, inner.top() + fm.ascent() + 3,
                   title);
  const QRect area = DspPlotArea(frame);
  if (!w.error.empty()) {
    painter.setPen(Qt::red);
    painter.drawText(area.adjusted(0, 0, 0, 20), Qt::AlignBottom | Qt::AlignLeft | Qt::TextWordWrap,
                     Q(w.error));
    painter.setPen(Qt::black);
  }
  if (w.count() == 1) {
    QFont big = painter.font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    painter.setFont(big);
    painter.drawText(inner, Qt::AlignCenter, Q(ScalarText(w.data[0])));
    painter.setFont(font());
    return;
  }
  if (w.count() < 2 || area.width() <= 0 || area.height() <= 0) return;
  painter.setPen(QColor(200, 200, 200));
  painter.drawRect(area);
  const PlotScale s = ScaleOf(w, area);
  painter.save();
  painter.setClipRect(area);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(QColor(0, 0, 160), 1));
  DrawSeries(painter, s, w.data, w.dx, w.first, w.last);
  for (int slot = 0; slot < kDspOverlaySlots; ++slot) {
    const DspOverlay& o = w.overlays[static_cast<size_t>(slot)];
    if (o.data.size() < 2) continue;
    painter.setPen(QPen(DspOverlayColor(slot), 1));
    const IndexSpan span = OverlaySpan(w, o);
    DrawSeries(painter, s, o.data, o.dx, span.first, span.last);
  }
  painter.restore();
  painter.setPen(Qt::black);
  painter.drawText(area.left(), area.top() - 4, Q(StrFormat("%.3f", w.yMax)));
  painter.drawText(area.left() + 2, area.bottom() - fm.descent() - 1, Q(StrFormat("%.3f", w.yMin)));
  const QString t0 = Q(StrFormat("%f", w.first * w.dx));
  const QString t1 = Q(StrFormat("%f", w.last * w.dx));
  const int baseline = area.bottom() + fm.ascent() + 3;
  painter.drawText(area.left(), std::min(baseline, inner.bottom() - 2), t0);
  painter.drawText(area.right() - fm.horizontalAdvance(t1), std::min(baseline, inner.bottom() - 2),
                   t1);
}

void CDspCanvas::mousePressEvent(QMouseEvent* event) {
  const int index = windowAt(event->position().toPoint());
  if (index >= 0 && onActivate) onActivate(index);
}

void CDspCanvas::mouseMoveEvent(QMouseEvent* event) {
  if (!onStatus) return;
  const QPoint point = event->position().toPoint();
  const auto [index, frame] = HitTest(point);
  if (index < 0 || workspace_.window(index).count() < 2) {
    onStatus(QString());
    return;
  }
  const DspWindow& w = workspace_.window(index);
  const PlotScale s = ScaleOf(w, DspPlotArea(frame));
  onStatus(Q(CursorText(s.TimeAt(point.x()), s.ValueAt(point.y()))));
}

}  // namespace nuv
