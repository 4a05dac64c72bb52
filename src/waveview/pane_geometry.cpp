#include "waveview/pane_geometry.h"

#include <cmath>

namespace nuv {

double PixelToTime(const PaneGeometry& g, double windowStart, double windowLength, int x) {
  const int span = g.xR() - g.xL();
  if (span <= 0) return windowStart;
  return windowStart + (x - g.xL()) * windowLength / span;
}

int TimeToPixel(const PaneGeometry& g, double windowStart, double windowLength, double t) {
  if (windowLength <= 0) return g.xL();
  const double x = g.xL() + (t - windowStart) * (g.xR() - g.xL()) / windowLength;
  if (x > 1e9) return 1000000000;
  if (x < -1e9) return -1000000000;
  return static_cast<int>(x);
}

double PixelToAmplitude(const PaneGeometry& g, double lo, double hi, int y) {
  const int span = g.yT() - g.yB();
  if (span <= 0) return lo;
  return lo + (hi - lo) * ((g.height - y) - g.yB()) / span;
}

int AmplitudeToPixel(const PaneGeometry& g, double lo, double hi, double v) {
  const int bottom = g.traceBottom();
  const int top = g.traceTop();
  if (hi == lo) return bottom;
  const double d = (v - lo) * (g.height - g.axisHeight - 17) / (hi - lo);
  if (!(d >= 0)) return bottom;  // below the lower limit (or not a number)
  if (d >= bottom - top) return top;
  const int y = bottom - static_cast<int>(d);
  return y < top ? top : y;
}

}  // namespace nuv
