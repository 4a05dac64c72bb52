#include "widgets/ui/russian_ui.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace nuv {

bool InstallRussianTranslations(QCoreApplication& app) {
  const QLocale russian(QLocale::Russian, QLocale::Russia);
  QLocale::setDefault(russian);
  // Owned by the application: translators stay installed until it ends.
  auto* translator = new QTranslator(&app);
  if (!translator->load(russian, "qtbase", "_",
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return app.installTranslator(translator);
}

}  // namespace nuv
