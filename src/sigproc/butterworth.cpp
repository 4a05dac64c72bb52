#include "sigproc/butterworth.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <optional>
#include <utility>

#include "platform/strformat.h"

namespace nuv {
namespace {

using Complex = std::complex<double>;

// Prototype poles of the normalised low-pass: the real pole -1 for odd
// orders ('S'), then the upper member of each conjugate pair ('C').
struct Prototype {
  std::array<Complex, kMaxButterworthOrder> poles{};
  std::array<char, kMaxButterworthOrder> kind{};
  int count = 0;
};

Prototype ButterworthPoles(int order) {
  Prototype proto;
  const int half = order / 2;
  if (order % 2 != 0) {
    proto.poles[0] = Complex(-1.0, 0.0);
    proto.kind[0] = 'S';
    proto.count = 1;
  }
  const float pi = 3.1415927f;
  for (int k = 0; k < half; ++k) {
    const float theta = pi * (static_cast<float>(2 * k + 1) / static_cast<float>(2 * order) + 0.5f);
    proto.poles[proto.count] =
        Complex(std::cos(static_cast<double>(theta)), std::sin(static_cast<double>(theta)));
    proto.kind[proto.count] = 'C';
    ++proto.count;
  }
  return proto;
}

// Frequency pre-warping of the bilinear transform:
// warp(f, t) = 2 tan(2 pi f t / 2) / t / (2 pi).
float Warp(float f, float t) {
  const double twoPi = 6.283185307179586;
  const double angle = twoPi * f * t / 2.0;
  return static_cast<float>(2.0 * std::tan(angle) / t / twoPi);
}

// Square root with modulus sqrt|z| and half the argument from atan2.
Complex SquareRoot(Complex z) {
  const double modulus = std::sqrt(std::sqrt(z.real() * z.real() + z.imag() * z.imag()));
  const double angle = 0.5 * std::atan2(z.imag(), z.real());
  return Complex(modulus * std::cos(angle), modulus * std::sin(angle));
}

float SquaredModulus(Complex p) {
  return static_cast<float>(p.real() * p.real() + p.imag() * p.imag());
}

void SetSection(ButterworthSections& f, float n0, float n1, float n2, float d0, float d1,
                float d2) {
  const int i = 3 * f.nsects;
  f.sn[i] = n0;
  f.sn[i + 1] = n1;
  f.sn[i + 2] = n2;
  f.sd[i] = d0;
  f.sd[i + 1] = d1;
  f.sd[i + 2] = d2;
  ++f.nsects;
}

// Scales the analogue sections to the cut-off fw (pre-warped, Hz).
void ScaleToCutoff(ButterworthSections& f, float fw) {
  const float w = 6.2831853f * fw;
  const float w2 = w * w;
  for (int s = 0; s < f.nsects; ++s) {
    f.sn[3 * s + 1] /= w;
    f.sn[3 * s + 2] /= w2;
    f.sd[3 * s + 1] /= w;
    f.sd[3 * s + 2] /= w2;
  }
}

void LowPass(const Prototype& proto, ButterworthSections& f) {
  for (int i = 0; i < proto.count; ++i) {
    const Complex p = proto.poles[i];
    if (proto.kind[i] == 'C')
      SetSection(f, 1.0f, 0.0f, 0.0f, SquaredModulus(p), static_cast<float>(-2.0 * p.real()), 1.0f);
    else
      SetSection(f, 1.0f, 0.0f, 0.0f, static_cast<float>(-p.real()), 1.0f, 0.0f);
  }
}

void HighPass(const Prototype& proto, ButterworthSections& f) {
  for (int i = 0; i < proto.count; ++i) {
    const Complex p = proto.poles[i];
    if (proto.kind[i] == 'C')
      SetSection(f, 0.0f, 0.0f, 1.0f, 1.0f, static_cast<float>(-2.0 * p.real()), SquaredModulus(p));
    else
      SetSection(f, 0.0f, 1.0f, 0.0f, 1.0f, static_cast<float>(-p.real()), 0.0f);
  }
}

// The two band coefficients: a = (2 pi)^2 flw fhw with 2 pi taken as the
// single-precision 6.2831855 (its square carried in double), b = 2 pi (fhw - flw).
void BandCoefficients(float flw, float fhw, float& a, float& b) {
  a = static_cast<float>(39.47841980153157 * flw * fhw);
  b = 6.2831855f * (fhw - flw);
}

// Splits q into the pole pair (q +- sqrt(q^2 - 4a)) / 2 and stores two sections.
void PolePairSections(ButterworthSections& f, Complex q, float a, float n0, float n1, float n2) {
  const Complex r = SquareRoot(q * q - Complex(4.0 * a, 0.0));
  const Complex p1 = (q + r) / 2.0;
  const Complex p2 = (q - r) / 2.0;
  SetSection(f, n0, n1, n2, SquaredModulus(p1), static_cast<float>(-2.0 * p1.real()), 1.0f);
  SetSection(f, n0, n1, n2, SquaredModulus(p2), static_cast<float>(-2.0 * p2.real()), 1.0f);
}

void BandPass(const Prototype& proto, float flw, float fhw, ButterworthSections& f) {
  float a, b;
  BandCoefficients(flw, fhw, a, b);
  for (int i = 0; i < proto.count; ++i) {
    const Complex p = proto.poles[i];
    if (proto.kind[i] == 'C')
      PolePairSections(f, static_cast<double>(b) * p, a, 0.0f, b, 0.0f);
    else
      SetSection(f, 0.0f, b, 0.0f, a, static_cast<float>(-b * p.real()), 1.0f);
  }
}

void BandReject(const Prototype& proto, float flw, float fhw, ButterworthSections& f) {
  float a, b;
  BandCoefficients(flw, fhw, a, b);
  for (int i = 0; i < proto.count; ++i) {
    const Complex p = proto.poles[i];
    if (proto.kind[i] == 'C') {
      PolePairSections(f, static_cast<double>(b) * (1.0 / p), a, a, 0.0f, 1.0f);
    } else {
      const float re = static_cast<float>(p.real());
      SetSection(f, a, 0.0f, 1.0f, -a * re, b, -re);
    }
  }
}

// s = (1 - z^-1) / (1 + z^-1), section by section, normalised by d0 + d1 + d2.
void Bilinear(ButterworthSections& f) {
  for (int s = 0; s < f.nsects; ++s) {
    float* d = &f.sd[3 * s];
    float* e = &f.sn[3 * s];
    const float scale = d[0] + d[1] + d[2];
    const float d0 = d[0], d1 = d[1], d2 = d[2];
    d[0] = 1.0f;
    d[1] = 2.0f * (d0 - d2) / scale;
    d[2] = (d0 - d1 + d2) / scale;
    const float e0 = e[0], e1 = e[1], e2 = e[2];
    e[0] = (e0 + e1 + e2) / scale;
    e[1] = 2.0f * (e0 - e2) / scale;
    e[2] = (e0 - e1 + e2) / scale;
  }
}

bool TypeIs(std::string_view type, const char* name) {
  return type.size() >= 2 && std::strncmp(type.data(), name, 2) == 0;
}

// Four traces side by side: lane j holds trace j's sample. Every lane gets
// the same single-precision operations in the same order as a lone trace
// (no fused multiply-adds), so batched filtering changes no digit.
typedef float Lanes __attribute__((vector_size(16)));
constexpr size_t kLanes = 4;

// The pass proper, on single samples or on lanes. Sections are kept in local
// arrays so the per-sample loop runs without calls; the sections of one
// sample are independent chains the processor overlaps.
template <typename T, bool kReverse>
void Pass(const ButterworthSections& f, T* x, size_t n) {
  const int ns = std::clamp(f.nsects, 0, kMaxButterworthSections);
  if (ns == 0 || n == 0) return;
  T b0[kMaxButterworthSections], b1[kMaxButterworthSections], b2[kMaxButterworthSections];
  T a1[kMaxButterworthSections], a2[kMaxButterworthSections];
  T x1[kMaxButterworthSections] = {}, x2[kMaxButterworthSections] = {};
  T y1[kMaxButterworthSections] = {}, y2[kMaxButterworthSections] = {};
  for (int s = 0; s < ns; ++s) {
    b0[s] = T{} + f.sn[3 * s];
    b1[s] = T{} + f.sn[3 * s + 1];
    b2[s] = T{} + f.sn[3 * s + 2];
    a1[s] = T{} + f.sd[3 * s + 1];
    a2[s] = T{} + f.sd[3 * s + 2];
  }
  for (size_t k = 0; k < n; ++k) {
    T& sample = kReverse ? x[n - 1 - k] : x[k];
    T in = sample;
    for (int s = 0; s < ns; ++s) {
      const T y = b0[s] * in + b1[s] * x1[s] + b2[s] * x2[s] - (a1[s] * y1[s] + a2[s] * y2[s]);
      x2[s] = x1[s];
      x1[s] = in;
      y2[s] = y1[s];
      y1[s] = y;
      in = y;
    }
    sample = in;
  }
}

// The shape a type index designs (4 and unknown indexes: band-pass).
int DesignShape(int type) {
  return type >= kBandPass && type <= kHighPass ? type : kBandPass;
}

void RemoveMean(std::vector<float>& samples) {
  if (samples.empty()) return;
  double sum = 0.0;
  for (float v : samples) sum += v;
  const float mean = static_cast<float>(sum / static_cast<double>(samples.size()));
  for (float& v : samples) v -= mean;
}

// The upper cut-off the pane uses: at or above Nyquist, just below it.
float PaneHighCut(double sps, float fh) {
  return fh >= sps / 2.0 ? static_cast<float>(sps / 2.0 - 0.1) : fh;
}

// The pane's cut-offs and interval. Empty when the filter is refused
// (`error` says why).
std::optional<std::pair<float, float>> PaneCutoffs(double sps, const ChannelFilter& filter,
                                                   std::string* error) {
  const std::string refusal = PaneFilterError(sps, filter.type, filter.lowCut, filter.highCut);
  if (!refusal.empty()) {
    if (error) *error = refusal;
    return std::nullopt;
  }
  return std::make_pair(PaneHighCut(sps, filter.highCut), static_cast<float>(1.0 / sps));
}

}  // namespace

const char* ButterworthTypeName(int type) {
  switch (type) {
    case kLowPass:
      return "LP";
    case kBandReject:
      return "BR";
    case kHighPass:
      return "HP";
    default:
      return "BP";
  }
}

ButterworthSections DesignButterworth(int order, std::string_view type, float fl, float fh,
                                      float dt) {
  ButterworthSections f;
  if (order < 1 || order > kMaxButterworthOrder) return f;
  const Prototype proto = ButterworthPoles(order);
  if (TypeIs(type, "BP")) {
    BandPass(proto, Warp(fl * dt / 2.0f, 2.0f), Warp(fh * dt / 2.0f, 2.0f), f);
  } else if (TypeIs(type, "BR")) {
    BandReject(proto, Warp(fl * dt / 2.0f, 2.0f), Warp(fh * dt / 2.0f, 2.0f), f);
  } else if (TypeIs(type, "LP")) {
    LowPass(proto, f);
    ScaleToCutoff(f, Warp(fh * dt / 2.0f, 2.0f));
  } else if (TypeIs(type, "HP")) {
    HighPass(proto, f);
    ScaleToCutoff(f, Warp(fl * dt / 2.0f, 2.0f));
  } else {
    return f;
  }
  Bilinear(f);
  return f;
}

void ApplySections(const ButterworthSections& filter, float* x, size_t n) {
  Pass<float, false>(filter, x, n);
}

void ApplySectionsZeroPhase(const ButterworthSections& filter, float* x, size_t n, bool zeroPhase) {
  Pass<float, false>(filter, x, n);
  if (zeroPhase) Pass<float, true>(filter, x, n);
}

void TaperEnds(float* x, size_t n, int percent) {
  // Integer product, then division: 19 samples at 5 % give no taper.
  const size_t m = n * static_cast<size_t>(std::clamp(percent, 0, 100)) / 100;
  if (m == 0) return;
  const double s = (3.141592653589793 / 2.0) / static_cast<double>(m);
  for (size_t j = 0; j < m; ++j)
    x[j] = static_cast<float>(x[j] * std::sin(s * static_cast<double>(j)));
  for (size_t i = n - m; i < n; ++i)
    x[i] = static_cast<float>(x[i] * std::sin(s * static_cast<double>(n - i)));
}

std::string PaneFilterError(double sps, int type, double fl, double fh) {
  if (!(sps > 0.0) || !std::isfinite(sps))
    return StrFormat("Неверная частота дискретизации %g", sps);
  const int shape = DesignShape(type);
  const double nyquist = sps / 2.0;
  const float usedHigh = PaneHighCut(sps, static_cast<float>(fh));
  // Bringing the upper cut-off below Nyquist cannot help a band whose lower
  // edge is there already (0.7-1.4 Hz on one sample a second): say so in the
  // analyst's terms rather than with the cut-off the pane would have used.
  if (shape != kLowPass && std::isfinite(fl) && fl > 0.0 &&
      (fl >= nyquist || (shape != kHighPass && fh >= nyquist && fl >= usedHigh)))
    return StrFormat(
        "Полоса фильтра %s Гц лежит выше частоты Найквиста %g Гц (половины частоты дискретизации "
        "%g отсч./с): фильтр не применён",
        shape == kHighPass ? StrFormat("от %g", fl).c_str() : StrFormat("%g–%g", fl, fh).c_str(),
        nyquist, sps);
  return ButterworthCutoffError(shape, fl, usedHigh, static_cast<float>(1.0 / sps));
}

std::string ButterworthCutoffError(int type, double fl, double fh, double dt) {
  if (!(dt > 0.0) || !std::isfinite(dt))
    return StrFormat("Неверный шаг по времени %g: он должен быть больше нуля", dt);
  const double nyquist = 0.5 / dt;
  const bool usesLow = type != kLowPass;
  const bool usesHigh = type != kHighPass;
  const char* shape = type == kLowPass      ? "фильтра нижних частот"
                      : type == kHighPass   ? "фильтра верхних частот"
                      : type == kBandReject ? "режекторного фильтра"
                                            : "полосового фильтра";
  if ((usesLow && !std::isfinite(fl)) || (usesHigh && !std::isfinite(fh)))
    return StrFormat("Неверная частота среза %s", shape);
  if (usesLow && !(fl > 0.0))
    return StrFormat("Нижняя частота среза %s должна быть больше нуля", shape);
  if (usesHigh && !(fh > 0.0))
    return StrFormat("Верхняя частота среза %s должна быть больше нуля", shape);
  if (usesLow && usesHigh && !(fl < fh))
    return StrFormat("Нижняя частота среза (%g Гц) должна быть меньше верхней (%g Гц)", fl, fh);
  // The interval usually arrives in single precision (0.01f is a little
  // below 0.01), so a cut-off within rounding of Nyquist counts as on it.
  const double top = usesHigh ? fh : fl;
  if (top >= nyquist * (1.0 - 1e-6))
    return StrFormat(
        "Частота среза %g Гц не ниже частоты Найквиста %g Гц (половины частоты дискретизации)", top,
        nyquist);
  return {};
}

bool FilterTrace(float* x, size_t n, float dt, int type, int order, float fl, float fh,
                 bool zeroPhase, std::string* error) {
  // Type 4 (an "SPWWSS" preset) and any other unknown index filter as band-pass.
  const int shape = DesignShape(type);
  const std::string refusal = ButterworthCutoffError(shape, fl, fh, dt);
  if (!refusal.empty()) {
    if (error) *error = refusal;
    return false;
  }
  order = std::clamp(order, 1, kMaxButterworthOrder);
  TaperEnds(x, n, 5);
  const ButterworthSections f = DesignButterworth(order, ButterworthTypeName(shape), fl, fh, dt);
  ApplySectionsZeroPhase(f, x, n, zeroPhase);
  return true;
}

bool FilterPaneSamples(std::vector<float>& samples, double sps, const ChannelFilter& filter,
                       std::string* error) {
  const auto cutoffs = PaneCutoffs(sps, filter, error);
  if (!cutoffs) return false;
  RemoveMean(samples);
  return FilterTrace(samples.data(), samples.size(), cutoffs->second, filter.type, filter.order,
                     filter.lowCut, cutoffs->first, filter.zeroPhase != 0, error);
}

bool FilterPaneSamplesBatch(std::span<std::vector<float>* const> traces, double sps,
                            const ChannelFilter& filter, std::string* error) {
  const auto cutoffs = PaneCutoffs(sps, filter, error);
  if (!cutoffs) return false;
  const auto [fh, dt] = *cutoffs;
  const int order = std::clamp(filter.order, 1, kMaxButterworthOrder);
  const ButterworthSections f = DesignButterworth(
      order, ButterworthTypeName(DesignShape(filter.type)), filter.lowCut, fh, dt);
  for (std::vector<float>* trace : traces) {
    RemoveMean(*trace);
    TaperEnds(trace->data(), trace->size(), 5);
  }
  // Traces of one length go through the cascade four at a time; the rest
  // (other lengths, a short last group) one by one.
  std::vector<std::vector<float>*> pending(traces.begin(), traces.end());
  std::vector<Lanes> lanes;
  while (!pending.empty()) {
    const size_t n = pending.front()->size();
    std::vector<std::vector<float>*> group;
    for (auto it = pending.begin(); it != pending.end() && group.size() < kLanes;) {
      if ((*it)->size() == n) {
        group.push_back(*it);
        it = pending.erase(it);
      } else {
        ++it;
      }
    }
    if (group.size() < 2) {
      ApplySectionsZeroPhase(f, group.front()->data(), n, filter.zeroPhase != 0);
      continue;
    }
    lanes.assign(n, Lanes{});
    for (size_t j = 0; j < group.size(); ++j)
      for (size_t k = 0; k < n; ++k) lanes[k][j] = (*group[j])[k];
    Pass<Lanes, false>(f, lanes.data(), n);
    if (filter.zeroPhase != 0) Pass<Lanes, true>(f, lanes.data(), n);
    for (size_t j = 0; j < group.size(); ++j)
      for (size_t k = 0; k < n; ++k) (*group[j])[k] = lanes[k][j];
  }
  return true;
}

std::string FormulaFilter(double* x, size_t n, double dt, double lfr, double hfr, double order) {
  const float lo = static_cast<float>(lfr);
  const float hi = static_cast<float>(hfr);
  const float step = static_cast<float>(dt);
  if (lo == hi) return {};
  const int shape = lo == 0.0f ? kLowPass : (hi == 0.0f ? kHighPass : kBandPass);
  std::string refusal = ButterworthCutoffError(shape, lo, hi, step);
  if (!refusal.empty()) return refusal;
  // Clamped before the conversion to int, so NaN and huge orders are safe.
  const int n2 = order >= kMaxButterworthOrder ? kMaxButterworthOrder
                 : order >= 2.0                ? static_cast<int>(order)
                                               : 2;
  const ButterworthSections f = DesignButterworth(n2, ButterworthTypeName(shape), lo, hi, step);
  std::vector<float> buffer(x, x + n);
  ApplySections(f, buffer.data(), n);
  for (size_t i = 0; i < n; ++i) x[i] = buffer[i];
  return {};
}

std::string FilterWizardFormula(int type, double low, double high, int order, bool zeroPhase) {
  if (type == kLowPass) low = 0.0;
  if (type == kHighPass) high = 0.0;
  if (type == kBandReject) {
    // A low-pass at the lower bound plus a high-pass at the upper bound
    // removes the band between them; each branch honours zero phase.
    if (zeroPhase)
      return StrFormat(
          "(revers(butter(revers(butter((current-mean(current)),%f,%f,%d)),%f,%f,%d))"
          "+revers(butter(revers(butter((current-mean(current)),%f,%f,%d)),%f,%f,%d)))",
          0.0, low, order, 0.0, low, order, high, 0.0, order, high, 0.0, order);
    return StrFormat(
        "(butter((current-mean(current)),%f,%f,%d)+butter((current-mean(current)),%f,%f,%d))", 0.0,
        low, order, high, 0.0, order);
  }
  if (zeroPhase)
    return StrFormat("revers(butter(revers(butter((current-mean(current)),%f,%f,%d)),%f,%f,%d))",
                     low, high, order, low, high, order);
  return StrFormat("butter((current-mean(current)),%f,%f,%d)", low, high, order);
}

}  // namespace nuv
