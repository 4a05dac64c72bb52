// The function library of the formula language: generators, sample-wise
// mathematics, statistics, calculus, windows, spectra, convolution,
// interpolation, smoothing, Butterworth filtering, value distributions and
// three-component polarisation. Each handler reads its own bracketed argument
// list with the call protocol of the parser and fails with its own texts.

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>

#include "platform/strformat.h"
#include "seismo/polarization.h"
#include "sigproc/butterworth.h"
#include "sigproc/fft_pow2.h"
#include "sigproc/fftw_plan.h"
#include "sigproc/formula_parser.h"

namespace nuv {
namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kPi = 3.141592653589793;
constexpr const char* kNoOpen = "Нет скобки '('";
constexpr const char* kNoClose = "Нет парной скобки ')'";
// Spectral functions refuse signals padded beyond this length.
constexpr size_t kMaxFftLength = 65536;

// ---------------------------------------------------------------- helpers

// A count, length or order from an argument: truncated toward zero (NaN
// gives 0; values far beyond any signal are held at +-2^62).
long long ToInteger(double value) {
  if (std::isnan(value)) return 0;
  const double limit = 4611686018427387904.0;  // 2^62
  return static_cast<long long>(std::trunc(std::clamp(value, -limit, limit)));
}

// The sample count a generator asks for; a negative count gives an empty signal.
size_t GeneratedCount(FormulaParser& p, double value, const char* function) {
  const long long n = ToInteger(value);
  if (n <= 0) return 0;
  p.CheckCount(static_cast<double>(n), function);
  return static_cast<size_t>(n);
}

Signal Fresh() {
  return Signal();
}

// Smallest power of two >= n, starting from 2.
size_t PaddedLength(size_t n) {
  size_t p = 2;
  while (p < n) p *= 2;
  return p;
}

Signal OneArgument(FormulaParser& p, const char* open, const char* close) {
  p.Expect('(', open);
  Signal w = p.Argument();
  p.Expect(')', close);
  return w;
}

template <class F>
Signal Map(Signal w, F f) {
  for (double& x : w.samples) x = f(x);
  return w;
}

// Optional arguments of gline, gsin and gcos: up to three more tokens are
// examined; "," is followed by an argument (the first two are kept, a third
// is read and ignored), ")" ends the list, anything else is skipped.
void OptionalArguments(FormulaParser& p, double (&values)[2], const char* message) {
  int got = 0;
  bool closed = false;
  for (int token = 0; token < 3 && !closed; ++token) {
    const char separator = p.NextSeparator();
    if (separator == ',') {
      const Signal value = p.Argument();
      if (got < 2) values[got] = value.First();
      ++got;
    } else if (separator == ')') {
      closed = true;
    }
  }
  if (!closed) p.Fail(message);
}

// The power-of-two transform of w zero-padded to P (single precision).
std::vector<std::complex<float>> PaddedFft(const Signal& w, size_t padded) {
  std::vector<std::complex<float>> data(padded);
  for (size_t i = 0; i < w.size(); ++i)
    data[i] = std::complex<float>(static_cast<float>(w.samples[i]), 0.0f);
  FftPow2(data);
  return data;
}

double Modulus(std::complex<float> z) {
  const double re = z.real(), im = z.imag();
  return std::sqrt(re * re + im * im);
}

// spectrum of samples [first, first + n) of w: P/2 moduli divided by
// floor(n/2) (a one-sample signal is divided by 1).
std::vector<double> SpectrumOf(const double* x, size_t n, size_t padded) {
  std::vector<std::complex<float>> data(padded);
  for (size_t i = 0; i < n; ++i) data[i] = std::complex<float>(static_cast<float>(x[i]), 0.0f);
  FftPow2(data);
  const double scale = static_cast<double>(std::max<size_t>(n / 2, 1));
  std::vector<double> y(padded / 2);
  for (size_t k = 0; k < y.size(); ++k) y[k] = Modulus(data[k]) / scale;
  return y;
}

// |sum_j x[j] exp(-2 pi i j k / m)| for k < count, with x zero-padded to m
// (an exact transform of any length in double precision: it equals the
// direct sum to rounding).
std::vector<double> DftModuli(const std::vector<double>& x, size_t m, size_t count) {
  std::vector<double> in(m, 0.0);
  std::copy(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(std::min(x.size(), m)), in.begin());
  std::vector<std::complex<double>> out(m / 2 + 1);
  FftwPlan([&] {
    return fftw_plan_dft_r2c_1d(static_cast<int>(m), in.data(),
                                reinterpret_cast<fftw_complex*>(out.data()), FFTW_ESTIMATE);
  }).Execute();
  std::vector<double> y(count);
  for (size_t k = 0; k < count; ++k) y[k] = std::abs(out[k]);
  return y;
}

void SpendFft(FormulaParser& p, size_t n) {
  p.Spend(static_cast<double>(n) * (std::log2(static_cast<double>(n) + 1.0) + 1.0));
}

// ---------------------------------------------------------------- generators

Signal Gline(FormulaParser& p) {
  p.Expect('(', "Error in formula: expected '('");
  const Signal points = p.Argument();
  p.Expect(',', "Error in formula: expected ','");
  const Signal spacing = p.Argument();
  double ab[2] = {1.0, 0.0};
  OptionalArguments(p, ab, "Error in GLINE arguments number");
  const size_t n = GeneratedCount(p, points.First(), "GLINE");
  const double step = spacing.First();
  std::vector<double> y(n);
  for (size_t i = 0; i < n; ++i) y[i] = ab[0] * (static_cast<double>(i) * step) + ab[1];
  return Signal(std::move(y), step);
}

template <double (*kWave)(double)>
Signal Harmonic(FormulaParser& p) {
  p.Expect('(', kFormulaError);
  const Signal points = p.Argument();
  p.Expect(',', kFormulaError);
  const Signal spacing = p.Argument();
  double vfi[2] = {1.0, 0.0};
  // gcos reports with the same text as gsin.
  OptionalArguments(p, vfi, "Нет парной скобки или к-во много аргументов > 4 в функции GSIN");
  const size_t n = GeneratedCount(p, points.First(), "GSIN");
  const double step = spacing.First();
  std::vector<double> y(n);
  for (size_t i = 0; i < n; ++i)
    y[i] = kWave(kTwoPi * vfi[0] * step * static_cast<double>(i) + vfi[1]);
  return Signal(std::move(y), step);
}
double Sine(double x) {
  return std::sin(x);
}
double Cosine(double x) {
  return std::cos(x);
}

// The C library generator of the original platform (0..32767), never
// seeded: every run of the program repeats the same sequence.
uint32_t randomState = 1;
int NextRandom() {
  randomState = randomState * 214013u + 2531011u;
  return static_cast<int>((randomState >> 16) & 0x7fff);
}

Signal Rand(FormulaParser& p) {
  p.Expect('(', kFormulaError);
  const Signal points = p.Argument();
  p.Expect(',', kFormulaError);
  const Signal spacing = p.Argument();
  p.Expect(')', "Нет парной скобки в Rand");
  const size_t n = GeneratedCount(p, points.First(), "RAND");
  std::vector<double> y(n);
  for (double& v : y) v = NextRandom() / 32767.0;
  return Signal(std::move(y), spacing.First());
}

// ---------------------------------------------------------------- sample-wise

template <double (*kF)(double)>
Signal SampleWise(FormulaParser& p) {
  return Map(OneArgument(p, kNoOpen, kNoClose), kF);
}
double Abs(double x) {
  return std::fabs(x);
}
double Sqrt(double x) {
  return std::sqrt(x);
}
double Exp(double x) {
  return std::exp(x);
}
double Log(double x) {
  return x < 0.0 ? 0.0 : std::log(x);
}
double Log10(double x) {
  return x < 0.0 ? 0.0 : std::log10(x);
}
double Tan(double x) {
  return std::tan(x);
}
double Atan(double x) {
  return std::atan(x);
}

template <double (*kF)(double)>
Signal Rounding(FormulaParser& p) {
  Signal w = Map(OneArgument(p, kFormulaError, kFormulaError), kF);
  w.dx = 1.0;
  return w;
}
double Ceil(double x) {
  return std::ceil(x);
}
double Floor(double x) {
  return std::floor(x);
}

Signal Revers(FormulaParser& p) {
  Signal w = OneArgument(p, kFormulaError, kFormulaError);
  std::reverse(w.samples.begin(), w.samples.end());
  return w;
}

// ---------------------------------------------------------------- statistics
// An empty signal has no extremes or mean: they give 0.0.

template <bool kMax>
Signal Extreme(FormulaParser& p) {
  const Signal w = OneArgument(p, kFormulaError, kFormulaError);
  if (w.samples.empty()) return Signal::Scalar(0.0);
  double best = w.samples[0];
  for (double x : w.samples)
    if (kMax ? x > best : x < best) best = x;
  return Signal::Scalar(best);
}

Signal Mean(FormulaParser& p) {
  const Signal w = OneArgument(p, kFormulaError, kFormulaError);
  if (w.samples.empty()) return Signal::Scalar(0.0);
  double sum = 0.0;
  for (double x : w.samples) sum += x;
  return Signal::Scalar(sum / static_cast<double>(w.size()));
}

Signal Sizeof(FormulaParser& p) {
  return Signal::Scalar(static_cast<double>(OneArgument(p, kFormulaError, kFormulaError).size()));
}

Signal Getdx(FormulaParser& p) {
  return Signal::Scalar(OneArgument(p, kFormulaError, kFormulaError).dx);
}

// ---------------------------------------------------------------- calculus

Signal Integ(FormulaParser& p) {
  const Signal w = OneArgument(p, kNoOpen, kNoClose);
  const std::vector<double>& x = w.samples;
  std::vector<double> y(x.size());
  for (size_t i = 1; i < x.size(); ++i) y[i] = y[i - 1] + w.dx * (x[i - 1] + x[i]) / 2.0;
  return Signal(std::move(y), w.dx);
}

// Slope at the middle point of the parabola through (a, d), (b, e), (c, f).
double ParabolaSlope(double a, double b, double c, double d, double e, double f) {
  const double l = a * a - b * b;
  const double o = a * a - c * c;
  const double r = l * (a - c) - (a - b) * o;
  const double e1 = d - e;
  const double d1 = d - f;
  const double t = e1 * (a - c) - (a - b) * d1;
  const double u = l * d1 - e1 * o;
  double A = 0.0, B = 0.0;
  if (r != 0.0) {
    A = t / r;
    B = u / r;
  }
  return 2.0 * A * b + B;
}

// A signal of one sample is a constant: its derivative is 0.
Signal Deriv(FormulaParser& p) {
  const Signal w = OneArgument(p, kNoOpen, kNoClose);
  const std::vector<double>& x = w.samples;
  const size_t n = x.size();
  std::vector<double> y(n, 0.0);
  if (n >= 2) {
    const double dx = w.dx;
    y[0] = (x[1] - x[0]) / dx;
    y[n - 1] = (x[n - 1] - x[n - 2]) / dx;
    for (size_t i = 1; i + 1 < n; ++i) {
      const double di = static_cast<double>(i);
      y[i] = ParabolaSlope((di - 1) * dx, di * dx, (di + 1) * dx, x[i - 1], x[i], x[i + 1]);
    }
  }
  return Signal(std::move(y), w.dx);
}

Signal Differences(FormulaParser& p) {
  const Signal w = OneArgument(p, kNoOpen, kNoClose);
  const std::vector<double>& x = w.samples;
  std::vector<double> y(x.empty() ? 0 : x.size() - 1);
  for (size_t i = 0; i < y.size(); ++i) y[i] = (x[i + 1] - x[i]) / w.dx;
  return Signal(std::move(y), w.dx);
}

// The least-squares line; with fewer than two samples (D = 0) the line is
// horizontal through the mean.
Signal Linreg(FormulaParser& p) {
  const Signal w = OneArgument(p, "Нет скобки '(' после LINREG", kNoClose);
  const std::vector<double>& x = w.samples;
  const double n = static_cast<double>(x.size());
  double st = 0, sy = 0, sty = 0, stt = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    const double t = static_cast<double>(i) * w.dx;
    st += t;
    sy += x[i];
    sty += t * x[i];
    stt += t * t;
  }
  const double d = n * stt - st * st;
  std::vector<double> y(x.size());
  if (d == 0.0) {
    std::fill(y.begin(), y.end(), x.empty() ? 0.0 : sy / n);
    return Signal(std::move(y), w.dx);
  }
  const double intercept = (sy * stt - sty * st) / d;
  const double slope = (sty * n - sy * st) / d;
  for (size_t i = 0; i < x.size(); ++i) y[i] = slope * (static_cast<double>(i) * w.dx) + intercept;
  return Signal(std::move(y), w.dx);
}

