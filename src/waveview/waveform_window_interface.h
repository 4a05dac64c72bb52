#pragma once
// What the picking, measuring and analysis code needs of a trace pane
// without knowing its widget: its channel, a redraw of its phase marks, the
// removal of its pick marker and the name of its current transformation.

#include <string>

namespace nuv {

class WaveformWindowInterface {
 public:
  virtual ~WaveformWindowInterface() = default;
  // Station index in the station table and channel index 0..23.
  virtual void GetChannel(int& station, int& channel) const = 0;
  // Re-records the phase marks from the current phase list and repaints.
  virtual void RedrawPhaseMarks() = 0;
  // Drops the pick marker and repaints.
  virtual void ClearPickLayer() = 0;
  // "unfilter", the filter text or the simulation name.
  virtual std::string TransformName() const = 0;
};

}  // namespace nuv
