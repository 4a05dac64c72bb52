#pragma once
// The beam of a direction: the panes shifted for a plane wave of the given
// back azimuth and slowness relative to the reference station and averaged
// over the reference pane's window; and the conversions a result needs when
// it is written into a phase.

#include <string>
#include <vector>

#include "fk/fk_search.h"

namespace nuv {

// Kilometres per degree of arc: slowness in s/km times this is s/degree.
inline constexpr double kFkKmPerDegree = 111.195;

struct FkBeamReference {
  float deast = 0, dnorth = 0;  // the reference station's offsets, km
  double start = 0;             // window start
  double windowLength = 0;      // seconds (its whole part is used)
  double rate = 0;              // the reference channel's sampling rate
};

struct FkBeam {
  std::vector<float> samples;
  double start = 0;
  double rate = 0;  // the first pane's rate
};

// Forms the beam: every pane moved by ((DE - DE0) sin a + (DN - DN0) cos a) p
// seconds and added into trunc(trunc(length) * rate + 0.5) slots over the
// reference window, then divided by the number of panes (panes that add
// nothing count). Returns "" or the message why no beam was formed.
std::string FormFkBeam(const std::vector<FkPane>& panes, const FkBeamReference& reference,
                       double azimuthDegrees, double slownessSecPerKm, FkBeam& beam);

// The ten colours of the power scale, lowest first, as 0xRRGGBB.
inline constexpr unsigned kFkColours[10] = {0x0000ff, 0x00ff80, 0x00ff00, 0x00ff00, 0x80ff00,
                                            0xffff00, 0xffc000, 0xff8000, 0xff4000, 0xff0000};

// Colour index trunc((value - lowest) * 9 / (highest - lowest)) limited to
// 0..9; 0 when the scale has no width.
int FkColourIndex(double value, double lowest, double highest);

}  // namespace nuv