// ---------------------------------------------------------------- windows
// The windows pad to any power of two (no transform is involved, so the
// 65536 limit of the spectra does not apply).

Signal Hanning(FormulaParser& p) {
  const Signal w = OneArgument(p, kNoOpen, kNoClose);
  p.CheckCount(static_cast<double>(w.size()), "HANNING");
  const size_t padded = PaddedLength(w.size());
  std::vector<double> y(padded, 0.0);
  const double denominator = static_cast<double>(padded - 1);
  for (size_t i = 0; i < w.size(); ++i)
    y[i] = 0.5 * w.samples[i] * (1.0 - std::cos(kTwoPi * static_cast<double>(i) / denominator));
  return Signal(std::move(y), w.dx);
}

// I0 by Abramowitz and Stegun 9.8.1 and 9.8.2 (I0 is even: |x| is used).
double BesselI0(double x) {
  x = std::fabs(x);
  const double t = x / 3.75;
  if (x <= 3.75) {
    const double t2 = t * t;
    return 1.0 +
           t2 * (3.5156229 +
                 t2 * (3.0899424 +
                       t2 * (1.2067492 + t2 * (0.2659732 + t2 * (0.0360768 + t2 * 0.0045813)))));
  }
  const double u = 1.0 / t;
  return (std::exp(x) / std::sqrt(x)) *
         (0.39894228 +
          u * (0.01328592 +
               u * (0.00225319 +
                    u * (-0.00157565 +
                         u * (0.00916281 +
                              u * (-0.02057706 +
                                   u * (0.02635537 + u * (-0.01647633 + u * 0.00392377))))))));
}

