#include "map/ui/map_window.h"

#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "map/map_scene.h"
#include "map/ui/map_painter.h"
#include "map/ui/start_epicentre_dialog.h"
#include "traveltime/dist_az.h"
#include "workstation/workstation.h"

namespace nuv::map {
namespace {

struct ContextEntry {
  int id;
  const char* text;
};

constexpr ContextEntry kContextZoom[] = {{cmd::kZoomIn, "Увеличить"}, {cmd::kZoomOut, "Уменьшить"}};
constexpr ContextEntry kContextShift[] = {{cmd::kShiftEast, "вправо"},
                                          {cmd::kShiftWest, "влево"},
                                          {cmd::kShiftNorth, "вверх"},
                                          {cmd::kShiftSouth, "вниз"}};
constexpr ContextEntry kContextRest[] = {
    {cmd::kRestoreView, "Восстановить исходное значение масштаба"},
    {cmd::kSimpleMap, "Рисовать простую карту"},
    {cmd::kCoastlineMap, "Рисовать береговую линию"},
    {cmd::kReliefMap, "Рисовать уровни высот и глубин"},
    {cmd::kDrawAzimuth, "Рисовать азимут"},
    {cmd::kStartEpicentre, "Отметить стартовую для расчета эпицентра"},
    {cmd::kHypocentreParameters, "Параметры гипоцентра"},
    {cmd::kHypocentre, "Оценка положения гипоцентра"}};

}  // namespace

CMapWnd::CMapWnd(Workstation& workstation, QWidget* parent) : QWidget(parent), ws_(workstation) {
  setObjectName("CMapWnd");
  setMouseTracking(true);
  setMinimumSize(200, 150);
  RegisterViewCommands();
  // Azimuths and origins change with the phase list: redraw after each change.
  phasesSubscription_ = ws_.phases().Subscribe([this](const auto&) { update(); });
}

CMapWnd::~CMapWnd() {
  ws_.phases().Unsubscribe(phasesSubscription_);
}

void CMapWnd::RegisterViewCommands() {
  auto view = [this](void (MapView::*change)()) {
    return [this, change] { ChangeView([change](MapView& v) { (v.*change)(); }); };
  };
  commands_.Add(cmd::kZoomIn, view(&MapView::ZoomIn));
  commands_.Add(cmd::kZoomOut, view(&MapView::ZoomOut));
  commands_.Add(cmd::kShiftEast, view(&MapView::ShiftEast));
  commands_.Add(cmd::kShiftWest, view(&MapView::ShiftWest));
  commands_.Add(cmd::kShiftNorth, view(&MapView::ShiftNorth));
  commands_.Add(cmd::kShiftSouth, view(&MapView::ShiftSouth));
  commands_.Add(cmd::kRestoreView, view(&MapView::Restore));
  const std::pair<int, DrawMode> modes[] = {{cmd::kSimpleMap, DrawMode::Simple},
                                            {cmd::kCoastlineMap, DrawMode::Coastline},
                                            {cmd::kReliefMap, DrawMode::Relief}};
  for (const auto& [id, mode] : modes)
    commands_.AddToggle(
        id, [this, m = mode] { SetMode(m); }, [this, m = mode] { return state_.mode == m; });
  commands_.AddToggle(
      cmd::kDrawAzimuth,
      [this] {
        state_.drawAzimuth = !state_.drawAzimuth;
        update();
      },
      [this] { return state_.drawAzimuth; });
  commands_.Add(cmd::kStartEpicentre, [this] { EditStartEpicentre(contextPoint_); });
  commands_.Add(cmd::kStationGroupChosen, [this] {
    state_.stationFilter = groupSource_ ? groupSource_() : -1;
    update();
  });
  // Shown in the menu without a command behind them.
  for (int id : {cmd::kPrintMap, cmd::kRedraw, cmd::kShortMenuCoastline})
    commands_.Add(id, CommandHandler{[] {}, [] { return false; }, {}, {}});
}

void CMapWnd::SetMode(DrawMode mode) {
  state_.mode = mode;
  if (mode == DrawMode::Coastline && !coastLoaded_) {
    // A missing or damaged file leaves the layer empty; the reason goes to
    // the status bar rather than a message box.
    coast_ = ReadLines(kCoastFile);
    coastLoaded_ = true;
  }
  if (mode == DrawMode::Relief && !reliefLoaded_) {
    // Missing or unreadable bitmaps leave their bands empty.
    for (int band = 0; band < kReliefBands; ++band)
      relief_[static_cast<size_t>(band)] =
          QImage(QString::fromStdString(ws_.config().homeDir + ReliefFileName(band)));
    reliefLoaded_ = true;
  }
  update();
}

Coastline CMapWnd::ReadLines(const char* name) {
  CoastlineLoad load = ReadCoastline(ws_.config().homeDir + name, name);
  if (!load.problem.empty()) emit statusMessage(QString::fromStdString(load.problem));
  return std::move(load.coastline);
}

void CMapWnd::ChangeView(const std::function<void(MapView&)>& change) {
  change(state_.view);
  state_.viewChosen = true;
  update();
}

void CMapWnd::PrepareRedraw(QSize size) {
  if (state_.mode != DrawMode::Relief && !linesLoaded_) {
    borders_ = ReadLines(kBordersFile);
    lakes_ = ReadLines(kLakesFile);
    linesLoaded_ = true;
  }
  const QSize margin = margins();
  const MapRect rect = MapRectangle(size.width(), size.height(), margin.width(), margin.height());
  if (rect.width() > 0 && rect.height() > 0)
    PrepareView(ws_, state_, static_cast<double>(rect.width()) / rect.height());
}

QSize CMapWnd::margins() const {
  // The text extent of "WWWW" in the window's font.
  const QFontMetrics metrics = fontMetrics();
  return {metrics.horizontalAdvance("WWWW"), metrics.height()};
}

MapSceneInput CMapWnd::SceneInputFor(QSize size) const {
  MapSceneInput input = SceneInput(ws_, state_, &coast_, &borders_, &lakes_);
  input.width = size.width();
  input.height = size.height();
  const QSize margin = margins();
  input.marginX = margin.width();
  input.marginY = margin.height();
  input.pixelsPerMm = logicalDpiX() / 25.4;
  const QFontMetrics metrics = fontMetrics();
  input.textWidth = [metrics](const std::string& text) {
    return metrics.horizontalAdvance(QString::fromStdString(text));
  };
  input.textHeight = metrics.height();
  return input;
}

MapRect CMapWnd::mapRect() const {
  const QSize margin = margins();
  return MapRectangle(width(), height(), margin.width(), margin.height());
}

QImage CMapWnd::Render(QSize size) {
  PrepareRedraw(size);
  QImage image(size, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setFont(font());
  PaintMapScene(painter, BuildMapScene(SceneInputFor(size)), &relief_);
  return image;
}

void CMapWnd::paintEvent(QPaintEvent*) {
  PrepareRedraw(size());
  QPainter painter(this);
  PaintMapScene(painter, BuildMapScene(SceneInputFor(size())), &relief_);
  if (rubberActive_) {
    QPen pen(Qt::gray);
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(rubberStart_, rubberEnd_).normalized());
  }
}

bool CMapWnd::PointAt(QPoint pos, double& lat, double& lon) const {
  const MapRect rect = mapRect();
  const int y = height() - pos.y();
  if (!state_.view.drawable() || !rect.Inside(pos.x(), y)) return false;
  const Projection projection(state_.view, rect);
  lat = projection.Latitude(y);
  lon = projection.Longitude(pos.x());
  return true;
}

QString CMapWnd::StatusTextAt(QPoint pos) const {
  double lat = 0, lon = 0;
  if (!PointAt(pos, lat, lon)) return " ";
  if (measuring_) {
    DistAzResult result;
    if (!DistAz(static_cast<float>(measureLat_), static_cast<float>(measureLon_),
                static_cast<float>(lat), static_cast<float>(lon), result))
      return " ";
    return QString::fromStdString(MeasureText(result));
  }
  return QString::fromStdString(CursorText(lat, lon));
}

void CMapWnd::mousePressEvent(QMouseEvent* event) {
  double lat = 0, lon = 0;
  if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier) &&
      PointAt(event->position().toPoint(), lat, lon)) {
    measuring_ = true;
    measureLat_ = lat;
    measureLon_ = lon;
    emit statusMessage(StatusTextAt(event->position().toPoint()));
  }
  QWidget::mousePressEvent(event);
}

