#pragma once
// The drawing area of the workspace: the shown data windows laid out in two
// columns (one window fills it alone; an odd last one spans both columns),
// each drawn as a graph of its visible range with its overlays, or as a
// number when it holds one sample. A click makes a window active; the
// cursor's time and value go to the status text.

#include <QWidget>
#include <functional>
#include <utility>
#include <vector>

namespace nuv {

class Workspace;
struct DspWindow;

// Frames of `shown` windows in a client area; empty rectangles for windows
// not laid out (a client area under 50 × 40 pixels).
std::vector<QRect> DspFrames(const QSize& client, int shown);
// The plot area inside a frame: 20 pixels left, 4 right, 20 top, 26 bottom.
QRect DspPlotArea(const QRect& frame);

class CDspCanvas : public QWidget {
  Q_OBJECT
 public:
  CDspCanvas(Workspace& workspace, QWidget* parent = nullptr);

  // The frame of window `index` (empty when not shown or not laid out).
  QRect frameOf(int index) const;
  // The window under a point, or -1.
  int windowAt(const QPoint& point) const;
  // Called with the index of a clicked window.
  std::function<void(int)> onActivate;
  // Called with the cursor readout ("" outside a window with data).
  std::function<void(const QString&)> onStatus;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  std::vector<int> ShownWindows() const;
  // The window under a point and its frame; -1 and an empty frame outside.
  std::pair<int, QRect> HitTest(const QPoint& point) const;
  void DrawWindow(QPainter& painter, int index, const QRect& frame) const;

  Workspace& workspace_;
};

}  // namespace nuv