Signal Kaiser(FormulaParser& p) {
  p.Expect('(', kNoOpen);
  const Signal w = p.Argument();
  double b = 7.865;
  const char separator = p.NextSeparator();
  if (separator == ',') {
    b = p.Argument().First();
    p.Expect(')', "Нет парной скобки или к-во много аргументов > 2 в функции KAISER");
  } else if (separator != ')') {
    p.Fail("Нет парной скобки в функции KAISER");
  }
  p.CheckCount(static_cast<double>(w.size()), "KAISER");
  const size_t padded = PaddedLength(w.size());
  const double pd = static_cast<double>(padded);
  const double half = static_cast<double>(padded / 2);
  const double norm = BesselI0(b * kPi);
  std::vector<double> y(padded, 0.0);
  for (size_t i = 0; i < w.size(); ++i) {
    const double u = 2.0 * (static_cast<double>(i) - half) / pd;
    y[i] = w.samples[i] * BesselI0(b * kPi * std::sqrt(1.0 - u * u)) / norm;
  }
  return Signal(std::move(y), w.dx);
}

// ---------------------------------------------------------------- spectra

// 0 = modulus / floor(n/2), 1 = real part, 2 = imaginary part.
template <int kPart>
Signal PowerOfTwoSpectrum(FormulaParser& p) {
  const Signal w = OneArgument(p, kNoOpen, kNoClose);
  const size_t padded = PaddedLength(w.size());
  if (padded > kMaxFftLength) return Fresh();
  SpendFft(p, padded);
  const double dx = 1.0 / (static_cast<double>(padded) * w.dx);
  if (kPart == 0) return Signal(SpectrumOf(w.samples.data(), w.size(), padded), dx);
  const auto data = PaddedFft(w, padded);
  std::vector<double> y(padded / 2);
  for (size_t k = 0; k < y.size(); ++k) y[k] = kPart == 1 ? data[k].real() : data[k].imag();
  return Signal(std::move(y), dx);
}

