#include "waveview/ui/zoom_window.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "db/inventory.h"
#include "phases/seismic_phase.h"
#include "platform/strformat.h"
#include "platform/time_base.h"
#include "waveview/phase_view.h"
#include "waveview/pick_logic.h"
#include "waveview/trace_polyline.h"
#include "waveview/ui/pick_pane_commands.h"
#include "waveview/ui/waveform_window.h"
#include "waveview/waveform_commands.h"
#include "workstation/workstation.h"

namespace nuv {

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

// The "D" and "?" labels of triggers and acquisition marks.
QFont MarkFont() {
  QFont f("Arial");
  f.setPixelSize(18);
  f.setWeight(QFont::Normal);
  return f;
}

}  // namespace

CZoomWindow::CZoomWindow(waveform& owner, QWidget* parent) : QWidget(parent), owner_(owner) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  auto makeButton = [this](int id, const QString& text, const QString& tip) {
    auto* b = new QToolButton(this);
    b->setText(text);
    b->setToolTip(tip);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    connect(b, &QToolButton::clicked, this, [this, id] { OnPaneCommand(id); });
    return b;
  };
  mainButton_ = makeButton(kCmdMainPaneButton, "", "");
  signalButton_ = makeButton(kCmdSignalButton, "", "Фильтрованные/Исходные данные");
  maximizeButton_ = makeButton(kCmdMaximizeButton, "", "Максимизировать окно во весь экран");
  closeButton_ = makeButton(kCmdClosePanes, "×", "");
  RefreshButtons();
}

CZoomWindow::~CZoomWindow() = default;

PaneGeometry CZoomWindow::Geometry() const {
  return {width(), height(), owner_.AxisHeight()};
}

void CZoomWindow::SetChannel(int station, int channel) {
  pane_.Bind(owner_.stations(), owner_.views().At(station, channel), station, channel);
}

void CZoomWindow::LoadData() {
  owner_.LoadPane(*this);
}

void CZoomWindow::GetChannel(int& station, int& channel) const {
  station = pane_.station;
  channel = pane_.channel;
}

void CZoomWindow::RedrawPhaseMarks() {
  RecordPhaseLayer();
  update();
}

void CZoomWindow::ClearPickLayer() {
  ++recordCounts_[kPickLayer];
  layers_[kPickLayer] = QPicture();
  update();
}

void CZoomWindow::SetPickLayer(const QPicture& picture) {
  ++recordCounts_[kPickLayer];
  layers_[kPickLayer] = picture;
  update();
}

void CZoomWindow::ApplyRect() {
  const PaneRect& r = pane_.rect;
  if (geometry() != QRect(r.x, r.y, r.width, r.height)) setGeometry(r.x, r.y, r.width, r.height);
}

QToolButton* CZoomWindow::headerButton(int id) const {
  switch (id) {
    case kCmdMainPaneButton:
      return mainButton_;
    case kCmdSignalButton:
      return signalButton_;
    case kCmdMaximizeButton:
      return maximizeButton_;
    case kCmdClosePanes:
      return closeButton_;
    default:
      return nullptr;
  }
}

void CZoomWindow::RefreshButtons() {
  mainButton_->setText(pane_.isMain ? "◆" : "◇");
  signalButton_->setText(pane_.showTransformed ? "Фильтр" : "Исходн");
  signalButton_->setToolTip(
      Q("Фильтрованные/Исходные данные: " + FilterTypeShown(pane_.TransformName())));
  maximizeButton_->setText(pane_.maximized ? "▭" : "□");
  const int xR = width() - 2;
  mainButton_->setGeometry(1, 0, 17, 16);
  // Wide enough for either word in the button's font, never narrower than
  // the classic 46 pixels.
  const QFontMetrics fm(signalButton_->font());
  const int signalWidth =
      std::max(46, std::max(fm.horizontalAdvance("Фильтр"), fm.horizontalAdvance("Исходн")) + 10);
  signalButton_->setGeometry(xR - 44 - signalWidth, 0, signalWidth, 16);
  maximizeButton_->setGeometry(xR - 44, 0, 16, 16);
  closeButton_->setGeometry(xR - 17, 0, 17, 16);
}

