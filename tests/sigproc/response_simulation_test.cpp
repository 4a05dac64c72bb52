#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <vector>

#include "platform/scripted_prompts.h"
#include "sigproc/instrument.h"
#include "sigproc/response_source.h"
#include "sigproc/simulation.h"

namespace nuv {
namespace {

using C = std::complex<double>;
constexpr double kPi = 3.14159265358979323846;

std::vector<float> Noise(std::size_t n, unsigned seed) {
  std::vector<float> x(n);
  unsigned state = seed;
  for (auto& v : x) {
    state = state * 1103515245u + 12345u;
    v = static_cast<float>((state >> 8) % 20001) / 100.0f - 100.0f + 30.0f;
  }
  return x;
}

PoleZeroResponse Broadband() {
  PoleZeroResponse pz;
  ParseSacPoleZero("ZEROS 3|POLES 4|-0.037 0.037|-0.037 -0.037|-251.3 0|-131 467|CONSTANT 6e8", pz);
  return pz;
}

// The pole-zero pipeline written as its direct sums.
std::vector<double> DirectPoleZero(const std::vector<float>& in, double sps,
                                   const PoleZeroResponse& pz, int code) {
  const std::size_t m = PoleZeroTransformLength(in.size());
  std::vector<double> x(in.begin(), in.begin() + static_cast<std::ptrdiff_t>(m));
  double mean = 0;
  for (double v : x) mean += v;
  mean /= static_cast<double>(m);
  for (double& v : x) v -= mean;
  double st = 0, sy = 0, sty = 0, stt = 0;
  for (std::size_t i = 0; i < m; ++i) {
    const double t = static_cast<double>(i) / sps;
    st += t, sy += x[i], sty += t * x[i], stt += t * t;
  }
  const double d = static_cast<double>(m) * stt - st * st;
  const double b = (sy * stt - sty * st) / d;
  const double a = (sty * static_cast<double>(m) - sy * st) / d;
  for (std::size_t i = 0; i < m; ++i) x[i] -= a * (static_cast<double>(i) / sps) + b;
  const std::size_t k = m * 5 / 100;
  for (std::size_t i = 0; i < k; ++i) x[i] *= std::sin(kPi / 2 * static_cast<double>(i) / k);
  for (std::size_t i = m - k; i < m; ++i)
    x[i] *= std::sin(kPi / 2 * static_cast<double>(m - i) / k);

  std::vector<C> spectrum(m);
  for (std::size_t bin = 0; bin < m; ++bin) {
    C sum = 0;
    for (std::size_t j = 0; j < m; ++j)
      sum += x[j] * std::polar(1.0, -2 * kPi * double((j * bin) % m) / m);
    spectrum[bin] = sum;
  }
  const StandardInstrument* instrument = FindStandardInstrument(code);
  for (std::size_t bin = 1; bin < m; ++bin) {
    const double f = bin <= m / 2 ? bin * sps / m : -sps * double(m - bin) / m;
    C r = std::abs(f) >= 0.03 ? pz.Inverse(f) : C(0);
    spectrum[bin] *= r;
    if (code == 1010) spectrum[bin] *= C(0, 2 * kPi * f);
    if (instrument != nullptr) spectrum[bin] *= StandardResponse(*instrument, f);
  }
  std::vector<double> y(m);
  for (std::size_t v = 0; v < m; ++v) {
    C sum = 0;
    for (std::size_t bin = 0; bin < m; ++bin)
      sum += spectrum[bin] * std::polar(1.0, 2 * kPi * double((bin * v) % m) / m);
    y[v] = sum.real() / static_cast<double>(m);
  }
  return y;
}

// The amplitude-table pipeline written as its direct sums.
std::vector<double> DirectFap(const std::vector<float>& in, double sps, const CAPResponse& fap,
                              int code) {
  const std::size_t n = in.size();
  std::vector<double> x(n);
  double mean = 0;
  for (float v : in) mean += v;
  mean /= static_cast<double>(n);
  for (std::size_t j = 0; j < n; ++j) x[j] = in[j] - mean;
  std::vector<C> X(n);
  for (std::size_t k = 0; k < n; ++k) {
    C sum = 0;
    for (std::size_t j = 0; j < n; ++j)
      sum += x[j] * std::polar(1.0, 2 * kPi * double((j * k) % n) / n);
    X[k] = sum / static_cast<double>(n);
  }
  const StandardInstrument* instrument = code == 1011 ? nullptr : FindStandardInstrument(code);
  for (std::size_t k = 1; k < n; ++k) {
    const double f = sps * double(std::min(k, n - k)) / n;
    X[k] *= static_cast<double>(n) * fap.Amplitude(f);
    if (instrument != nullptr) X[k] *= std::abs(StandardResponse(*instrument, f));
  }
  std::vector<double> y(n);
  for (std::size_t v = 0; v < n; ++v) {
    double sum = 0;
    for (std::size_t k = 0; k < n; ++k) {
      const double a = 2 * kPi * double((k * v) % n) / n;
      sum += std::cos(a) * X[k].real() + std::sin(a) * X[k].imag();
    }
    y[v] = sum / static_cast<double>(n);
  }
  return y;
}

void ExpectClose(const std::vector<float>& got, const std::vector<double>& want, const char* what) {
  ASSERT_EQ(got.size(), want.size()) << what;
  double scale = 0;
  for (double v : want) scale = std::max(scale, std::abs(v));
  ASSERT_GT(scale, 0.0) << what;
  for (std::size_t i = 0; i < got.size(); ++i) {
    // Float output: a few units of single-precision rounding of the largest value.
    ASSERT_NEAR(got[i], want[i], 4e-7 * scale) << what << " sample " << i;
  }
}

TEST(PoleZeroTransformLength, TrimsToALargePowerOfTwoFactor) {
  EXPECT_EQ(PoleZeroTransformLength(1000), 992u);
  EXPECT_EQ(PoleZeroTransformLength(1023), 992u);
  EXPECT_EQ(PoleZeroTransformLength(1024), 1024u);
  EXPECT_EQ(PoleZeroTransformLength(3000), 2944u);
  EXPECT_EQ(PoleZeroTransformLength(360000), 352256u);  // 2^13 * 43
  EXPECT_EQ(PoleZeroTransformLength(2), 2u);
  EXPECT_EQ(PoleZeroTransformLength(26), 26u);
  for (std::size_t odd : {0u, 1u, 3u, 5u, 25u}) EXPECT_EQ(PoleZeroTransformLength(odd), 0u) << odd;
  for (std::size_t n = 2; n < 5000; ++n) {
    const std::size_t m = PoleZeroTransformLength(n);
    if (m == 0) continue;
    EXPECT_LE(m, n);
    EXPECT_GT(static_cast<double>(m), 0.96 * n);
  }
}

TEST(PoleZeroPipeline, EqualsTheDirectSums) {
  const PoleZeroResponse pz = Broadband();
  const auto x = Noise(100, 7);  // m = 96
  for (int code : {1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1010}) {
    ExpectClose(SimulatePoleZero(x, 20.0, pz, code), DirectPoleZero(x, 20.0, pz, code),
                TransformName(code)->c_str());
  }
  // A length with an odd factor left (m = 88 = 8 * 11) and a non-conjugate response.
  PoleZeroResponse lopsided;
  lopsided.constant = 3.0;
  lopsided.poles = {{-1.0, 2.0}};
  const auto y = Noise(91, 3);
  ASSERT_EQ(PoleZeroTransformLength(91), 88u);
  ExpectClose(SimulatePoleZero(y, 40.0, lopsided, 1000), DirectPoleZero(y, 40.0, lopsided, 1000),
              "lopsided");
}

TEST(PoleZeroPipeline, RemovesFrequenciesBelow3Centihertz) {
  // A flat response: only the 0.03 Hz cut-off, detrending and taper act.
  PoleZeroResponse flat;
  flat.constant = 1e9;
  const double sps = 1.0;
  std::vector<float> slow(1024), fast(1024);
  for (std::size_t i = 0; i < 1024; ++i) {
    slow[i] = static_cast<float>(std::sin(2 * kPi * 0.02 * i));
    fast[i] = static_cast<float>(std::sin(2 * kPi * 0.25 * i));
  }
  const auto s = SimulatePoleZero(slow, sps, flat, 1000);
  const auto f = SimulatePoleZero(fast, sps, flat, 1000);
  double slowMax = 0, fastMax = 0;
  for (std::size_t i = 100; i < 924; ++i) {
    slowMax = std::max(slowMax, std::abs(double(s[i])));
    fastMax = std::max(fastMax, std::abs(double(f[i])));
  }
  EXPECT_LT(slowMax, 0.1);
  EXPECT_NEAR(fastMax, 1.0, 0.02);
}

TEST(PoleZeroPipeline, VelocityIsTheDerivativeOfDisplacement) {
  PoleZeroResponse flat;
  flat.constant = 1e9;  // one count = one nanometre
  const double sps = 100.0, f0 = 2.0;
  std::vector<float> x(2048);
  for (std::size_t i = 0; i < x.size(); ++i)
    x[i] = static_cast<float>(std::sin(2 * kPi * f0 * i / sps));
  const auto v = SimulatePoleZero(x, sps, flat, 1010);
  ASSERT_EQ(v.size(), 2048u);
  for (std::size_t i = 300; i < 1700; i += 37) {
    EXPECT_NEAR(v[i], 2 * kPi * f0 * std::cos(2 * kPi * f0 * i / sps), 0.05) << i;
  }
}

TEST(PoleZeroPipeline, BadInput) {
  const PoleZeroResponse pz = Broadband();
  EXPECT_TRUE(SimulatePoleZero({}, 100.0, pz, 1000).empty());
  const std::vector<float> one{5.0f};
  EXPECT_TRUE(SimulatePoleZero(one, 100.0, pz, 1000).empty());
  const std::vector<float> two{5.0f, 6.0f};
  const auto r = SimulatePoleZero(two, 100.0, pz, 1000);
  ASSERT_EQ(r.size(), 2u);
  for (float v : r) EXPECT_TRUE(std::isfinite(v));
  const auto x = Noise(64, 1);
  for (double sps : {0.0, -10.0, std::nan(""), HUGE_VAL}) {
    EXPECT_THROW(SimulatePoleZero(x, sps, pz, 1000), SimulationError) << sps;
  }
  EXPECT_THROW(SimulatePoleZero(x, 100.0, pz, 1012), SimulationError);
  EXPECT_THROW(SimulatePoleZero(x, 100.0, pz, 1008), SimulationError);
}

TEST(FapPipeline, EqualsTheDirectSums) {
  const CAPResponse fap({{0.1f, 3.0f}, {1.0f, 2.0f}, {4.0f, 0.5f}, {9.5f, 0.25f}});
  for (std::size_t n : {50u, 51u, 64u}) {
    const auto x = Noise(n, static_cast<unsigned>(n));
    for (int code : {1011, 1012, 1013, 1014, 1015, 1016, 1018, 1019}) {
      ExpectClose(SimulateFap(x, 20.0, fap, code), DirectFap(x, 20.0, fap, code),
                  TransformName(code)->c_str());
    }
  }
}

TEST(FapPipeline, RemovesContentOutsideTheTable) {
  // A table from 0.1 to 10 Hz: 20 Hz is removed, 2 Hz scaled by A(2) = 3.
  const CAPResponse fap({{0.1f, 3.0f}, {10.0f, 3.0f}});
  const double sps = 100.0;
  std::vector<float> x(1000);
  for (std::size_t i = 0; i < x.size(); ++i) {
    x[i] =
        static_cast<float>(std::sin(2 * kPi * 2.0 * i / sps) + std::sin(2 * kPi * 20.0 * i / sps));
  }
  const auto y = SimulateFap(x, sps, fap, 1011);
  ASSERT_EQ(y.size(), 1000u);
  for (std::size_t i = 0; i < y.size(); i += 13) {
    EXPECT_NEAR(y[i], 3.0 * std::sin(2 * kPi * 2.0 * i / sps), 1e-4) << i;
  }
}

TEST(FapPipeline, BadInput) {
  const CAPResponse fap({{0.1f, 3.0f}, {10.0f, 3.0f}});
  EXPECT_TRUE(SimulateFap({}, 100.0, fap, 1011).empty());
  const std::vector<float> one{7.0f};
  EXPECT_EQ(SimulateFap(one, 100.0, fap, 1011), std::vector<float>{0.0f});
  const auto x = Noise(32, 2);
  EXPECT_THROW(SimulateFap(x, 0.0, fap, 1011), SimulationError);
  EXPECT_THROW(SimulateFap(x, 100.0, fap, 1017), SimulationError);  // VEL_A has no pipeline
  EXPECT_THROW(SimulateFap(x, 100.0, fap, 1001), SimulationError);
  // An empty table removes everything but does not fail.
  for (float v : SimulateFap(x, 100.0, CAPResponse(), 1011)) EXPECT_NEAR(v, 0.0f, 1e-6f);
}

// Responses from memory, counting what was asked.
class FakeLoader : public ResponseLoader {
 public:
  std::optional<PoleZeroResponse> pz;
  std::optional<CAPResponse> fapDb, fapFile;
  std::optional<double> askedTime;
  bool throwDb = false;

