// Numbers in files, SQL and formulas use the decimal point whatever the
// user's locale: under a Russian numeric convention (decimal comma) the core
// still writes "1.50" and reads "12.5" as twelve and a half.

#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "platform/strformat.h"
#include "sigproc/decimal_text.h"
#include "support/temp_dir.h"
#include "traveltime/travel_time.h"

namespace nuv {
namespace {

class RussianNumericLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "ru_RU.UTF-8"))
      GTEST_SKIP() << "the ru_RU.UTF-8 locale is not installed (scripts/install-deps.sh adds it)";
    // The convention really is the decimal comma here.
    ASSERT_EQ(std::string(localeconv()->decimal_point), ",");
  }
  void TearDown() override { std::setlocale(LC_NUMERIC, previous_.c_str()); }

  std::string previous_;
};

TEST_F(RussianNumericLocale, CoreWritesAndReadsTheDecimalPoint) {
  EXPECT_EQ(StrFormat("%.2f %g %e", 1.5, 0.25, 1e-3), "1.50 0.25 1.000000e-03");
  char* end = nullptr;
  EXPECT_DOUBLE_EQ(StrToDouble("12.5x", &end), 12.5);
  EXPECT_EQ(*end, 'x');
  EXPECT_FLOAT_EQ(StrToFloat("-0.75", nullptr), -0.75f);
  size_t used = 0;
  EXPECT_DOUBLE_EQ(DecimalPrefix("3.25e1", &used), 32.5);
  EXPECT_EQ(used, 6u);

  // A travel-time table with fractional depths, distances and times.
  test::TempDir dir;
  const auto path = dir.WriteFile("P",
                                  "P\n2\n0 12.5\n3\n0.5 1.5 2.5\n10.25 20.5 30.75\n"
                                  "11.25 21.5 31.75\n");
  PHASEDATA data;
  ASSERT_TRUE(ReadTravelTimeFile(path.string(), data));
  EXPECT_FLOAT_EQ(data.depths[1], 12.5f);
  EXPECT_FLOAT_EQ(data.distances[0], 0.5f);
  EXPECT_FLOAT_EQ(data.T[2], 30.75f);
}

}  // namespace
}  // namespace nuv
