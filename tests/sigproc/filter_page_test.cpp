#include "sigproc/filter_page.h"

#include <gtest/gtest.h>

namespace nuv {
namespace {

TEST(FilterPage, ChecksOrderTextsAndCutOffsBeforeApplying) {
  ChannelFilter f;
  using F = FilterPageCheck;
  // The order: an integer 1..10 with the standard prompt.
  for (const char* order : {"0", "11", "2.5", "x", ""}) {
    const F c = CheckFilterPage("1", "2", order, kBandPass, true, 100, f);
    EXPECT_EQ(c.field, F::kOrder) << order;
    EXPECT_EQ(c.message, "Please enter an integer between 1 and 10.");
  }
  // Frequencies: at most 7 characters, not negative, lower not above upper
  // (a beep, no text).
  EXPECT_EQ(CheckFilterPage("0.123456", "2", "3", kBandPass, true, 0, f).field, F::kLow);
  EXPECT_EQ(CheckFilterPage("-1", "2", "3", kBandPass, true, 0, f).field, F::kLow);
  EXPECT_EQ(CheckFilterPage("1", "abc", "3", kBandPass, true, 0, f).field, F::kHigh);
  const F inverted = CheckFilterPage("3", "2", "3", kBandPass, true, 0, f);
  EXPECT_EQ(inverted.field, F::kHigh);
  EXPECT_EQ(inverted.message, "");
  // Against the pane's rate: cut-offs that would give NaN or an integrator.
  const F zeroLow = CheckFilterPage("0", "5", "3", kBandPass, true, 100, f);
  EXPECT_EQ(zeroLow.field, F::kLow);
  EXPECT_NE(zeroLow.message.find("больше нуля"), std::string::npos) << zeroLow.message;
  const F zeroHigh = CheckFilterPage("0", "0", "3", kLowPass, true, 100, f);
  EXPECT_EQ(zeroHigh.field, F::kHigh);
  EXPECT_FALSE(zeroHigh.message.empty());
  const F nyquist = CheckFilterPage("50", "60", "3", kHighPass, true, 100, f);
  EXPECT_EQ(nyquist.field, F::kLow);
  EXPECT_NE(nyquist.message.find("Найквиста"), std::string::npos) << nyquist.message;
  // An upper cut-off above Nyquist is pulled below it, as the pane filters.
  const F ok = CheckFilterPage(" 0.5 ", "60", "4", kBandPass, false, 100, f);
  ASSERT_TRUE(ok.ok()) << ok.message;
  EXPECT_EQ(f.lowCut, 0.5f);
  EXPECT_EQ(f.highCut, 60.0f);
  EXPECT_EQ(f.lowText, "0.5");
  EXPECT_EQ(f.order, 4);
  EXPECT_EQ(f.zeroPhase, 0);
  EXPECT_EQ(f.type, kBandPass);
}

}  // namespace
}  // namespace nuv
