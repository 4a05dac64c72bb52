#include "app/ui/subsystem_commands.h"

#include "app/ui/main_frame.h"
#include "seismo/ui/seismo_commands.h"
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
  RegisterSeismoCommands(frame);
}

}  // namespace nuv
