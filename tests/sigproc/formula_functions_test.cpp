#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "sigproc/butterworth.h"
#include "sigproc/formula.h"

namespace nuv {
namespace {

class FunctionsTest : public ::testing::Test {
 protected:
  Signal Eval(const std::string& formula) {
    const FormulaResult r = EvaluateFormula(formula, data);
    EXPECT_TRUE(r.ok) << formula << ": " << r.error;
    return r.value;
  }
  std::string Error(const std::string& formula) {
    const FormulaResult r = EvaluateFormula(formula, data);
    EXPECT_FALSE(r.ok) << formula;
    return r.error;
  }
  void Window(int index, std::vector<double> samples, double dx) {
    data.SetWindow(index, Signal(std::move(samples), dx));
  }
  InMemoryFormulaData data;
};

std::vector<double> Ramp(size_t n, double scale = 1.0) {
  std::vector<double> x(n);
  for (size_t i = 0; i < n; ++i) x[i] = std::sin(0.37 * double(i)) * scale + 0.01 * double(i);
  return x;
}

// |sum_j x[j] exp(-2 pi i j k / m)| by the direct sum.
double DirectModulus(const std::vector<double>& x, size_t m, size_t k) {
  std::complex<double> s = 0;
  for (size_t j = 0; j < x.size() && j < m; ++j)
    s += x[j] * std::polar(1.0, -2.0 * M_PI * double(j) * double(k) / double(m));
  return std::abs(s);
}

TEST(FormulaFunctionTable, HoldsTheFortyThreeNamesInRegistrationOrder) {
  const auto& names = FormulaFunctionNames();
  ASSERT_EQ(names.size(), 43u);
  EXPECT_EQ(names.front(), "max");
  EXPECT_EQ(names[9], "spectrum");
  EXPECT_EQ(names[30], "butter");
  EXPECT_EQ(names.back(), "spectrum2");
}

TEST_F(FunctionsTest, Generators) {
  const Signal line = Eval("gline(4, 0.5, 2, 1)");
  EXPECT_EQ(line.samples, (std::vector<double>{1, 2, 3, 4}));
  EXPECT_EQ(line.dx, 0.5);
  EXPECT_EQ(Eval("gline(3, 2)").samples, (std::vector<double>{0, 2, 4}));
  EXPECT_EQ(Eval("gline(3, 2, 3)").samples, (std::vector<double>{0, 6, 12}));
  EXPECT_EQ(Eval("gline(2.9, 1)").count(), 2);
  EXPECT_EQ(Eval("gline(-4, 1)").count(), 0);
  // Any other token among the optional ones is skipped.
  EXPECT_EQ(Eval("gline(2, 1 7)").samples, (std::vector<double>{0, 1}));

  const Signal s = Eval("gsin(5, 0.1, 2, 0.5)");
  ASSERT_EQ(s.count(), 5);
  EXPECT_EQ(s.dx, 0.1);
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(s.samples[i], std::sin(6.283185307179586 * 2 * 0.1 * i + 0.5));
  const Signal c = Eval("GCOS(3, 0.25)");
  EXPECT_EQ(c.samples[1], std::cos(6.283185307179586 * 1 * 0.25 * 1 + 0));

  SeedFormulaRandom(1);
  const Signal r = Eval("rand(5, 0.01)");
  // The sequence of an unseeded C library generator with values 0..32767.
  EXPECT_EQ(r.samples, (std::vector<double>{41 / 32767.0, 18467 / 32767.0, 6334 / 32767.0,
                                            26500 / 32767.0, 19169 / 32767.0}));
  EXPECT_EQ(r.dx, 0.01);
  EXPECT_EQ(Eval("rand(2, 1)").samples[0], 15724 / 32767.0);  // the sequence continues
}

TEST_F(FunctionsTest, GeneratorMessages) {
  EXPECT_EQ(Error("gline 3"), "Error in formula: expected '('");
  EXPECT_EQ(Error("gline(3)"), "Error in formula: expected ','");
  EXPECT_EQ(Error("gline(3, 1, 2, 3, 4)"), "Error in GLINE arguments number");
  EXPECT_EQ(Error("gline(3, 1"), "Error in GLINE arguments number");
  EXPECT_EQ(Error("gsin 3"), "Ошибка");
  EXPECT_EQ(Error("gsin(3)"), "Ошибка");
  EXPECT_EQ(Error("gsin(3, 1, 1, 1, 1)"),
            "Нет парной скобки или к-во много аргументов > 4 в функции GSIN");
  EXPECT_EQ(Error("gcos(3, 1, 1"),
            "Нет парной скобки или к-во много аргументов > 4 в функции GSIN");
  EXPECT_EQ(Error("rand 3"), "Ошибка");
  EXPECT_EQ(Error("rand(3)"), "Ошибка");
  EXPECT_EQ(Error("rand(3, 1, 2)"), "Нет парной скобки в Rand");
}

TEST_F(FunctionsTest, SampleWiseMathematics) {
  Window(0, {-1, 0, 1, 2.5}, 0.2);
  EXPECT_EQ(Eval("abs(w0)").samples, (std::vector<double>{1, 0, 1, 2.5}));
  EXPECT_EQ(Eval("abs(w0)").dx, 0.2);
  const Signal roots = Eval("sqrt(w0)");
  EXPECT_TRUE(std::isnan(roots.samples[0]));
  EXPECT_EQ(roots.samples[3], std::sqrt(2.5));
  EXPECT_EQ(Eval("log(-1)").First(), 0.0);
  EXPECT_EQ(Eval("log(0)").First(), -INFINITY);
  EXPECT_EQ(Eval("log10(1000)").First(), 3.0);
  EXPECT_EQ(Eval("log10(-5)").First(), 0.0);
  EXPECT_EQ(Eval("exp(1)").First(), std::exp(1.0));
  EXPECT_EQ(Eval("sin(pi/2)").First(), 1.0);
  EXPECT_EQ(Eval("cos(0)").First(), 1.0);
  EXPECT_EQ(Eval("tan(1)").First(), std::tan(1.0));
  EXPECT_EQ(Eval("atan(1)").First(), std::atan(1.0));
  const Signal up = Eval("ceil(w0)");
  EXPECT_EQ(up.samples, (std::vector<double>{-1, 0, 1, 3}));
  EXPECT_EQ(up.dx, 1.0);
  EXPECT_EQ(Eval("floor(w0)").samples, (std::vector<double>{-1, 0, 1, 2}));
  EXPECT_EQ(Eval("floor(w0)").dx, 1.0);
  EXPECT_EQ(Eval("revers(w0)").samples, (std::vector<double>{2.5, 1, 0, -1}));
  EXPECT_EQ(Eval("revers(w0)").dx, 0.2);
}

TEST_F(FunctionsTest, Statistics) {
  Window(0, {3, 7, 7, 1}, 0.01);
  EXPECT_EQ(Eval("max(w0)").samples, std::vector<double>{7});
  EXPECT_EQ(Eval("max(w0)").dx, 1.0);
  EXPECT_EQ(Eval("min(w0)").First(), 1.0);
  EXPECT_EQ(Eval("mean(gline(2,1,1,1))").First(), 1.5);
  EXPECT_EQ(Eval("sizeof(gline(200,1))").First(), 200.0);
  EXPECT_EQ(Eval("getdx(w0)").First(), 0.01);
  // An empty signal has no extremes or mean: 0.0.
  EXPECT_EQ(Eval("max(gline(0,1))").First(), 0.0);
  EXPECT_EQ(Eval("mean(gline(0,1))").First(), 0.0);
  EXPECT_EQ(Eval("sizeof(gline(0,1))").First(), 0.0);
}

TEST_F(FunctionsTest, Calculus) {
  Window(0, {1, 1, 1}, 0.5);
  EXPECT_EQ(Eval("integ(w0)").samples, (std::vector<double>{0, 0.5, 1.0}));
  Window(1, {0, 1, 4, 9, 16}, 1.0);  // t^2: the parabola slope is exact inside
  EXPECT_EQ(Eval("deriv(w1)").samples, (std::vector<double>{1, 2, 4, 6, 7}));
  EXPECT_EQ(Eval("lderiv(w1)").samples, (std::vector<double>{1, 3, 5, 7}));
  EXPECT_EQ(Eval("rderiv(w1)").samples, (std::vector<double>{1, 3, 5, 7}));
  Window(2, {0, 0.02, 0.08}, 0.1);  // 2 t^2 sampled at 0.1
  const Signal d = Eval("deriv(w2)");
  EXPECT_NEAR(d.samples[1], 0.4, 1e-12);
  EXPECT_EQ(d.dx, 0.1);
  EXPECT_EQ(Eval("deriv(5)").samples, std::vector<double>{0.0});
  EXPECT_EQ(Eval("lderiv(5)").count(), 0);
  const Signal line = Eval("linreg(gline(6, 0.5, 3, -1) + gsin(6, 0.5, 1, 0)*0)");
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(line.samples[i], 3 * (0.5 * i) - 1, 1e-12);
  Window(3, {1, 3, 2, 5}, 1.0);  // least squares by hand: slope 1.1, intercept 1.1
  const Signal fit = Eval("linreg(w3)");
  EXPECT_NEAR(fit.samples[0], 1.1, 1e-12);
  EXPECT_NEAR(fit.samples[3], 4.4, 1e-12);
  EXPECT_EQ(Eval("linreg(4)").samples, std::vector<double>{4.0});
}

TEST_F(FunctionsTest, Windows) {
  Window(0, std::vector<double>(100, 2.0), 0.01);
  const Signal k = Eval("kaiser(w0)");
  ASSERT_EQ(k.count(), 128);
  for (int i = 100; i < 128; ++i) EXPECT_EQ(k.samples[i], 0.0);
  EXPECT_NEAR(k.samples[64], 2.0, 1e-12);  // u = 0 at the centre of the padded length
  EXPECT_LT(k.samples[0], 0.01);
  EXPECT_EQ(k.dx, 0.01);
  EXPECT_NEAR(Eval("kaiser(w0, 0)").samples[10], 2.0, 1e-7);
  const Signal h = Eval("hanning(w0)");
  ASSERT_EQ(h.count(), 128);
  EXPECT_EQ(h.samples[0], 0.0);
  EXPECT_EQ(h.samples[50], 0.5 * 2.0 * (1 - std::cos(6.283185307179586 * 50 / 127)));
  EXPECT_EQ(h.samples[100], 0.0);
  EXPECT_EQ(Error("kaiser(w0 w0)"), "Нет парной скобки в функции KAISER");
  EXPECT_EQ(Error("kaiser(w0, 1, 2)"),
            "Нет парной скобки или к-во много аргументов > 2 в функции KAISER");
  EXPECT_EQ(Error("kaiser w0"), "Нет скобки '('");
}

TEST_F(FunctionsTest, PowerOfTwoSpectraMatchTheDirectSum) {
  const std::vector<double> x = Ramp(1000);
  Window(0, x, 0.01);
  const Signal s = Eval("spectrum(w0)");
  ASSERT_EQ(s.count(), 512);
  EXPECT_DOUBLE_EQ(s.dx, 1.0 / (1024 * 0.01));
  double peak = 0;
  for (size_t k = 0; k < 512; ++k) peak = std::max(peak, DirectModulus(x, 1024, k) / 500);
  for (size_t k = 0; k < 512; k += 7)
    EXPECT_NEAR(s.samples[k], DirectModulus(x, 1024, k) / 500, 1e-5 * peak) << k;
  const Signal re = Eval("refft(w0)");
  const Signal im = Eval("imfft(w0)");
  ASSERT_EQ(re.count(), 512);
  // Kernel exp(+2 pi i j k / P): the imaginary part has the sign of +sin.
  std::complex<double> x5 = 0;
  for (size_t j = 0; j < x.size(); ++j) x5 += x[j] * std::polar(1.0, 2 * M_PI * j * 5 / 1024.0);
  EXPECT_NEAR(re.samples[5], x5.real(), 1e-3);
  EXPECT_NEAR(im.samples[5], x5.imag(), 1e-3);
  // One sample pads to 2 and is divided by 1; an empty one gives one zero.
  EXPECT_EQ(Eval("spectrum(3)").samples, std::vector<double>{3.0});
  EXPECT_EQ(Eval("spectrum(gline(0,1))").samples, std::vector<double>{0.0});
}

TEST_F(FunctionsTest, SpectraRefuseSignalsLongerThan65536) {
  Window(0, std::vector<double>(65537, 1.0), 0.01);
  Window(1, std::vector<double>(65536, 1.0), 0.01);
  for (const char* f : {"spectrum(w0)", "refft(w0)", "imfft(w0)", "avspectrum(w0, 70000, 1)"}) {
    const Signal s = Eval(f);
    EXPECT_EQ(s.samples, std::vector<double>{0.0}) << f;
    EXPECT_EQ(s.dx, 1.0) << f;
  }
  EXPECT_EQ(Eval("spectrum(w1)").count(), 32768);
  EXPECT_EQ(Eval("spectrum2(w0)").count(), 32769);  // no power-of-two padding
}

TEST_F(FunctionsTest, ExactTransformsOfAnyLength) {
  const std::vector<double> x = Ramp(1001);
  Window(0, x, 0.02);
  const Signal s2 = Eval("spectrum2(w0)");
  ASSERT_EQ(s2.count(), 501);
  EXPECT_DOUBLE_EQ(s2.dx, 1.0 / (1002 * 0.02));
  for (size_t k = 0; k < 501; k += 25)
    EXPECT_NEAR(s2.samples[k], DirectModulus(x, 1002, k) / 501, 1e-12) << k;

  const std::vector<double> ten = Ramp(10);
  Window(1, ten, 0.1);
  const Signal d = Eval("dspectrum(w1)");
  ASSERT_EQ(d.count(), 6);
  EXPECT_EQ(d.samples[5], 0.0);
  EXPECT_DOUBLE_EQ(d.dx, 1.0);
  for (size_t k = 0; k < 5; ++k) EXPECT_NEAR(d.samples[k], DirectModulus(ten, 10, k) / 5, 1e-13);
  const std::vector<double> prime = Ramp(997);
  Window(2, prime, 1.0);
  const Signal dp = Eval("dspectrum(w2)");
  for (size_t k = 0; k < 498; k += 31)
    EXPECT_NEAR(dp.samples[k], DirectModulus(prime, 997, k) / 498, 1e-11);
  EXPECT_EQ(Eval("dspectrum(4)").samples, std::vector<double>{0.0});
}

TEST_F(FunctionsTest, AveragedSpectrum) {
  const std::vector<double> x = Ramp(300);
  Window(0, x, 0.01);
  Window(1, std::vector<double>(x.begin(), x.begin() + 64), 0.01);
  Window(2, std::vector<double>(x.begin() + 100, x.begin() + 164), 0.01);
  Window(3, std::vector<double>(x.begin() + 200, x.begin() + 264), 0.01);
  // Windows start at 0, 100, 200 (each below 300 - 64).
  const Signal av = Eval("avspectrum(w0, 64, 100)");
  const Signal expected = Eval("(spectrum(w1)+spectrum(w2)+spectrum(w3))/3");
  ASSERT_EQ(av.count(), 32);
  for (int k = 0; k < 32; ++k) EXPECT_NEAR(av.samples[k], expected.samples[k], 1e-12);
  EXPECT_DOUBLE_EQ(av.dx, 1.0 / (64 * 0.01));
  EXPECT_EQ(Eval("avspectrum(w1, 64, 1)").samples, std::vector<double>{0.0});  // no window
  EXPECT_EQ(Eval("avspectrum(w0, 64, 0)").samples, std::vector<double>{0.0});
  EXPECT_EQ(Error("avspectrum w0"), "Error in formula: expected '('");
  EXPECT_EQ(Error("avspectrum(w0, 64)"), "Error in formula: expected ','");
  EXPECT_EQ(Error("avspectrum(w0, 64, 1, 2)"), "Error in formula: expected ')'");
}

TEST_F(FunctionsTest, Convolution) {
  EXPECT_EQ(Eval("conv(2, 3)").samples, std::vector<double>{6});
  Window(0, {1, 2, 3}, 0.1);
  Window(1, {0, 1, 0.5}, 0.1);
  Window(2, {1, 1}, 0.2);
  const Signal c = Eval("conv(w0, w1)");
  EXPECT_EQ(c.samples, (std::vector<double>{0, 1, 2.5, 4, 1.5}));
  EXPECT_EQ(c.dx, 0.1);
  EXPECT_EQ(Eval("conv(w0, w2)").samples, (std::vector<double>{1, 3, 5, 3}));
  EXPECT_EQ(Eval("conv(w0, w2)").dx, 1.0);  // unequal intervals
  EXPECT_EQ(Error("conv(w0)"), "к-во много аргументов < 2 в функции CONV");
  EXPECT_EQ(Error("conv(w0, w1, w2)"),
            "Нет парной скобки или к-во много аргументов > 2 в функции CONV");
}

TEST_F(FunctionsTest, InterpolationEqualsTheDirectSums) {
  const std::vector<double> x = {1, 3, 2, 5, 4, 4.5, 0.5};
  Window(0, x, 0.5);
  const int m = 3;
  const Signal y = Eval("interpolate(w0, 3)");
  const size_t n = x.size();
  ASSERT_EQ(y.count(), int(n * m));
  EXPECT_DOUBLE_EQ(y.dx, 0.5 / 3);
  double mu = 0;
  for (double v : x) mu += v;
  mu /= n;
  std::vector<double> a(n), b(n);
  for (size_t k = 0; k < n; ++k) {
    for (size_t j = 0; j < n; ++j) {
      a[k] += std::cos(j * k * M_PI / n) * (x[j] - mu);
      b[k] += std::sin(j * k * M_PI / n) * (x[j] - mu);
    }
    a[k] /= n;
    b[k] /= n;
  }
  for (size_t i = 0; i < n * m; ++i) {
    double direct = mu;
    for (size_t j = 0; j < n; ++j)
      direct += std::cos(j * i * M_PI / (n * m)) * a[j] + std::sin(j * i * M_PI / (n * m)) * b[j];
    EXPECT_NEAR(y.samples[i], direct, 1e-12) << i;
  }
  EXPECT_EQ(Eval("interpolate(w0, 0)").count(), 0);
  EXPECT_EQ(Error("interpolate w0"), "Error in formula: Expected '('");
  EXPECT_EQ(Error("interpolate(w0)"), "Error in interpolate: wrong arguments number");
  EXPECT_EQ(Error("interpolate(w0, 2, 1)"), "Error in interpolate: Expected ')'");
}

TEST_F(FunctionsTest, SmoothingExtractionAndHistogram) {
  Window(0, {1, 2, 3, 4, 5}, 0.1);
  EXPECT_EQ(Eval("smooth(w0, 1)").samples, (std::vector<double>{1, 2, 3, 4, 5}));
  Window(1, {0, 3, 0, 3, 0, 3}, 0.1);
  // i = 1 .. n-k-2 = 3; the first k and the last k+1 keep their values.
  EXPECT_EQ(Eval("smooth(w1, 1)").samples, (std::vector<double>{0, 1, 2, 1, 0, 3}));
  EXPECT_EQ(Eval("smooth(w1, 0)").samples, (std::vector<double>{0, 3, 0, 3, 0, 3}));
  EXPECT_EQ(Eval("smooth(w1, 7)").samples, (std::vector<double>{0, 3, 0, 3, 0, 3}));
  EXPECT_EQ(Error("smooth(w1)"), "Error in smooth: wrong arguments number");
  EXPECT_EQ(Error("smooth(w1, 1"), "Error in smooth: Expected ')'");

  EXPECT_EQ(Eval("extract(w0, 0, 3)").samples, (std::vector<double>{0, 1, 2}));
  EXPECT_EQ(Eval("extract(w0, 4, 4)").samples, (std::vector<double>{4, 5, 0, 0}));
  EXPECT_EQ(Eval("extract(w0, 2, 2)").dx, 0.1);
  EXPECT_EQ(Eval("extract(w0, 2, -2)").count(), 0);
  EXPECT_EQ(Error("extract(w0, 2)"), "Ошибка в количестве аргументов в функции EXTRACT");
  EXPECT_EQ(Error("extract(w0 2)"), "Ошибка в количестве аргументов в функции EXTRACT");
  EXPECT_EQ(Error("extract(w0, 1, 2"), "Нет парной скобки ')'");

  Window(2, {0, 0.5, 0.99, 1, 1.5, 2, -1}, 1.0);
  const Signal h = Eval("dpv(w2, 0, 2, 2)");
  EXPECT_EQ(h.samples, (std::vector<double>{3 / 7.0, 2 / 7.0}));  // 2 and -1 lie outside
  EXPECT_EQ(h.dx, 1.0);
  EXPECT_EQ(Eval("dpv(w2, 2, 0, 2)").samples, (std::vector<double>{0, 0}));
  EXPECT_EQ(Eval("dpv(w2, 0, 2, 0)").count(), 0);
  EXPECT_EQ(Error("dpv(w2, 0, 2)"), "Ошибка в количестве аргументов в функции dpv");
}

TEST_F(FunctionsTest, ButterFiltersWithTheFormulaFilter) {
  const std::vector<double> x = Ramp(400);
  Window(0, x, 0.01);
  std::vector<double> expected = x;
  FormulaFilter(expected.data(), expected.size(), 0.01, 0.5, 2, 3);
  const Signal y = Eval("butter(w0, 0.5, 2, 3)");
  EXPECT_EQ(y.samples, expected);
  EXPECT_EQ(y.dx, 0.01);
  EXPECT_EQ(Eval("butter(w0, 0, 0, 4)").samples, x);
  EXPECT_EQ(Eval("butter(w0, 2, 2, 4)").samples, x);
  // A wizard formula runs as written.
  data.AddPane({1, "ST", "HHZ"});
  data.SetPaneData(1, PaneSignal::kSource, Signal(x, 0.01));
  const TraceFormulaResult wizard =
      EvaluateForTrace(FilterWizardFormula(kBandPass, 0.5, 2, 3, true), "d1", data);
  ASSERT_TRUE(wizard.ok) << wizard.error;
  EXPECT_EQ(wizard.samples.size(), x.size());
  EXPECT_EQ(Error("butter(w0, 1, 2)"), "Ошибка");
  EXPECT_EQ(Error("butter(w0, 1, 2, 3"), "Нет парной скобки ')'");
  EXPECT_EQ(Error("butter w0"), "Нет скобки '('");
  EXPECT_FALSE(Error("butter(gline(10, 0), 1, 2, 3)").empty());
}

TEST_F(FunctionsTest, PolarisationOfLinearAndPlanarMotion) {
  // Motion along one axis in the horizontal plane at azimuth 30 degrees.
  std::vector<double> z(60), north(60), east(60);
  for (int i = 0; i < 60; ++i) {
    const double s = std::sin(0.3 * i) + 0.2 * std::sin(1.1 * i);
    north[i] = s * std::cos(M_PI / 6);
    east[i] = s * std::sin(M_PI / 6);
    z[i] = 1e-3 * std::cos(0.7 * i);
  }
  Window(0, z, 0.01);
  Window(1, north, 0.01);
  Window(2, east, 0.01);
  const Signal r = Eval("rectilin(w0, w1, w2, 20)");
  ASSERT_EQ(r.count(), 60);
  EXPECT_EQ(r.dx, 0.01);
  for (int s = 0; s < 20; ++s) EXPECT_EQ(r.samples[s], 0.0);
  EXPECT_NEAR(r.samples[25], 1.0, 1e-3);
  const Signal az = Eval("azimuth(w0, w1, w2, 20)");
  const double a = az.samples[30];
  // The principal axis has no preferred sign: 30 or 210 degrees.
  EXPECT_TRUE(std::abs(a - 30) < 0.1 || std::abs(a - 210) < 0.1) << a;
  EXPECT_GE(a, 0.0);
  // Circular horizontal motion is planar but not rectilinear.
  std::vector<double> cn(80), ce(80), cz(80);
  for (int i = 0; i < 80; ++i) {
    cn[i] = std::cos(2 * M_PI * i / 20);
    ce[i] = std::sin(2 * M_PI * i / 20);
    cz[i] = 1e-3 * std::sin(0.9 * i);
  }
  Window(3, cz, 0.01);
  Window(4, cn, 0.01);
  Window(5, ce, 0.01);
  EXPECT_NEAR(Eval("planar(w3, w4, w5, 20)").samples[30], 1.0, 1e-3);
  EXPECT_NEAR(Eval("rectilin(w3, w4, w5, 20)").samples[30], 0.5, 1e-3);
  // A window of zeros has determinant 0: the measure stays 0.
  EXPECT_EQ(Eval("rectilin(gline(30,1,0,0), gline(30,1,0,0), gline(30,1,0,0), 5)").samples[10],
            0.0);
  EXPECT_EQ(Eval("rectilin(w0, w1, w2, 0)").samples, std::vector<double>(60, 0.0));
}

TEST_F(FunctionsTest, AzimuthOfPWavesPointsToTheSource) {
  // Upgoing P waves (Z up, X north, Y east) from every quadrant: the ground
  // moves up and away from the source, with a little transverse motion.
  for (double baz : {10.0, 80.0, 100.0, 170.0, 190.0, 260.0, 280.0, 350.0}) {
    for (double inc : {15.0, 50.0, 80.0}) {
      const double a = baz * M_PI / 180, i = inc * M_PI / 180;
      std::vector<double> z(80), north(80), east(80);
      for (int k = 0; k < 80; ++k) {
        const double s = std::sin(0.37 * k), t = 0.02 * std::cos(1.3 * k);
        z[k] = s * std::cos(i) + 0.01 * std::sin(2.1 * k);
        north[k] = -s * std::sin(i) * std::cos(a) - t * std::sin(a);
        east[k] = -s * std::sin(i) * std::sin(a) + t * std::cos(a);
      }
      Window(0, z, 0.05);
      Window(1, north, 0.05);
      Window(2, east, 0.05);
      const double got = Eval("azimuth(w0, w1, w2, 30)").samples[50];
      double diff = std::fmod(std::abs(got - baz), 360.0);
      if (diff > 180) diff = 360 - diff;
      EXPECT_LT(diff, 1.0) << baz << " " << inc << " " << got;
    }
  }
}

TEST_F(FunctionsTest, PolarisationMessages) {
  Window(0, std::vector<double>(10, 1), 0.01);
  Window(1, std::vector<double>(12, 1), 0.01);
  Window(2, std::vector<double>(10, 1), 0.02);
  EXPECT_EQ(Error("rectilin(w0, w1, w0, 11)"),
            "Error in rectilinearity: wrong sliding window length 11");
  EXPECT_EQ(Error("planar(w0, w1, w0, -1.5)"),
            "Error in planarity: wrong sliding window length -1");
  EXPECT_EQ(Error("azimuth(w0, w1, w2, 3)"),
            "Error in azimuth: arguments have different sample interval");
  EXPECT_EQ(Error("rectilin(w0, w1)"), "Error in rectilinearity: wrong arguments number");
  EXPECT_EQ(Error("planar(w0, w1, w0, 3"), "Error in planarity: Expected ')'");
  EXPECT_EQ(Error("azimuth w0"), "Error in formula: Expected '('");
}

TEST_F(FunctionsTest, BracketMessagesOfTheSimpleFunctions) {
  for (const char* f :
       {"abs", "sqrt", "integ", "deriv", "lderiv", "rderiv", "log10", "log", "exp", "hanning",
        "sin", "cos", "tan", "atan", "spectrum", "spectrum2", "dspectrum", "refft", "imfft"}) {
    EXPECT_EQ(Error(std::string(f) + " 1"), "Нет скобки '('") << f;
    EXPECT_EQ(Error(std::string(f) + "(1"), "Нет парной скобки ')'") << f;
    EXPECT_EQ(Error(std::string(f) + "(1, 2)"), "Нет парной скобки ')'") << f;
  }
  for (const char* f : {"max", "min", "mean", "sizeof", "getdx", "ceil", "floor", "revers"}) {
    EXPECT_EQ(Error(std::string(f) + " 1"), "Ошибка") << f;
    EXPECT_EQ(Error(std::string(f) + "(1"), "Ошибка") << f;
  }
  EXPECT_EQ(Error("linreg 1"), "Нет скобки '(' после LINREG");
  EXPECT_EQ(Error("linreg(1"), "Нет парной скобки ')'");
  EXPECT_EQ(Error("abs()"), "Ошибка");
  EXPECT_EQ(Error("abs(foo)"), "'foo' - undefined variables or function");
  EXPECT_EQ(Eval("ABS(-2)").First(), 2.0);  // names ignore letter case
}

}  // namespace
}  // namespace nuv
