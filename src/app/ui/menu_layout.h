#pragma once
// The main menu bar (menu 128): every popup, command identifier and text in
// the order the analyst sees them, and which window owns each popup.

#include <string>
#include <vector>

namespace nuv {

// The four permanent document windows, in the order the frame creates them.
enum class DocumentKind { Map = 0, Waveforms = 1, PhaseList = 2, Workspace = 3 };

// Who carries out the commands of a popup: one of the document windows or the frame.
enum class MenuOwner { Waveforms, PhaseList, Workspace, Map, Frame };

struct MenuEntry {
  int id = 0;  // 0 for a nested popup
  std::string text;
  std::vector<MenuEntry> children;  // the commands of a nested popup

  bool IsPopup() const { return !children.empty(); }
};

struct MenuPopup {
  std::string title;
  MenuOwner owner;
  std::vector<MenuEntry> entries;
};

// The popups of the menu bar, left to right.
const std::vector<MenuPopup>& MainMenuLayout();

// Every command identifier of the menu bar in menu order (nested popups
// flattened); an identifier that appears in two popups appears twice.
std::vector<int> MenuCommandIds();

// The text of the first menu entry with this identifier ("" when none).
std::string MenuCommandText(int id);

}  // namespace nuv
