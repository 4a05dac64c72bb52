#include <gtest/gtest.h>

#include <cmath>

#include "sigproc/instrument.h"
#include "sigproc/response.h"
#include "support/temp_dir.h"

namespace nuv {
namespace {

using C = std::complex<double>;

TEST(SacPoleZero, ReadsTheDatabaseForm) {
  PoleZeroResponse pz;
  ASSERT_TRUE(ParseSacPoleZero("ZEROS 3|POLES 2|-0.1 0.1|-0.1 -0.1|CONSTANT 2.5", pz));
  EXPECT_EQ(pz.zeros, (std::vector<C>{0.0, 0.0, 0.0}));
  EXPECT_EQ(pz.poles, (std::vector<C>{{-0.1, 0.1}, {-0.1, -0.1}}));
  EXPECT_EQ(pz.constant, 2.5);
}

TEST(SacPoleZero, ReadsAFileWithCommentsCaseAndSeparators) {
  const char* text =
      "* station ABC, channel BHZ\r\n"
      "zeros 4\n"
      "  0.0  0.0\n"
      "-1.5e1 +2\n"
      "POLES\t3\n"
      "-0.037 0.037;-0.037 -0.037\n"
      "-251.3 0 \n"
      "-9 9\n"  // beyond the count: ignored
      "\n"
      "CONSTANT 6.0E+08\n";
  PoleZeroResponse pz;
  ResponseParseError error;
  ASSERT_TRUE(ParseSacPoleZero(text, pz, &error)) << error.reason;
  EXPECT_EQ(pz.zeros, (std::vector<C>{0.0, {-15.0, 2.0}, 0.0, 0.0}));
  EXPECT_EQ(pz.poles, (std::vector<C>{{-0.037, 0.037}, {-0.037, -0.037}, {-251.3, 0.0}}));
  EXPECT_EQ(pz.constant, 6.0e8);
}

TEST(SacPoleZero, ConstantDefaultsToOne) {
  PoleZeroResponse pz;
  ASSERT_TRUE(ParseSacPoleZero("POLES 1\n-1 0\n", pz));
  EXPECT_EQ(pz.constant, 1.0);
  EXPECT_TRUE(pz.zeros.empty());
}

TEST(SacPoleZero, RefusesMalformedTexts) {
  const char* bad[] = {
      "",                           // nothing at all
      "CONSTANT 3",                 // no list
      "-1 0|ZEROS 1",               // data before a list
      "ZEROS|POLES 1|-1 0",         // count missing
      "ZEROS x|POLES 1",            // count not a number
      "ZEROS -2",                   // negative count
      "ZEROS 99999999999",          // absurd count
      "POLES 2|-1 zero",            // not a pair
      "POLES 2|-1",                 // half a pair
      "POLES 1|-1 0|CONSTANT",      // constant missing
      "POLES 1|-1 0|CONSTANT 1,5",  // decimal comma
  };
  for (const char* text : bad) {
    PoleZeroResponse pz;
    pz.constant = 42.0;
    ResponseParseError error;
    EXPECT_FALSE(ParseSacPoleZero(text, pz, &error)) << text;
    EXPECT_FALSE(error.reason.empty()) << text;
    EXPECT_EQ(pz.constant, 42.0) << "response changed by refused text " << text;
  }
}

TEST(PoleZeroResponse, EvaluateAndInverse) {
  PoleZeroResponse pz;
  pz.constant = 4.0;
  pz.zeros = {0.0};
  pz.poles = {{-2.0, 0.0}};
  const double f = 0.5;
  const C s(0.0, kTwoPi * f);
  const C h = 4.0 * s / (s + 2.0);
  EXPECT_NEAR(std::abs(pz.Evaluate(f) - h), 0.0, 1e-15);
  EXPECT_NEAR(std::abs(pz.Inverse(f) - 1e9 / h), 0.0, 1e-6);
  // A zero at s = 0 makes H(0) = 0: the inverse is the marker -1.
  EXPECT_EQ(pz.Inverse(0.0), C(-1.0, 0.0));
  PoleZeroResponse none;  // no roots, C = 1
  EXPECT_EQ(none.Inverse(3.0), C(1e9, 0.0));
}

TEST(FapTable, AmplitudeInterpolatesInsideAndIsZeroOutside) {
  CAPResponse fap({{0.1f, 2.0f}, {1.0f, 4.0f}, {10.0f, 1.0f}});
  EXPECT_EQ(fap.Amplitude(0.05), 0.0);
  EXPECT_EQ(fap.Amplitude(10.5), 0.0);
  EXPECT_EQ(fap.Amplitude(std::nan("")), 0.0);
  EXPECT_EQ(fap.Amplitude(static_cast<double>(0.1f)), 2.0);
  EXPECT_EQ(fap.Amplitude(1.0), 4.0);
  EXPECT_EQ(fap.Amplitude(10.0), 1.0);
  EXPECT_NEAR(fap.Amplitude(5.5), 2.5, 1e-12);
  const double f0 = 0.1f;
  EXPECT_NEAR(fap.Amplitude(0.55), 2.0 + 2.0 * (0.55 - f0) / (1.0 - f0), 1e-12);
  EXPECT_EQ(CAPResponse().Amplitude(1.0), 0.0);
}

TEST(FapTable, ReadsFileText) {
  CAPResponse fap;
  ResponseParseError error;
  ASSERT_TRUE(ParseFapFileText("3\r\n0.1 2.0\r\n1.0   4.0\n10 1\n", fap, &error)) << error.reason;
  ASSERT_EQ(fap.size(), 3u);
  EXPECT_EQ(fap.table()[2], (std::pair<float, float>{10.0f, 1.0f}));
  // Pairs may run on one line; text after the announced pairs is not read.
  ASSERT_TRUE(ParseFapFileText("2 0.5 1 2.5 3 trailing words", fap));
  EXPECT_EQ(fap.size(), 2u);
}

TEST(FapTable, RefusesMalformedFileText) {
  const char* bad[] = {"",
                       "x",
                       "0",
                       "-3 1 2",
                       "3\n0.1 2\n1 4\n",
                       "2\n0.1 2\n1 four\n",
                       "2\n1 2\n0.5 3\n",
                       "2.5\n1 2\n2 3\n"};
  for (const char* text : bad) {
    CAPResponse fap({{1.0f, 1.0f}});
    ResponseParseError error;
    EXPECT_FALSE(ParseFapFileText(text, fap, &error)) << text;
    EXPECT_FALSE(error.reason.empty()) << text;
    EXPECT_EQ(fap.size(), 1u) << text;
  }
}

TEST(FapTable, ReadsDatabaseText) {
  CAPResponse fap;
  ResponseParseError error;
  ASSERT_TRUE(
      ParseFapDatabaseText("FAP ABC BHZ|CAL 1 1|0.1 2 -10;1 4 0\r\n10 1 35\r\n\r\n", fap, &error))
      << error.reason;
  ASSERT_EQ(fap.size(), 3u);
  EXPECT_EQ(fap.table()[0], (std::pair<float, float>{0.1f, 2.0f}));
  EXPECT_EQ(fap.table()[2], (std::pair<float, float>{10.0f, 1.0f}));

  for (const char* text : {"", "FAP only|CAL header", "0.1 2 0|one 2 3", "5 1 0|1 1 0"}) {
    EXPECT_FALSE(ParseFapDatabaseText(text, fap, &error)) << text;
  }
}

TEST(FapFile, ReadsFromTheResponseDirectoryOfTheHome) {
  test::TempDir home;
  home.WriteFile("RESPONSE/sub/abc.fap", "2\n0.5 10\n5 20\n");
  home.WriteFile("RESPONSE/bad.fap", "2\n0.5 10\n");
  const std::string homeDir = home.path().string() + "/";
  EXPECT_EQ(FapFilePath("/nuv/", "sub\\abc.fap"), "/nuv/RESPONSE/sub/abc.fap");
  EXPECT_EQ(FapFilePath("/nuv", "abc.fap"), "/nuv/RESPONSE/abc.fap");

  CAPResponse fap;
  ResponseParseError error;
  EXPECT_EQ(ReadFapFile(homeDir, "", fap, &error), -1);
  EXPECT_EQ(ReadFapFile(homeDir, "missing.fap", fap, &error), 0);
  EXPECT_NE(error.reason.find("missing.fap"), std::string::npos);
  EXPECT_EQ(ReadFapFile(homeDir, "bad.fap", fap, &error), 0);
  EXPECT_NE(error.reason.find("bad.fap"), std::string::npos) << error.reason;
  EXPECT_TRUE(fap.empty());
  EXPECT_EQ(ReadFapFile(homeDir, "sub\\abc.fap", fap, &error), 1);
  EXPECT_EQ(fap.Amplitude(5.0), 20.0);
}

}  // namespace
}  // namespace nuv
