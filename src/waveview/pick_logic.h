#pragma once
// Picking phases on a trace pane without the widget: the pick from a press
// and a release column, the onset and weight classes of its time
// uncertainty, the label boxes of the phase marks and where a dragged label
// lands, the commands on the phases inside a pane's interval and the
// window starts that line up the P phases of several panes.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "phases/nuv_phases.h"
#include "phases/phase_types.h"
#include "waveview/pane_geometry.h"

namespace nuv {

// Onset and weight that a pick's uncertainty suggests: below 0.2 s impulsive
// with weight 0, below 1 s emergent with weight 1, from 1 s on weak with
// weight 3 (0.2 s itself counts as emergent).
struct OnsetWeight {
  uint8_t onset = 1;
  uint8_t weight = 0;
};
OnsetWeight ClassifyDeltim(double deltim);

// A drag of 5 pixels or less is a click.
inline constexpr int kPickClickSlop = 5;

// What a press and a release in a pane make of a pick.
struct PickGesture {
  double time = 0;    // (t1 + t2) / 2
  double deltim = 0;  // |t1 - t2|
  int x = 0;          // (press x + release x) / 2
  int arrowHalfWidth = 0;
};
// Nothing when the release lies outside the trace area or the pane has no
// width or no window.
std::optional<PickGesture> PickFromGesture(const PaneGeometry& g, double windowStart,
                                           double windowLength, int pressX, int releaseX,
                                           int releaseY);

// The analyst's choices in the pick dialog.
struct PickChoice {
  int phaseType = -1;
  uint8_t onset = 1;
  uint8_t firstMotion = 4;
  uint8_t weight = 0;
  std::string chanType = "BP";
  std::string remark;
  std::string filter;
};
// The choices a pick starts from (first motion "?", onset and weight by deltim).
PickChoice DefaultPickChoice(double deltim, int phaseType);

// The phase record of a pick on (station, channel): defining when its type
// may be defining, active, the time with its broken-down fields.
SEISMIC_PHASE MakePickedPhase(const PhaseTypeTable& types, int station, int channel, double time,
                              double deltim, const PickChoice& choice);

// A phase label: its rectangle in pane pixels and the phase it names.
struct LabelBox {
  int x = 0, y = 0, width = 0, height = 0;
  int phaseType = -1;
  bool Contains(int px, int py) const {
    return px >= x && px < x + width && py >= y && py < y + height;
  }
};
// The label of a mark at column x: one pixel below the top of the trace
// area, the text width plus 10 wide and the text height plus 1 high.
LabelBox LabelBoxAt(const PaneGeometry& g, int x, int textWidth, int textHeight, int phaseType);
// The index of the label under the point; where labels overlap, the one
// drawn last (on top). -1 when none.
int HitLabel(const std::vector<LabelBox>& labels, int x, int y);
// The time a label dropped with its left edge at `left` gives its phase;
// nothing outside xL..xR.
std::optional<double> LabelDropTime(const PaneGeometry& g, double windowStart, double windowLength,
                                    int left);

// The phases of (station, channel) whose time lies in [min(a, b), max(a, b)]
// get `defining` (one change); their number.
int SetDefiningInRange(NUVPhases& phases, int station, int channel, double a, double b,
                       bool defining);
// Removes the phases of (station, channel) in the same range (one change).
int RemoveInRange(NUVPhases& phases, int station, int channel, double a, double b);

// Lining up the P phases of panes: the offset of the pane's own "P" from its
// window start, when that phase lies strictly inside the window.
std::optional<double> PhasePOffset(const NUVPhases& phases, const PhaseTypeTable& types,
                                   int station, int channel, double windowStart,
                                   double windowLength);
// The window start that puts the channel's "P" at `offset`; nothing when the
// channel has no "P".
std::optional<double> LinedUpStart(const NUVPhases& phases, const PhaseTypeTable& types,
                                   int station, int channel, double offset);

}  // namespace nuv
