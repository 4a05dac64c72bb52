#include "app/ui/splash_window.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QScreen>

#include "app/ui/about_dialog.h"

namespace nuv {

CSplashWnd* CSplashWnd::ShowSplash(const QString& bitmapPath, QWidget* parent) {
  QPixmap bitmap;
  if (!bitmap.load(bitmapPath) || bitmap.isNull()) return nullptr;
  auto* splash = new CSplashWnd(std::move(bitmap), parent);
  splash->show();
  splash->raise();
  return splash;
}

CSplashWnd::CSplashWnd(QPixmap bitmap, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      bitmap_(std::move(bitmap)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName("splash");
  setFixedSize(bitmap_.size());
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &CSplashWnd::HideSplash);
  timer_.start(kShowMilliseconds);
  qApp->installEventFilter(this);
}

void CSplashWnd::HideSplash() {
  qApp->removeEventFilter(this);
  timer_.stop();
  close();
}

bool CSplashWnd::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress:
      HideSplash();
      break;
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

void CSplashWnd::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, bitmap_);
  // The version sits on a light grey field of the bitmap.
  painter.fillRect(QRect(QPoint(398, 153), QPoint(474, 176)), QColor(192, 192, 192));
  painter.setFont(QApplication::font());
  painter.setPen(Qt::black);
  painter.setBackgroundMode(Qt::TransparentMode);
  painter.drawText(QPoint(390, 178 - painter.fontMetrics().descent()),
                   QString::fromStdString(VersionLine()));
}

}  // namespace nuv
