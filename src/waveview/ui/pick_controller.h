#pragma once
// Picking on the panes of a waveform window: in pick mode a click or a
// short drag opens the pick dialog and adds its phase; without pick mode a
// phase label can be dragged to re-time its phase; with the pointer over a
// trace a bound key places a phase there at once. The controller watches
// the panes' mouse and key events, so the panes themselves stay unaware of
// picking, and redraws every pane's phase marks after any change of the
// phase list (undo and redo included).

#include <QObject>
#include <QPointer>
#include <memory>

#include "waveview/ui/pick_dialog.h"

class QMouseEvent;
class QKeyEvent;

namespace nuv {

class CZoomWindow;
class Workstation;
class waveform;

class PickController : public QObject {
  Q_OBJECT

 public:
  PickController(waveform& window, std::unique_ptr<PickDialogs> dialogs);
  ~PickController() override;

  // Whether a label is being dragged.
  bool draggingLabel() const { return !dragPane_.isNull(); }
  // Watches a pane (new panes are found on their own).
  void Attach(CZoomWindow* pane);
  // A keyboard pick at column x of `pane`; false when nothing was placed.
  bool KeyPick(CZoomWindow& pane, int x, const std::string& phaseName);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool OnMouse(CZoomWindow& pane, QMouseEvent& e);
  bool OnKey(QKeyEvent& e);
  void Pick(CZoomWindow& pane, int pressX, int releaseX, int releaseY);
  void DrawDraggedLabel(CZoomWindow& pane, int x);
  void DropLabel(CZoomWindow& pane, int x);

  waveform& window_;
  // Kept apart from the window: the controller is deleted among the
  // window's children, after the window's own members.
  Workstation& ws_;
  std::unique_ptr<PickDialogs> dialogs_;
  int subscription_ = 0;
  bool redrawing_ = false;
  // Pick-mode press.
  QPointer<CZoomWindow> pressPane_;
  int pressX_ = 0;
  // Label drag.
  QPointer<CZoomWindow> dragPane_;
  int dragType_ = -1;
  int dragGrabDx_ = 0;
  QString dragName_;
  // Pointer over a trace, for keyboard picks.
  QPointer<CZoomWindow> hoverPane_;
  int hoverX_ = 0, hoverY_ = 0;
};

// Attaches a controller to the window and registers 32712 "Отметить фазу"
// as a switch of its commands. The controller belongs to the window.
PickController* InstallPicking(waveform& window,
                               std::unique_ptr<PickDialogs> dialogs = MakeQtPickDialogs());

}  // namespace nuv
