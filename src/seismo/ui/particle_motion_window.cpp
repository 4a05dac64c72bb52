#include "seismo/ui/particle_motion_window.h"

#include <QFontMetrics>
#include <QFormLayout>
#include <QLineEdit>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/line_walk.h"
#include "platform/user_prompts.h"
#include "seismo/particle_motion.h"
#include "seismo/three_component.h"
#include "seismo/ui/dialog_kit.h"
#include "waveview/ui/waveform_window.h"
#include "waveview/ui/zoom_window.h"

namespace nuv {

using seismo_ui::AddField;
using seismo_ui::Q;
using seismo_ui::S;

namespace {

// One box: axes with arrow heads and labels; the hodogram comes after.
void DrawBoxAxes(QPainter& p, const QRect& box, const char* hLabel, const char* vLabel) {
  p.setPen(Qt::black);
  const int midY = box.top() + box.height() / 2, midX = box.left() + box.width() / 2;
  p.drawLine(box.left(), midY, box.right(), midY);
  p.drawLine(box.right(), midY, box.right() - 5, midY - 3);
  p.drawLine(box.right(), midY, box.right() - 5, midY + 3);
  p.drawLine(midX, box.bottom(), midX, box.top());
  p.drawLine(midX, box.top(), midX - 3, box.top() + 5);
  p.drawLine(midX, box.top(), midX + 3, box.top() + 5);
  const QFontMetrics metrics = p.fontMetrics();
  p.drawText(midX + 2, box.top() + metrics.ascent(), Q(vLabel));
  p.drawText(box.right() - 4 - metrics.horizontalAdvance(Q(hLabel)), midY - 1 - metrics.descent(),
             Q(hLabel));
}

// The red hodogram of a box, one pixel wide, written straight into the
// picture: a long interval has tens of thousands of segments, which the
// painter's line drawing takes several times longer to rasterise.
void DrawHodogram(QImage& image, const QRect& box, const std::vector<HodogramPoint>& points) {
  const QRgb red = qRgb(255, 0, 0);
  const int width = image.width(), height = image.height();
  QRgb* const bits = reinterpret_cast<QRgb*>(image.bits());
  const qsizetype stride = image.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
  auto plot = [&](int x, int y) {
    if (x >= 0 && y >= 0 && x < width && y < height) bits[y * stride + x] = red;
  };
  for (size_t k = 0; k < points.size(); ++k) {
    const int x1 = box.left() + points[k].x, y1 = box.bottom() - points[k].y;
    if (k == 0)
      plot(x1, y1);
    else
      WalkLine(box.left() + points[k - 1].x, box.bottom() - points[k - 1].y, x1, y1, plot);
  }
}

}  // namespace

CPartMotion::CPartMotion(QWidget* parent) : QWidget(parent) {
  setObjectName("particleMotion");
  setMinimumSize(200, 200);
}

void CPartMotion::Draw(const std::vector<float>& z, const std::vector<float>& x,
                       const std::vector<float>& y, int i0, int n) {
  if (busy_) return;
  busy_ = true;
  QImage image(size(), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  const QRect inner = image.rect().adjusted(10, 10, -10, -10);
  const int s = std::min(inner.width(), inner.height());
  const QRect square(inner.left(), inner.top(), s, s);
  p.fillRect(square, QColor(128, 128, 128));
  p.setPen(Qt::black);
  p.drawRect(square);
  const int q = HodogramBoxSide(s);
  const QRect topLeft(square.left(), square.top(), q, q);
  const QRect topRight(square.left() + q + 10, square.top(), q, q);
  const QRect bottomLeft(square.left(), square.top() + q + 10, q, q);
  DrawBoxAxes(p, topLeft, "N", "Z");
  DrawBoxAxes(p, topRight, "E", "Z");
  DrawBoxAxes(p, bottomLeft, "E", "N");
  p.end();
  DrawHodogram(image, topLeft, HodogramPoints(&x[i0], &z[i0], n, q));
  DrawHodogram(image, topRight, HodogramPoints(&y[i0], &z[i0], n, q));
  DrawHodogram(image, bottomLeft, HodogramPoints(&y[i0], &x[i0], n, q));
  picture_ = image;
  busy_ = false;
  if (!isVisible()) show();
  update();
}

void CPartMotion::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (picture_.isNull())
    p.fillRect(rect(), Qt::white);
  else
    p.drawImage(0, 0, picture_);
}

CGet3WindowNames::CGet3WindowNames(waveform& window, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), window_(window), prompts_(prompts) {
  setWindowTitle(Q("Движение частиц"));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout();
  layout->addLayout(form);
  fields_[0] = AddField(form, "Z", "id718");
  fields_[1] = AddField(form, "X (NS)", "id719");
  fields_[2] = AddField(form, "Y (EW)", "id720");
  area_ = new CPartMotion(this);
  layout->addWidget(area_, 1);
  resize(420, 520);
  follow_.setInterval(150);
  connect(&follow_, &QTimer::timeout, this, [this] { FollowIntervals(); });
}

bool CGet3WindowNames::Redraw(const TracePane& pane) {
  std::vector<const TracePane*> panes;
  for (const CZoomWindow* p : window_.panes()) panes.push_back(&p->pane());
  std::optional<PaneTrace> traces[3];
  for (int c = 0; c < 3; ++c) {
    traces[c] = TraceByName(panes, S(fields_[c]->text()));
    if (!traces[c] || traces[c]->samples.size() < 2) return false;
  }
  const double dx = traces[0]->dx;
  if (traces[1]->dx != dx || traces[2]->dx != dx) return false;
  int i0 = 0, n = 0;
  for (const auto& t : traces) {
    if (!HodogramSpan(pane.WindowStart(), pane.intervalStart, pane.intervalEnd, dx,
                      static_cast<int>(t->samples.size()), i0, n)) {
      prompts_.Beep();
      return false;
    }
  }
  area_->Draw(traces[0]->samples, traces[1]->samples, traces[2]->samples, i0, n);
  return true;
}

void CGet3WindowNames::FollowIntervals() {
  for (const CZoomWindow* w : window_.panes()) {
    const TracePane& p = w->pane();
    if (!p.hasInterval) continue;
    const auto interval = std::make_pair(p.intervalStart, p.intervalEnd);
    auto it = seen_.find(p.number);
    if (it != seen_.end() && it->second == interval) continue;
    seen_[p.number] = interval;
    Redraw(p);
    return;
  }
}

void CGet3WindowNames::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  follow_.start();
}

void CGet3WindowNames::hideEvent(QHideEvent* event) {
  follow_.stop();
  QDialog::hideEvent(event);
}

}  // namespace nuv