void CMapWnd::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (rubberActive_) {
    rubberEnd_ = pos;
    update();
  }
  emit statusMessage(StatusTextAt(pos));
}

void CMapWnd::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) measuring_ = false;
  QWidget::mouseReleaseEvent(event);
}

void CMapWnd::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (!rubberActive_) {
    rubberActive_ = true;
    rubberStart_ = rubberEnd_ = pos;
    update();
    return;
  }
  rubberActive_ = false;
  const MapRect rect = mapRect();
  // Corners sorted and clipped to the map rectangle (y from the bottom).
  const int x1 = std::clamp(std::min(rubberStart_.x(), pos.x()), rect.left, rect.right);
  const int x2 = std::clamp(std::max(rubberStart_.x(), pos.x()), rect.left, rect.right);
  const int y1 = std::clamp(height() - std::max(rubberStart_.y(), pos.y()), rect.bottom, rect.top);
  const int y2 = std::clamp(height() - std::min(rubberStart_.y(), pos.y()), rect.bottom, rect.top);
  if (x2 > x1 && y2 > y1 && state_.view.drawable() && rect.width() > 0) {
    const Projection projection(state_.view, rect);
    const double span = (x2 - x1) * state_.view.span / rect.width();
    state_.view.SetRectangle(projection.Longitude(x1), span, projection.Latitude(y1),
                             projection.Latitude(y2));
    state_.viewChosen = true;
  }
  update();
}

void CMapWnd::contextMenuEvent(QContextMenuEvent* event) {
  contextPoint_ = event->pos();
  QMenu menu(this);
  auto add = [this](QMenu& to, const ContextEntry& entry) {
    QAction* action = to.addAction(QString::fromUtf8(entry.text));
    action->setEnabled(commands_.IsEnabled(entry.id) && commands_.Has(entry.id));
    if (auto checked = commands_.IsChecked(entry.id)) {
      action->setCheckable(true);
      action->setChecked(*checked);
    }
    connect(action, &QAction::triggered, this, [this, id = entry.id] { commands_.Run(id); });
  };
  for (const ContextEntry& e : kContextZoom) add(menu, e);
  QMenu* shift = menu.addMenu("Сдвинуть карту");
  for (const ContextEntry& e : kContextShift) add(*shift, e);
  for (const ContextEntry& e : kContextRest) add(menu, e);
  menu.exec(event->globalPos());
}

void CMapWnd::EditStartEpicentre(QPoint pos) {
  double lat = 0, lon = 0;
  if (!PointAt(pos, lat, lon)) {
    lat = state_.start.lat;
    lon = state_.start.lon;
  }
  CStartEpicentreDlg dialog(lat, lon, state_.start, ws_.prompts(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  state_.start = dialog.result();
  update();
}

}  // namespace nuv::map
