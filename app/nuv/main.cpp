// nuv: the desktop workstation.

#include <QApplication>

#include "app/ui/nuv_app.h"
#include "platform/config.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("nuv");
  QApplication::setQuitOnLastWindowClosed(true);

  nuv::StartupOptions options;
  for (int i = 0; i < argc; ++i) options.args.emplace_back(argv[i]);
  options.executableDir = nuv::ExecutableDir();
  options.settingsDir = nuv::DefaultSettingsDir();

  nuv::CNuvApp app;
  if (!app.InitInstance(options)) return 0;
  return QApplication::exec();
}
