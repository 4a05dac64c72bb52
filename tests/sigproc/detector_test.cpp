#include "sigproc/detector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "support/temp_dir.h"

namespace nuv {
namespace {

// Deterministic noise with zero mean and unit-ish amplitude.
class Noise {
 public:
  explicit Noise(unsigned seed) : state_(seed) {}
  float operator()() {
    state_ = state_ * 1103515245u + 12345u;
    return static_cast<float>((state_ >> 8) % 20001) / 10000.0f - 1.0f;
  }

 private:
  unsigned state_;
};

// `seconds` of background noise (amplitude `background`) around `level` with a
// burst of amplitude `burst` from `onset` for `length` seconds.
std::vector<float> Record(double sps, double seconds, float level, float background, double onset,
                          double length, float burst) {
  Noise noise(11);
  std::vector<float> x(static_cast<std::size_t>(seconds * sps));
  for (std::size_t i = 0; i < x.size(); ++i) {
    const double t = static_cast<double>(i) / sps;
    const float a = (t >= onset && t < onset + length) ? burst : background;
    x[i] = level + a * noise();
  }
  return x;
}

TEST(NUVDetector, StaysOffDuringTheWarmUp) {
  // Silence, then noise from 32.5 s: var_s > K var_l holds from sample 3250
  // on, but the first 3301 samples (3 * (1000 + 100) + 1) are off.
  std::vector<float> x(4000, 0.0f);
  Noise noise(3);
  for (std::size_t i = 3250; i < x.size(); ++i) x[i] = 100.0f * noise();
  CNUVDetector detector(10.0, 1.0, 4.0);
  detector.Initialise(100.0);
  for (std::size_t i = 0; i < 3301; ++i) ASSERT_FALSE(detector.Step(x[i]).on) << i;
  EXPECT_TRUE(detector.Step(x[3301]).on);
}

TEST(NUVDetector, TriggersOnceOnABurstAndHoldsFiveSeconds) {
  const double sps = 100.0;
  const auto x = Record(sps, 120.0, 500.0f, 1.0f, 60.0, 2.0, 50.0f);
  CNUVDetector detector(10.0, 1.0, 4.0);
  detector.Initialise(sps);
  std::vector<bool> on(x.size());
  std::size_t lastAbove = 0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    on[i] = detector.Step(x[i]).on;
    if (i > 3300 && detector.ratio() > 4.0f) lastAbove = i;
  }
  // One run of "on" samples, from the onset to 500 samples after the ratio fell.
  std::size_t first = 0, runs = 0;
  for (std::size_t i = 0; i < on.size(); ++i) {
    if (on[i] && (i == 0 || !on[i - 1])) {
      ++runs;
      first = i;
    }
  }
  EXPECT_EQ(runs, 1u);
  EXPECT_GE(first, 6000u);
  EXPECT_LE(first, 6010u);
  ASSERT_GT(lastAbove, first);
  EXPECT_TRUE(on[lastAbove + 500]);
  EXPECT_FALSE(on[lastAbove + 501]);