Signal Spectrum2(FormulaParser& p) {
  const Signal w = OneArgument(p, kNoOpen, kNoClose);
  if (w.samples.empty()) return Fresh();
  const size_t m = w.size() + (w.size() % 2);
  SpendFft(p, m);
  std::vector<double> y = DftModuli(w.samples, m, m / 2);
  const double scale = static_cast<double>(m / 2);
  for (double& v : y) v /= scale;
  return Signal(std::move(y), 1.0 / (static_cast<double>(m) * w.dx));
}

Signal Dspectrum(FormulaParser& p) {
  const Signal w = OneArgument(p, kNoOpen, kNoClose);
  const size_t n = w.size();
  if (n == 0) return Fresh();
  SpendFft(p, n);
  std::vector<double> y(n / 2 + 1, 0.0);
  if (n >= 2) {
    const std::vector<double> moduli = DftModuli(w.samples, n, n / 2);
    const double scale = static_cast<double>(n / 2);
    for (size_t k = 0; k < n / 2; ++k) y[k] = moduli[k] / scale;
  }
  return Signal(std::move(y), 1.0 / (static_cast<double>(n) * w.dx));
}

// Mean of the spectra of windows of `points` samples starting at 0, shift,
// 2 shift, ... while the start is below n - points. Windows or shifts below
// one sample give the fresh value, as does a signal with no window.
Signal Avspectrum(FormulaParser& p) {
  p.Expect('(', "Error in formula: expected '('");
  const Signal w = p.Argument();
  p.Expect(',', "Error in formula: expected ','");
  const Signal pointsArg = p.Argument();
  p.Expect(',', "Error in formula: expected ','");
  const Signal shiftArg = p.Argument();
  p.Expect(')', "Error in formula: expected ')'");
  const long long points = ToInteger(pointsArg.First());
  const long long shift = ToInteger(shiftArg.First());
  const long long n = static_cast<long long>(w.size());
  if (points < 1 || shift < 1 || points > static_cast<long long>(kMaxFftLength)) return Fresh();
  const size_t padded = PaddedLength(static_cast<size_t>(points));
  std::vector<double> sum(padded / 2, 0.0);
  long long windows = 0;
  for (long long start = 0; start < n - points; start += shift) {
    SpendFft(p, padded);
    const std::vector<double> y =
        SpectrumOf(w.samples.data() + start, static_cast<size_t>(points), padded);
    for (size_t k = 0; k < sum.size(); ++k) sum[k] += y[k];
    ++windows;
  }
  if (windows == 0) return Fresh();
  for (double& v : sum) v /= static_cast<double>(windows);
  return Signal(std::move(sum), 1.0 / (static_cast<double>(padded) * w.dx));
}

