// The frame's default services: the core subsystems behind the frame's
// commands, and the real dialogs.

#include <QFontDialog>

#include "app/ui/document_window.h"
#include "app/ui/main_frame.h"
#include "app/workstation.h"
#include "platform/strformat.h"

namespace nuv {
namespace {

const char* const kDocumentTitles[] = {"Карта", "Волновые формы", "Список фаз",
                                       "Процессор обработки сигналов"};

std::string BuildConnectionString(const ConnectionOverrides& overrides, const ProfileFile& ini,
                                  const char* sourceKey, const char* userKey,
                                  const char* passwordKey, const char* defaultSource) {
  const std::string source =
      overrides.dataSource.value_or(ini.GetString("DATABASE", sourceKey, defaultSource, 33));
  const std::string user =
      overrides.user.value_or(ini.GetString("DATABASE", userKey, DefaultDbUser(), 65));
  const std::string password =
      overrides.password.value_or(ini.GetString("DATABASE", passwordKey, DefaultDbPassword(), 65));
  if (source.empty() || user.empty()) return {};
  return StrFormat("DSN=%s;UID=%s;PWD=%s;", source.c_str(), user.c_str(), password.c_str());
}

}  // namespace

FrameServices DefaultFrameServices() {
  FrameServices services;
  services.mainConnectionString = [](Workstation& ws) {
    return BuildConnectionString(ws.config().mainOverrides, ws.ini(), "ODBC", "USER", "PASSWORD",
                                 "NUV");
  };
  services.cssConnectionString = [](Workstation& ws) {
    return BuildConnectionString(ws.config().cssOverrides, ws.ini(), "ODBC_CSS", "USER_CSS",
                                 "PASSWORD_CSS", "");
  };
  services.cssConnected = [](Workstation&) { return false; };
  services.phaseCount = [](Workstation&) { return 0; };
  services.chooseFont = [](const QFont& initial, QWidget* parent) -> std::optional<QFont> {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, parent, "Фонт");
    if (!ok) return std::nullopt;
    return font;
  };
  services.createDocument = [](DocumentKind kind, Workstation&, QWidget* parent) -> QWidget* {
    return new CDocumentWindow(QString::fromUtf8(kDocumentTitles[static_cast<int>(kind)]), parent);
  };
  return services;
}

}  // namespace nuv
