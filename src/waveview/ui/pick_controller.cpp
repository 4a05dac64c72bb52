#include "waveview/ui/pick_controller.h"

#include <QChildEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QPicture>

#include "phases/nuv_phases.h"
#include "waveview/phase_view.h"
#include "waveview/pick_keys.h"
#include "waveview/ui/insert_phase_dialog.h"
#include "waveview/ui/pick_pane_commands.h"
#include "waveview/ui/waveform_window.h"
#include "waveview/ui/zoom_window.h"
#include "workstation/workstation.h"

namespace nuv {

namespace {

// The label boxes of the pane's marks as its phase layer draws them.
std::vector<LabelBox> PaneLabels(CZoomWindow& pane, std::vector<PhaseMark>* marks = nullptr) {
  Workstation& ws = pane.owner().workstation();
  const PaneGeometry g = pane.Geometry();
  std::vector<PhaseMark> m = PhaseMarksOf(ws.phases(), ws.phaseTypes(), pane.pane(), g);
  const QFontMetrics fm(pane.font());
  std::vector<LabelBox> boxes;
  boxes.reserve(m.size());
  for (const PhaseMark& mark : m)
    boxes.push_back(LabelBoxAt(g, mark.x, fm.horizontalAdvance(QString::fromStdString(mark.name)),
                               fm.height(), mark.phaseType));
  if (marks) *marks = std::move(m);
  return boxes;
}

}  // namespace

PickController::PickController(waveform& window, std::unique_ptr<PickDialogs> dialogs)
    : QObject(&window), window_(window), ws_(window.workstation()), dialogs_(std::move(dialogs)) {
  window.installEventFilter(this);
  window.client()->installEventFilter(this);
  for (CZoomWindow* p : window.panes()) Attach(p);
  subscription_ = ws_.phases().Subscribe([this](const PhaseListChange&) {
    if (redrawing_) return;
    redrawing_ = true;
    window_.RedrawAllPhaseMarks();
    redrawing_ = false;
  });
}

PickController::~PickController() {
  ws_.phases().Unsubscribe(subscription_);
}

void PickController::Attach(CZoomWindow* pane) {
  pane->installEventFilter(this);
}

bool PickController::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_.client() && event->type() == QEvent::ChildAdded) {
    // A pane under construction: its events reach the filter once it is built.
    if (auto* w = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()))
      w->installEventFilter(this);
    return false;
  }
  if (event->type() == QEvent::KeyPress) return OnKey(*static_cast<QKeyEvent*>(event));
  auto* pane = qobject_cast<CZoomWindow*>(watched);
  if (!pane) return false;
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
      return OnMouse(*pane, *static_cast<QMouseEvent*>(event));
    case QEvent::Leave:
      if (hoverPane_ == pane) hoverPane_.clear();
      return false;
    default:
      return false;
  }
}

bool PickController::OnMouse(CZoomWindow& pane, QMouseEvent& e) {
  if (window_.busy()) return false;
  const int x = static_cast<int>(e.position().x());
  const int y = static_cast<int>(e.position().y());
  switch (e.type()) {
    case QEvent::MouseButtonPress:
      if (e.button() != Qt::LeftButton || (e.modifiers() & Qt::ShiftModifier)) return false;
      if (window_.pickMode()) {
        // Anywhere in the pane: a release outside the trace area ends
        // pick mode without a pick.
        pressPane_ = &pane;
        pressX_ = x;
        return true;
      } else {
        std::vector<PhaseMark> marks;
        const std::vector<LabelBox> labels = PaneLabels(pane, &marks);
        const int hit = HitLabel(labels, x, y);
        if (hit < 0) return false;
        dragPane_ = &pane;
        dragType_ = labels[static_cast<size_t>(hit)].phaseType;
        dragGrabDx_ = x - labels[static_cast<size_t>(hit)].x;
        dragName_ = QString::fromStdString(marks[static_cast<size_t>(hit)].name);
        pane.grabMouse();
        DrawDraggedLabel(pane, x);
        return true;
      }
    case QEvent::MouseMove:
      hoverPane_ = &pane;
      hoverX_ = x;
      hoverY_ = y;
      if (dragPane_ == &pane) {
        DrawDraggedLabel(pane, x);
        return true;
      }
      return pressPane_ == &pane;
    case QEvent::MouseButtonRelease:
      if (e.button() != Qt::LeftButton) return false;
      if (dragPane_ == &pane) {
        pane.releaseMouse();
        DropLabel(pane, x);
        return true;
      }
      if (pressPane_ == &pane) {
        pressPane_.clear();
        Pick(pane, pressX_, x, y);
        return true;
      }
      return false;
    default:
      return false;
  }
}

