#include "sigproc/formula.h"

#include <gtest/gtest.h>

#include <cmath>

namespace nuv {
namespace {

class FormulaTest : public ::testing::Test {
 protected:
  FormulaTest() {
    data.SetWindow(0, Signal({1, 2, 3, 4}, 0.5));
    data.SetWindow(1, Signal({10, 20, 30}, 0.01));
    data.SetWindow(2, Signal(std::vector<double>(100, 1.0), 0.01));
    data.SetWindow(3, Signal(std::vector<double>(80, 2.0), 0.02));
    data.SetWindowCount(5);  // W4 exists but is empty
    data.AddPane({3, "ABC", "BHZ"});
    data.SetPaneData(3, PaneSignal::kSource, Signal({5, 6, 7}, 0.01));
    data.SetPaneData(3, PaneSignal::kTransformed, Signal({-5, -6}, 0.01));
    data.SetPaneData(3, PaneSignal::kSelectedSource, Signal({6}, 0.01));
  }

  Signal Eval(const std::string& formula) {
    const FormulaResult r = EvaluateFormula(formula, data);
    EXPECT_TRUE(r.ok) << formula << ": " << r.error;
    return r.value;
  }
  double Scalar(const std::string& formula) {
    const Signal s = Eval(formula);
    EXPECT_EQ(s.count(), 1) << formula;
    return s.First();
  }
  std::string Error(const std::string& formula) {
    const FormulaResult r = EvaluateFormula(formula, data);
    EXPECT_FALSE(r.ok) << formula;
    if (!r.ok) {
      // No partial result survives a failure.
      EXPECT_EQ(r.value.samples, std::vector<double>{0.0});
      EXPECT_EQ(r.value.dx, 1.0);
    }
    return r.error;
  }

