#include "waveview/waveform_time.h"

#include <cmath>

namespace nuv {

void CWaveformTime::Set(double t) {
  double whole = std::floor(t);
  // A millionth of a millisecond absorbs the representation error of epoch
  // times (about 2e-7 s near 1.3e9) without moving a genuine fraction.
  double ms = std::trunc((t - whole) * 1000.0 + 1e-3);
  if (ms >= 1000.0) {
    whole += 1.0;
    ms -= 1000.0;
  }
  seconds = static_cast<int32_t>(whole);
  milliseconds = static_cast<int32_t>(ms);
}

}  // namespace nuv
