#include "sigproc/period_amplitude.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <deque>

#include "sigproc/fftw_plan.h"

namespace nuv {

namespace {

// Subtracts the least-squares line against the sample index (the time scale
// does not change the residuals).
void RemoveTrend(std::vector<double>& x) {
  const double n = static_cast<double>(x.size());
  if (x.size() < 2) return;
  double si = 0, sy = 0, sii = 0, siy = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    const double t = static_cast<double>(i);
    si += t;
    sy += x[i];
    sii += t * t;
    siy += t * x[i];
  }
  const double den = n * sii - si * si;
  const double slope = den != 0 ? (n * siy - si * sy) / den : 0;
  const double icpt = (sy - slope * si) / n;
  for (size_t i = 0; i < x.size(); ++i) x[i] -= icpt + slope * static_cast<double>(i);
}

struct WidestSwing {
  double value = -1;  // largest value minus smallest
  long first = -1;    // where its window starts; -1 when no window has one
};

// The largest swing in the windows x[st .. min(st + reach, n - 1)] for every
// st, the first window on ties. The smallest and largest value of each window
// come from two queues of candidates (the first smallest and the last largest,
// as std::minmax_element picks them), so the cost does not grow with the
// window: a long interval with a long period takes one pass.
WidestSwing LargestSwing(const std::vector<double>& x, long reach) {
  const long n = static_cast<long>(x.size());
  WidestSwing best;
  if (std::any_of(x.begin(), x.end(), [](double v) { return std::isnan(v); })) {
    // Unordered values: each window is scanned as it is.
    for (long st = 0; st < n; ++st) {
      const long last = std::min(st + reach, n - 1);
      const auto [mn, mx] = std::minmax_element(x.begin() + st, x.begin() + last + 1);
      if (*mx - *mn > best.value) best = {*mx - *mn, st};
    }
    return best;
  }
  std::deque<long> lo, hi;  // indices; values rising in lo, falling in hi
  long next = 0;            // the first index not yet queued
  for (long st = 0; st < n; ++st) {
    for (const long last = std::min(st + reach, n - 1); next <= last; ++next) {
      while (!lo.empty() && x[static_cast<size_t>(lo.back())] > x[static_cast<size_t>(next)])
        lo.pop_back();
      lo.push_back(next);
      while (!hi.empty() && x[static_cast<size_t>(hi.back())] <= x[static_cast<size_t>(next)])
        hi.pop_back();
      hi.push_back(next);
    }
    while (lo.front() < st) lo.pop_front();
    while (hi.front() < st) hi.pop_front();
    const double v = x[static_cast<size_t>(hi.front())] - x[static_cast<size_t>(lo.front())];
    if (v > best.value) best = {v, st};
  }
  return best;
}

}  // namespace

int DominantFrequencyIndex(const std::vector<double>& x) {
  const int n = static_cast<int>(x.size());
  if (n < 4) return 0;
  // A real-to-complex transform gives the same sums as the direct ones in
  // n log n, so a long interval does not stall the window.
  std::vector<double> in(x);
  fftw_complex* out = fftw_alloc_complex(static_cast<size_t>(n / 2 + 1));
  {
    const FftwPlan plan([&] {
      return fftw_plan_dft_r2c_1d(n, in.data(), out, FFTW_ESTIMATE | FFTW_PRESERVE_INPUT);
    });
    plan.Execute();
  }
  int best = 0;
  double bestMag = -1;
  for (int k = 1; k <= n / 2 - 1; ++k) {
    const double mag = std::hypot(out[k][0], out[k][1]) / n;
    // A relative margin keeps rounding of equal peaks from moving the choice.
    if (mag > bestMag * (1 + 1e-12) || best == 0) {
      best = k;
      bestMag = mag;
    }
  }
  fftw_free(out);
  return best;
}

PeriodAmplitude MeasurePeriodAmplitude(const PeriodAmplitudeInput& in) {
  PeriodAmplitude r;
  if (!in.hasInterval) {
    r.refusal = PeriodAmplitudeRefusal::kNoInterval;
    return r;
  }
  const double lo = std::min(in.intervalStart, in.intervalEnd);
  const double hi = std::max(in.intervalStart, in.intervalEnd);
  const double end = in.windowStart + in.windowLength;
  if (lo < in.windowStart || hi > end || lo >= end) {
    r.refusal = PeriodAmplitudeRefusal::kOutsideWindow;
    return r;
  }
  r.earlierEnd = lo;
  const std::vector<float>& s = in.samples ? *in.samples : std::vector<float>{};
  if (!(in.rate > 0)) {
    r.refusal = PeriodAmplitudeRefusal::kTooShort;
    return r;
  }
  const double dt = 1.0 / in.rate;
  const long size = static_cast<long>(s.size());
  const long i1 = std::clamp(static_cast<long>((lo - in.windowStart) / dt), 0L, size);
  const long i2 = std::clamp(static_cast<long>((hi - in.windowStart) / dt), i1, size);
  const long n = i2 - i1;
  if (n < 4) {
    r.refusal = PeriodAmplitudeRefusal::kTooShort;
    return r;
  }
  std::vector<double> raw(s.begin() + i1, s.begin() + i2);
  std::vector<double> detrended(raw);
  RemoveTrend(detrended);
  const int k = DominantFrequencyIndex(detrended);
  const double period = static_cast<double>(n) * dt / k;
  const long L = static_cast<long>(period / dt + 0.5);
  const long half = L / 2;
  const WidestSwing swing = LargestSwing(raw, half + 2);
  const double best = swing.value;
  const long centre = swing.first < 0 ? 0 : (swing.first + swing.first + half + 2) / 2;
  r.period = period;
  r.peakToPeak = best;
  r.time = in.windowStart + static_cast<double>(i1 + centre) * dt;
  r.first = static_cast<int>(i1);
  r.count = static_cast<int>(n);
  return r;
}

std::string PeriodAmplitudeMessage(PeriodAmplitudeRefusal refusal) {
  switch (refusal) {
    case PeriodAmplitudeRefusal::kNoInterval:
      return "Не выбран интервал";
    case PeriodAmplitudeRefusal::kOutsideWindow:
      return "Интервал вне пределов активного окна";
    case PeriodAmplitudeRefusal::kTooShort:
      return "Интервал слишком короток для оценки периода";
    default:
      return {};
  }
}

}  // namespace nuv