void CZoomWindow::RebuildPicture() {
  if (rebuilding_) return;
  rebuilding_ = true;
  pane_.PrepareDisplayLimits();
  // The transformed samples may have changed since the last rebuild.
  pane_.BuildTransformedPyramid();
  RecordFrameLayer();
  RecordSourceLayer();
  RecordHeaderLayer();
  RecordPhaseLayer();
  RecordTransformedLayer();
  RecordMarksLayer();
  RecordIntervalLayer();
  ClearPickLayer();
  rebuilding_ = false;
  RefreshButtons();
  update();
}

void CZoomWindow::RecordTraceLayer() {
  if (pane_.showTransformed)
    RecordTransformedLayer();
  else {
    pane_.PrepareDisplayLimits();
    RecordSourceLayer();
  }
  update();
}

void CZoomWindow::RecordFrameLayer() {
  ++recordCounts_[kFrameLayer];
  const PaneFrameLook look{Geometry(),
                           pane_.WindowStart(),
                           pane_.windowLength,
                           font(),
                           palette().color(QPalette::Button),
                           palette().color(QPalette::Dark),
                           owner_.settings().timeGrid,
                           devicePixelRatioF()};
  frame_ = owner_.frameCache().Frame(look);
  baseDirty_ = true;
  transformedDirty_ = true;  // its image takes the frame's size
}

void CZoomWindow::RecordSourceLayer() {
  ++recordCounts_[kSourceLayer];
  sourceTrace_.Clear();
  baseDirty_ = true;
  if (!owner_.settings().drawWaveforms) return;
  const PaneGeometry g = Geometry();
  const QRect area(QPoint(g.xL(), g.traceTop()), QPoint(g.xR(), g.traceBottom()));
  sourceTrace_.SetClip(area);
  sourceTrace_.SetPen(QPen(QColor(0, 0, 127), 1, Qt::SolidLine));
  for (const std::vector<PixelPoint>& line : pane_.SourceLines(g)) sourceTrace_.AddLine(line);
  // The limits at the right corners; on cyan after a vertical rescale.
  sourceTrace_.SetFont(font());
  sourceTrace_.SetBackground(QColor(0, 255, 255));
  const QRect labels = area.adjusted(0, 0, -1, 0);
  sourceTrace_.AddLabel({labels, Qt::AlignRight | Qt::AlignTop, Q(StrFormat("%.3f", pane_.dispMax)),
                         Qt::black, pane_.rescaled});
  sourceTrace_.AddLabel({labels, Qt::AlignRight | Qt::AlignBottom,
                         Q(StrFormat("%.3f", pane_.dispMin)), Qt::black, pane_.rescaled});
}

void CZoomWindow::RecordTransformedLayer() {
  ++recordCounts_[kTransformedLayer];
  transformedTrace_.Clear();
  transformedDirty_ = true;
  if (!pane_.HasTransformed() || !owner_.settings().drawWaveforms) return;
  const PaneGeometry g = Geometry();
  const QRect area(QPoint(g.xL(), g.traceTop()), QPoint(g.xR(), g.traceBottom()));
  transformedTrace_.SetClip(area);
  transformedTrace_.SetPen(QPen(Qt::red, 1, Qt::SolidLine));
  TraceView view{g, pane_.WindowStart(), pane_.windowLength, pane_.transMin, pane_.transMax};
  const double rate = pane_.transRate > 0 ? pane_.transRate : pane_.SampleRate();
  std::vector<PixelPoint> points;
  DecimateSamples(view, pane_.transformed.data(), static_cast<int>(pane_.transformed.size()), rate,
                  pane_.WindowStart(), points, pane_.TransformedPyramid());
  transformedTrace_.AddLine(points);
  transformedTrace_.SetFont(font());
  const QRect labels = area.adjusted(1, 0, 0, 0);
  transformedTrace_.AddLabel(
      {labels, Qt::AlignLeft | Qt::AlignTop, Q(StrFormat("%.2f", pane_.transMax)), Qt::red, false});
  transformedTrace_.AddLabel({labels, Qt::AlignLeft | Qt::AlignBottom,
                              Q(StrFormat("%.2f", pane_.transMin)), Qt::red, false});
}

