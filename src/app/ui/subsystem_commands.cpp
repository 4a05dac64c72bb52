#include "app/ui/subsystem_commands.h"

#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "admin/ui/admin_commands.h"
#include "app/ui/main_frame.h"
#include "bulletins/ui/bulletin_commands.h"
#include "catalogue/ui/catalogue_commands.h"
#include "catalogue/ui/event_list_windows.h"
#include "fk/ui/fk_commands.h"
#include "map/ui/map_commands.h"
#include "map/ui/map_window.h"
#include "phases/ui/phase_list_dialogs.h"
#include "phases/ui/phases_wnd.h"
#include "seismo/ui/external_locator_dialog.h"
#include "seismo/ui/phase_distance_dialogs.h"
#include "seismo/ui/seismo_commands.h"
#include "seismo/ui/seismo_site.h"
#include "seismo/ui/travel_time_dialogs.h"
#include "sigproc/ui/amplitude_measure_command.h"
#include "sigproc/ui/sigproc_commands.h"
#include "waveview/ui/mseed_import_command.h"
#include "waveview/ui/pick_controller.h"
#include "waveview/ui/waveform_window.h"
#include "waveview/waveform_commands.h"
#include "widgets/ui/command_ids.h"
#include "workspace/ui/dsp_wnd.h"
#include "workspace/ui/workspace_commands.h"

namespace nuv {

void RegisterSeismoCommands(CMainFrame& frame) {
  auto* window = qobject_cast<waveform*>(frame.document(DocumentKind::Waveforms));
  if (!window) return;
  // A new origin or azimuth shows on the map at once, even when it is not
  // the active window.
  AddSeismoCommands(frame.workstation(), *window, frame.commands(), &frame, [&frame] {
    if (QWidget* map = frame.document(DocumentKind::Map)) map->update();
  });
  // "Запустить программу OLK".
  window->commands().Add(33198,
                         [window] { RunExternalLocatorDialog(window->workstation(), window); });
}

void RegisterMapCommands(CMainFrame& frame) {
  auto* map = qobject_cast<map::CMapWnd*>(frame.document(DocumentKind::Map));
  if (!map) return;
  // The station filter is the entry chosen in the "MAP" bar's network list.
  map->SetStationGroupSource([&frame] { return frame.networkList()->currentIndex(); });
  QObject::connect(map, &map::CMapWnd::statusMessage, &frame,
                   [&frame](const QString& text) { frame.SetMessageText(text); });
  auto* waveforms = qobject_cast<waveform*>(frame.document(DocumentKind::Waveforms));
  map::AddMapLocationCommands(*map, waveforms, [&frame] { frame.UpdateCommandStates(); });
  // "Карта" brings the map up redrawn with the current stations and origin.
  frame.commands().Add(cmd::kShowMap, [&frame, map] {
    if (QMdiSubWindow* sub = frame.childWindow(DocumentKind::Map)) {
      frame.mdiArea()->setActiveSubWindow(sub);
      sub->showMaximized();
    }
    map->update();
  });
}

void RegisterBulletinAndCatalogueCommands(CMainFrame& frame) {
  auto* phases = qobject_cast<CPhasesWnd*>(frame.document(DocumentKind::PhaseList));
  if (!phases) return;
  auto* waveforms = qobject_cast<waveform*>(frame.document(DocumentKind::Waveforms));
  // A reading changes the event: the waveform marks and the map are redrawn.
  auto refresh = [waveforms, &frame] {
    if (waveforms) waveforms->OnCommand(kCmdRedraw);
    if (QWidget* map = frame.document(DocumentKind::Map)) map->update();
  };
  Workstation& ws = frame.workstation();
  RegisterBulletinCommands(phases->commands(), ws, &frame, MakeQtBulletinDialogs(ws),
                           {refresh, {}});
  CShowOrigins* origins = RegisterCatalogueCommands(frame.commands(), phases->commands(), ws,
                                                    &frame, {refresh, {}, {}});
  if (waveforms)
    waveforms->mainWindowLoaded = [origins](double start, double length) {
      origins->FollowWindow(start, length);
    };
}

void RegisterSubsystemCommands(CMainFrame& frame) {
  // One call per subsystem, in the folder order of the code map. The
  // waveform window registers its own view commands when it is built.
  RegisterAdminCommands(frame.commands(), frame.workstation(), &frame,
                        [&frame] { frame.RefreshNetworkList(); });
  auto* waveforms = qobject_cast<waveform*>(frame.document(DocumentKind::Waveforms));
  RegisterMseedImportCommand(frame.commands(), frame.workstation(), waveforms);
  if (waveforms) {
    // "Начать обработку нового землетрясения".
    // "Загрузить REB" of its dialog reads a bulletin through the phase list.
    auto* phases = qobject_cast<CPhasesWnd*>(frame.document(DocumentKind::PhaseList));
    waveforms->commands().Add(33110, [waveforms, phases, &frame] {
      std::function<void()> loadReb;
      if (phases) loadReb = [phases] { phases->commands().Run(cmd::kReadIms); };
      RunNewEventDialog(waveforms->workstation(), &frame, loadReb);
    });
    RegisterTravelTimeDialogs(*waveforms);
    RegisterSigprocCommands(*waveforms);
    RegisterFkCommands(*waveforms);
    // Picking on the panes and the amplitude measurement of the main pane.
    InstallPicking(*waveforms);
    SeismoSite site{&waveforms->workstation(), waveforms, waveforms,
                    [waveforms] { waveforms->RedrawAllPhaseMarks(); }};
    RegisterAmplitudeMeasureCommands(*waveforms, site);
    RegisterPhaseDistanceDialogs(*waveforms, site);
  }
  RegisterMapCommands(frame);
  RegisterSeismoCommands(frame);
  if (auto* dsp = qobject_cast<CDSP*>(frame.document(DocumentKind::Workspace))) {
    dsp->statusText = [&frame](const QString& text) { frame.SetMessageText(text); };
    RegisterWorkspaceCommands(*dsp, waveforms);
  }
  RegisterBulletinAndCatalogueCommands(frame);
}

}  // namespace nuv
