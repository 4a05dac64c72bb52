#include "sigproc/detector.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "platform/strformat.h"
#include "sigproc/decimal_text.h"

namespace nuv {

namespace {

std::string DetectorKey(std::string_view station, std::string_view channel) {
  return StrFormat("NUV\\Detector\\%.*s\\%.*s", static_cast<int>(station.size()), station.data(),
                   static_cast<int>(channel.size()), channel.data());
}

// The leading number of a stored text ("10." reads as 10); nullopt when the
// text does not start with one.
std::optional<double> LeadingNumber(std::string_view text) {
  std::size_t used = 0;
  const double value = DecimalPrefix(text, &used);
  if (used == 0) return std::nullopt;
  return value;
}

// The window statistics are sums of deviations from a reference level (the
// first sample), so a constant offset of the trace cannot change them: noise
// of a few units around 1e7 gives the same sums as around 0. Running sums
// still carry rounding residue where the deviations are not exact; a window
// variance at or below this share of its mean square deviation is rounding,
// not signal, and counts as zero in the trigger test.
constexpr double kVarianceRounding = 1e-9;

double SignalVariance(double sum, double sumSquares, double n) {
  const double mean = sum / n;
  const double meanSquare = sumSquares / n;
  const double variance = meanSquare - mean * mean;
  return variance <= kVarianceRounding * meanSquare ? 0.0 : variance;
}

std::size_t WindowSamples(double seconds, double samplesPerSecond, const char* what) {
  if (!(samplesPerSecond > 0.0) || !std::isfinite(samplesPerSecond)) {
    throw DetectorError(StrFormat("Детектор: неверная частота дискретизации %g", samplesPerSecond));
  }
  const double n = std::floor(seconds * samplesPerSecond);
  if (!(n >= 1.0)) {
    throw DetectorError(StrFormat("Детектор: окно %s (%g с) короче одного отсчёта при %g отсч./с",
                                  what, seconds, samplesPerSecond));
  }
  if (n > 1e9) {
    throw DetectorError(StrFormat("Детектор: окно %s (%g с) слишком длинное", what, seconds));
  }
  return static_cast<std::size_t>(n);
}

}  // namespace

DetectorParams LoadDetectorDefaults(const SettingsStore& store, std::string_view station,
                                    std::string_view channel) {
  DetectorParams params;
  const std::string key = DetectorKey(station, channel);
  auto read = [&](const char* name, double& target) {
    if (const auto text = store.GetString(key, name)) {
      if (const auto value = LeadingNumber(*text)) target = *value;
    }
  };
  read("Tlta", params.lta);
  read("Tsta", params.sta);
  read("K", params.k);
  if (const auto text = store.GetString(key, "Filter")) {
    params.useFilter = (!text->empty() && text->front() != '0') ? 1 : 0;
  }
  return params;
}

bool SaveDetectorDefaults(SettingsStore& store, std::string_view station, std::string_view channel,
                          const DetectorParams& params) {
  const std::string key = DetectorKey(station, channel);
  return store.SetString(key, "Tlta", StrFormat("%g", params.lta)) &&
         store.SetString(key, "Tsta", StrFormat("%g", params.sta)) &&
         store.SetString(key, "K", StrFormat("%g", params.k)) &&
         store.SetString(key, "Filter", params.useFilter ? "1" : "0");
}

void CNUVDetector::Initialise(double samplesPerSecond) {
  nLta_ = WindowSamples(tlta_, samplesPerSecond, "LTA");
  nSta_ = WindowSamples(tsta_, samplesPerSecond, "STA");
  sps_ = samplesPerSecond;
  buffer_.assign(nLta_ + nSta_, 0.0);
  head_ = 0;
  reference_ = 0.0;
  sinceResync_ = 0;
  sumS_ = sumSqS_ = sumL_ = sumSqL_ = 0.0;
  x0_ = x1_ = x2_ = 0.0f;
  slope_ = 0.0f;
  ratio_ = 0.0f;
  seen_ = 0;
  hold_ = 0;
  holdReset_ = static_cast<long long>(std::floor(5.0 * samplesPerSecond));
  // The parabola through (a, x0), (b, x-1), (c, x-2): its abscissae are fixed,
  // so l, o and r are the same for every sample.
  pa_ = 0.0;
  pb_ = 1.0 / samplesPerSecond;
  pc_ = 2.0 / samplesPerSecond;
  pl_ = pa_ * pa_ - pb_ * pb_;
  po_ = pa_ * pa_ - pc_ * pc_;
  pr_ = pl_ * (pa_ - pc_) - (pa_ - pb_) * po_;
}

CNUVDetector::Result CNUVDetector::Step(float x) {
  // 1. The slope of the parabola through the last three samples at its middle point.
  x2_ = x1_;
  x1_ = x0_;
  x0_ = x;
  {
    const double d = x0_, e = x1_, f = x2_;
    const double ep = d - e;
    const double dp = d - f;
    const double t = ep * (pa_ - pc_) - (pa_ - pb_) * dp;
    const double u = pl_ * dp - ep * po_;
    double a = 0.0, b = 0.0;
    if (pr_ != 0.0) {
      a = t / pr_;
      b = u / pr_;
    }
    slope_ = static_cast<float>(2.0 * a * pb_ + b);
  }

  // 2. v leaves the LTA window, u moves from the STA window into it. The
  // buffer holds deviations from the reference; before the first sample it
  // stands for a trace at the level of that sample.
  if (seen_ == 0) reference_ = x;
  const std::size_t size = buffer_.size();
  const double v = buffer_[head_];
  std::size_t at = head_ + nLta_;
  if (at >= size) at -= size;
  const double u = buffer_[at];
  const double xd = static_cast<double>(x) - reference_;
  buffer_[head_] = xd;
  if (++head_ == size) head_ = 0;

  // 3.-5. Running sums and sums of squares of both windows, recomputed from
  // the buffer once per buffer length so rounding cannot accumulate.
  if (++sinceResync_ >= size) {
    ResyncSums();
  } else {
    sumS_ += xd - u;
    sumSqS_ += xd * xd - u * u;
    sumL_ += u - v;
    sumSqL_ += u * u - v * v;
  }
  const double ns = static_cast<double>(nSta_);
  const double nl = static_cast<double>(nLta_);
  const double varS = SignalVariance(sumS_, sumSqS_, ns);
  const double varL = SignalVariance(sumL_, sumSqL_, nl);
  ratio_ = varL > 0.0 ? static_cast<float>(varS / varL) : 1e8f;

  // 6. Warm-up until both windows have been filled three times over.
  if (seen_ <= 3 * static_cast<long long>(nLta_ + nSta_)) {
    ++seen_;
    return {};
  }

  // 7. The trigger, held on for 5 s after the ratio falls below K.
  Result result;
  if (varS > k_ * varL) {
    hold_ = holdReset_;
    result.on = true;
  } else if (hold_ > 0) {
    --hold_;
    result.on = true;
  }
  // 8. Where a straight line with the current slope reaches the long-term mean.
  if (slope_ != 0.0f) {
    const double meanL = sumL_ / nl;
    const double x0 = static_cast<double>(x0_) - reference_;
    result.onsetOffset = std::fabs((meanL - x0) / slope_);
  }
  return result;
}

void CNUVDetector::ResyncSums() {
  sinceResync_ = 0;
  sumS_ = sumSqS_ = sumL_ = sumSqL_ = 0.0;
  // Oldest first: the LTA window is the first nLta_ samples, the STA window the rest.
  const std::size_t size = buffer_.size();
  for (std::size_t i = 0; i < size; ++i) {
    std::size_t at = head_ + i;
    if (at >= size) at -= size;
    const double d = buffer_[at];
    if (i < nLta_) {
      sumL_ += d;
      sumSqL_ += d * d;
    } else {
      sumS_ += d;
      sumSqS_ += d * d;
    }
  }
}

void CVendrelDetector::Initialise(double samplesPerSecond) {
  const std::size_t lta = WindowSamples(tlta_, samplesPerSecond, "LTA");
  const std::size_t sta = WindowSamples(tsta_, samplesPerSecond, "STA");
  if (2 * (lta + sta) > 65535) {
    throw DetectorError(
        StrFormat("Детектор Вендрела: окна LTA и STA вместе (%zu отсчётов) длиннее 32767 отсчётов",
                  lta + sta));
  }
  nLta_ = static_cast<uint16_t>(lta);
  nSta_ = static_cast<uint16_t>(sta);
  nDc_ = static_cast<uint16_t>(2 * (lta + sta));
  divLta_.Set(nLta_);
  divSta_.Set(nSta_);
  divDc_.Set(nDc_);
  if (!(k_ >= 0.0) || k_ >= 65536.0) {
    throw DetectorError(StrFormat("Детектор Вендрела: порог %g вне диапазона", k_));
  }
  const double whole = std::floor(k_);
  kInt_ = static_cast<uint32_t>(whole);
  kFrac_ = static_cast<uint16_t>(std::floor((k_ - whole) * 65535.0));
  dc_ = sta_ = lta_ = Average{};
  ratioInt_ = 0;
  ratioFrac_ = 0;
  on_ = false;
  stepped_ = 0;
}

inline uint64_t CVendrelDetector::Divisor::Quotient(uint64_t d) const {
  // 2^64 / 1 does not fit: a count of one divides by itself.
  if (n == 1) return d;
  __extension__ using Wide = unsigned __int128;
  return static_cast<uint64_t>((static_cast<Wide>(d) * reciprocal) >> 64);
}

inline uint64_t CVendrelDetector::Update(Average& avg, int64_t value, const Divisor& n) {
  // Moving down by d = P - value or up by d = value - P: the whole part moves
  // by d / n and the remainder by d mod n in the same direction. Written with
  // a sign factor: the direction follows noise and would defeat branch prediction.
  const int64_t diff = value - avg.whole;
  const int64_t sign = diff < 0 ? -1 : 1;
  const uint64_t d = static_cast<uint64_t>(diff * sign);
  const uint64_t q = n.Quotient(d);
  avg.whole += sign * static_cast<int64_t>(q);
  avg.remainder += sign * static_cast<int64_t>(d - q * n.n);
  // Carry a whole unit of the remainder (|R| < 2n here); R keeps its sign.
  const int64_t size = static_cast<int64_t>(n.n);
  const int64_t carry = (avg.remainder >= size) - (avg.remainder <= -size);
  avg.whole += carry;
  avg.remainder -= carry * size;
  return d;
}

int64_t CVendrelDetector::SampleValue(float x) {
  if (std::isnan(x)) return 0;
  constexpr double kLimit = 2147483648.0;  // 2^31 counts
  const double clamped = std::clamp(static_cast<double>(x), -kLimit, kLimit);
  return static_cast<int64_t>(std::trunc(clamped * (1 << kFractionBits)));
}

bool CVendrelDetector::Step(float x) {
  const int64_t a = SampleValue(x);
  // The level starts where the trace starts: from 0 it would take several
  // LTA lengths to settle, and the deviations meanwhile would swamp the LTA.
  if (stepped_ == 0) dc_ = {a, 0};
  const uint64_t dev = Update(dc_, a, divDc_);
  Update(sta_, static_cast<int64_t>(dev), divSta_);
  Update(lta_, static_cast<int64_t>(dev), divLta_);

  // The averages of deviations are never negative.
  const uint64_t s = static_cast<uint64_t>(std::max<int64_t>(sta_.whole, 0));
  const uint64_t l = static_cast<uint64_t>(std::max<int64_t>(lta_.whole, 0));
  if (l != 0) {
    const uint64_t whole = s / l;
    ratioInt_ = static_cast<uint32_t>(std::min<uint64_t>(whole, UINT32_MAX));
    ratioFrac_ = static_cast<uint16_t>((s - whole * l) * 65535 / l);
  }
  on_ = ratioInt_ > kInt_ || (ratioInt_ == kInt_ && ratioFrac_ >= kFrac_);
  const bool warmedUp = stepped_ > 2 * (static_cast<long long>(nLta_) + nSta_);
  ++stepped_;
  return on_ && warmedUp;
}

std::span<const float> NUVDetectorInput(const DetectorParams& params, std::span<const float> source,
                                        const std::vector<float>* filtered) {
  if (!params.useFilter) return source;
  if (filtered == nullptr || filtered->empty()) throw DetectorError("Нет фильтрованных данных");
  return *filtered;
}

namespace {

// Steps every sample through `step` (true while the detector is on) and calls
// `mark` with the sample's time on every transition from off to on.
template <typename Step, typename Mark>
void ScanTriggers(std::span<const float> samples, double samplesPerSecond, double start,
                  Step&& step, Mark&& mark) {
  bool wasOn = false;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const bool on = step(samples[i]);
    if (on && !wasOn) mark(start + static_cast<double>(i) / samplesPerSecond);
    wasOn = on;
  }
}

}  // namespace

void RunNUVDetector(std::span<const float> samples, double samplesPerSecond, double start,
                    const DetectorParams& params, DetectParam& marks) {
  CNUVDetector detector(params.lta, params.sta, params.k);
  detector.Initialise(samplesPerSecond);
  marks.Clear();
  double onset = 0.0;
  ScanTriggers(
      samples, samplesPerSecond, start,
      [&](float x) {
        const auto result = detector.Step(x);
        onset = result.onsetOffset;
        return result.on;
      },
      [&](double t) {
        marks.Add(t - params.sta / 2.0, params.lta, params.sta);
        marks.Add(t - onset, params.lta, params.sta);
      });
}

void RunVendrelDetector(std::span<const float> samples, double samplesPerSecond, double start,
                        const DetectorParams& params, DetectParam& marks) {
  CVendrelDetector detector(params.lta, params.sta, params.k);
  detector.Initialise(samplesPerSecond);
  marks.Clear();
  ScanTriggers(
      samples, samplesPerSecond, start, [&](float x) { return detector.Step(x); },
      [&](double t) { marks.Add(t, params.lta, params.sta); });
}

}  // namespace nuv
