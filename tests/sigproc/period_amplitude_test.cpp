#include "sigproc/period_amplitude.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

namespace nuv {
namespace {

std::vector<float> Sine(double period, double amplitude, double rate, double seconds,
                        double offset = 0, double slope = 0, double phase = 0) {
  std::vector<float> s(static_cast<size_t>(seconds * rate));
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    s[i] = static_cast<float>(amplitude * std::sin(2 * std::numbers::pi * t / period + phase) +
                              offset + slope * t);
  }
  return s;
}

PeriodAmplitudeInput Input(const std::vector<float>& s, double rate, double a, double b) {
  PeriodAmplitudeInput in;
  in.samples = &s;
  in.rate = rate;
  in.windowStart = 1000;
  in.windowLength = static_cast<double>(s.size()) / rate;
  in.hasInterval = true;
  in.intervalStart = 1000 + a;
  in.intervalEnd = 1000 + b;
  return in;
}

TEST(PeriodAmplitude, HalfSecondSineOverTenSeconds) {
  // Peaks on samples (a cosine), so the sampled swing is the true one.
  const std::vector<float> s = Sine(0.5, 3.0, 100, 10, 0, 0, std::numbers::pi / 2);
  // Ends reversed, later end at the window end: accepted.
  const PeriodAmplitude r = MeasurePeriodAmplitude(Input(s, 100, 10, 0));
  ASSERT_EQ(r.refusal, PeriodAmplitudeRefusal::kNone);
  EXPECT_NEAR(r.period, 0.5, 1e-9);
  EXPECT_NEAR(r.peakToPeak, 6.0, 1e-3);
  EXPECT_GE(r.time, 1000);
  EXPECT_LE(r.time, 1010);
  EXPECT_EQ(r.count, 1000);
}

TEST(PeriodAmplitude, TrendAndOffsetDoNotMoveThePeriod) {
  // A strong drift would dominate the lowest frequencies without detrending.
  const std::vector<float> s = Sine(2.0, 1.0, 50, 20, 500, 40);
  const PeriodAmplitude r = MeasurePeriodAmplitude(Input(s, 50, 0, 20));
  ASSERT_EQ(r.refusal, PeriodAmplitudeRefusal::kNone);
  EXPECT_NEAR(r.period, 2.0, 1e-9);
}

TEST(PeriodAmplitude, OneSlowSwingOverALongInterval) {
  // 200000 samples holding a single period: the windows are half the
  // interval long, and the swing is still found (peaks on samples).
  const std::vector<float> s = Sine(2000, 3.0, 100, 2000, 0, 0, std::numbers::pi / 2);
  const PeriodAmplitude r = MeasurePeriodAmplitude(Input(s, 100, 0, 2000));
  ASSERT_EQ(r.refusal, PeriodAmplitudeRefusal::kNone);
  EXPECT_NEAR(r.period, 2000, 1e-6);
  EXPECT_NEAR(r.peakToPeak, 6.0, 1e-3);
  EXPECT_GE(r.time, 1000);
  EXPECT_LE(r.time, 3000);
}

TEST(PeriodAmplitude, EqualWaveGroupsGiveTheEarlierOne) {
  // Two identical bursts of a 1 s wave in 20 s of silence: the first wins.
  std::vector<float> s(2000, 0.0f);
  for (int start : {300, 1300})
    for (int i = 0; i < 300; ++i)
      s[static_cast<size_t>(start + i)] =
          static_cast<float>(2 * std::sin(2 * std::numbers::pi * i / 100.0));
  const PeriodAmplitude r = MeasurePeriodAmplitude(Input(s, 100, 0, 20));
  ASSERT_EQ(r.refusal, PeriodAmplitudeRefusal::kNone);
  EXPECT_GT(r.peakToPeak, 3.9);
  EXPECT_GE(r.time, 1003);
  EXPECT_LT(r.time, 1006);
}

TEST(PeriodAmplitude, FastTransformPicksTheSameIndexAsDirectSums) {
  // Odd length, two tones: the direct DFT magnitudes decide.
  std::vector<double> x(257);
  for (size_t i = 0; i < x.size(); ++i)
    x[i] = std::sin(0.31 * static_cast<double>(i)) + 0.7 * std::cos(1.1 * static_cast<double>(i)) +
           0.01 * static_cast<double>(i % 7);
  const int n = static_cast<int>(x.size());
  int best = 0;
  double bestMag = -1;
  for (int k = 1; k <= n / 2 - 1; ++k) {
    std::complex<double> sum = 0;
    for (int i = 0; i < n; ++i)
      sum += x[static_cast<size_t>(i)] * std::polar(1.0, -2 * std::numbers::pi * k * i / n);
    if (std::abs(sum) / n > bestMag) bestMag = std::abs(sum) / n, best = k;
  }
  EXPECT_EQ(DominantFrequencyIndex(x), best);
  EXPECT_EQ(DominantFrequencyIndex({1, 2, 3}), 0);
}

TEST(PeriodAmplitude, RefusalsAndTheirMessages) {
  const std::vector<float> s = Sine(0.5, 1.0, 100, 10);
  PeriodAmplitudeInput in = Input(s, 100, 1, 2);
  in.hasInterval = false;
  EXPECT_EQ(MeasurePeriodAmplitude(in).refusal, PeriodAmplitudeRefusal::kNoInterval);
  // The earlier end at the window end is refused, as is an end beyond it or before the start.
  EXPECT_EQ(MeasurePeriodAmplitude(Input(s, 100, 10, 12)).refusal,
            PeriodAmplitudeRefusal::kOutsideWindow);
  EXPECT_EQ(MeasurePeriodAmplitude(Input(s, 100, 5, 10.5)).refusal,
            PeriodAmplitudeRefusal::kOutsideWindow);
  EXPECT_EQ(MeasurePeriodAmplitude(Input(s, 100, -1, 2)).refusal,
            PeriodAmplitudeRefusal::kOutsideWindow);
  // Three samples hold no frequency between zero and Nyquist.
  EXPECT_EQ(MeasurePeriodAmplitude(Input(s, 100, 1, 1.03)).refusal,
            PeriodAmplitudeRefusal::kTooShort);
  // A transformed array shorter than the window: the segment is cut to it.
  const std::vector<float> shortSamples(s.begin(), s.begin() + 300);
  PeriodAmplitudeInput cut = Input(shortSamples, 100, 3.5, 9);
  cut.windowLength = 10;
  EXPECT_EQ(MeasurePeriodAmplitude(cut).refusal, PeriodAmplitudeRefusal::kTooShort);
  PeriodAmplitudeInput noRate = Input(s, 100, 1, 2);
  noRate.rate = 0;
  EXPECT_NE(MeasurePeriodAmplitude(noRate).refusal, PeriodAmplitudeRefusal::kNone);
  EXPECT_EQ(PeriodAmplitudeMessage(PeriodAmplitudeRefusal::kNoInterval), "Не выбран интервал");
  EXPECT_EQ(PeriodAmplitudeMessage(PeriodAmplitudeRefusal::kOutsideWindow),
            "Интервал вне пределов активного окна");
  EXPECT_EQ(PeriodAmplitudeMessage(PeriodAmplitudeRefusal::kNone), "");
}

}  // namespace
}  // namespace nuv
