#pragma once
// The phase commands of a pane's pop-up menu: exclude the phases in the
// pane's interval from the location, include them, delete them, and line up
// the P phases of every pane on the clicked pane's P.

#include <vector>

namespace nuv {

class CZoomWindow;

inline constexpr int kCmdPickMode = 32712;
inline constexpr int kCmdExcludeInInterval = 33159;
inline constexpr int kCmdIncludeInInterval = 33158;
inline constexpr int kCmdDeleteInInterval = 33156;
inline constexpr int kCmdLineUpP = 33215;

struct PanePickMenuItem {
  int id;
  const char* text;
};
std::vector<PanePickMenuItem> PanePickMenuItems();

// Carries out one of the commands above on `pane`; false for other ids.
bool RunPanePickCommand(CZoomWindow& pane, int id);

// 33215: false (nothing changed) without a phase type "P" or without the
// pane's own P strictly inside its window.
bool LineUpPPhases(CZoomWindow& pane);

}  // namespace nuv
