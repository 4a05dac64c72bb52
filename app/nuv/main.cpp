// nuv: the desktop workstation.

#include <QApplication>
#include <clocale>

#include "app/ui/nuv_app.h"
#include "platform/config.h"
#include "widgets/ui/russian_ui.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("nuv");
  QApplication::setQuitOnLastWindowClosed(true);
  // QApplication takes the numeric convention from the environment; numbers
  // are read and written with the decimal point from the first file on.
  std::setlocale(LC_NUMERIC, "C");
  nuv::InstallRussianTranslations(application);

  nuv::StartupOptions options;
  for (int i = 0; i < argc; ++i) options.args.emplace_back(argv[i]);
  options.executableDir = nuv::ExecutableDir();
  options.settingsDir = nuv::DefaultSettingsDir();

  nuv::CNuvApp app;
  if (!app.InitInstance(options)) return 0;
  return QApplication::exec();
}
