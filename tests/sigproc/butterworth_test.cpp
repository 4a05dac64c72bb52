#include "sigproc/butterworth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

namespace nuv {
namespace {

// |H(exp(i 2 pi f dt))| of the whole cascade.
double Gain(const ButterworthSections& f, double freq, double dt) {
  const std::complex<double> z1 = std::polar(1.0, -2.0 * M_PI * freq * dt);
  const std::complex<double> z2 = z1 * z1;
  std::complex<double> h = 1.0;
  for (int s = 0; s < f.nsects; ++s) {
    h *= (double(f.sn[3 * s]) + double(f.sn[3 * s + 1]) * z1 + double(f.sn[3 * s + 2]) * z2) /
         (double(f.sd[3 * s]) + double(f.sd[3 * s + 1]) * z1 + double(f.sd[3 * s + 2]) * z2);
  }
  return std::abs(h);
}

TEST(ButterworthDesign, FirstOrderLowPassMatchesTheHandDerivedBilinearSection) {
  // Pole -1 scaled to w = tan(pi fh dt): 1 + s/w. With K = 1/w the bilinear
  // transform of the section (stored as second order) gives
  // b = (1, 2, 1)/(1+K), a = (1, 2/(1+K), (1-K)/(1+K)).
  const double dt = 0.01, fh = 2.0;
  const ButterworthSections f = DesignButterworth(1, "LP", 0.0f, float(fh), float(dt));
  ASSERT_EQ(f.nsects, 1);
  const double k = 1.0 / std::tan(M_PI * fh * dt);
  EXPECT_NEAR(f.sn[0], 1.0 / (1 + k), 1e-6);
  EXPECT_NEAR(f.sn[1], 2.0 / (1 + k), 1e-6);
  EXPECT_NEAR(f.sn[2], 1.0 / (1 + k), 1e-6);
  EXPECT_EQ(f.sd[0], 1.0f);
  EXPECT_NEAR(f.sd[1], 2.0 / (1 + k), 1e-6);
  EXPECT_NEAR(f.sd[2], (1 - k) / (1 + k), 1e-6);
}

TEST(ButterworthDesign, SecondOrderLowAndHighPassMatchTheClassicFormulas) {
  const double dt = 0.02, fc = 3.0;
  const double k = 1.0 / std::tan(M_PI * fc * dt);  // s -> K (1 - z^-1)/(1 + z^-1)
  const double r2 = std::sqrt(2.0);
  const double norm = 1 + r2 * k + k * k;
  const ButterworthSections lp = DesignButterworth(2, "LP", 0.0f, float(fc), float(dt));
  ASSERT_EQ(lp.nsects, 1);
  EXPECT_NEAR(lp.sn[0], 1 / norm, 1e-6);
  EXPECT_NEAR(lp.sn[1], 2 / norm, 1e-6);
  EXPECT_NEAR(lp.sn[2], 1 / norm, 1e-6);
  EXPECT_NEAR(lp.sd[1], 2 * (1 - k * k) / norm, 1e-5);
  EXPECT_NEAR(lp.sd[2], (1 - r2 * k + k * k) / norm, 1e-5);

  const ButterworthSections hp = DesignButterworth(2, "HP", float(fc), 0.0f, float(dt));
  ASSERT_EQ(hp.nsects, 1);
  EXPECT_NEAR(hp.sn[0], k * k / norm, 1e-5);
  EXPECT_NEAR(hp.sn[1], -2 * k * k / norm, 1e-5);
  EXPECT_NEAR(hp.sn[2], k * k / norm, 1e-5);
  EXPECT_NEAR(hp.sd[1], 2 * (1 - k * k) / norm, 1e-5);
  EXPECT_NEAR(hp.sd[2], (1 - r2 * k + k * k) / norm, 1e-5);
}

TEST(ButterworthDesign, SectionCountsFollowTheOrder) {
  EXPECT_EQ(DesignButterworth(1, "LP", 0, 1, 0.01f).nsects, 1);
  EXPECT_EQ(DesignButterworth(4, "HP", 1, 0, 0.01f).nsects, 2);
  EXPECT_EQ(DesignButterworth(5, "LP", 0, 1, 0.01f).nsects, 3);
  EXPECT_EQ(DesignButterworth(5, "BP", 1, 2, 0.01f).nsects, 5);  // 2*2 + 1
  EXPECT_EQ(DesignButterworth(10, "BR", 1, 2, 0.01f).nsects, 10);
  // Only two letters are compared; other names and orders design nothing.
  EXPECT_EQ(DesignButterworth(3, "BPX", 1, 2, 0.01f).nsects, 3);
  EXPECT_EQ(DesignButterworth(3, "XX", 1, 2, 0.01f).nsects, 0);
  EXPECT_EQ(DesignButterworth(11, "BP", 1, 2, 0.01f).nsects, 0);
  EXPECT_EQ(DesignButterworth(0, "BP", 1, 2, 0.01f).nsects, 0);
}

TEST(ButterworthDesign, EveryShapeIsThreeDecibelsDownAtItsCutOffs) {
  const double dt = 0.01, fl = 1.0, fh = 5.0, half = 1.0 / std::sqrt(2.0);
  for (int order = 1; order <= 10; ++order) {
    SCOPED_TRACE(order);
    const auto lp = DesignButterworth(order, "LP", float(fl), float(fh), float(dt));
    EXPECT_NEAR(Gain(lp, 0.0, dt), 1.0, 1e-4);
    EXPECT_NEAR(Gain(lp, fh, dt), half, 1e-3);
    const auto hp = DesignButterworth(order, "HP", float(fl), float(fh), float(dt));
    EXPECT_NEAR(Gain(hp, 40.0, dt), 1.0, 1e-4);
    EXPECT_NEAR(Gain(hp, fl, dt), half, 1e-3);
    const auto bp = DesignButterworth(order, "BP", float(fl), float(fh), float(dt));
    EXPECT_NEAR(Gain(bp, fl, dt), half, 2e-3);
    EXPECT_NEAR(Gain(bp, fh, dt), half, 2e-3);
    EXPECT_LT(Gain(bp, 0.05, dt), 0.2);
    const auto br = DesignButterworth(order, "BR", float(fl), float(fh), float(dt));
    EXPECT_NEAR(Gain(br, 0.0, dt), 1.0, 1e-3);
    EXPECT_NEAR(Gain(br, fl, dt), half, 2e-3);
    EXPECT_NEAR(Gain(br, fh, dt), half, 2e-3);
  }
}

TEST(ButterworthPass, CascadeIsDirectFormOneWithFreshState) {
  ButterworthSections f;
  f.nsects = 1;
  f.sn = {0.5f, 0.25f, 0.0f};
  f.sd = {1.0f, -0.5f, 0.0f};
  std::vector<float> x = {1, 0, 0, 0};
  ApplySections(f, x.data(), x.size());
  // y0 = 0.5; y1 = 0.25 + 0.5*0.5; y2 = 0.5*0.5; y3 = 0.125
  EXPECT_EQ(x, (std::vector<float>{0.5f, 0.5f, 0.25f, 0.125f}));
  std::vector<float> again = {1, 0, 0, 0};
  ApplySections(f, again.data(), again.size());
  EXPECT_EQ(again, (std::vector<float>{0.5f, 0.5f, 0.25f, 0.125f}));
}

TEST(ButterworthPass, ZeroPhaseOfACentredImpulseIsSymmetric) {
  const auto f = DesignButterworth(4, "BP", 1.0f, 5.0f, 0.01f);
  std::vector<float> x(4001, 0.0f);
  x[2000] = 1.0f;
  ApplySectionsZeroPhase(f, x.data(), x.size(), true);
  float peak = 0;
  for (float v : x) peak = std::max(peak, std::abs(v));
  for (int k = 1; k < 1500; ++k) EXPECT_NEAR(x[2000 - k], x[2000 + k], 1e-5 * peak) << k;
  // Without the flag only the forward pass runs: nothing before the impulse.
  std::vector<float> y(100, 0.0f);
  y[50] = 1.0f;
  ApplySectionsZeroPhase(f, y.data(), y.size(), false);
  for (int k = 0; k < 50; ++k) EXPECT_EQ(y[k], 0.0f);
}

TEST(ButterworthTaper, FivePercentRampAtBothEnds) {
  std::vector<float> x(100, 1.0f);
  TaperEnds(x.data(), x.size(), 5);
  const double s = (M_PI / 2) / 5;
  EXPECT_EQ(x[0], 0.0f);
  EXPECT_FLOAT_EQ(x[3], float(std::sin(3 * s)));
  EXPECT_EQ(x[5], 1.0f);
  EXPECT_EQ(x[94], 1.0f);
  EXPECT_FLOAT_EQ(x[95], float(std::sin(5 * s)));
  EXPECT_FLOAT_EQ(x[99], float(std::sin(s)));
  std::vector<float> shortTrace(19, 2.0f);
  TaperEnds(shortTrace.data(), shortTrace.size(), 5);
  for (float v : shortTrace) EXPECT_EQ(v, 2.0f);
  TaperEnds(nullptr, 0, 5);
}

std::vector<float> Noise(size_t n) {
  std::vector<float> x(n);
  unsigned state = 12345;
  for (auto& v : x) {
    state = state * 1103515245u + 12345u;
    v = float((state >> 8) % 2001) / 1000.0f - 1.0f;
  }
  return x;
}

TEST(FilterTrace, ClampsTheOrderTapersAndDesignsByTypeIndex) {
  const std::vector<float> input = Noise(500);
  auto run = [&](int type, int order, bool zero) {
    std::vector<float> x = input;
    EXPECT_TRUE(FilterTrace(x.data(), x.size(), 0.01f, type, order, 1.0f, 8.0f, zero));
    return x;
  };
  auto manual = [&](const char* name, int order, bool zero) {
    std::vector<float> x = input;
    TaperEnds(x.data(), x.size(), 5);
    ApplySectionsZeroPhase(DesignButterworth(order, name, 1.0f, 8.0f, 0.01f), x.data(), x.size(),
                           zero);
    return x;
  };
  EXPECT_EQ(run(0, 4, true), manual("BP", 4, true));
  EXPECT_EQ(run(1, 3, false), manual("LP", 3, false));
  EXPECT_EQ(run(2, 2, false), manual("BR", 2, false));
  EXPECT_EQ(run(3, 5, true), manual("HP", 5, true));
  EXPECT_EQ(run(0, 25, false), manual("BP", 10, false));
  EXPECT_EQ(run(1, 0, false), manual("LP", 1, false));
  EXPECT_EQ(run(1, -3, false), manual("LP", 1, false));
  // A preset of type "SPWWSS" (4) filters as band-pass.
  EXPECT_EQ(run(4, 3, false), manual("BP", 3, false));
}

TEST(FilterTrace, RefusesAZeroOrNegativeInterval) {
  std::vector<float> x = Noise(50);
  const std::vector<float> before = x;
  EXPECT_FALSE(FilterTrace(x.data(), x.size(), 0.0f, 0, 4, 1, 2, true));
  EXPECT_FALSE(FilterTrace(x.data(), x.size(), -0.01f, 0, 4, 1, 2, true));
  EXPECT_FALSE(FilterTrace(x.data(), x.size(), INFINITY, 0, 4, 1, 2, true));
  EXPECT_EQ(x, before);
  std::vector<float> one = {3.0f};
  EXPECT_TRUE(FilterTrace(one.data(), 1, 0.01f, 0, 4, 1, 2, true));
  EXPECT_TRUE(std::isfinite(one[0]));
  EXPECT_TRUE(FilterTrace(nullptr, 0, 0.01f, 0, 4, 1, 2, true));
}

TEST(ButterworthCutoffs, InputThatWouldGiveNaNOrAnIntegratorIsRefusedBeforeFiltering) {
  // 100 samples/s: Nyquist at 50 Hz.
  struct Case {
    int type;
    float fl, fh;
    const char* words;  // part of the message
  };
  const Case refused[] = {
      {kLowPass, 1, 0, "Верхняя частота среза фильтра нижних частот"},
      {kLowPass, 0, 50, "Найквиста 50"},
      {kLowPass, 0, 70, "Найквиста"},
      {kHighPass, 0, 5, "Нижняя частота среза фильтра верхних частот"},
      {kHighPass, 50, 0, "Найквиста"},
      {kBandPass, 0, 5, "Нижняя частота среза полосового фильтра"},
      {kBandPass, 1, 50, "Частота среза 50"},
      {kBandPass, 5, 2, "меньше верхней"},
      {kBandPass, 2, 2, "меньше верхней"},
      {kBandReject, 0, 5, "режекторного"},
      {kBandPass, NAN, 5, "Неверная частота"},
      {kBandPass, 1, INFINITY, "Неверная частота"},
  };
  const std::vector<float> input = Noise(500);
  for (const Case& c : refused) {
    const std::string message = ButterworthCutoffError(c.type, c.fl, c.fh, 0.01);
    EXPECT_NE(message.find(c.words), std::string::npos)
        << c.type << " " << c.fl << " " << c.fh << ": " << message;
    std::vector<float> x = input;
    std::string error;
    EXPECT_FALSE(FilterTrace(x.data(), x.size(), 0.01f, c.type, 4, c.fl, c.fh, true, &error));
    EXPECT_EQ(error, message);
    EXPECT_EQ(x, input);
  }
  // What the design handles: the unused cut-off does not matter.
  for (const Case& c : {Case{kLowPass, 0, 49.9f, ""}, Case{kHighPass, 0.1f, 0, ""},
                        Case{kBandPass, 0.5f, 49, ""}, Case{kBandReject, 1, 2, ""}}) {
    EXPECT_EQ(ButterworthCutoffError(c.type, c.fl, c.fh, 0.01), "");
    std::vector<float> x = input;
    ASSERT_TRUE(FilterTrace(x.data(), x.size(), 0.01f, c.type, 4, c.fl, c.fh, true));
    for (float v : x) ASSERT_TRUE(std::isfinite(v)) << c.type;
  }
  // The formula filter refuses the same way and leaves its input alone; equal
  // cut-offs still return the signal unchanged.
  std::vector<double> x(input.begin(), input.end());
  const std::vector<double> before = x;
  EXPECT_NE(FormulaFilter(x.data(), x.size(), 0.01, 0, 60, 4), "");
  EXPECT_NE(FormulaFilter(x.data(), x.size(), 0.01, 50, 0, 4), "");
  EXPECT_NE(FormulaFilter(x.data(), x.size(), 0.01, -1, 5, 4), "");
  EXPECT_NE(FormulaFilter(x.data(), x.size(), 0.01, 5, 1, 4), "");
  EXPECT_EQ(FormulaFilter(x.data(), x.size(), 0.01, 60, 60, 4), "");
  EXPECT_EQ(x, before);
  // The pane filter pulls an upper cut-off at Nyquist below it, as above it,
  // but refuses a lower cut-off there.
  ChannelFilter filter;
  filter.type = kBandPass;
  filter.order = 4;
  filter.lowCut = 1;
  filter.highCut = 50;
  std::vector<float> pane = input;
  EXPECT_TRUE(FilterPaneSamples(pane, 100.0, filter));
  for (float v : pane) ASSERT_TRUE(std::isfinite(v));
  filter.type = kHighPass;
  filter.lowCut = 50;
  pane = input;
  std::string error;
  EXPECT_FALSE(FilterPaneSamples(pane, 100.0, filter, &error));
  EXPECT_NE(error.find("Найквиста"), std::string::npos) << error;
  EXPECT_EQ(pane, input);
}

TEST(FilterPaneSamples, ABatchGivesEveryTraceWhatItGetsAlone) {
  ChannelFilter filter;
  filter.type = kBandPass;
  filter.order = 4;
  filter.lowCut = 0.5f;
  filter.highCut = 60.0f;  // above Nyquist: brought below it as for one trace
  filter.zeroPhase = 1;
  // Six traces: five of one length (a group of four and one alone), one shorter.
  std::vector<std::vector<float>> traces;
  for (int i = 0; i < 6; ++i) {
    std::vector<float> x = Noise(i == 3 ? 250 : 400);
    for (float& v : x) v = v * (1.0f + 0.5f * i) + 3.0f * i;
    traces.push_back(x);
  }
  std::vector<std::vector<float>> alone = traces;
  std::vector<std::vector<float>*> batch;
  for (auto& t : traces) batch.push_back(&t);
  ASSERT_TRUE(FilterPaneSamplesBatch(batch, 100.0, filter));
  for (size_t i = 0; i < alone.size(); ++i) {
    ASSERT_TRUE(FilterPaneSamples(alone[i], 100.0, filter));
    EXPECT_EQ(traces[i], alone[i]) << i;
  }
  filter.type = kHighPass;
  filter.lowCut = 55.0f;
  const auto before = traces;
  std::string error;
  EXPECT_FALSE(FilterPaneSamplesBatch(batch, 100.0, filter, &error));
  EXPECT_NE(error.find("Найквиста"), std::string::npos);
  EXPECT_EQ(traces, before);
}

TEST(FilterPaneSamples, CutsTheUpperFrequencyBelowNyquistAndRemovesTheMean) {
  std::vector<float> input = Noise(400);
  for (auto& v : input) v += 10.0f;
  ChannelFilter filter;
  filter.type = kBandPass;
  filter.order = 3;
  filter.lowCut = 1.0f;
  filter.highCut = 60.0f;
  filter.zeroPhase = 1;
  std::vector<float> pane = input;
  ASSERT_TRUE(FilterPaneSamples(pane, 100.0, filter));

  std::vector<float> manual = input;
  double sum = 0;
  for (float v : manual) sum += v;
  for (auto& v : manual) v -= float(sum / manual.size());
  FilterTrace(manual.data(), manual.size(), 0.01f, kBandPass, 3, 1.0f, 49.9f, true);
  EXPECT_EQ(pane, manual);
  EXPECT_FALSE(FilterPaneSamples(pane, 0.0, filter));
}

TEST(FormulaFilter, ChoosesTheShapeFromTheCutOffsAndClampsTheOrder) {
  const std::vector<float> noise = Noise(300);
  const std::vector<double> input(noise.begin(), noise.end());
  auto run = [&](double lfr, double hfr, double order) {
    std::vector<double> x = input;
    FormulaFilter(x.data(), x.size(), 0.01, lfr, hfr, order);
    return x;
  };
  auto manual = [&](const char* type, float lfr, float hfr, int order) {
    std::vector<float> x(input.begin(), input.end());
    ApplySections(DesignButterworth(order, type, lfr, hfr, 0.01f), x.data(), x.size());
    return std::vector<double>(x.begin(), x.end());
  };
  EXPECT_EQ(run(0, 0, 4), input);
  EXPECT_EQ(run(2, 2, 4), input);
  EXPECT_EQ(run(0, 1, 1), manual("LP", 0, 1, 2));
  EXPECT_EQ(run(0, 1, 25), manual("LP", 0, 1, 10));
  EXPECT_EQ(run(0, 1, 3.9), manual("LP", 0, 1, 3));
  EXPECT_EQ(run(2, 0, 4), manual("HP", 2, 0, 4));
  EXPECT_EQ(run(0.5, 2, 3), manual("BP", 0.5f, 2, 3));
  EXPECT_EQ(run(0.5, 2, NAN), manual("BP", 0.5f, 2, 2));
}

TEST(FilterWizard, WritesTheFormulaForEachShape) {
  EXPECT_EQ(FilterWizardFormula(kBandPass, 0.5, 2, 3, false),
            "butter((current-mean(current)),0.500000,2.000000,3)");
  EXPECT_EQ(FilterWizardFormula(kLowPass, 0.5, 2, 4, false),
            "butter((current-mean(current)),0.000000,2.000000,4)");
  EXPECT_EQ(FilterWizardFormula(kHighPass, 0.5, 2, 2, true),
            "revers(butter(revers(butter((current-mean(current)),0.500000,0.000000,2)),0.500000,"
            "0.000000,2))");
  // Band-reject: the band between the bounds is removed (low-pass below plus
  // high-pass above), with or without zero phase.
  EXPECT_EQ(FilterWizardFormula(kBandReject, 1, 3, 2, false),
            "(butter((current-mean(current)),0.000000,1.000000,2)"
            "+butter((current-mean(current)),3.000000,0.000000,2))");
  EXPECT_EQ(FilterWizardFormula(kBandReject, 1, 3, 2, true),
            "(revers(butter(revers(butter((current-mean(current)),0.000000,1.000000,2)),0.000000,"
            "1.000000,2))+revers(butter(revers(butter((current-mean(current)),3.000000,0.000000,"
            "2)),3.000000,0.000000,2)))");
}

}  // namespace
}  // namespace nuv