// ---------------------------------------------------------------- conv, interpolate, smooth

Signal Conv(FormulaParser& p) {
  p.Expect('(', kNoOpen);
  const Signal a = p.Argument();
  p.Expect(',', "к-во много аргументов < 2 в функции CONV");
  const Signal b = p.Argument();
  p.Expect(')', "Нет парной скобки или к-во много аргументов > 2 в функции CONV");
  const double dx = a.dx == b.dx ? a.dx : 1.0;
  if (a.samples.empty() || b.samples.empty()) return Signal({}, dx);
  const size_t c1 = a.size(), c2 = b.size();
  p.CheckCount(static_cast<double>(c1) + static_cast<double>(c2) - 1.0, "CONV");
  p.Spend(static_cast<double>(c1) * static_cast<double>(c2));
  // Direct sums in ascending j, so every sample is exact to rounding.
  std::vector<double> y(c1 + c2 - 1, 0.0);
  for (size_t k = 0; k < y.size(); ++k) {
    const size_t first = k >= c2 ? k - c2 + 1 : 0;
    const size_t last = std::min(k, c1 - 1);
    double s = 0.0;
    for (size_t j = first; j <= last; ++j) s += a.samples[j] * b.samples[k - j];
    y[k] = s;
  }
  return Signal(std::move(y), dx);
}

// Trigonometric interpolation by the factor m. The coefficients
// A[k] - i B[k] = (1/n) sum_j w[j] exp(-i pi j k / n) are the first n terms of
// the length-2n transform of w, and the resampled values
// mu + sum_j (cos(pi j i/(n m)) A[j] + sin(pi j i/(n m)) B[j]) the real part of
// the inverse length-2nm transform of A - iB: two exact transforms in double
// precision give the direct sums to rounding in n log n time. A factor below
// 1 gives an empty signal.
Signal Interpolate(FormulaParser& p) {
  p.Expect('(', "Error in formula: Expected '('");
  const Signal w = p.Argument();
  p.Expect(',', "Error in interpolate: wrong arguments number");
  const Signal factor = p.Argument();
  p.Expect(')', "Error in interpolate: Expected ')'");
  const long long m = ToInteger(factor.First());
  const size_t n = w.size();
  if (m < 1 || n == 0) return Signal({}, w.dx / static_cast<double>(std::max<long long>(m, 1)));
  p.CheckCount(static_cast<double>(n) * static_cast<double>(m), "INTERPOLATE");
  const size_t total = n * static_cast<size_t>(m);
  SpendFft(p, 2 * total);
  double mu = 0.0;
  for (double x : w.samples) mu += x;
  mu /= static_cast<double>(n);

  std::vector<double> centred(2 * n, 0.0);
  for (size_t j = 0; j < n; ++j) centred[j] = w.samples[j] - mu;
  std::vector<std::complex<double>> half(n + 1);
  FftwPlan([&] {
    return fftw_plan_dft_r2c_1d(static_cast<int>(2 * n), centred.data(),
                                reinterpret_cast<fftw_complex*>(half.data()), FFTW_ESTIMATE);
  }).Execute();

  std::vector<std::complex<double>> coeff(2 * total, 0.0);
  for (size_t k = 0; k < n; ++k) coeff[k] = half[k] / static_cast<double>(n);
  FftwPlan([&] {
    return fftw_plan_dft_1d(
        static_cast<int>(2 * total), reinterpret_cast<fftw_complex*>(coeff.data()),
        reinterpret_cast<fftw_complex*>(coeff.data()), FFTW_BACKWARD, FFTW_ESTIMATE);
  }).Execute();
  std::vector<double> y(total);
  for (size_t i = 0; i < total; ++i) y[i] = mu + coeff[i].real();
  return Signal(std::move(y), w.dx / static_cast<double>(m));
}

