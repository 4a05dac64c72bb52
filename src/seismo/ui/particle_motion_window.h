#pragma once
// The particle-motion window "Движение частиц": three window names (Z,
// X (NS), Y (EW)) and, below them, the hodograms of those traces over a
// pane's interval: X against Z, Y against Z and Y against X. The window
// follows the panes' intervals while it is shown.

#include <QDialog>
#include <QImage>
#include <QTimer>
#include <map>
#include <string>
#include <vector>

class QLineEdit;

namespace nuv {

class TracePane;
class UserPrompts;
class waveform;

// The drawing area: one recorded picture, replayed on every paint.
class CPartMotion : public QWidget {
  Q_OBJECT

 public:
  explicit CPartMotion(QWidget* parent = nullptr);
  // Draws the three hodograms of n samples from index i0 of each signal.
  void Draw(const std::vector<float>& z, const std::vector<float>& x, const std::vector<float>& y,
            int i0, int n);
  const QImage& picture() const { return picture_; }
  bool busy() const { return busy_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage picture_;
  bool busy_ = false;
};

class CGet3WindowNames : public QDialog {
  Q_OBJECT

 public:
  CGet3WindowNames(waveform& window, UserPrompts& prompts, QWidget* parent = nullptr);

  // Redraws the hodograms for `pane`'s interval; false (nothing drawn) when
  // a name denotes no trace, the traces differ in sampling, or the interval
  // lies outside them (then with a beep).
  bool Redraw(const TracePane& pane);
  // Looks for a pane whose interval moved since the last look and redraws
  // for it (run by a timer while the window is shown).
  void FollowIntervals();

  QLineEdit* nameField(int component) const { return fields_[component]; }
  CPartMotion* area() const { return area_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  waveform& window_;
  UserPrompts& prompts_;
  QLineEdit* fields_[3];
  CPartMotion* area_;
  QTimer follow_;
  std::map<int, std::pair<double, double>> seen_;  // pane number -> interval
};

}  // namespace nuv
