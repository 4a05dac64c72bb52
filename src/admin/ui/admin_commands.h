#pragma once
// The administration commands of the "Функции" menu: the disk-loop deletion
// dialog and the editors of the networks, the controlled regions and the
// directory map.

#include <functional>

class QWidget;

namespace nuv {

class CommandRegistry;
class Workstation;

inline constexpr int kDiskLoopCommand = 33109;

// Adds the four commands to `registry`; the dialogs open over `parent`.
// `networksSaved` runs after the network list was saved (the frame refills
// the lists that show it).
void RegisterAdminCommands(CommandRegistry& registry, Workstation& ws, QWidget* parent,
                           std::function<void()> networksSaved);

}  // namespace nuv