  InMemoryFormulaData data;
};

TEST_F(FormulaTest, NumbersFollowStrtodUpToTheNextStopCharacter) {
  EXPECT_EQ(Scalar("PI*2"), 6.283185307179586);
  EXPECT_EQ(Scalar("1e5"), 100000.0);
  EXPECT_EQ(Scalar("1e-5"), -4.0);  // "1e" then "-" then 5
  EXPECT_EQ(Scalar(".5+.25"), 0.75);
  EXPECT_EQ(Scalar("2abc"), 2.0);  // leading numeric part
  EXPECT_EQ(Scalar("."), 0.0);
  EXPECT_EQ(Scalar("\t 3 \t"), 3.0);
  EXPECT_EQ(Scalar("E"), 2.718281828459045);
  EXPECT_EQ(Scalar("deg"), 57.29577951308232);
  EXPECT_EQ(Eval("7").dx, 1.0);
}

TEST_F(FormulaTest, PrecedenceSignsAndPowers) {
  EXPECT_EQ(Scalar("-2^2"), 4.0);
  EXPECT_EQ(Scalar("2^3^2"), 512.0);
  EXPECT_EQ(Scalar("2+3*4"), 14.0);
  EXPECT_EQ(Scalar("(2+3)*4"), 20.0);
  EXPECT_EQ(Scalar("10-4-3"), 3.0);
  EXPECT_EQ(Scalar("64/4/2"), 8.0);
  EXPECT_EQ(Scalar("-(2+3)"), -5.0);
  EXPECT_EQ(Scalar("+4"), 4.0);
  EXPECT_EQ(Scalar("2*-3"), -6.0);
  EXPECT_EQ(Eval("w1^1").samples, (std::vector<double>{10, 20, 30}));
  EXPECT_EQ(Eval("w0^2").samples, (std::vector<double>{1, 4, 9, 16}));
  EXPECT_EQ(Eval("w0^2").dx, 0.5);
  // Integer powers below 1 follow arithmetic.
  EXPECT_EQ(Scalar("5^0"), 1.0);
  EXPECT_EQ(Scalar("4^-1"), 0.25);
  EXPECT_EQ(Scalar("2^-3"), 0.125);
  EXPECT_EQ(Scalar("0^-1"), 0.0);
  EXPECT_EQ(Scalar("1.0001^2000"), std::pow(1.0001, 2000.0));
}

TEST_F(FormulaTest, RealExponentsAndNegativeBases) {
  EXPECT_DOUBLE_EQ(Scalar("2^0.5"), std::sqrt(2.0));
  EXPECT_DOUBLE_EQ(Scalar("2^3.9"), std::pow(2.0, 3.9));
  EXPECT_DOUBLE_EQ(Scalar("4^-0.5"), 0.5);
  EXPECT_EQ(Scalar("0^0.5"), 0.0);
  EXPECT_EQ(Scalar("0^-0.5"), 0.0);  // the "/" rule for a zero divisor
  const Signal roots = Eval("w0^0.5");
  ASSERT_EQ(roots.count(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(roots.samples[i], std::sqrt(i + 1.0));
  EXPECT_EQ(roots.dx, 0.5);
  // Only the first sample of the exponent counts; the exponent may be a series.
  EXPECT_DOUBLE_EQ(Scalar("9^(w0/2)"), 3.0);
  // A negative base with an integer exponent stays defined, with a fractional one it is an error.
  EXPECT_EQ(Scalar("(-2)^3"), -8.0);
  const std::string message = Error("(0-w0)^0.5");
  EXPECT_NE(message.find("дробную степень"), std::string::npos) << message;
  EXPECT_FALSE(Error("(w0-2)^1.5").empty());
}

TEST_F(FormulaTest, DivisionAndRemainderByZero) {
  EXPECT_EQ(Scalar("1/0"), 0.0);
  EXPECT_EQ(Scalar("0/0"), 1.0);
  EXPECT_EQ(Scalar("7%0"), 0.0);
  EXPECT_EQ(Scalar("0%0"), 1.0);
  EXPECT_EQ(Scalar("7%3"), 1.0);
  EXPECT_EQ(Scalar("-7%3"), -1.0);
  EXPECT_EQ(Scalar("7.5%2"), 1.5);
  EXPECT_EQ(Eval("w0/(w0-2)").samples, (std::vector<double>{-1, 0, 3, 2}));
}

TEST_F(FormulaTest, BroadcastingAndSampleIntervals) {
  const Signal scaled = Eval("w0*2+1");
  EXPECT_EQ(scaled.samples, (std::vector<double>{3, 5, 7, 9}));
  EXPECT_EQ(scaled.dx, 0.5);  // a scalar never imposes dx 1.0
  const Signal left = Eval("1-w0");
  EXPECT_EQ(left.samples, (std::vector<double>{0, -1, -2, -3}));
  EXPECT_EQ(left.dx, 0.5);
  // Two series: the shorter count; the right dx when it differs and is not 1.
  const Signal mixed = Eval("w2+w3");
  EXPECT_EQ(mixed.count(), 80);
  EXPECT_EQ(mixed.dx, 0.02);
  EXPECT_EQ(mixed.samples[79], 3.0);
  EXPECT_EQ(Eval("w3+w2").dx, 0.01);
  EXPECT_EQ(Eval("w0+w1").samples, (std::vector<double>{11, 22, 33}));
  EXPECT_EQ(Eval("w0+w1").dx, 0.01);
  // A series with dx 1.0 on the right keeps the left dx.
  data.SetWindow(5, Signal({1, 1, 1, 1, 1}, 1.0));
  EXPECT_EQ(Eval("w1*w5").dx, 0.01);
}

TEST_F(FormulaTest, VariablesOfWindowsAndPanes) {
  EXPECT_EQ(Eval("W0").samples, (std::vector<double>{1, 2, 3, 4}));
  EXPECT_EQ(Eval("w4").samples, std::vector<double>{0.0});   // empty window
  EXPECT_EQ(Eval("w31").samples, std::vector<double>{0.0});  // beyond the windows in use
  EXPECT_EQ(Error("w32"), "'w32' - undefined variables or function");
  EXPECT_EQ(Error("w01"), "'w01' - undefined variables or function");
  EXPECT_EQ(Eval("d3").samples, (std::vector<double>{5, 6, 7}));
  EXPECT_EQ(Eval("d3").dx, 0.01);
  EXPECT_EQ(Eval("t3").samples, (std::vector<double>{-5, -6}));
  EXPECT_EQ(Eval("sd3").samples, std::vector<double>{6});
  EXPECT_EQ(Eval("st3").samples, std::vector<double>{0.0});  // no selection transformed
  EXPECT_EQ(Error("d4"), "'d4' - undefined variables or function");
  // Station and channel forms reach the same samples (letter case ignored).
  EXPECT_EQ(Eval("abc:bhz").samples, (std::vector<double>{5, 6, 7}));
  EXPECT_EQ(Eval("ABC:BHZ:t").samples, (std::vector<double>{-5, -6}));
  EXPECT_EQ(Eval("abc:bhz:s").samples, std::vector<double>{6});
  EXPECT_EQ(Error("abc:bhn"), "'abc:bhn' - undefined variables or function");
  // "current" without an alias is the fresh value.
  EXPECT_EQ(Eval("current").samples, std::vector<double>{0.0});
}

TEST_F(FormulaTest, TraceEvaluationUsesTheAliasAndReturnsFloats) {
  const TraceFormulaResult r = EvaluateForTrace("current*2+mean(current)", "d3", data);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.samples, (std::vector<float>{16, 18, 20}));
  EXPECT_FLOAT_EQ(r.rate, 100.0f);
  const TraceFormulaResult bad = EvaluateForTrace("current+", "d3", data);
  EXPECT_FALSE(bad.ok);
  EXPECT_EQ(bad.error, "Ошибка");
  EXPECT_TRUE(bad.samples.empty());
  // A result without a positive interval cannot become a trace.
  const TraceFormulaResult zero = EvaluateForTrace("gline(5, 0)", "d3", data);
  EXPECT_FALSE(zero.ok);
  EXPECT_FALSE(zero.error.empty());
}

TEST_F(FormulaTest, CoreErrorMessages) {
  EXPECT_EQ(Error(""), "Ошибка");
  EXPECT_EQ(Error("   "), "Ошибка");
  EXPECT_EQ(Error("w1 + "), "Ошибка");
  EXPECT_EQ(Error("(w1+w2"), "Отсутствует )");
  EXPECT_EQ(Error("((1)"), "Отсутствует )");
  EXPECT_EQ(Error("foo(1)"), "'foo' - undefined variables or function");
  EXPECT_EQ(Error("FOO"), "'foo' - undefined variables or function");
  EXPECT_EQ(Error("*2"), "Ошибка");
  EXPECT_EQ(Error("--2"), "Ошибка");
  EXPECT_EQ(Error("&1"), "Ошибка");
  EXPECT_EQ(Error("()"), "Ошибка");
  EXPECT_EQ(Error("2^"), "Ошибка");
  // A long unknown name is cut to the 1023 bytes of the error buffer.
  EXPECT_EQ(Error("x" + std::string(2000, 'y')).size(), 1023u);
}

TEST_F(FormulaTest, TextAfterTheFirstSumIsIgnored) {
  EXPECT_EQ(Eval("w1 w2").samples, (std::vector<double>{10, 20, 30}));
  EXPECT_EQ(Eval("w1=w2").samples, (std::vector<double>{10, 20, 30}));
  EXPECT_EQ(Scalar("1;2"), 1.0);
  EXPECT_EQ(Scalar("3)"), 3.0);
  EXPECT_EQ(Scalar("4 & 5"), 4.0);
  EXPECT_EQ(Scalar("5 mean(w0)"), 5.0);
}

TEST_F(FormulaTest, DeepNestingFailsInsteadOfExhaustingTheStack) {
  const std::string deep = std::string(100000, '(') + "1" + std::string(100000, ')');
  EXPECT_FALSE(EvaluateFormula(deep, data).ok);
  std::string powers;
  for (int i = 0; i < 50000; ++i) powers += "2^";
  EXPECT_FALSE(EvaluateFormula(powers + "1", data).ok);
  std::string calls;
  for (int i = 0; i < 50000; ++i) calls += "abs(";
  EXPECT_FALSE(EvaluateFormula(calls, data).ok);
  EXPECT_EQ(Scalar(std::string(50, '(') + "1" + std::string(50, ')')), 1.0);
}

TEST_F(FormulaTest, LimitsRefuseHugeSignalsAndWork) {
  FormulaLimits limits;
  limits.maxSamples = 1000;
  FormulaResult r = EvaluateFormula("gline(1001, 1)", data, limits);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("GLINE"), std::string::npos);
  EXPECT_TRUE(EvaluateFormula("gline(1000, 1)", data, limits).ok);
  limits.maxWork = 1e4;
  EXPECT_FALSE(EvaluateFormula("conv(gline(1000,1),gline(1000,1))", data, limits).ok);
  EXPECT_FALSE(EvaluateFormula("gline(1e300, 1)", data).ok);
}

}  // namespace
}  // namespace nuv