void CZoomWindow::RecordHeaderLayer() {
  ++recordCounts_[kHeaderLayer];
  RefreshButtons();
  const PaneGeometry g = Geometry();
  const QPalette::ColorGroup group = pane_.isActive ? QPalette::Active : QPalette::Inactive;
  const QColor caption = pane_.isActive ? palette().color(QPalette::Active, QPalette::Highlight)
                                        : QColor(191, 205, 219);
  const QColor text =
      pane_.isActive ? palette().color(group, QPalette::HighlightedText) : Qt::black;
  // The strip from x = 15 to the right edge of the trace area; its text ends
  // before the header buttons, what does not fit is elided.
  const int right = signalButton_->geometry().left() - 2;
  const QString title = Q(pane_.HeaderText());
  const QString look = QStringList{title,
                                   caption.name(),
                                   text.name(),
                                   font().toString(),
                                   QString::number(g.xR()),
                                   QString::number(right),
                                   QString::number(pane_.selectionNumber),
                                   QString::number(devicePixelRatioF())}
                           .join('\n');
  if (look != headerLook_ || header_.isNull()) {
    headerLook_ = look;
    header_ = QImage();
    const int width = g.xR() - kHeaderLeft + 1;
    if (width > 0) {
      header_ = QImage(QSize(width, kHeaderHeight) * devicePixelRatioF(), QImage::Format_RGB32);
      header_.setDevicePixelRatio(devicePixelRatioF());
      header_.fill(caption);
      QPainter p(&header_);
      p.translate(-kHeaderLeft, 0);
      p.setPen(text);
      p.setFont(font());
      if (right > 51) {
        const QString elided = QFontMetrics(font()).elidedText(title, Qt::ElideRight, right - 51);
        p.drawText(QRect(51, 0, right - 51, kHeaderHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   elided);
      }
      if (pane_.selectionNumber > 0)
        p.drawText(QRect(18, 0, 33, kHeaderHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   Q(StrFormat("%3d", pane_.selectionNumber)));
    }
  }
  update(0, 0, width(), kHeaderHeight);
}

void CZoomWindow::RecordPhaseLayer() {
  ++recordCounts_[kPhaseLayer];
  QPicture picture;
  Workstation& ws = owner_.workstation();
  const PaneGeometry g = Geometry();
  const std::vector<PhaseMark> marks = PhaseMarksOf(ws.phases(), ws.phaseTypes(), pane_, g);
  if (!marks.empty()) {
    QPainter p(&picture);
    const QFontMetrics fm(font());
    for (const PhaseMark& m : marks) {
      const QString name = Q(m.name);
      const LabelBox box = LabelBoxAt(g, m.x, fm.horizontalAdvance(name), fm.height(), m.phaseType);
      const QRect label(box.x, box.y, box.width, box.height);
      p.setPen(QPen(m.isP ? Qt::red : Qt::green, 1, m.defining ? Qt::SolidLine : Qt::DotLine));
      p.drawLine(m.x, g.traceBottom(), m.x, label.bottom());
      DrawPhaseLabel(p, label, name, font());
    }
    p.end();
  }
  layers_[kPhaseLayer] = picture;
}

void DrawPhaseLabel(QPainter& painter, const QRect& box, const QString& name, const QFont& font) {
  painter.fillRect(box, Qt::yellow);
  painter.setPen(Qt::black);
  painter.setFont(font);
  painter.drawRect(box.adjusted(0, 0, -1, -1));
  painter.drawText(box, Qt::AlignCenter, name);
}

void CZoomWindow::RecordMarksLayer() {
  ++recordCounts_[kMarksLayer];
  QPicture picture;
  const bool das = owner_.dasMarks();
  const bool dbPhases = owner_.settings().dbPhaseMarks;
  Workstation& ws = owner_.workstation();
  const bool fromDb = (das || dbPhases) && ws.databases().mainOpen() && !pane_.stationName.empty();
  if (fromDb || !pane_.detectionMarks.empty()) {
    QPainter p(&picture);
    const PaneGeometry g = Geometry();
    const double start = pane_.WindowStart();
    const double end = pane_.WindowEnd();
    const int labelY = g.traceBottom() - 14;
    auto inWindow = [&](double t) { return t >= start && t <= end; };
    // Detector triggers: a grey line three pixels wide labelled "D".
    p.setFont(MarkFont());
    for (double t : pane_.detectionMarks) {
      if (!inWindow(t)) continue;
      const int x = TimeToPixel(g, start, pane_.windowLength, t);
      p.setPen(QPen(Qt::gray, 3));
      p.drawLine(x, g.traceTop(), x, g.traceBottom());
      p.drawText(QPoint(x + 2, labelY), "D");
    }
    if (fromDb && das) {
      try {
        const auto marks = LoadSystemEvents(ws.databases().main(), pane_.stationName,
                                            static_cast<long>(start), static_cast<long>(end));
        p.setFont(MarkFont());
        for (const SystemEvent& m : marks) {
          if (!inWindow(m.tbegin)) continue;
          const int x = TimeToPixel(g, start, pane_.windowLength, m.tbegin);
          p.setPen(QPen(Qt::gray, 3));
          p.drawLine(x, g.traceTop(), x, g.traceBottom());
          p.drawText(QPoint(x + 2, labelY), "?");
        }
      } catch (const std::exception&) {
        // The pane simply shows no acquisition marks.
      }
    }
    if (fromDb && dbPhases) {
      const std::string sql = StrFormat(
          "select itime,iphase from arrival   where (itime between %f and %f) and sta='%s' "
          "and chan='%s'",
          start, end, SqlEscape(pane_.stationName).c_str(), SqlEscape(pane_.channelName).c_str());
      try {
        odbc::Statement st = ws.databases().main().Query(sql);
        p.setFont(font());
        while (st.Fetch()) {
          const std::optional<double> t = st.GetDouble(1);
          if (!t) continue;
          const std::string name = st.GetText(2).value_or("");
          const int x = TimeToPixel(g, start, pane_.windowLength, *t);
          p.setPen(QPen(Qt::yellow, 1));
          p.drawLine(x, g.traceTop(), x, g.traceBottom());
          p.setPen(QColor(128, 128, 0));
          p.drawText(QPoint(x + 2, labelY), Q(name));
        }
      } catch (const std::exception&) {
        p.end();
        layers_[kMarksLayer] = QPicture();
        ws.prompts().ShowError("Ошибка чтения списка событий !");
        return;
      }
    }
    p.end();
  }
  layers_[kMarksLayer] = picture;
}

void CZoomWindow::RecordIntervalLayer() {
  ++recordCounts_[kIntervalLayer];
  QPicture picture;
  if (pane_.hasInterval) {
    QPainter p(&picture);
    const PaneGeometry g = Geometry();
    p.setPen(QPen(QColor(128, 128, 0), 2, Qt::DotLine));
    const double start = pane_.WindowStart();
    for (double t : {pane_.intervalStart, pane_.intervalEnd}) {
      if (t <= start || t >= pane_.WindowEnd()) continue;
      const int x = TimeToPixel(g, start, pane_.windowLength, t);
      p.drawLine(x, g.traceTop(), x, g.traceBottom());
    }
    p.end();
  }
  layers_[kIntervalLayer] = picture;
  update();
}

void CZoomWindow::SetCursorLine(int x) {
  if (x == cursorX_) return;
  const int old = cursorX_;
  cursorX_ = x;
  const PaneGeometry g = Geometry();
  if (old >= 0) update(old, g.traceTop(), 1, g.traceBottom() - g.traceTop() + 1);
  if (x >= 0) update(x, g.traceTop(), 1, g.traceBottom() - g.traceTop() + 1);
}

void CZoomWindow::ComposeBase() {
  baseDirty_ = false;
  if (frame_.isNull()) {
    base_ = QImage();
    return;
  }
  if (base_.size() != frame_.size() || base_.format() != frame_.format())
    base_ = QImage(frame_.size(), frame_.format());
  base_.setDevicePixelRatio(frame_.devicePixelRatio());
  std::memcpy(base_.bits(), frame_.constBits(), static_cast<size_t>(frame_.sizeInBytes()));
  sourceTrace_.Rasterize(base_);
}

void CZoomWindow::ComposeTransformed() {
  transformedDirty_ = false;
  transformedImage_ = QImage();
  if (transformedTrace_.empty() || frame_.isNull()) return;
  transformedImage_ = QImage(frame_.size(), QImage::Format_ARGB32_Premultiplied);
  transformedImage_.setDevicePixelRatio(frame_.devicePixelRatio());
  transformedImage_.fill(Qt::transparent);
  transformedTrace_.Rasterize(transformedImage_);
}

void CZoomWindow::paintEvent(QPaintEvent*) {
  if (baseDirty_) ComposeBase();
  if (transformedDirty_) ComposeTransformed();
  QPainter p(this);
  // Frame and source trace as one image, the header strip over it, then
  // the recorded layers with the transformed trace's image among them.
  p.drawImage(0, 0, base_);
  p.drawImage(kHeaderLeft, 0, header_);
  for (int layer = kPhaseLayer; layer < kLayerCount; ++layer) {
    if (layer == kTransformedLayer)
      p.drawImage(0, 0, transformedImage_);
    else
      p.drawPicture(0, 0, layers_[static_cast<size_t>(layer)]);
  }
  const PaneGeometry g = Geometry();
  if (cursorX_ >= 0) {
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QPen(QColor(192, 192, 192), 1));
    p.drawLine(cursorX_, g.traceTop(), cursorX_, g.traceBottom());
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  }
  if (zoomBox_) {
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QPen(QColor(192, 192, 192), 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(boxStart_, boxEnd_).normalized());
  }
}

void CZoomWindow::resizeEvent(QResizeEvent*) {
  RefreshButtons();
  if (!rebuilding_ && !resizing_) RebuildPicture();
}

void CZoomWindow::ShowReadout(int x, int y) {
  const PaneGeometry g = Geometry();
  if (g.traceBottom() - g.traceTop() + 1 < 5 || g.xR() - g.xL() + 1 < 10) return;
  if (!g.InTraceArea(x, y)) return;
  const double start = pane_.WindowStart();
  const double t = PixelToTime(g, start, pane_.windowLength, x);
  const double a = PixelToAmplitude(g, pane_.DisplayLo(), pane_.DisplayHi(), y);
  std::string text;
  if (selecting_) {
    const double dt = std::fabs(t - PixelToTime(g, start, pane_.windowLength, dragStartX_));
    const double da =
        std::fabs(a - PixelToAmplitude(g, pane_.DisplayLo(), pane_.DisplayHi(), dragStartY_));
    const int hours = static_cast<int>(dt / 3600);
    const int minutes = static_cast<int>((dt - hours * 3600.0) / 60);
    const double seconds = dt - hours * 3600.0 - minutes * 60.0;
    text = StrFormat("%02d:%02d:%.03f  A:%f", hours, minutes, seconds, da);
  } else {
    const CalendarTime c = EpochToCalendar(t);
    text = StrFormat("%02d:%02d:%.03f  %02d/%02d/%04d A:%f", c.hour, c.minute, c.second, c.day,
                     c.month, c.year, a);
  }
  owner_.ShowStatus(text);
}

void CZoomWindow::mousePressEvent(QMouseEvent* event) {
  if (owner_.busy()) return;
  const int x = static_cast<int>(event->position().x());
  const int y = static_cast<int>(event->position().y());
  const PaneGeometry g = Geometry();
  if (event->button() == Qt::RightButton) {
    if (!owner_.pickMode()) {
      QMenu* menu = BuildContextMenu();
      menu->popup(event->globalPosition().toPoint());
    }
    return;
  }
  if (event->button() != Qt::LeftButton || zoomBox_) return;
  if (g.InHeaderToggleBand(x, y)) {
    owner_.TogglePaneActive(*this);
    return;
  }
  if (g.InResizeBand(y)) {
    resizing_ = true;
    grabMouse();
    return;
  }
  if (!g.InTraceArea(x, y)) return;
  if (event->modifiers() & Qt::ShiftModifier) {
    if (pane_.hasInterval) {
      pane_.CentreIntervalAt(g, x);
      RecordIntervalLayer();
    }
    return;
  }
  dragStartX_ = dragX_ = x;
  dragStartY_ = y;
  selecting_ = true;
}

void CZoomWindow::mouseMoveEvent(QMouseEvent* event) {
  if (owner_.busy()) return;
  const int x = static_cast<int>(event->position().x());
  const int y = static_cast<int>(event->position().y());
  const PaneGeometry g = Geometry();
  if (resizing_) {
    pane_.rect.height = std::max(owner_.AxisHeight() + 45, y);
    owner_.PaneResized(*this, false);
    return;
  }
  setCursor(g.InResizeBand(y) ? Qt::SizeVerCursor
                              : (owner_.pickMode() ? Qt::CrossCursor : Qt::ArrowCursor));
  if (zoomBox_) {
    boxEnd_ = QPoint(x, y);
    update();
  } else if (event->buttons() & Qt::LeftButton) {
    if ((event->modifiers() & Qt::ShiftModifier) && pane_.hasInterval && g.InTraceArea(x, y)) {
      pane_.CentreIntervalAt(g, x);
      RecordIntervalLayer();
    } else if (selecting_) {
      dragX_ = x;
      if (std::abs(dragStartX_ - x) > 5 && x >= g.xL() && x <= g.xR()) {
        pane_.SetIntervalFromPixels(g, dragStartX_, x);
        RecordIntervalLayer();
      }
    }
  }
  ShowReadout(x, y);
  if (owner_.commonCursor()) owner_.MoveCommonCursor(x >= g.xL() && x <= g.xR() ? x : -1);
}

void CZoomWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (resizing_) {
    resizing_ = false;
    releaseMouse();
    RebuildPicture();
    owner_.PaneResized(*this, (event->modifiers() & Qt::ShiftModifier) != 0);
    return;
  }
  if (owner_.busy() || event->button() != Qt::LeftButton) return;
  if (selecting_ && std::abs(dragStartX_ - dragX_) > 5) {
    pane_.SetIntervalFromPixels(Geometry(), dragStartX_, dragX_);
    RecordIntervalLayer();
  }
  selecting_ = false;
}

