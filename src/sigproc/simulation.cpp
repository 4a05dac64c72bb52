#include "sigproc/simulation.h"

#include <fftw3.h>

#include <cmath>
#include <complex>
#include <memory>

#include "platform/strformat.h"
#include "sigproc/fftw_plan.h"
#include "sigproc/instrument.h"

namespace nuv {

namespace {

constexpr double kHalfPi = 1.5707963267948966;
// Bins below this frequency (Hz) are removed by the pole-zero pipeline: the
// inverse response grows without bound towards zero frequency.
constexpr double kLowestFrequency = 0.03;

void CheckRate(double samplesPerSecond) {
  if (!(samplesPerSecond > 0.0) || !std::isfinite(samplesPerSecond)) {
    throw SimulationError(
        StrFormat("Частота дискретизации %g не годится для пересчёта: нужна положительная",
                  samplesPerSecond));
  }
}

struct FftwDeleter {
  void operator()(void* p) const { fftw_free(p); }
};

template <typename T>
std::unique_ptr<T[], FftwDeleter> FftwArray(std::size_t count) {
  auto* p = static_cast<T*>(fftw_malloc(sizeof(T) * (count == 0 ? 1 : count)));
  if (p == nullptr) throw std::bad_alloc();
  return std::unique_ptr<T[], FftwDeleter>(p);
}

// Largest power of two dividing m (m > 0).
std::size_t PowerOfTwoFactor(std::size_t m) {
  return m & (~m + 1);
}

}  // namespace

std::size_t PoleZeroTransformLength(std::size_t n) {
  const double lower = 0.96 * static_cast<double>(n);
  std::size_t chosen = 0;
  std::size_t bestFactor = 1;  // odd lengths are never chosen
  for (std::size_t m = n; m > 0 && static_cast<double>(m) > lower; --m) {
    const std::size_t factor = PowerOfTwoFactor(m);
    if (factor > bestFactor) {
      bestFactor = factor;
      chosen = m;
    }
  }
  return chosen;
}

std::vector<float> SimulatePoleZero(std::span<const float> samples, double samplesPerSecond,
                                    const PoleZeroResponse& response, int code) {
  if (!IsPoleZeroTransform(code)) {
    throw SimulationError(StrFormat("Код %d не относится к пересчёту через полюса и нули", code));
  }
  CheckRate(samplesPerSecond);
  const std::size_t m = PoleZeroTransformLength(samples.size());
  if (m == 0) return {};
  const StandardInstrument* instrument = FindStandardInstrument(code);

  auto data = FftwArray<fftw_complex>(m);

  // Mean, then the least-squares line through (i*dt, x[i]).
  std::vector<double> x(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(m));
  double sum = 0.0;
  for (double v : x) sum += v;
  const double mean = sum / static_cast<double>(m);
  for (double& v : x) v -= mean;
  const double dt = 1.0 / samplesPerSecond;
  double st = 0.0, sy = 0.0, sty = 0.0, stt = 0.0;
  for (std::size_t i = 0; i < m; ++i) {
    const double t = static_cast<double>(i) * dt;
    st += t;
    sy += x[i];
    sty += t * x[i];
    stt += t * t;
  }
  const double count = static_cast<double>(m);
  const double d = count * stt - st * st;
  const double intercept = (sy * stt - sty * st) / d;
  const double slope = (sty * count - sy * st) / d;
  for (std::size_t i = 0; i < m; ++i) x[i] -= slope * (static_cast<double>(i) * dt) + intercept;

  // 5 % sine taper at each end.
  const std::size_t k = m * 5 / 100;
  for (std::size_t i = 0; i < k; ++i) {
    x[i] *= std::sin(kHalfPi * static_cast<double>(i) / static_cast<double>(k));
  }
  for (std::size_t i = m - k; i < m; ++i) {
    x[i] *= std::sin(kHalfPi * static_cast<double>(m - i) / static_cast<double>(k));
  }

  for (std::size_t i = 0; i < m; ++i) {
    data[i][0] = x[i];
    data[i][1] = 0.0;
  }
  const int length = static_cast<int>(m);
  const FftwPlan forward([&] {
    return fftw_plan_dft_1d(length, data.get(), data.get(), FFTW_FORWARD, FFTW_ESTIMATE);
  });
  const FftwPlan backward([&] {
    return fftw_plan_dft_1d(length, data.get(), data.get(), FFTW_BACKWARD, FFTW_ESTIMATE);
  });
  forward.Execute();

  for (std::size_t bin = 1; bin < m; ++bin) {
    const double f = bin <= m / 2 ? static_cast<double>(bin) * samplesPerSecond / count
                                  : -samplesPerSecond * static_cast<double>(m - bin) / count;
    const std::complex<double> r =
        std::abs(f) >= kLowestFrequency ? response.Inverse(f) : std::complex<double>(0.0, 0.0);
    std::complex<double> value(data[bin][0], data[bin][1]);
    value *= r;
    if (code == kTransformVelocity) {
      value *= std::complex<double>(0.0, kTwoPi * f);
    } else if (instrument != nullptr) {
      value *= StandardResponse(*instrument, f);
    }
    data[bin][0] = value.real();
    data[bin][1] = value.imag();
  }

  backward.Execute();
  std::vector<float> out(m);
  for (std::size_t i = 0; i < m; ++i) out[i] = static_cast<float>(data[i][0] / count);
  return out;
}

std::vector<float> SimulateFap(std::span<const float> samples, double samplesPerSecond,
                               const CAPResponse& response, int code) {
  if (!IsFapTransform(code)) {
    throw SimulationError(StrFormat("Код %d не относится к пересчёту по АЧХ", code));
  }
  CheckRate(samplesPerSecond);
  const std::size_t n = samples.size();
  if (n == 0) return {};
  const StandardInstrument* instrument =
      code == kTransformDisplacementFap ? nullptr : FindStandardInstrument(code);

  // The transform pair of this pipeline is X[k] = (1/n) sum x[j] exp(+2 pi i jk/n)
  // and y[v] = (1/n) sum_k Re(X[k] exp(-2 pi i kv/n)). With F the usual forward
  // transform (kernel -), X[k] = conj(F[k])/n; since the correction g(k) is real
  // and even in k, y is the ordinary inverse (kernel +, 1/n) of G with
  // G[0] = F[0]/n and G[k] = g(k) F[k]: a real-to-complex and a
  // complex-to-real transform do the whole job.
  auto real = FftwArray<double>(n);
  auto spectrum = FftwArray<fftw_complex>(n / 2 + 1);
  const int length = static_cast<int>(n);
  const FftwPlan forward(
      [&] { return fftw_plan_dft_r2c_1d(length, real.get(), spectrum.get(), FFTW_ESTIMATE); });
  const FftwPlan backward(
      [&] { return fftw_plan_dft_c2r_1d(length, spectrum.get(), real.get(), FFTW_ESTIMATE); });

  double sum = 0.0;
  for (float v : samples) sum += v;
  const double mean = sum / static_cast<double>(n);
  for (std::size_t j = 0; j < n; ++j) real[j] = static_cast<double>(samples[j]) - mean;
  forward.Execute();

  const double count = static_cast<double>(n);
  spectrum[0][0] /= count;
  spectrum[0][1] /= count;
  for (std::size_t k = 1; k <= n / 2; ++k) {
    const double f = samplesPerSecond * static_cast<double>(std::min(k, n - k)) / count;
    double gain = response.Amplitude(f);
    if (instrument != nullptr) gain *= std::abs(StandardResponse(*instrument, f));
    spectrum[k][0] *= gain;
    spectrum[k][1] *= gain;
  }
  backward.Execute();

  std::vector<float> out(n);
  for (std::size_t v = 0; v < n; ++v) out[v] = static_cast<float>(real[v] / count);
  return out;
}

}  // namespace nuv