  DetectParam marks;
  RunNUVDetector(x, sps, 1000.0, {10.0, 1.0, 4.0, 0}, marks);
  ASSERT_EQ(marks.size(), 2u);
  const double t = 1000.0 + static_cast<double>(first) / sps;
  EXPECT_DOUBLE_EQ(marks.time(0), t - 0.5);
  // The onset estimate: a line with the current slope reaches the long-term mean.
  EXPECT_LE(marks.time(1), t);
  EXPECT_GT(marks.time(1), t - 1.0);
  EXPECT_EQ(marks.lta(0), 10.0);
  EXPECT_EQ(marks.sta(1), 1.0);
}

TEST(VendrelDetector, StaysOffDuringTheWarmUp) {
  // Quiet, then a strong signal from sample 2150: the first 2201 samples
  // (2 * (1000 + 100) + 1) are off, the next one is on.
  std::vector<float> x(3000, 1000.0f);
  Noise noise(5);
  for (std::size_t i = 2150; i < x.size(); ++i) x[i] = 10000.0f + 3000.0f * noise();
  CVendrelDetector detector(10.0, 1.0, 4.0);
  detector.Initialise(100.0);
  for (std::size_t i = 0; i < 2201; ++i) ASSERT_FALSE(detector.Step(x[i])) << i;
  EXPECT_TRUE(detector.Step(x[2201]));
}

TEST(VendrelDetector, SamplesEnterAsSignedFixedPointValues) {
  constexpr int64_t one = int64_t{1} << CVendrelDetector::kFractionBits;
  // Negative samples stay negative: a wrap to large counts would read noise
  // around zero as swings of thousands.
  EXPECT_EQ(CVendrelDetector::SampleValue(-2.0f), -2 * one);
  EXPECT_EQ(CVendrelDetector::SampleValue(-1.5f), -3 * one / 2);
  EXPECT_EQ(CVendrelDetector::SampleValue(7.0f), 7 * one);
  EXPECT_EQ(CVendrelDetector::SampleValue(65536.0f + 10.0f), (65536 + 10) * one);
  EXPECT_EQ(CVendrelDetector::SampleValue(1e30f), (int64_t{1} << 31) * one);
  EXPECT_EQ(CVendrelDetector::SampleValue(-INFINITY), -(int64_t{1} << 31) * one);
  EXPECT_EQ(CVendrelDetector::SampleValue(std::nanf("")), 0);
}

// Noise of amplitude `noise` around `level` with bursts `ratio` times as
// large from 60 s for 3 s and from 150 s for 2 s, at 100 samples/s.
std::vector<float> Bursts(float level, float noise, float ratio) {
  Noise random(17);
  std::vector<float> x(24000);
  for (std::size_t i = 0; i < x.size(); ++i) {
    const bool burst = (i >= 6000 && i < 6300) || (i >= 15000 && i < 15200);
    x[i] = level + (burst ? ratio : 1.0f) * noise * random();
  }
  return x;
}

TEST(Detectors, BothFindTheSameBurstsWhateverTheLevel) {
  // Noise around zero (half the samples negative), far below and far above
  // it, of whole counts and of fractions of a count.
  const DetectorParams params{10.0, 1.0, 4.0, 0};
  const double onsets[] = {60.0, 150.0};
  for (float level : {0.0f, -20000.0f, 35000.0f, 3.0e5f}) {
    for (float noise : {0.4f, 25.0f}) {
      for (float ratio : {30.0f, 60.0f, 100.0f}) {
        const auto x = Bursts(level, noise, ratio);
        DetectParam nuv, vendrel;
        RunNUVDetector(x, 100.0, 0.0, params, nuv);
        RunVendrelDetector(x, 100.0, 0.0, params, vendrel);
        const std::string what = testing::PrintToString(std::vector<float>{level, noise, ratio});
        // Two marks per trigger of the first detector, one of the second:
        // one trigger per burst each, at its onset.
        ASSERT_EQ(nuv.size(), 4u) << what;
        ASSERT_EQ(vendrel.size(), 2u) << what;
        for (std::size_t b = 0; b < 2; ++b) {
          EXPECT_NEAR(nuv.time(2 * b), onsets[b], 1.0) << what;
          EXPECT_GE(vendrel.time(b), onsets[b]) << what;
          EXPECT_LT(vendrel.time(b), onsets[b] + 1.0) << what;
        }
      }
    }
  }
}

TEST(VendrelDetector, MarksTheOnsetOfABurst) {
  // The DC average starts at 0 and settles with a time constant of
  // 2 * (LTA + STA): a positive level of 200 counts has settled by 100 s.
  const double sps = 100.0;
  const auto x = Record(sps, 150.0, 200.0f, 10.0f, 100.0, 3.0, 190.0f);
  DetectParam marks;
  RunVendrelDetector(x, sps, 500.0, {10.0, 1.0, 4.0, 0}, marks);
  // Without a hold time the ratio may dip under K and rise again inside the
  // burst: every mark lies within it, the first at its onset.
  ASSERT_GE(marks.size(), 1u);
  EXPECT_GE(marks.time(0), 600.0);
  EXPECT_LT(marks.time(0), 600.5);
  for (std::size_t i = 0; i < marks.size(); ++i) {
    EXPECT_LT(marks.time(i), 603.0) << i;
    EXPECT_EQ(marks.lta(i), 10.0);
    EXPECT_EQ(marks.sta(i), 1.0);
  }
}

TEST(Detectors, AConstantTraceNeverTriggers) {
  for (float level : {0.0f, 1.0f, 5.0f, -7.1f, 1000.3f, 123456.7f}) {
    const std::vector<float> x(60000, level);
    DetectParam marks;
    RunNUVDetector(x, 100.0, 0.0, {10.0, 1.0, 4.0, 0}, marks);
    EXPECT_EQ(marks.size(), 0u) << level;
    RunVendrelDetector(x, 100.0, 0.0, {10.0, 1.0, 4.0, 0}, marks);
    EXPECT_EQ(marks.size(), 0u) << level;
  }
}

// Whole-number noise of standard deviation about `background` around
// `offset` with a burst `ratio` times its variance from 60 s for 3 s: every
// sample is exact in single precision up to 1e7, so each offset hands the
// detector the same deviations.
std::vector<float> OffsetRecord(double offset, double background, double ratio) {
  Noise noise(29);
  std::vector<float> x(9000);
  const double burst = background * std::sqrt(ratio);
  for (std::size_t i = 0; i < x.size(); ++i) {
    const bool inBurst = i >= 6000 && i < 6300;
    const double a = (inBurst ? burst : background) * std::sqrt(3.0);  // uniform noise
    x[i] = static_cast<float>(offset + std::round(a * noise()));
  }
  return x;
}

TEST(NUVDetector, AConstantOffsetChangesNothing) {
  const DetectorParams params{10.0, 1.0, 10.0, 0};
  DetectParam reference;
  RunNUVDetector(OffsetRecord(0.0, 2.0, 40.0), 100.0, 0.0, params, reference);
  ASSERT_EQ(reference.size(), 2u);
  // Triggered within the first second of the burst (marks at t - Tsta/2).
  EXPECT_GE(reference.time(0), 60.0 - 0.5);
  EXPECT_LT(reference.time(0), 60.5);
  for (double offset : {0.0, 1e5, 1e6, 1e7}) {
    // A burst of ratio 6.25 stays under K = 10 at every level.
    DetectParam quiet;
    RunNUVDetector(OffsetRecord(offset, 2.0, 6.25), 100.0, 0.0, params, quiet);
    EXPECT_EQ(quiet.size(), 0u) << offset;
    // A burst of ratio 40 triggers at the same sample with the same onset.
    DetectParam marks;
    RunNUVDetector(OffsetRecord(offset, 2.0, 40.0), 100.0, 0.0, params, marks);
    ASSERT_EQ(marks.size(), reference.size()) << offset;
    for (std::size_t i = 0; i < marks.size(); ++i)
      EXPECT_NEAR(marks.time(i), reference.time(i), 1e-6) << offset;
    // A constant trace at that level stays silent.
    const std::vector<float> flat(9000, static_cast<float>(offset));
    DetectParam none;
    RunNUVDetector(flat, 100.0, 0.0, params, none);
    EXPECT_EQ(none.size(), 0u) << offset;
  }
}

TEST(Detectors, ShortAndEmptyInputAndBadParameters) {
  DetectParam marks;
  marks.Add(1.0, 2.0, 3.0);
  RunNUVDetector({}, 100.0, 0.0, {}, marks);
  EXPECT_EQ(marks.size(), 0u);  // a run replaces the marks
  const std::vector<float> one{3.0f};
  RunNUVDetector(one, 100.0, 0.0, {}, marks);
  RunVendrelDetector(one, 100.0, 0.0, {}, marks);
  EXPECT_EQ(marks.size(), 0u);

  const std::vector<float> x(100, 1.0f);
  for (double sps : {0.0, -1.0, std::nan("")}) {
    EXPECT_THROW(RunNUVDetector(x, sps, 0.0, {}, marks), DetectorError) << sps;
    EXPECT_THROW(RunVendrelDetector(x, sps, 0.0, {}, marks), DetectorError) << sps;
  }
  // STA of 0.1 s at 5 samples/s holds no sample.
  EXPECT_THROW(RunNUVDetector(x, 5.0, 0.0, {10.0, 0.1, 4.0, 0}, marks), DetectorError);
  EXPECT_THROW(RunVendrelDetector(x, 5.0, 0.0, {10.0, 0.1, 4.0, 0}, marks), DetectorError);
  // The 16-bit counts of the fixed-point detector cannot hold 999 s at 100 samples/s.
  EXPECT_THROW(RunVendrelDetector(x, 100.0, 0.0, {999.0, 1.0, 4.0, 0}, marks), DetectorError);
  EXPECT_NO_THROW(RunNUVDetector(x, 100.0, 0.0, {999.0, 1.0, 4.0, 0}, marks));
  EXPECT_THROW(RunVendrelDetector(x, 100.0, 0.0, {10.0, 1.0, -1.0, 0}, marks), DetectorError);
}

TEST(DetectorDefaults, ReadFromTheStoreWithBuiltInDefaults) {
  test::TempDir dir;
  SettingsStore store(dir / "registry.txt");
  DetectorParams d = LoadDetectorDefaults(store, "ABC", "BHZ");
  EXPECT_EQ(d.lta, 10.0);
  EXPECT_EQ(d.sta, 1.0);
  EXPECT_EQ(d.k, 4.0);
  EXPECT_EQ(d.useFilter, 0);

  store.SetString("NUV\\Detector\\ABC\\BHZ", "Tlta", "20.");
  store.SetString("NUV\\Detector\\ABC\\BHZ", "Tsta", " 0.5 s");
  store.SetString("NUV\\Detector\\ABC\\BHZ", "K", "junk");
  store.SetString("NUV\\Detector\\ABC\\BHZ", "Filter", "yes");
  d = LoadDetectorDefaults(store, "abc", "bhz");
  EXPECT_EQ(d.lta, 20.0);
  EXPECT_EQ(d.sta, 0.5);
  EXPECT_EQ(d.k, 4.0);  // unreadable: default kept
  EXPECT_EQ(d.useFilter, 1);
  store.SetString("NUV\\Detector\\ABC\\BHZ", "Filter", "0.5");
  EXPECT_EQ(LoadDetectorDefaults(store, "ABC", "BHZ").useFilter, 0);
  EXPECT_EQ(LoadDetectorDefaults(store, "ABC", "BHN").lta, 10.0);  // other channel

  ASSERT_TRUE(SaveDetectorDefaults(store, "XYZ", "HHZ", {30.0, 2.5, 3.25, 1}));
  SettingsStore reread(dir / "registry.txt");
  d = LoadDetectorDefaults(reread, "XYZ", "HHZ");
  EXPECT_EQ(d.lta, 30.0);
  EXPECT_EQ(d.sta, 2.5);
  EXPECT_EQ(d.k, 3.25);
  EXPECT_EQ(d.useFilter, 1);
}

TEST(NUVDetector, FilteredSamplesAreRequiredWhenTheFlagIsOn) {
  const std::vector<float> source(10, 1.0f);
  const std::vector<float> filtered(10, 2.0f);
  DetectorParams params;
  EXPECT_EQ(NUVDetectorInput(params, source, nullptr).data(), source.data());
  params.useFilter = 1;
  EXPECT_EQ(NUVDetectorInput(params, source, &filtered).data(), filtered.data());
  const std::vector<float> none;
  try {
    NUVDetectorInput(params, source, &none);
    FAIL() << "no error";
  } catch (const DetectorError& e) {
    EXPECT_STREQ(e.what(), "Нет фильтрованных данных");
  }
  EXPECT_THROW(NUVDetectorInput(params, source, nullptr), DetectorError);
}

}  // namespace
}  // namespace nuv