void CZoomWindow::mouseDoubleClickEvent(QMouseEvent* event) {
  if (owner_.busy() || owner_.pickMode()) return;
  if (event->button() != Qt::LeftButton || (event->buttons() & Qt::RightButton) ||
      (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)))
    return;
  const QPoint at(static_cast<int>(event->position().x()), static_cast<int>(event->position().y()));
  selecting_ = false;
  if (!zoomBox_) {
    if (!Geometry().InTraceArea(at.x(), at.y())) return;
    zoomBox_ = true;
    boxStart_ = boxEnd_ = at;
    grabMouse();
    owner_.ActivatePane(*this);
    owner_.MakeMain(*this);
    update();
  } else {
    zoomBox_ = false;
    releaseMouse();
    update();
    owner_.FinishZoomBox(*this, boxStart_, at);
  }
}

QMenu* CZoomWindow::BuildContextMenu() {
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  auto add = [&](int id, const char* text) {
    QAction* a = menu->addAction(QString::fromUtf8(text));
    connect(a, &QAction::triggered, this, [this, id] { OnPaneCommand(id); });
  };
  add(kCmdPaneSelectStationChannel, "(*)Выбрать станцию и канал...");
  add(kCmdPaneRedraw, "(*)Перерисовать");
  add(kCmdPaneScale, "(*)Масштаб");
  menu->addSeparator();
  for (int id : {kCmdShowTransformed, kCmdShowSource, kCmdActivateAll, kCmdDeactivateAll,
                 kCmdDeleteActive, kCmdNewPane})
    add(id, WaveformCommandText(id));
  menu->addSeparator();
  for (const PanePickMenuItem& item : PanePickMenuItems()) add(item.id, item.text);
  return menu;
}

