#pragma once
// The commands of the event lists and the report: the processed-events
// window (33191) and the report of a period (33111) on the frame; the
// origin choosers of the secondary database with their loads (33200,
// 33224) and the detection imports (33150, 33226) on the phase-list window.

#include <functional>

class QWidget;

namespace nuv {

class CommandRegistry;
class CShowOrigins;
class Workstation;

namespace cmd {
inline constexpr int kEventReport = 33111;
inline constexpr int kLoadFromSecondary = 33200;
inline constexpr int kLoadAlertLocation = 33224;
inline constexpr int kAddAlertArrivals = 33150;
inline constexpr int kAddEventListArrivals = 33226;
}  // namespace cmd

struct CatalogueHooks {
  // After the event or the list changed (waveform marks, map).
  std::function<void()> refresh;
  // Epoch seconds; the period fields take the local clock's fields as UTC.
  std::function<double()> now;
  std::function<double()> localNow;
};

// Registers the frame's and the phase-list window's commands; the processed-
// events window is created (hidden, or shown when it was shown last time)
// as a child of `parent` and returned.
CShowOrigins* RegisterCatalogueCommands(CommandRegistry& frame, CommandRegistry& phaseList,
                                        Workstation& ws, QWidget* parent, CatalogueHooks hooks);

}  // namespace nuv
