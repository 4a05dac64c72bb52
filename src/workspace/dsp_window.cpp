#include "workspace/dsp_window.h"

#include <algorithm>
#include <cmath>

#include "platform/strformat.h"

namespace nuv {
namespace {

int ClampIndex(double value) {
  if (!(value > 0)) return 0;  // also NaN
  if (value >= kDspMaxIndex) return kDspMaxIndex;
  return static_cast<int>(value);
}

// Sets the visible range from a centre and half-width, keeping the first
// index at 0 or above and the last at least one past it.
void SetIndexRange(DspWindow& w, double centre, double half) {
  w.first = ClampIndex(std::floor(centre - half));
  w.last = std::max(ClampIndex(std::ceil(centre + half)), std::min(w.first + 1, kDspMaxIndex));
}

void SetValueRange(DspWindow& w, double centre, double half) {
  w.yMin = centre - half;
  w.yMax = centre + half;
}

}  // namespace

ValueRange FiniteRange(const std::vector<double>& samples) {
  ValueRange range;
  bool any = false;
  for (double v : samples) {
    if (!std::isfinite(v)) continue;
    if (!any) {
      range.min = range.max = v;
      any = true;
    } else {
      range.min = std::min(range.min, v);
      range.max = std::max(range.max, v);
    }
  }
  return range;
}

IndexSpan OverlaySpan(const DspWindow& w, const DspOverlay& o) {
  if (o.dx == 0) return {};
  const double count = static_cast<double>(std::min<size_t>(o.data.size(), kDspMaxIndex));
  const auto held = [count](double index) {
    if (!(index > 0)) return 0;  // also NaN
    return static_cast<int>(std::min(index, count));
  };
  return {held(std::trunc(w.first * w.dx / o.dx)), held(std::ceil(w.last * w.dx / o.dx))};
}

void DspWindow::SetData(std::vector<double> samples, double step) {
  data = std::move(samples);
  dx = step;
  const ValueRange range = FiniteRange(data);
  yMin = storedMin = range.min;
  yMax = storedMax = range.max;
  first = 0;
  last = std::max(count() - 1, 0);
}

void ZoomWindow(DspWindow& w, double factor) {
  SetValueRange(w, (w.yMax + w.yMin) / 2, (w.yMax - w.yMin) / 2 * factor);
  ScaleIndexes(w, factor);
}

void ScaleValues(DspWindow& w, double factor) {
  const double centre = (w.yMax + w.yMin) / 2;
  double half = (w.yMax - w.yMin) / 2;
  if (half == 0 && factor < 1) half = 0.1 / factor;
  SetValueRange(w, centre, half * factor);
}

void ScaleIndexes(DspWindow& w, double factor) {
  if (w.xLocked) return;
  SetIndexRange(w, (double(w.first) + w.last) / 2, (double(w.last) - w.first) / 2 * factor);
}

void ShiftValues(DspWindow& w, int direction) {
  const double step = (w.yMax - w.yMin) / 2 / 4 * direction;
  w.yMin += step;
  w.yMax += step;
}

void ShiftIndexes(DspWindow& w, int direction) {
  if (w.xLocked) return;
  const int width = w.last - w.first;
  const int step = std::max(width / 8, 1) * direction;
  int first = w.first + step;
  if (first < 0) first = 0;
  if (first > kDspMaxIndex - width) first = kDspMaxIndex - width;
  w.first = first;
  w.last = first + width;
}

void AutoScale(DspWindow& w) {
  if (w.count() < 2) return;
  if (!w.xLocked) {
    w.first = 0;
    w.last = w.count() - 1;
  }
  const ValueRange range = FiniteRange(w.data);
  w.yMin = range.min;
  w.yMax = range.max;
}

DspScale CurrentScale(const DspWindow& w) {
  return {w.first * w.dx, w.last * w.dx, w.yMin, w.yMax, w.xLocked};
}

ScaleFault CheckScale(const DspScale& s) {
  if (!std::isfinite(s.xMin)) return ScaleFault::kXMin;
  if (!std::isfinite(s.xMax) || s.xMax < s.xMin) return ScaleFault::kXMax;
  if (!std::isfinite(s.yMin)) return ScaleFault::kYMin;
  if (!std::isfinite(s.yMax) || s.yMax < s.yMin) return ScaleFault::kYMax;
  return ScaleFault::kNone;
}

void ApplyScale(DspWindow& w, const DspScale& s) {
  if (w.dx == 0 || CheckScale(s) != ScaleFault::kNone) return;
  w.first = ClampIndex(std::trunc(s.xMin / w.dx));
  w.last = ClampIndex(std::trunc(s.xMax / w.dx));
  if (w.last < w.first) std::swap(w.first, w.last);  // a negative step
  w.yMin = s.yMin;
  w.yMax = s.yMax;
  w.xLocked = s.lockX;
}

std::string ScalarText(double value) {
  std::string text = StrFormat(value >= 100 ? "%.7f" : "%.20f", value);
  if (text.find('.') != std::string::npos) {
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
  }
  return text;
}

std::string CursorText(double x, double y) {
  const double a = std::fabs(y);
  const char* format = a >= 100 ? "Y=%.1f X=%.3f"
                       : a > 10 ? "Y=%.3f X=%.3f"
                       : a >= 1 ? "Y=%.5f X=%.3f"
                                : "Y=%.7f X=%.3f";
  return StrFormat(format, y, x);
}

bool ValidTimeStep(double dx) {
  return std::isfinite(dx) && dx >= 0 && dx <= 1e29;
}

}  // namespace nuv