void PickController::Pick(CZoomWindow& pane, int pressX, int releaseX, int releaseY) {
  window_.SetPickMode(false);
  const PaneGeometry g = pane.Geometry();
  TracePane& t = pane.pane();
  const std::optional<PickGesture> gesture =
      PickFromGesture(g, t.WindowStart(), t.windowLength, pressX, releaseX, releaseY);
  if (!gesture) return;
  QPicture marker;
  {
    QPainter p(&marker);
    // The trace area is white: the marker is drawn in a colour that shows.
    p.setPen(QPen(Qt::darkMagenta, 1));
    const int mid = (g.traceTop() + g.traceBottom()) / 2;
    const int x = gesture->x, w = gesture->arrowHalfWidth;
    p.drawLine(x, g.traceTop(), x, g.traceBottom());
    p.drawLine(x - w, mid, x + w, mid);
    for (const int end : {x - w, x + w}) {
      const int dir = end < x ? 1 : -1;
      p.drawLine(end, mid, end + dir * 4, mid - 4);
      p.drawLine(end, mid, end + dir * 4, mid + 4);
    }
  }
  pane.SetPickLayer(marker);
  Workstation& ws = window_.workstation();
  const std::optional<PickDialogResult> r =
      dialogs_->Pick(ws, &pane, gesture->deltim, pane.TransformName());
  pane.ClearPickLayer();
  if (!r) return;
  {
    const PhaseChangeGroup group(ws.phases());
    window_.AddPhase(MakePickedPhase(ws.phaseTypes(), t.station, t.channel, gesture->time,
                                     gesture->deltim, r->choice),
                     r->copyToOtherChannels);
  }
  if (r->measureAmplitude) {
    t.intervalStart = gesture->time;
    t.intervalEnd = gesture->time + 5;
    t.hasInterval = true;
    pane.RecordIntervalLayer();
  }
  pane.update();
}

void PickController::DrawDraggedLabel(CZoomWindow& pane, int x) {
  const PaneGeometry g = pane.Geometry();
  const int left = x - dragGrabDx_;
  QPicture picture;
  {
    QPainter p(&picture);
    p.setPen(Qt::red);
    p.drawLine(left, g.traceTop(), left, g.traceBottom());
    const QFontMetrics fm(pane.font());
    const LabelBox box = LabelBoxAt(g, left, fm.horizontalAdvance(dragName_), fm.height(), -1);
    DrawPhaseLabel(p, QRect(box.x, box.y, box.width, box.height), dragName_, pane.font());
  }
  pane.SetPickLayer(picture);
}

void PickController::DropLabel(CZoomWindow& pane, int x) {
  const int type = dragType_;
  const int left = x - dragGrabDx_;
  dragPane_.clear();
  pane.ClearPickLayer();
  const TracePane& t = pane.pane();
  const std::optional<double> time =
      LabelDropTime(pane.Geometry(), t.WindowStart(), t.windowLength, left);
  if (!time) return;
  window_.workstation().phases().Modify(t.station, t.channel, type, [&](SEISMIC_PHASE& p) {
    p.SetTime(*time);
    p.markX = left;
    p.active = 1;
  });
}

bool PickController::KeyPick(CZoomWindow& pane, int x, const std::string& phaseName) {
  Workstation& ws = window_.workstation();
  const int type = ws.phaseTypes().IndexOf(phaseName);
  const TracePane& t = pane.pane();
  const PaneGeometry g = pane.Geometry();
  if (type < 0 || x < g.xL() || x > g.xR() || !(t.windowLength > 0)) {
    ws.prompts().Beep();
    return false;
  }
  PickChoice choice = DefaultPickChoice(0, type);
  choice.filter = pane.TransformName();
  const double time = PixelToTime(g, t.WindowStart(), t.windowLength, x);
  window_.AddPhase(MakePickedPhase(ws.phaseTypes(), t.station, t.channel, time, 0, choice), false);
  return true;
}

bool PickController::OnKey(QKeyEvent& e) {
  if (e.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
  if (hoverPane_.isNull() || window_.busy()) return false;
  const PaneGeometry g = hoverPane_->Geometry();
  if (!g.InTraceArea(hoverX_, hoverY_)) return false;
  const QString text = QKeySequence(e.keyCombination()).toString(QKeySequence::PortableText);
  const std::string phase =
      PhaseForKey(ReadPickKeys(window_.workstation().ini()), text.toStdString());
  if (phase.empty()) return false;
  KeyPick(*hoverPane_, hoverX_, phase);
  return true;
}

PickController* InstallPicking(waveform& window, std::unique_ptr<PickDialogs> dialogs) {
  auto* controller = new PickController(window, std::move(dialogs));
  window.commands().AddToggle(
      kCmdPickMode, [&window] { window.SetPickMode(!window.pickMode()); },
      [&window] { return window.pickMode(); });
  RegisterInsertPhaseCommand(window);
  return controller;
}

}  // namespace nuv
