#pragma once
// A window start as whole seconds plus milliseconds: the start of a trace
// window is always a whole millisecond.

#include <cstdint>

namespace nuv {

struct CWaveformTime {
  int32_t seconds = 1;
  int32_t milliseconds = 0;

  // Keeps whole seconds and the truncated milliseconds of t. A time that
  // lies a rounding error below a whole millisecond (x.123 held as
  // x.12299999) keeps that millisecond, so reading and storing a start again
  // never drifts it downwards.
  void Set(double t);
  // True when t is finite and its whole seconds fit the 32-bit field.
  static bool CanHold(double t) { return t >= -2147483647.0 && t < 2147483647.0; }
  double Get() const { return seconds + milliseconds / 1000.0; }
};

}  // namespace nuv