  std::optional<PoleZeroResponse> LoadPoleZero(const ResponseChannel&,
                                               std::optional<double> t) override {
    if (throwDb) throw odbc::Error("driver says no");
    askedTime = t;
    return pz;
  }
  std::optional<CAPResponse> LoadFapFromDatabase(const ResponseChannel&,
                                                 std::optional<double>) override {
    return fapDb;
  }
  std::optional<CAPResponse> LoadFapFile(const ResponseChannel&) override { return fapFile; }
};

TEST(SimulateTrace, PicksThePipelineAndReportsMissingResponses) {
  ScriptedPrompts prompts;
  FakeLoader loader;
  const auto x = Noise(1000, 5);
  TraceSamples trace{{"ABC", "BHZ", "KZ", "??", "abc.fap"}, 100.0, 1.6e9, x};

  EXPECT_FALSE(SimulateTrace(trace, 1001, loader, prompts));
  ASSERT_EQ(prompts.MessageTexts().size(), 1u);
  EXPECT_EQ(prompts.MessageTexts()[0],
            "Ошибка открытия таблицы калибровок для канала 'BHZ' станции 'ABC'");
  EXPECT_EQ(loader.askedTime, 1.6e9);

  EXPECT_FALSE(SimulateTrace(trace, 1012, loader, prompts));
  EXPECT_EQ(std::count_if(prompts.records.begin(), prompts.records.end(),
                          [](const auto& r) { return r.kind == "beep"; }),
            1);
  EXPECT_EQ(prompts.MessageTexts().size(), 1u);

  loader.pz = Broadband();
  loader.fapFile = CAPResponse({{0.1f, 3.0f}, {10.0f, 3.0f}});
  const auto pz = SimulateTrace(trace, 1001, loader, prompts);
  ASSERT_TRUE(pz);
  EXPECT_EQ(pz->size(), 992u);
  const auto fap = SimulateTrace(trace, 1012, loader, prompts);
  ASSERT_TRUE(fap);
  EXPECT_EQ(fap->size(), 1000u);

  EXPECT_FALSE(SimulateTrace(trace, 1017, loader, prompts));  // a name only
  trace.samplesPerSecond = 0.0;
  EXPECT_FALSE(SimulateTrace(trace, 1001, loader, prompts));
  loader.throwDb = true;
  EXPECT_FALSE(SimulateTrace(trace, 1001, loader, prompts));
  ASSERT_EQ(prompts.MessageTexts().size(), 4u);
  EXPECT_EQ(prompts.MessageTexts()[3], "driver says no");
}

}  // namespace
}  // namespace nuv
