#pragma once
// Pictures of windows for a person to review: written only when the
// environment names a folder (NUV_SCREENSHOT_DIR=/some/dir ctest -L ui).

#include <QCoreApplication>
#include <QString>
#include <QWidget>
#include <cstdlib>
#include <string>

namespace nuv::test {

inline void SaveScreenshot(QWidget& widget, const std::string& name) {
  const char* folder = std::getenv("NUV_SCREENSHOT_DIR");
  if (!folder) return;
  if (!widget.isVisible()) widget.show();
  QCoreApplication::processEvents();
  widget.grab().save(QString::fromStdString(std::string(folder) + "/" + name + ".png"));
}

}  // namespace nuv::test
