#include "app/ui/subsystem_commands.h"

#include "admin/ui/admin_commands.h"
#include "app/ui/main_frame.h"
#include "bulletins/ui/bulletin_commands.h"
#include "catalogue/ui/catalogue_commands.h"
#include "catalogue/ui/event_list_windows.h"
#include "phases/ui/phase_list_dialogs.h"
#include "phases/ui/phases_wnd.h"
#include "seismo/ui/seismo_commands.h"
#include "seismo/ui/travel_time_dialogs.h"
#include "sigproc/ui/sigproc_commands.h"
#include "waveview/ui/mseed_import_command.h"
#include "waveview/ui/waveform_window.h"

namespace nuv {

void RegisterSeismoCommands(CMainFrame& frame) {
  auto* window = qobject_cast<waveform*>(frame.document(DocumentKind::Waveforms));
  if (!window) return;
  AddSeismoCommands(frame.workstation(), *window, frame.commands(), &frame);
}

void RegisterBulletinAndCatalogueCommands(CMainFrame& frame) {
  auto* phases = qobject_cast<CPhasesWnd*>(frame.document(DocumentKind::PhaseList));
  if (!phases) return;
  auto* waveforms = qobject_cast<waveform*>(frame.document(DocumentKind::Waveforms));
  // A reading changes the event: the waveform marks are redrawn.
  auto refresh = [waveforms] {
    if (waveforms) waveforms->OnCommand(33216);
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
      if (phases) loadReb = [phases] { phases->commands().Run(33194); };
      RunNewEventDialog(waveforms->workstation(), &frame, loadReb);
    });
    RegisterTravelTimeDialogs(*waveforms);
    RegisterSigprocCommands(*waveforms);
  }
  RegisterSeismoCommands(frame);
  RegisterBulletinAndCatalogueCommands(frame);
}

}  // namespace nuv
