#include "app/ui/nuv_status_bar.h"

#include <QLabel>
#include <QToolButton>
#include <ctime>

#include "app/ui/nuv_toolbar.h"

namespace nuv {

CNUVStatusBar::CNUVStatusBar(QWidget* parent) : QStatusBar(parent) {
  setObjectName("NUVStatusBar");
  setMinimumHeight(kMinimumHeight);
  clock_ = new QLabel(this);
  clock_->setObjectName("clockPane");
  clock_->setAlignment(Qt::AlignCenter);
  clock_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  addPermanentWidget(clock_);
  for (size_t i = 0; i < buttons_.size(); ++i) {
    const int id = kButtonCommands[i];
    auto* button = new QToolButton(this);
    button->setObjectName(QString("statusButton%1").arg(id));
    button->setIcon(CommandIcon(id));
    button->setIconSize(QSize(18, 18));
    button->setAutoRaise(true);
    button->setToolTip(QString::fromStdString(ToolbarCommandText(id)));
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QToolButton::clicked, this, [this, id] { emit commandRequested(id); });
    buttons_[i] = button;
  }
  timer_.setInterval(1000);
  connect(&timer_, &QTimer::timeout, this, &CNUVStatusBar::RefreshClock);
  timer_.start();
  RefreshClock();
}

void CNUVStatusBar::RefreshClock() {
  char text[64] = {};
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::strftime(text, sizeof text, "%X", &local);
  const QString shown = QString::fromLocal8Bit(text);
  if (shown == clock_->text()) return;
  clock_->setText(shown);
  // The pane's width follows its text.
  clock_->setMinimumWidth(clock_->fontMetrics().horizontalAdvance(shown) + 12);
  PlaceButtons();
}

void CNUVStatusBar::PlaceButtons() {
  const int paneStart = clock_->geometry().x();
  const int start = paneStart - kButtonsStart;
  const bool room = start >= kMinimumStart;
  const int height = std::max(kMinimumHeight - 2, this->height() - 4);
  for (size_t i = 0; i < buttons_.size(); ++i) {
    QToolButton* button = buttons_[i];
    button->setVisible(room);
    if (room) {
      button->setGeometry(start + static_cast<int>(i) * kButtonWidth, (this->height() - height) / 2,
                          kButtonWidth, height);
      button->raise();
    }
  }
}

void CNUVStatusBar::resizeEvent(QResizeEvent* event) {
  QStatusBar::resizeEvent(event);
  // The permanent widgets are laid out by the bar's layout; place after it.
  QMetaObject::invokeMethod(this, &CNUVStatusBar::PlaceButtons, Qt::QueuedConnection);
  PlaceButtons();
}

void CNUVStatusBar::showEvent(QShowEvent* event) {
  QStatusBar::showEvent(event);
  QMetaObject::invokeMethod(this, &CNUVStatusBar::PlaceButtons, Qt::QueuedConnection);
}

}  // namespace nuv
