#pragma once
// F-K analysis from the waveform window: command 33217 "F-K анализ" takes
// the active panes with transformed signals and intervals inside their
// windows, and opens the results dialog on them; beams become beam panes of
// the window.

#include <optional>

#include "fk/ui/fk_results_dialog.h"

namespace nuv {

class waveform;

inline constexpr int kCmdFkAnalysis = 33217;

// The pane list of the command, with the main pane as reference. Panes
// without a transformed signal or without an interval inside their window
// are announced (OK leaves them out, Cancel ends); nullopt when there is no
// main pane, the analyst cancelled or the list is empty (announced).
std::optional<FkDialogInput> CollectFkInput(waveform& window);

// Puts the beam into the window's first beam pane of the main pane's
// channel, or a new one, and scrolls it into view.
void ShowFkBeam(waveform& window, int station, int channel, const FkBeam& beam);

void RegisterFkCommands(waveform& window);

}  // namespace nuv