void CZoomWindow::OnPaneCommand(int id) {
  switch (id) {
    case kCmdPaneSelectStationChannel:
      owner_.RebindPane(*this);
      break;
    case kCmdPaneRedraw:
      LoadData();
      RebuildPicture();
      break;
    case kCmdPaneScale:
      owner_.EditPaneScale(*this);
      break;
    case kCmdMainPaneButton:
      owner_.MakeMain(*this);
      break;
    case kCmdSignalButton:
      pane_.showTransformed = !pane_.showTransformed;
      RefreshButtons();
      break;
    case kCmdMaximizeButton:
      owner_.ToggleMaximize(*this);
      break;
    case kCmdClosePanes:
      owner_.RequestClose(*this);
      break;
    case kCmdDeleteActive:
      // From the pop-up menu every active pane goes.
      for (CZoomWindow* p : owner_.ActivePanes()) p->pane().closeRequested = true;
      QMetaObject::invokeMethod(&owner_, "ExecuteCommand", Qt::QueuedConnection,
                                Q_ARG(int, kCmdClosePanes));
      break;
    default:
      if (!RunPanePickCommand(*this, id)) owner_.ExecuteCommand(id);
      break;
  }
}

void CBeamWindow::BindBeam(int station, int channel) {
  pane().Bind(owner().stations(), owner().views().At(station, channel), station, channel);
  pane().isBeam = true;
}

void CBeamWindow::SetBeam(const NUVDataBlock& block) {
  pane().blocks.Clear();
  pane().blocks.Append(block);
  pane().SetWindowStart(block.start);
  pane().windowLength = block.rate > 0 ? block.count / block.rate : pane().windowLength;
}

}  // namespace nuv
