#pragma once
// What the waveform view reads from the current phase list: sort keys of
// the panes, the marks of a pane's channel and the span shown after an event
// has been loaded.

#include <optional>
#include <string>
#include <vector>

#include "phases/current_event.h"
#include "phases/nuv_phases.h"
#include "phases/phase_types.h"
#include "waveview/pane_list.h"

namespace nuv {

// Sorts by the phase-list keys: 33166 earliest phase time ascending (panes
// without a phase last), 33220 largest P amplitude and 33221 largest mb
// descending; 33211 epicentral distance of the channel ascending, nothing
// while no epicentre is set. False when `command` is none of these or the
// sort could not run.
bool SortPanesByPhases(PaneList& panes, int command, const NUVPhases& phases,
                       const PhaseTypeTable& types, const CurrentEvent& event,
                       const StationTable& stations);

// A phase mark of a pane: the pixel column, the label text and its style.
struct PhaseMark {
  int x = 0;
  std::string name;
  int phaseType = -1;
  bool isP = false;       // drawn red, others green
  bool defining = false;  // solid line, else dotted
};
// The marks of the phases on the pane's station and channel whose time lies
// strictly inside the window; each phase's markX is set to its column.
std::vector<PhaseMark> PhaseMarksOf(NUVPhases& phases, const PhaseTypeTable& types,
                                    const TracePane& pane, const PaneGeometry& g);

// The window that shows the whole phase list: start = t0 - 0.05 * span,
// length = max(1, t1 - start + 0.05 * span) with span = max(1, t1 - t0);
// nothing when the list is empty.
struct PhaseSpanWindow {
  double start = 0;
  double length = 0;
};
std::optional<PhaseSpanWindow> PhaseListSpan(const NUVPhases& phases);

}  // namespace nuv
