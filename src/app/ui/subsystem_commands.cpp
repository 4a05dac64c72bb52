#include "app/ui/subsystem_commands.h"

#include "admin/ui/admin_commands.h"
#include "app/ui/main_frame.h"
#include "phases/ui/phase_list_dialogs.h"
#include "seismo/ui/phase_distance_dialogs.h"
#include "seismo/ui/seismo_commands.h"
#include "seismo/ui/seismo_site.h"
#include "seismo/ui/travel_time_dialogs.h"
#include "sigproc/ui/amplitude_measure_command.h"
#include "sigproc/ui/sigproc_commands.h"
#include "waveview/ui/mseed_import_command.h"
#include "waveview/ui/pick_controller.h"
#include "waveview/ui/waveform_window.h"

namespace nuv {

void RegisterSeismoCommands(CMainFrame& frame) {
  auto* window = qobject_cast<waveform*>(frame.document(DocumentKind::Waveforms));
  if (!window) return;
  AddSeismoCommands(frame.workstation(), *window, frame.commands(), &frame);
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
    waveforms->commands().Add(
        33110, [waveforms, &frame] { RunNewEventDialog(waveforms->workstation(), &frame); });
    RegisterTravelTimeDialogs(*waveforms);
    RegisterSigprocCommands(*waveforms);
    // Picking on the panes and the amplitude measurement of the main pane.
    InstallPicking(*waveforms);
    SeismoSite site{&waveforms->workstation(), waveforms, waveforms,
                    [waveforms] { waveforms->RedrawAllPhaseMarks(); }};
    RegisterAmplitudeMeasureCommands(*waveforms, site);
    RegisterPhaseDistanceDialogs(*waveforms, site);
  }
  RegisterSeismoCommands(frame);
}

}  // namespace nuv
