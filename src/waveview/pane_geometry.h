#pragma once
// Pixel geometry of a trace pane and the transforms between pixels, times
// and amplitudes that every piece of pane code uses.
//
// For a client area of W x H pixels and an axis strip of A pixels: the
// trace area runs from xL = 1 to xR = W - 2 and from y 16 (top, below the
// header) to H - A - 1 (bottom); measured upwards from the bottom edge it
// spans yB = A + 1 to yT = H - 16.

#include <algorithm>

namespace nuv {

inline constexpr int kHeaderHeight = 16;

struct PaneGeometry {
  int width = 0;
  int height = 0;
  int axisHeight = 0;  // A: height of "WWW" in the UI font + 7

  bool operator==(const PaneGeometry&) const = default;

  int xL() const { return 1; }
  int xR() const { return width - 2; }
  int traceTop() const { return kHeaderHeight; }
  int traceBottom() const { return height - axisHeight - 1; }
  int yB() const { return axisHeight + 1; }
  int yT() const { return height - kHeaderHeight; }

  bool InTraceArea(int x, int y) const {
    return x >= xL() && x <= xR() && y >= traceTop() && y <= traceBottom();
  }
  // The resize band: 5..21 pixels below the trace area.
  bool InResizeBand(int y) const { return y >= traceBottom() + 5 && y <= traceBottom() + 21; }
  // The header band whose click toggles activation.
  bool InHeaderToggleBand(int x, int y) const {
    return x >= xL() + 15 && x <= xR() - 76 && y >= 2 && y <= 14;
  }
  // Left edge of a time label `labelWidth` wide for the tick at `x`: centred
  // on the tick, shifted inward where it would leave the pane.
  int TimeLabelLeft(int x, int labelWidth) const {
    return std::max(0, std::min(x - labelWidth / 2, width - labelWidth));
  }
};

// Time at a pixel column: windowStart + (x - xL) * windowLength / (xR - xL).
double PixelToTime(const PaneGeometry& g, double windowStart, double windowLength, int x);
// Pixel column of a time, truncated toward zero.
int TimeToPixel(const PaneGeometry& g, double windowStart, double windowLength, double t);
// Amplitude at a screen row for the display limits lo..hi.
double PixelToAmplitude(const PaneGeometry& g, double lo, double hi, int y);
// Screen row of an amplitude, clipped to the trace area.
int AmplitudeToPixel(const PaneGeometry& g, double lo, double hi, double v);

}  // namespace nuv
