#pragma once
// Answering a modal dialog from a test: the dialog's exec() blocks the test,
// so a timer polls for it (also finding a dialog opened inside another one).

#include <QApplication>
#include <QTimer>
#include <functional>

namespace nuv::test {

// Runs `answer` on the next modal dialog of type T once it is shown.
template <typename T>
void WhenShown(std::function<void(T&)> answer) {
  auto* timer = new QTimer();
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, answer] {
    auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    answer(*dialog);
  });
  timer->start();
}

}  // namespace nuv::test
