// The frame's default services: the core subsystems behind the frame's
// commands, and the real dialogs.

#include <QFontDialog>

#include "app/startup.h"
#include "app/ui/document_window.h"
#include "app/ui/main_frame.h"
#include "app/ui/subsystem_commands.h"
#include "db/databases.h"
#include "map/ui/map_window.h"
#include "phases/phase_types.h"
#include "phases/ui/phases_wnd.h"
#include "waveview/ui/waveform_window.h"
#include "workspace/ui/dsp_wnd.h"
#include "workstation/workstation.h"

namespace nuv {
namespace {

const char* const kDocumentTitles[] = {"Карта", "Волновые формы", "Список фаз",
                                       "Процессор обработки сигналов"};

}  // namespace

FrameServices DefaultFrameServices() {
  FrameServices services;
  services.openDatabases = [](Workstation& ws) { ConnectWorkstation(ws); };
  services.reconnect = [](Workstation& ws) { return ReconnectDatabases(ws); };
  services.closeDatabases = [](Workstation& ws) { CloseDatabases(ws); };
  services.mainConnectionString = [](Workstation& ws) {
    return MainConnectionString(ws.config(), ws.ini());
  };
  services.cssConnectionString = [](Workstation& ws) {
    return CssConnectionString(ws.config(), ws.ini());
  };
  services.cssConnected = [](Workstation& ws) { return ws.databases().cssOpen(); };
  services.networkNames = [](Workstation& ws) {
    std::vector<std::string> names;
    for (const SeismoNetwork& network : ws.networks()) names.push_back(network.name);
    return names;
  };
  services.phaseCount = [](Workstation& ws) { return ws.phases().Count(); };
  // The travel-time set's directory, or "phases" beside the program.
  services.reloadTravelTimes = [](Workstation& ws) { LoadTravelTimeTables(ws); };
  services.chooseFont = [](const QFont& initial, QWidget* parent) -> std::optional<QFont> {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, parent, "Фонт");
    if (!ok) return std::nullopt;
    return font;
  };
  services.createDocument = [](DocumentKind kind, Workstation& ws, QWidget* parent) -> QWidget* {
    if (kind == DocumentKind::Waveforms) return new waveform(ws, parent);
    if (kind == DocumentKind::PhaseList) return new CPhasesWnd(ws, parent);
    if (kind == DocumentKind::Map) return new map::CMapWnd(ws, parent);
    if (kind == DocumentKind::Workspace) return new CDSP(ws, parent);
    return new CDocumentWindow(QString::fromUtf8(kDocumentTitles[static_cast<int>(kind)]), parent);
  };
  services.registerCommands = RegisterSubsystemCommands;
  return services;
}

}  // namespace nuv
