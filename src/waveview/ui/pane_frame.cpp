#include "waveview/ui/pane_frame.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "platform/strformat.h"
#include "platform/time_base.h"

namespace nuv {

QImage DrawPaneFrame(const PaneFrameLook& look) {
  const PaneGeometry& g = look.geometry;
  QImage image(QSize(g.width, g.height) * look.pixelRatio, QImage::Format_RGB32);
  if (image.isNull()) return image;
  image.setDevicePixelRatio(look.pixelRatio);
  QPainter p(&image);
  p.fillRect(0, 0, g.width, g.height, look.background);
  p.fillRect(QRect(QPoint(g.xL(), g.traceTop()), QPoint(g.xR(), g.traceBottom())), Qt::white);
  p.setPen(look.border);
  p.drawRect(QRect(QPoint(g.xL() - 1, g.traceTop() - 1), QPoint(g.xR() + 1, g.traceBottom() + 1))
                 .adjusted(0, 0, -1, -1));

  // Time axis: labels at whole seconds divisible by the step, one tenth of
  // the window (at least 1 s), drawn when they do not overlap the previous one.
  const double start = look.windowStart;
  const double length = look.windowLength;
  if (length > 0 && g.xR() > g.xL()) {
    const long long step = std::max<long long>(1, static_cast<long long>(length / 10));
    const double end = start + length;
    long long s = static_cast<long long>(std::ceil(start));
    if (s % step != 0) s += (s >= 0 ? step - s % step : -(s % step));
    const QFontMetrics fm(look.font);
    int previousRight = -1000000;
    p.setFont(look.font);
    const QPen grid(QColor(160, 160, 160), 1, Qt::DotLine);
    for (; s < end; s += step) {
      const int x = TimeToPixel(g, start, length, static_cast<double>(s));
      const CalendarTime c = EpochToCalendar(static_cast<double>(s));
      const QString label = QString::fromStdString(
          StrFormat("%02d:%02d:%02d", c.hour, c.minute, static_cast<int>(c.second)));
      const int w = fm.horizontalAdvance(label);
      const int left = g.TimeLabelLeft(x, w);
      if (left <= previousRight) continue;
      previousRight = left + w;
      p.setPen(Qt::black);
      p.drawLine(x, g.traceBottom() + 1, x, g.traceBottom() + 3);
      p.drawText(QRect(left, g.traceBottom() + 3, w, fm.height()), Qt::AlignCenter, label);
      if (look.timeGrid) {
        p.setPen(grid);
        p.drawLine(x, g.traceTop(), x, g.traceBottom());
      }
    }
  }
  return image;
}

QImage PaneFrameCache::Frame(const PaneFrameLook& look) {
  auto found = std::find_if(entries_.begin(), entries_.end(),
                            [&](const Entry& e) { return e.look == look; });
  if (found != entries_.end()) {
    std::rotate(found, found + 1, entries_.end());
    return entries_.back().image;
  }
  if (entries_.size() == kKept) entries_.erase(entries_.begin());
  entries_.push_back({look, DrawPaneFrame(look)});
  return entries_.back().image;
}

}  // namespace nuv