Signal Smooth(FormulaParser& p) {
  p.Expect('(', "Error in formula: Expected '('");
  Signal w = p.Argument();
  p.Expect(',', "Error in smooth: wrong arguments number");
  const Signal half = p.Argument();
  p.Expect(')', "Error in smooth: Expected ')'");
  const long long k = ToInteger(half.First());
  const long long n = static_cast<long long>(w.size());
  // k of 0 (or negative) or above n leaves the signal as it is.
  if (k <= 0 || k > n) return w;
  p.Spend(static_cast<double>(n) * static_cast<double>(2 * k + 1));
  const std::vector<double>& x = w.samples;
  std::vector<double> y = x;
  const double width = static_cast<double>(2 * k + 1);
  for (long long i = k; i <= n - k - 2; ++i) {
    double s = 0.0;
    for (long long j = i - k; j <= i + k; ++j) s += x[static_cast<size_t>(j)];
    y[static_cast<size_t>(i)] = s / width;
  }
  return Signal(std::move(y), w.dx);
}

Signal Extract(FormulaParser& p) {
  const char* count = "Ошибка в количестве аргументов в функции EXTRACT";
  p.Expect('(', kNoOpen);
  const Signal w = p.Argument();
  p.Expect(',', count);
  const Signal startArg = p.Argument();
  p.Expect(',', count);
  const Signal lengthArg = p.Argument();
  p.Expect(')', kNoClose);
  const long long start = ToInteger(startArg.First());
  const size_t length = GeneratedCount(p, lengthArg.First(), "EXTRACT");
  const long long n = static_cast<long long>(w.size());
  std::vector<double> y(length, 0.0);
  for (size_t i = 0; i < length; ++i) {
    const long long j = start - 1 + static_cast<long long>(i);
    if (j >= 0 && j < n) y[i] = w.samples[static_cast<size_t>(j)];
  }
  return Signal(std::move(y), w.dx);
}

// ---------------------------------------------------------------- butter, dpv

Signal Butter(FormulaParser& p) {
  p.Expect('(', kNoOpen);
  Signal w = p.Argument();
  p.Expect(',', kFormulaError);
  const double lfr = p.Argument().First();
  p.Expect(',', kFormulaError);
  const double hfr = p.Argument().First();
  p.Expect(',', kFormulaError);
  const double order = p.Argument().First();
  p.Expect(')', kNoClose);
  p.Spend(static_cast<double>(w.size()) * 10.0);
  // Equal cut-offs return the signal unfiltered whatever its interval; any
  // other design is checked before filtering, or the samples would be NaN.
  const std::string refusal = FormulaFilter(w.samples.data(), w.size(), w.dx, lfr, hfr, order);
  if (!refusal.empty()) p.Fail("Ошибка в функции BUTTER: " + refusal);
  return w;
}

// Normalised histogram of the samples over bins of (hi - lo)/bins; fewer
// than one bin gives an empty signal.
Signal Dpv(FormulaParser& p) {
  const char* count = "Ошибка в количестве аргументов в функции dpv";
  p.Expect('(', kNoOpen);
  const Signal w = p.Argument();
  p.Expect(',', count);
  const double lo = p.Argument().First();
  p.Expect(',', count);
  const double hi = p.Argument().First();
  p.Expect(',', count);
  const Signal binsArg = p.Argument();
  p.Expect(')', kNoClose);
  const size_t bins = GeneratedCount(p, binsArg.First(), "DPV");
  std::vector<double> y(bins, 0.0);
  if (bins == 0 || w.samples.empty()) return Signal(std::move(y), 1.0);
  const double width = (hi - lo) / static_cast<double>(bins);
  // Bin i holds lo + i*width <= x < lo + (i+1)*width with the bounds computed
  // exactly so; the bounds rise with i, so the bin is found by search.
  auto bound = [&](size_t i) { return lo + static_cast<double>(i) * width; };
  if (width > 0.0) {
    for (double x : w.samples) {
      if (!(x >= bound(0)) || !(x < bound(bins))) continue;
      size_t low = 0, high = bins;  // bound(low) <= x < bound(high)
      while (high - low > 1) {
        const size_t mid = low + (high - low) / 2;
        if (bound(mid) <= x)
          low = mid;
        else
          high = mid;
      }
      y[low] += 1.0;
    }
  }
  const double n = static_cast<double>(w.size());
  for (double& v : y) v /= n;
  return Signal(std::move(y), 1.0);
}

// ---------------------------------------------------------------- polarisation

