#include "app/ui/subsystem_commands.h"

#include "app/ui/main_frame.h"
#include "waveview/ui/mseed_import_command.h"
#include "waveview/ui/waveform_window.h"

namespace nuv {

void RegisterSubsystemCommands(CMainFrame& frame) {
  // One call per subsystem, in the folder order of the code map. The
  // waveform window registers its own view commands when it is built.
  auto* waveforms = dynamic_cast<waveform*>(frame.document(DocumentKind::Waveforms));
  RegisterMseedImportCommand(frame.commands(), frame.workstation(), waveforms);
}

}  // namespace nuv
