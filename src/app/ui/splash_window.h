#pragma once
// The splash window: the bitmap "splash.bmp" of the home directory with the
// version text, shown centred for 10750 ms; any key or mouse press anywhere
// in the application hides it at once.

#include <QPixmap>
#include <QTimer>
#include <QWidget>

namespace nuv {

class CSplashWnd : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kShowMilliseconds = 10750;

  // Shows the splash when `bitmapPath` can be loaded; nullptr otherwise.
  static CSplashWnd* ShowSplash(const QString& bitmapPath, QWidget* parent = nullptr);

  const QTimer& timer() const { return timer_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit CSplashWnd(QPixmap bitmap, QWidget* parent);
  void HideSplash();

  QPixmap bitmap_;
  QTimer timer_;
};

}  // namespace nuv