// Cyclic Jacobi rotation of a symmetric 3x3 matrix in single precision.
// Eigenvalues to d, eigenvectors to the columns of v, sorted descending.
void Jacobi3(float a[3][3], float d[3], float v[3][3]) {
  constexpr int n = 3;
  float b[n], z[n];
  for (int ip = 0; ip < n; ++ip) {
    for (int iq = 0; iq < n; ++iq) v[ip][iq] = ip == iq ? 1.0f : 0.0f;
    b[ip] = d[ip] = a[ip][ip];
    z[ip] = 0.0f;
  }
  auto rotate = [](float m[3][3], int i, int j, int k, int l, float s, float tau) {
    const float g = m[i][j];
    const float h = m[k][l];
    m[i][j] = g - s * (h + g * tau);
    m[k][l] = h + s * (g - h * tau);
  };
  for (int sweep = 1; sweep <= 50; ++sweep) {
    float sm = 0.0f;
    for (int ip = 0; ip < n - 1; ++ip)
      for (int iq = ip + 1; iq < n; ++iq) sm += std::fabs(a[ip][iq]);
    if (sm <= 1e-6f) break;
    const float tresh = sweep < 4 ? 0.2f * sm / (n * n) : 0.0f;
    for (int ip = 0; ip < n - 1; ++ip) {
      for (int iq = ip + 1; iq < n; ++iq) {
        const float g = 100.0f * std::fabs(a[ip][iq]);
        if (sweep > 4 && std::fabs(d[ip]) + g == std::fabs(d[ip]) &&
            std::fabs(d[iq]) + g == std::fabs(d[iq])) {
          a[ip][iq] = 0.0f;
        } else if (std::fabs(a[ip][iq]) > tresh) {
          float h = d[iq] - d[ip];
          float t;
          if (std::fabs(h) + g == std::fabs(h)) {
            t = a[ip][iq] / h;
          } else {
            const float theta = 0.5f * h / a[ip][iq];
            t = 1.0f / (std::fabs(theta) + std::sqrt(1.0f + theta * theta));
            if (theta < 0.0f) t = -t;
          }
          const float c = 1.0f / std::sqrt(1.0f + t * t);
          const float s = t * c;
          const float tau = s / (1.0f + c);
          h = t * a[ip][iq];
          z[ip] -= h;
          z[iq] += h;
          d[ip] -= h;
          d[iq] += h;
          a[ip][iq] = 0.0f;
          for (int j = 0; j < ip; ++j) rotate(a, j, ip, j, iq, s, tau);
          for (int j = ip + 1; j < iq; ++j) rotate(a, ip, j, j, iq, s, tau);
          for (int j = iq + 1; j < n; ++j) rotate(a, ip, j, iq, j, s, tau);
          for (int j = 0; j < n; ++j) rotate(v, j, ip, j, iq, s, tau);
        }
      }
    }
    for (int ip = 0; ip < n; ++ip) {
      b[ip] += z[ip];
      d[ip] = b[ip];
      z[ip] = 0.0f;
    }
  }
  // Descending order; on equal values the later one is taken first.
  for (int i = 0; i < n - 1; ++i) {
    int k = i;
    float pv = d[i];
    for (int j = i + 1; j < n; ++j) {
      if (d[j] >= pv) {
        k = j;
        pv = d[j];
      }
    }
    if (k != i) {
      d[k] = d[i];
      d[i] = pv;
      for (int j = 0; j < n; ++j) std::swap(v[j][i], v[j][k]);
    }
  }
}

enum class Measure { kRectilinearity, kPlanarity, kAzimuth };

