#include "sigproc/period_amplitude.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>

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
  double best = -1;
  long centre = 0;
  for (long st = 0; st < n; ++st) {
    const long last = std::min(st + half + 2, n - 1);
    const auto [mn, mx] = std::minmax_element(raw.begin() + st, raw.begin() + last + 1);
    const double v = *mx - *mn;
    if (v > best) {
      best = v;
      centre = (st + st + half + 2) / 2;
    }
  }
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
