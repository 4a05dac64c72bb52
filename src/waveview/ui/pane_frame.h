#pragma once
// The bottom of a trace pane drawn once as an image: background, the white
// trace area with its border, the time axis with its labels and the grid.
// Panes of the same size and window look alike, so the images are shared
// through a small cache and a redraw of many panes draws the frame once.

#include <QColor>
#include <QFont>
#include <QImage>
#include <vector>

#include "waveview/pane_geometry.h"

namespace nuv {

struct PaneFrameLook {
  PaneGeometry geometry;
  double windowStart = 0;
  double windowLength = 0;
  QFont font;
  QColor background, border;
  bool timeGrid = false;
  qreal pixelRatio = 1;
  bool operator==(const PaneFrameLook&) const = default;
};

QImage DrawPaneFrame(const PaneFrameLook& look);

class PaneFrameCache {
 public:
  // The frame of `look`, drawn when none of the last few frames matches.
  QImage Frame(const PaneFrameLook& look);

 private:
  static constexpr size_t kKept = 4;
  struct Entry {
    PaneFrameLook look;
    QImage image;
  };
  std::vector<Entry> entries_;  // the most recent last
};

}  // namespace nuv
