#include "admin/ui/admin_commands.h"

#include "admin/ui/dirs_map_dialog.h"
#include "admin/ui/disk_loop_dialog.h"
#include "admin/ui/networks_dialog.h"
#include "admin/ui/regions_dialog.h"
#include "widgets/ui/command_ids.h"
#include "widgets/ui/command_registry.h"

namespace nuv {

void RegisterAdminCommands(CommandRegistry& registry, Workstation& ws, QWidget* parent,
                           std::function<void()> networksSaved) {
  registry.Add(kDiskLoopCommand, [&ws, parent] { CDiskLoopDlg(ws, parent).exec(); });
  registry.Add(cmd::kEditNetworks, [&ws, parent, networksSaved] {
    CNetworksDlg dlg(ws, parent);
    dlg.onSaved = networksSaved;
    dlg.exec();
  });
  registry.Add(cmd::kEditControlledRegions, [&ws, parent] { CRegionsDlg(ws, parent).exec(); });
  registry.Add(cmd::kEditDirsMap, [&ws, parent] { CDirsMapDlg(ws, parent).exec(); });
}

}  // namespace nuv
