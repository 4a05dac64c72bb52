#include "frame_fixture.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "app/ui/document_window.h"
#include "widgets/ui/russian_ui.h"

namespace nuv::test {

QApplication& FrameTestApp() {
  static int argc = 1;
  static char name[] = "test_ui";
  static char* argv[] = {name, nullptr};
  // Kept to the end of the process: widgets that outlive a test are freed
  // with it, never after it.
  static QApplication* app = new QApplication(argc, argv);
  // The dialogs are checked in the language the analyst sees.
  static const bool russian = InstallRussianTranslations(*app);
  (void)russian;
  return *app;
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

FrameServices OfflineServices() {
  FrameServices services = DefaultFrameServices();
  services.openDatabases = nullptr;
  services.closeDatabases = nullptr;
  services.reconnect = nullptr;
  services.networkNames = [](Workstation&) { return std::vector<std::string>{"KNET", "ALL"}; };
  services.chooseFont = nullptr;
  return services;
}

void FrameTest::SetUp() {
  FrameTestApp();
  dir.WriteFile("settings/NUV.INI", IniText());
  StartupOptions options;
  options.settingsDir = dir / "settings";
  options.executableDir = dir.path().string() + "/";
  ws = CreateWorkstation(options, prompts);
}

CMainFrame& FrameTest::frame() {
  if (!frame_) {
    frame_ = std::make_unique<CMainFrame>(*ws, services);
    frame_->resize(1000, 700);
    frame_->show();
  }
  return *frame_;
}

}  // namespace nuv::test