namespace nuv {
namespace {

// The fixed-point detector transcribed step by step with plain integer
// division, to check the fast division of the real one.
class ReferenceVendrel {
 public:
  ReferenceVendrel(int64_t nLta, int64_t nSta, double k)
      : nLta_(nLta),
        nSta_(nSta),
        kInt_(static_cast<int64_t>(std::floor(k))),
        kFrac_(static_cast<int64_t>(std::floor((k - std::floor(k)) * 65535))) {}

  bool Step(float x) {
    const int64_t a = static_cast<int64_t>(std::trunc(static_cast<double>(x) * 65536.0));
    if (count_ == 0) dc_.p = a;
    const int64_t dev = Avg(dc_, a, 2 * (nLta_ + nSta_));
    Avg(sta_, dev, nSta_);
    Avg(lta_, dev, nLta_);
    if (lta_.p != 0) {
      ri_ = sta_.p / lta_.p;
      rf_ = (sta_.p % lta_.p) * 65535 / lta_.p;
    }
    const bool on = ri_ > kInt_ || (ri_ == kInt_ && rf_ >= kFrac_);
    const bool warmedUp = count_++ > 2 * (nLta_ + nSta_);
    return on && warmedUp;
  }
  int64_t ratioInteger() const { return ri_; }
  int64_t ratioFraction() const { return rf_; }

