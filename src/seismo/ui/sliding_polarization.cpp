#include "seismo/ui/sliding_polarization.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>

#include "platform/strformat.h"
#include "platform/user_prompts.h"
#include "seismo/three_component.h"
#include "seismo/ui/dialog_kit.h"
#include "waveview/ui/waveform_window.h"
#include "waveview/ui/zoom_window.h"
#include "workstation/workstation.h"

namespace nuv {

using seismo_ui::AddField;
using seismo_ui::Button;
using seismo_ui::NumberOf;
using seismo_ui::Q;
using seismo_ui::S;

namespace {

constexpr std::pair<int, int> kDefaultLengthShift{40, 10};

const char* Caption(PolarizationMeasure measure) {
  switch (measure) {
    case PolarizationMeasure::Rectilinearity:
      return "Параметры для вычисления прямолинейности";
    case PolarizationMeasure::Planarity:
      return "Параметры для вычисления планарности";
    default:
      return "Параметры для вычисления азимута";
  }
}

}  // namespace

CPolarizationCurve::CPolarizationCurve(CZoomWindow& pane) : QWidget(&pane), pane_(pane) {
  setObjectName("polarizationCurve");
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setGeometry(pane.rect());
  pane.installEventFilter(this);
  show();
}

void CPolarizationCurve::SetCurve(std::vector<double> times, std::vector<float> values, double lo,
                                  double hi) {
  times_ = std::move(times);
  values_ = std::move(values);
  lo_ = lo;
  hi_ = hi;
  raise();
  update();
}

bool CPolarizationCurve::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &pane_ && event->type() == QEvent::Resize) setGeometry(pane_.rect());
  return false;
}

void CPolarizationCurve::paintEvent(QPaintEvent*) {
  const PaneGeometry g = pane_.Geometry();
  const TracePane& p = pane_.pane();
  QPainter painter(this);
  painter.setClipRect(
      QRect(g.xL(), g.traceTop(), g.xR() - g.xL() + 1, g.traceBottom() - g.traceTop() + 1));
  painter.setPen(QPen(Qt::red, 1, Qt::DotLine));
  QPolygon line;
  for (size_t i = 0; i < values_.size() && i < times_.size(); ++i) {
    if (times_[i] > p.WindowEnd()) break;  // beyond the window's end
    const double share = (values_[i] - lo_) / (hi_ - lo_);
    const int y =
        g.traceBottom() - static_cast<int>(std::lround(share * (g.traceBottom() - g.traceTop())));
    line << QPoint(TimeToPixel(g, p.WindowStart(), p.windowLength, times_[i]), y);
  }
  painter.drawPolyline(line);
  painter.setPen(Qt::red);
  const int ascent = painter.fontMetrics().ascent();
  painter.drawText(g.xL() + 2, g.traceTop() + ascent, Q(StrFormat("%.2f", hi_)));
  painter.drawText(g.xL() + 2, g.traceBottom() - 1, Q(StrFormat("%.2f", lo_)));
}

std::pair<int, int> SlidingParameters::For(int station) const {
  const auto it = byStation.find(station);
  return it == byStation.end() ? kDefaultLengthShift : it->second;
}

CSlidingWindowSheet::CSlidingWindowSheet(const std::string& caption,
                                         const std::vector<std::string>& names,
                                         std::pair<int, int> lengthShift, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(Q("Параметры"));
  auto* layout = new QVBoxLayout(this);
  auto* tabs = new QTabWidget(this);
  layout->addWidget(tabs);
  auto* page = new QGroupBox(Q(caption));
  tabs->addTab(page, Q("Введите параметры скользящего окна"));
  auto* form = new QFormLayout(page);
  z_ = AddField(form, "Z", "z");
  x_ = AddField(form, "X-(NE)", "x");
  y_ = AddField(form, "Y-(EW)", "y");
  length_ = AddField(form, "Длина окна (отс.)", "length");
  shift_ = AddField(form, "Сдвиг (отс.)", "shift");
  QLineEdit* fields[3] = {z_, x_, y_};
  for (size_t i = 0; i < 3 && i < names.size(); ++i) fields[i]->setText(Q(names[i]));
  length_->setText(QString::number(lengthShift.first));
  shift_->setText(QString::number(lengthShift.second));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Cancel)->setText(Q("Отмена"));
  QPushButton* applyButton = Button(this, "Применить");
  buttons->addButton(applyButton, QDialogButtonBox::ApplyRole);
  connect(applyButton, &QPushButton::clicked, this, [this] { Apply(); });
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    Apply();
    accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

QLineEdit* CSlidingWindowSheet::field(const std::string& name) const {
  return findChild<QLineEdit*>(Q(name));
}

void CSlidingWindowSheet::Apply() {
  const auto length = NumberOf(length_), shift = NumberOf(shift_);
  // Whole numbers within 2..32768 and 1..32768.
  auto whole = [](const std::optional<double>& v, int lo) {
    return v && *v == std::floor(*v) && *v >= lo && *v <= 32768;
  };
  if (!whole(length, 2)) return length_->setFocus();
  if (!whole(shift, 1)) return shift_->setFocus();
  if (apply)
    apply({S(z_->text()), S(x_->text()), S(y_->text())}, static_cast<int>(*length),
          static_cast<int>(*shift));
}

void RunSlidingPolarization(const SeismoSite& site, PolarizationMeasure measure,
                            SlidingParameters& parameters) {
  Workstation& ws = *site.ws;
  CZoomWindow* main = nullptr;
  if (!site.window || !site.window->RequireMain(main)) return;
  std::vector<const TracePane*> panes;
  for (const CZoomWindow* p : site.window->panes()) panes.push_back(&p->pane());
  const ThreePanes three = FindThreePanes(panes);
  std::vector<std::string> names(3);
  for (int c = 0; c < 3; ++c)
    if (three.panes[c]) names[c] = PaneTraceName(*three.panes[c], main->pane().showTransformed);
  const int station = main->pane().station;
  CSlidingWindowSheet sheet(Caption(measure), names, parameters.For(station), site.parent);
  sheet.apply = [&](const std::vector<std::string>& typed, int length, int shift) {
    parameters.byStation[station] = {length, shift};
    std::optional<PaneTrace> traces[3];
    for (int c = 0; c < 3; ++c) {
      traces[c] = TraceByName(panes, typed[static_cast<size_t>(c)]);
      if (!traces[c])
        return ws.prompts().ShowError(
            StrFormat("Неправильное имя окна: '%s'", typed[static_cast<size_t>(c)].c_str()));
    }
    if (traces[1]->dx != traces[0]->dx || traces[2]->dx != traces[0]->dx)
      return ws.prompts().ShowError(kMsgDifferentRates);
    for (const auto& t : traces)
      if (t->samples.size() < 2) return ws.prompts().ShowError(kMsgDataError);
    // Z up, X north, Y east, as the three-component azimuth takes them.
    const std::vector<float> values = SlidingPolarization(
        traces[0]->samples, traces[1]->samples, traces[2]->samples, length, shift, measure);
    std::vector<double> times;
    const double dx = traces[0]->dx, start = main->pane().WindowStart();
    for (size_t i = 0; i < values.size(); ++i)
      times.push_back(start + length * dx + static_cast<double>(i) * shift * dx);
    auto* curve = main->findChild<CPolarizationCurve*>("polarizationCurve");
    if (!curve) curve = new CPolarizationCurve(*main);
    curve->SetCurve(times, values, 0, measure == PolarizationMeasure::Azimuth ? 360 : 1);
  };
  sheet.exec();
}

}  // namespace nuv
