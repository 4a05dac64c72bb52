#pragma once
// The trace pane widget: draws one channel from recorded layers and turns
// mouse input into the pane commands (interval, zoom box, resizing, header
// clicks and buttons, cursor readout).

#include <QImage>
#include <QPicture>
#include <QPoint>
#include <QWidget>
#include <array>
#include <string>

#include "waveview/pane_geometry.h"
#include "waveview/trace_pane.h"
#include "waveview/ui/trace_drawing.h"
#include "waveview/waveform_window_interface.h"

class QMenu;
class QPainter;
class QToolButton;

namespace nuv {

class waveform;

class CZoomWindow : public QWidget, public WaveformWindowInterface {
  Q_OBJECT

 public:
  // The layers, painted in this order.
  enum Layer {
    kFrameLayer,
    kSourceLayer,
    kHeaderLayer,
    kPhaseLayer,
    kTransformedLayer,
    kMarksLayer,
    kIntervalLayer,
    kPickLayer,
    kLayerCount
  };

  CZoomWindow(waveform& owner, QWidget* parent);
  ~CZoomWindow() override;

  TracePane& pane() { return pane_; }
  const TracePane& pane() const { return pane_; }
  waveform& owner() { return owner_; }
  PaneGeometry Geometry() const;

  // Binds the pane to a channel (history emptied, view state copied, the
  // station's default window taken).
  virtual void SetChannel(int station, int channel);
  // Fetches the samples of the current window.
  virtual void LoadData();
  virtual bool IsBeam() const { return false; }

  // WaveformWindowInterface.
  void GetChannel(int& station, int& channel) const override;
  void RedrawPhaseMarks() override;
  void ClearPickLayer() override;
  // Replaces the pick layer (pick marker, dragged label) and repaints.
  void SetPickLayer(const QPicture& picture);
  std::string TransformName() const override { return pane_.TransformName(); }

  // Re-records every layer (refused while a rebuild of this pane runs).
  void RebuildPicture();
  // Re-records only the layer of the working signal.
  void RecordTraceLayer();
  void RecordSourceLayer();
  void RecordTransformedLayer();
  void RecordHeaderLayer();
  void RecordIntervalLayer();
  void RecordMarksLayer();
  void RecordPhaseLayer();
  void RecordFrameLayer();
  // How many times a layer has been recorded (to check partial re-recording).
  int RecordCount(Layer layer) const { return recordCounts_[layer]; }

  // Places the widget at the core rectangle.
  void ApplyRect();

  // Common cursor line at column x (-1 erases it).
  void SetCursorLine(int x);
  int cursorLine() const { return cursorX_; }

  bool zoomBoxOpen() const { return zoomBox_; }
  bool selecting() const { return selecting_; }
  bool resizing() const { return resizing_; }

  // Pane pop-up menu and its commands.
  QMenu* BuildContextMenu();
  void OnPaneCommand(int id);

  // Header buttons (141 main, 142 signal, 143 maximise, 144 close).
  QToolButton* headerButton(int id) const;
  void RefreshButtons();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void ShowReadout(int x, int y);

  waveform& owner_;
  TracePane pane_;
  // Draws the frame and the source trace into base_.
  void ComposeBase();
  // Draws the transformed trace into its own transparent image.
  void ComposeTransformed();

  // Left end of the header strip (the main-pane button lies left of it).
  static constexpr int kHeaderLeft = 15;

  // The bottom layers as images: the frame (shared with panes that look
  // alike), the frame with the source trace (redrawn on the next paint after
  // either changes) and the header strip. The layers above are recorded
  // pictures, but for the transformed trace, an image of its own.
  QImage frame_, base_, header_, transformedImage_;
  bool baseDirty_ = true;
  bool transformedDirty_ = true;
  QString headerLook_;  // what header_ was drawn from
  std::array<QPicture, kLayerCount> layers_;
  TraceDrawing sourceTrace_, transformedTrace_;
  std::array<int, kLayerCount> recordCounts_{};
  bool rebuilding_ = false;

  // Mouse state.
  int dragStartX_ = 0, dragStartY_ = 0, dragX_ = 0;
  bool selecting_ = false;
  bool zoomBox_ = false;
  QPoint boxStart_, boxEnd_;
  bool resizing_ = false;
  int cursorX_ = -1;

  QToolButton* mainButton_ = nullptr;
  QToolButton* signalButton_ = nullptr;
  QToolButton* maximizeButton_ = nullptr;
  QToolButton* closeButton_ = nullptr;
};

// A pane whose samples are set by the beam builder rather than loaded.
class CBeamWindow : public CZoomWindow {
  Q_OBJECT

 public:
  using CZoomWindow::CZoomWindow;
  void SetChannel(int, int) override {}
  void LoadData() override {}
  bool IsBeam() const override { return true; }
  // Binds without loading: history emptied and the channel's view state copied.
  void BindBeam(int station, int channel);
  // The beam as one block.
  void SetBeam(const NUVDataBlock& block);
};

// A phase label as the panes draw it: a yellow box with a black border and
// the phase name centred in `font`.
void DrawPhaseLabel(QPainter& painter, const QRect& box, const QString& name, const QFont& font);

}  // namespace nuv
