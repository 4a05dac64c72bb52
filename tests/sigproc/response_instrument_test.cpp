#include <gtest/gtest.h>

#include <cmath>

#include "sigproc/instrument.h"

namespace nuv {
namespace {

TEST(StandardInstrument, MagnificationAtKnownFrequencies) {
  // |S(f)| from the published constants, evaluated independently in long
  // precision. The constants K normalise each seismograph to unit response on
  // its plateau (WWSSSP exactly at 1 Hz).
  struct Case {
    int code;
    double f;
    double expected;
  };
  const Case cases[] = {
      {1001, 0.05, 0.9192928876},    {1001, 1.0, 0.9969962907},    {1001, 5.0, 0.9356383488},
      {1002, 0.05, 0.9443529882},    {1002, 1.0, 0.1339709963},    {1002, 5.0, 0.02690710337},
      {1003, 0.05, 0.0002004756249}, {1003, 1.0, 0.9999991874},    {1003, 5.0, 0.4160685287},
      {1004, 0.05, 0.001599279858},  {1004, 1.0, 0.481325028},     {1004, 5.0, 0.9810966613},
      {1005, 0.05, 0.7195451129},    {1005, 1.0, 2.387246609e-08}, {1005, 5.0, 3.854168617e-15},
      {1006, 0.05, 3.855886768e-05}, {1006, 1.0, 0.2966687705},    {1006, 5.0, 1.03374676},
      {1007, 0.05, 0.0004253642345}, {1007, 1.0, 1.028885312},     {1007, 5.0, 1.000045868},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(StandardMagnification(c.code, c.f) / c.expected, 1.0, 1e-8)
        << "code " << c.code << " at " << c.f << " Hz";
    // The amplitude-table twins (1012..1019) imitate the same seismographs.
    const int twin = c.code == 1006 ? 1018 : c.code == 1007 ? 1019 : c.code + 11;
    EXPECT_DOUBLE_EQ(StandardMagnification(twin, c.f), StandardMagnification(c.code, c.f));
  }
}

TEST(StandardInstrument, WoodAndersonIsADampedPendulumOf125Hz) {
  const StandardInstrument* wa = FindStandardInstrument(1004);
  ASSERT_NE(wa, nullptr);
  ASSERT_EQ(wa->poles.size(), 2u);
  ASSERT_EQ(wa->zeros.size(), 2u);
  const double omega0 = std::abs(wa->poles[0]);
  EXPECT_NEAR(omega0 / kTwoPi, 1.25, 1e-5);                    // natural period 0.8 s
  EXPECT_NEAR(-wa->poles[0].real() / omega0, 0.8, 1e-5);       // damping 0.8
  EXPECT_NEAR(StandardMagnification(1004, 200.0), 1.0, 1e-3);  // flat to displacement above
}

TEST(StandardInstrument, ResponsesAreRealFilters) {
  // Conjugate pairs: S(-f) = conj(S(f)), so simulated records stay real.
  for (int code = 1001; code <= 1007; ++code) {
    const StandardInstrument* instrument = FindStandardInstrument(code);
    ASSERT_NE(instrument, nullptr) << code;
    for (double f : {0.01, 0.3, 2.0, 17.0}) {
      const auto plus = StandardResponse(*instrument, f);
      const auto minus = StandardResponse(*instrument, -f);
      EXPECT_NEAR(plus.real(), minus.real(), 1e-12 * std::abs(plus)) << code;
      EXPECT_NEAR(plus.imag(), -minus.imag(), 1e-12 * std::abs(plus)) << code;
    }
  }
  EXPECT_EQ(FindStandardInstrument(1005)->poles.size(), 19u);
  EXPECT_EQ(FindStandardInstrument(1005)->zeros.size(), 7u);
}

TEST(StandardInstrument, MagnificationOfCodesWithoutInstrument) {
  EXPECT_EQ(StandardMagnification(1000, 3.0), 1.0);
  for (int code : {1010, 1011, 1017, 0, 3, 999, 1008, 1020}) {
    EXPECT_EQ(StandardMagnification(code, 3.0), -1.0) << code;
  }
}

TEST(TransformCodes, NamesAndPipelines) {
  const std::pair<int, const char*> names[] = {
      {1000, "DIS"},      {1001, "KIRNOS"}, {1002, "WWSSLP"},   {1003, "WWSSSP"},
      {1004, "WA"},       {1005, "LPSRO"},  {1006, "VEGIK"},    {1007, "SKM"},
      {1010, "VEL"},      {1011, "DIS_A"},  {1012, "KIRNOS_A"}, {1013, "WWSSLP_A"},
      {1014, "WWSSSP_A"}, {1015, "WA_A"},   {1016, "LPSRO_A"},  {1017, "VEL_A"},
      {1018, "VEGIK_A"},  {1019, "SKM_A"}};
  for (const auto& [code, name] : names) {
    EXPECT_EQ(TransformName(code), name);
    EXPECT_EQ(TransformCodeByName(name), code);
  }
  EXPECT_EQ(TransformCodeByName("kirnos_a"), 1012);
  EXPECT_FALSE(TransformName(1008));
  EXPECT_FALSE(TransformCodeByName("unfilter"));

  for (int code = 990; code < 1030; ++code) {
    const bool pz = (code >= 1000 && code <= 1007) || code == 1010;
    const bool fap = code >= 1011 && code <= 1019 && code != 1017;
    EXPECT_EQ(IsPoleZeroTransform(code), pz) << code;
    EXPECT_EQ(IsFapTransform(code), fap) << code;
  }
}

TEST(TransformCodes, PaneFilterDescription) {
  EXPECT_EQ(FilterDescription(false, 0, 0.7f, 1.4f, 3, 1), "unfilter");
  EXPECT_EQ(FilterDescription(true, 0, 0.7f, 1.4f, 3, 1), "0.7000 1.4000 3 B 0");
  EXPECT_EQ(FilterDescription(true, 1, 0.0f, 5.0f, 4, 0), "0.0000 5.0000 4 L C");
  EXPECT_EQ(FilterDescription(true, 2, 1.0f, 2.0f, 2, 0), "1.0000 2.0000 2 R C");
  EXPECT_EQ(FilterDescription(true, 3, 10.25f, 0.0f, 10, 7), "10.2500 0.0000 10 H 0");
  EXPECT_EQ(FilterDescription(true, 1015, 0, 0, 0, 0), "WA_A");
  EXPECT_EQ(FilterDescription(true, 4, 0.7f, 1.4f, 3, 1), "unfilter");
  ChannelFilter filter;
  filter.lowCut = 1.0f;
  filter.highCut = 8.0f;
  filter.type = kHighPass;
  filter.order = 5;
  EXPECT_EQ(FilterDescription(true, filter), "1.0000 8.0000 5 H C");
  filter.type = 1012;
  EXPECT_EQ(FilterDescription(true, filter), "KIRNOS_A");
}

}  // namespace
}  // namespace nuv
