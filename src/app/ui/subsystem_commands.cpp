#include "app/ui/subsystem_commands.h"

#include "admin/ui/admin_commands.h"
#include "app/ui/main_frame.h"

namespace nuv {

void RegisterSubsystemCommands(CMainFrame& frame) {
  // One call per subsystem, in the folder order of the code map. The
  // waveform window registers its own view commands when it is built.
  RegisterAdminCommands(frame.commands(), frame.workstation(), &frame,
                        [&frame] { frame.RefreshNetworkList(); });
}

}  // namespace nuv