template <Measure kMeasure>
Signal Polarisation(FormulaParser& p) {
  const char* name = kMeasure == Measure::kRectilinearity ? "rectilinearity"
                     : kMeasure == Measure::kPlanarity    ? "planarity"
                                                          : "azimuth";
  p.Expect('(', "Error in formula: Expected '('");
  const std::string count = StrFormat("Error in %s: wrong arguments number", name);
  const Signal z = p.Argument();
  p.Expect(',', count);
  const Signal x = p.Argument();
  p.Expect(',', count);
  const Signal y = p.Argument();
  p.Expect(',', count);
  const double windowArg = p.Argument().First();
  if (z.dx != x.dx || z.dx != y.dx)
    p.Fail(StrFormat("Error in %s: arguments have different sample interval", name));
  p.Expect(')', StrFormat("Error in %s: Expected ')'", name));
  const size_t length = std::min({z.size(), x.size(), y.size()});
  const long long window = ToInteger(windowArg);
  if (window < 0 || window > static_cast<long long>(length))
    p.Fail(StrFormat("Error in %s: wrong sliding window length %lld", name, window));
  std::vector<double> out(length, 0.0);
  // A window of no samples measures nothing: every position stays 0.
  if (window == 0) return Signal(std::move(out), z.dx);
  const size_t nwin = static_cast<size_t>(window);
  p.Spend(static_cast<double>(length) * static_cast<double>(nwin));
  const std::vector<double>* components[3] = {&z.samples, &x.samples, &y.samples};
  auto sample = [&](int c, size_t i) { return i < length ? (*components[c])[i] : 0.0; };
  for (size_t s = nwin; s < length; ++s) {
    double mean[3] = {0, 0, 0};
    for (int c = 0; c < 3; ++c) {
      for (size_t i = s; i < s + nwin; ++i) mean[c] += sample(c, i);
      mean[c] /= static_cast<double>(nwin);
    }
    double cov[3][3] = {};
    for (size_t i = s; i < s + nwin; ++i) {
      const double v[3] = {sample(0, i) - mean[0], sample(1, i) - mean[1], sample(2, i) - mean[2]};
      for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) cov[r][c] += v[r] * v[c];
    }
    for (auto& row : cov)
      for (double& v : row) v /= static_cast<double>(nwin);
    const double det = cov[0][0] * (cov[1][1] * cov[2][2] - cov[1][2] * cov[2][1]) -
                       cov[0][1] * (cov[1][0] * cov[2][2] - cov[1][2] * cov[2][0]) +
                       cov[0][2] * (cov[1][0] * cov[2][1] - cov[1][1] * cov[2][0]);
    if (det == 0.0) continue;
    float a[3][3], d[3], e[3][3];
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) a[r][c] = static_cast<float>(cov[r][c]);
    Jacobi3(a, d, e);
    double value;
    if (kMeasure == Measure::kRectilinearity) {
      value = 1.0 - (static_cast<double>(d[1]) + d[2]) / (2.0 * d[0]);
    } else if (kMeasure == Measure::kPlanarity) {
      value = 1.0 - 2.0 * d[2] / (static_cast<double>(d[0]) + d[1]);
    } else {
      value = AzimuthFromEigenvector(e[0][0], e[1][0], e[2][0]);
    }
    out[s] = value;
  }
  return Signal(std::move(out), z.dx);
}

// ---------------------------------------------------------------- the table

const FormulaFunction kFunctions[] = {
    {"max", Extreme<true>},
    {"min", Extreme<false>},
    {"cos", SampleWise<Cosine>},
    {"sin", SampleWise<Sine>},
    {"gcos", Harmonic<Cosine>},
    {"gsin", Harmonic<Sine>},
    {"mean", Mean},
    {"abs", SampleWise<Abs>},
    {"exp", SampleWise<Exp>},
    {"spectrum", PowerOfTwoSpectrum<0>},
    {"extract", Extract},
    {"log10", SampleWise<Log10>},
    {"hanning", Hanning},
    {"linreg", Linreg},
    {"kaiser", Kaiser},
    {"gline", Gline},
    {"integ", Integ},
    {"rderiv", Differences},
    {"lderiv", Differences},
    {"deriv", Deriv},
    {"conv", Conv},
    {"refft", PowerOfTwoSpectrum<1>},
    {"imfft", PowerOfTwoSpectrum<2>},
    {"tan", SampleWise<Tan>},
    {"atan", SampleWise<Atan>},
    {"sqrt", SampleWise<Sqrt>},
    {"log", SampleWise<Log>},
    {"ceil", Rounding<Ceil>},
    {"floor", Rounding<Floor>},
    {"interpolate", Interpolate},
    {"butter", Butter},
    {"revers", Revers},
    {"rand", Rand},
    {"sizeof", Sizeof},
    {"rectilin", Polarisation<Measure::kRectilinearity>},
    {"planar", Polarisation<Measure::kPlanarity>},
    {"smooth", Smooth},
    {"dspectrum", Dspectrum},
    {"getdx", Getdx},
    {"azimuth", Polarisation<Measure::kAzimuth>},
    {"dpv", Dpv},
    {"avspectrum", Avspectrum},
    {"spectrum2", Spectrum2},
};

}  // namespace

const FormulaFunction* FindFormulaFunction(std::string_view name) {
  for (const FormulaFunction& f : kFunctions)
    if (EqualsNoCase(name, f.name)) return &f;
  return nullptr;
}

const std::vector<std::string>& FormulaFunctionNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> list;
    for (const FormulaFunction& f : kFunctions) list.emplace_back(f.name);
    return list;
  }();
  return names;
}

void SeedFormulaRandom(unsigned seed) {
  randomState = seed;
}

}  // namespace nuv
