#pragma once
// One data window of the signal-processing workspace: its formula, the data
// computed from it (or loaded), the value and index ranges shown, its flags
// and eight overlays. The view operations (zoom, stretch, shift, auto-scale,
// the scale and properties dialogs' values) change only the ranges shown.

#include <array>
#include <string>
#include <vector>

namespace nuv {

// The longest formula a window keeps (the formula edit passes up to 255).
inline constexpr size_t kDspFormulaLength = 1024;
inline constexpr int kDspOverlaySlots = 8;

struct DspOverlay {
  std::string formula;
  std::vector<double> data;  // empty: the slot is free
  double dx = 1.0;
};

struct DspWindow {
  double dx = 1.0;
  std::vector<double> data;
  // Value range shown, and the range of the last computation or load.
  double yMax = 0, yMin = 0;
  double storedMax = 0, storedMin = 0;
  // First and last visible sample index.
  int first = 0, last = 0;
  std::string formula;
  std::string error;  // of the last evaluation, empty after success
  bool shown = true;
  bool fixed = false;  // formula read-only, Enter does not recompute
  bool logScale = false;
  bool xLocked = false;
  std::array<DspOverlay, kDspOverlaySlots> overlays;

  int count() const { return static_cast<int>(data.size()); }
  // New data with its step: the value range and the stored range become the
  // data's extremes (finite samples only), the visible range all of it.
  void SetData(std::vector<double> samples, double step);
};

// Extremes of the finite samples; {0, 0} when there are none.
struct ValueRange {
  double min = 0, max = 0;
};
ValueRange FiniteRange(const std::vector<double>& samples);

// The highest index a visible range may reach, so zooming out cannot
// overflow.
inline constexpr int kDspMaxIndex = 1 << 30;

// The samples of an overlay that fall in the window's visible times:
// ⌊first·dx / o.dx⌋ to ⌈last·dx / o.dx⌉, held within 0..the overlay's count
// so that a window zoomed far out cannot overflow them; {0, 0} when the
// overlay's step is 0.
struct IndexSpan {
  int first = 0, last = 0;
};
IndexSpan OverlaySpan(const DspWindow& w, const DspOverlay& o);

// Zoom in (33085, factor 1/1.5) and out (33084, factor 1.5): value and index
// half-ranges multiplied by `factor` about their centres.
void ZoomWindow(DspWindow& w, double factor);
// 33092 / 33091: the value half-range multiplied by `factor` (a zero range
// becomes ±0.1 about its centre when stretching, factor below 1).
void ScaleValues(DspWindow& w, double factor);
// 33097 / 33098: the index half-range multiplied by `factor` (not when X is
// locked).
void ScaleIndexes(DspWindow& w, double factor);
// 33087 / 33088: the value range moved by a quarter of its half-range;
// `direction` +1 moves it up (the graph goes down), -1 down.
void ShiftValues(DspWindow& w, int direction);
// 33089 / 33090: the index range moved by max(width / 8, 1) samples;
// `direction` +1 towards later samples, -1 towards earlier ones (never
// before sample 0). Not when X is locked.
void ShiftIndexes(DspWindow& w, int direction);
// 33086: with at least two samples, the whole data set (unless X is locked)
// and its extremes.
void AutoScale(DspWindow& w);

// The values of the dialog "Параметры окна DSP".
struct DspScale {
  double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
  bool lockX = false;
};
DspScale CurrentScale(const DspWindow& w);
// Which field the dialog must refuse (beep and focus): none, X max (below X
// min or not a number) or Y max.
enum class ScaleFault { kNone, kXMax, kYMax, kXMin, kYMin };
ScaleFault CheckScale(const DspScale& scale);
// Applies checked values: visible indexes ⌊X/dx⌋ (clamped to 0..kDspMaxIndex),
// the value range and the lock. Nothing happens when dx is 0.
void ApplyScale(DspWindow& w, const DspScale& scale);

// A data set of one sample as the window shows it: "%.7f" from 100 up,
// "%.20f" below, trailing zeros (and a bare point) removed.
std::string ScalarText(double value);
// The status bar's cursor readout "Y=… X=%.3f", the digits of Y by its size.
std::string CursorText(double x, double y);

// "Шаг по времени" of "Свойства набора данных": accepted from 0 to 1e29.
bool ValidTimeStep(double dx);

}  // namespace nuv