 private:
  struct A {
    int64_t p = 0;
    int64_t r = 0;
  };
  static int64_t Avg(A& avg, int64_t value, int64_t n) {
    int64_t d;
    if (value < avg.p) {
      d = avg.p - value;
      avg.p -= d / n;
      avg.r -= d % n;
    } else {
      d = value - avg.p;
      avg.p += d / n;
      avg.r += d % n;
    }
    avg.p += avg.r / n;
    avg.r = avg.r % n;
    return d;
  }
  int64_t nLta_, nSta_, kInt_, kFrac_;
  A dc_, sta_, lta_;
  int64_t ri_ = 0, rf_ = 0;
  long long count_ = 0;
};

TEST(VendrelDetector, MatchesTheStepByStepIntegerArithmetic) {
  struct Case {
    double lta, sta, sps, k;
  };
  // Short windows, the usual ones, and the longest the 16-bit counts allow.
  for (const Case& c : {Case{1.0, 0.1, 20.0, 1.5}, Case{10.0, 1.0, 100.0, 4.0},
                        Case{300.0, 27.0, 100.0, 2.25}, Case{3.0, 1.0, 7.0, 1.0}}) {
    CVendrelDetector detector(c.lta, c.sta, c.k);
    detector.Initialise(c.sps);
    ReferenceVendrel reference(static_cast<int>(std::floor(c.lta * c.sps)),
                               static_cast<int>(std::floor(c.sta * c.sps)), c.k);
    Noise noise(static_cast<unsigned>(c.lta * 10));
    for (int i = 0; i < 200000; ++i) {
      // Slow wander, bursts, negative samples and fractions of a count.
      const float level = 3000.0f * std::sin(i * 1e-4f);
      const float amplitude = (i / 5000) % 3 == 0 ? 20000.0f : 300.0f;
      const float x = level + amplitude * noise();
      ASSERT_EQ(detector.Step(x), reference.Step(x)) << i;
      ASSERT_EQ(static_cast<int64_t>(detector.ratioInteger()), reference.ratioInteger()) << i;
      ASSERT_EQ(static_cast<int64_t>(detector.ratioFraction()), reference.ratioFraction()) << i;
    }
  }
}

}  // namespace
}  // namespace nuv
