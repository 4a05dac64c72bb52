#pragma once
// The frame's status bar: the message pane, the clock pane (refreshed every
// second, its width following the text) and seven window buttons left of the
// clock, placed again whenever the bar changes size and hidden when there is
// no room for them.

#include <QStatusBar>
#include <QTimer>
#include <array>

class QLabel;
class QToolButton;

namespace nuv {

class CNUVStatusBar : public QStatusBar {
  Q_OBJECT
 public:
  // Tile horizontally, tile vertically, cascade, waveforms, phase list,
  // workspace and map, left to right.
  static constexpr std::array<int, 7> kButtonCommands = {57651, 57652, 57650, 32705,
                                                         32708, 33105, 32707};
  static constexpr int kButtonWidth = 23;
  static constexpr int kButtonsStart = 163;  // first button this far left of the clock pane
  static constexpr int kMinimumStart = 70;   // below this the buttons are hidden
  static constexpr int kMinimumHeight = 25;

  explicit CNUVStatusBar(QWidget* parent = nullptr);

  QLabel* clockPane() const { return clock_; }
  QToolButton* button(int index) const { return buttons_[index]; }
  const QTimer& clockTimer() const { return timer_; }

  // Shows the time as the locale formats it ("%X").
  void RefreshClock();
  // Places the seven buttons left of the clock pane.
  void PlaceButtons();

 signals:
  void commandRequested(int id);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  QLabel* clock_;
  std::array<QToolButton*, 7> buttons_{};
  QTimer timer_;
};

}  // namespace nuv
