#pragma once
// The map window "Карта": the stations of the station table on a
// longitude-latitude map with country borders and lakes, optionally over the
// coastline, with distance circles, azimuth great circles, the current
// origin with its ellipse and the starting epicentre; zoom, shift, restore,
// a rubber rectangle (double clicks) and the two-point measurement (Shift and
// the left button). The first view fits the stations; a new origin outside
// the view brings the view onto it. Other subsystems add their commands
// through commands().

#include <QPoint>
#include <QWidget>
#include <functional>

#include "map/coastline.h"
#include "map/map_state.h"
#include "map/ui/map_painter.h"
#include "widgets/ui/command_registry.h"
#include "widgets/ui/command_target.h"

namespace nuv {
class Workstation;
}

namespace nuv::map {

// Command ids of the map's menu and context menu.
namespace cmd {
inline constexpr int kPrintMap = 113;
inline constexpr int kRedraw = 114;
inline constexpr int kShortMenuCoastline = 105;
inline constexpr int kZoomIn = 116;
inline constexpr int kZoomOut = 117;
inline constexpr int kShiftEast = 118;
inline constexpr int kShiftWest = 119;
inline constexpr int kShiftNorth = 120;
inline constexpr int kShiftSouth = 121;
inline constexpr int kRestoreView = 104;
inline constexpr int kSimpleMap = 33044;
inline constexpr int kCoastlineMap = 33043;
inline constexpr int kReliefMap = 33041;
inline constexpr int kDrawAzimuth = 33053;
inline constexpr int kStartEpicentre = 33054;
inline constexpr int kHypocentreParameters = 33185;
inline constexpr int kHypocentre = 32723;
inline constexpr int kStationGroupChosen = 140;
}  // namespace cmd

class CMapWnd : public QWidget, public CommandTarget {
  Q_OBJECT
 public:
  CMapWnd(Workstation& workstation, QWidget* parent = nullptr);
  ~CMapWnd() override;

  Workstation& workstation() { return ws_; }
  MapState& state() { return state_; }
  CommandRegistry& commands() { return commands_; }
  const Coastline& coastline() const { return coast_; }
  // The country borders and lake shores of the home directory (read at the
  // first redraw that draws them).
  const Coastline& borders() const { return borders_; }
  const Coastline& lakes() const { return lakes_; }
  // The relief bitmaps found in the home directory (null where missing).
  const ReliefImages& relief() const { return relief_; }
  // The map rectangle of the current size (y from the bottom).
  MapRect mapRect() const;
  // The geographic point under a widget position; false outside the map.
  bool PointAt(QPoint pos, double& lat, double& lon) const;
  // The text the status bar shows for the pointer at `pos`.
  QString StatusTextAt(QPoint pos) const;
  // The starting-epicentre dialog at a widget position.
  void EditStartEpicentre(QPoint pos);
  // The index of the chosen station group (-1 = all), read for command 140.
  void SetStationGroupSource(std::function<int()> source) { groupSource_ = std::move(source); }
  // The redraw as a picture of `size` pixels.
  QImage Render(QSize size);

  bool HandlesCommand(int id) const override { return commands_.Has(id); }
  bool IsCommandEnabled(int id) const override { return commands_.IsEnabled(id); }
  std::optional<bool> IsCommandChecked(int id) const override { return commands_.IsChecked(id); }
  void OnCommand(int id) override { commands_.Run(id); }

 signals:
  void statusMessage(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void RegisterViewCommands();
  void SetMode(DrawMode mode);
  void ChangeView(const std::function<void(MapView&)>& change);
  // The left and bottom margins of the map rectangle.
  QSize margins() const;
  MapSceneInput SceneInputFor(QSize size) const;
  // Before a redraw of `size`: reads the line files the mode needs, fits
  // the first view to the stations and follows a new origin out of view.
  void PrepareRedraw(QSize size);
  // Reads a line file of the home directory; a missing or damaged file
  // leaves the layer empty and says why in the status bar.
  Coastline ReadLines(const char* name);

  Workstation& ws_;
  MapState state_;
  Coastline coast_;
  bool coastLoaded_ = false;
  Coastline borders_, lakes_;
  bool linesLoaded_ = false;
  ReliefImages relief_;
  bool reliefLoaded_ = false;
  CommandRegistry commands_;
  std::function<int()> groupSource_;
  int phasesSubscription_ = 0;
  // Rubber rectangle (widget positions) and two-point measurement.
  bool rubberActive_ = false;
  QPoint rubberStart_, rubberEnd_;
  bool measuring_ = false;
  double measureLat_ = 0, measureLon_ = 0;
  QPoint contextPoint_;
};

}  // namespace nuv::map
